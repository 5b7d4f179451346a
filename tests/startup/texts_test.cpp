// The texts the module shows: the two resource sets (the same keys, the
// fixed texts, the grid pictures), the message service (headless line and
// answer, message log, Qt message box) and the byte texts it and the dialogs
// show (code page 932 where valid, else UTF-8; unchanged lines written back
// byte for byte, new ones as CP932).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "frame/gui_qt.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "platform/code_page.h"
#include "platform/messages.h"
#include "resource_set.h"
#include "support/on_modal.h"
#include "support/temp_install.h"

namespace quillet::testing {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageRequest;

TEST(HeadlessMessageTest, WritesOneEscapedLinePerMessageAndAnswersNo) {
    const std::pair<std::string, std::string> rows[] = {
        {"Resource load error!![libQuillet_rs.so]", "Resource load error!![libQuillet_rs.so]"},
        {"a\n\nb\n", "a\\n\\nb\\n"},
        {"a\r\nb\rc", "a\\nb\\nc"},
    };
    const platform::ScopedMessageBackend headless(nullptr);
    for (const auto& [text, line] : rows) {
        TempFolder folder;
        const ScopedEnv log("QUILLET_MESSAGE_LOG", (folder.Path() / "messages.log").string());
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(platform::ShowMessage(MessageRequest{text, "202", MessageButtons::Ok}),
                  MessageAnswer::Ok);
        EXPECT_EQ(platform::ShowMessage(MessageRequest{text, "204", MessageButtons::YesNo}),
                  MessageAnswer::No);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "Quillet: " + line + "\nQuillet: " + line + "\n");
        EXPECT_EQ(ReadFile(folder.Path() / "messages.log"), line + "\n" + line + "\n");
    }
}

// The Qt backend, offscreen: presses a button of each box once it is shown
// and records the box's objectName, text and buttons.
TEST(QtMessageBoxTest, BoxIsNamedByItsStringAndAnswersTheClickedButton) {
    ASSERT_TRUE(frame::EnsureApplication());
    const platform::ScopedMessageBackend boxes(&frame::QtMessageBackend());
    TempFolder folder;
    const ScopedEnv log("QUILLET_MESSAGE_LOG", (folder.Path() / "messages.log").string());
    // Presses button of the box named name (NoButton: Enter, Yes: the key Y,
    // on the focused control) and records its text, buttons and their names.
    std::string seenText, seenNames;
    QMessageBox::StandardButtons seenButtons;
    const auto answer = [&](const char* name, QMessageBox::StandardButton button) {
        return std::make_unique<OnModal>(name, [&, button](QDialog& dialog) {
            auto& box = static_cast<QMessageBox&>(dialog);
            seenText = box.text().toStdString();
            seenButtons = box.standardButtons();
            seenNames.clear();
            for (const auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok}) {
                if (box.button(which)) seenNames += box.button(which)->text().toStdString() + "|";
            }
            if (button == QMessageBox::NoButton || button == QMessageBox::Yes) {
                QTest::keyClick(box.focusWidget(),
                                button == QMessageBox::Yes ? Qt::Key_Y : Qt::Key_Return);
                EXPECT_TRUE(QTest::qWaitFor([&box] { return !box.isVisible(); }));  // animated
            } else {
                box.button(button)->click();
            }
        });
    };

    auto yes = answer("204", QMessageBox::Yes);
    EXPECT_EQ(frame::ShowStringMessage(204, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_TRUE(yes->Ran());
    EXPECT_EQ(seenText, frame::ResourceString(204));
    EXPECT_EQ(seenButtons, QMessageBox::Yes | QMessageBox::No);
    // The buttons are named by the resource set; Enter answers No.
    auto enter = answer("205", QMessageBox::NoButton);
    EXPECT_EQ(frame::ShowStringMessage(205, MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_TRUE(enter->Ran());
    EXPECT_EQ(seenNames, "はい(&Y)|いいえ(&N)|");
    auto ok = answer("builtin", QMessageBox::Ok);
    frame::ShowBuiltinMessage("Resource load error!![libQuillet_rs.so]");
    EXPECT_TRUE(ok->Ran());
    EXPECT_EQ(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seenNames, "OK|");
    // A notice awaits nothing and goes at the next key.
    EXPECT_EQ(platform::ShowMessage({"say", "x", MessageButtons::None}), MessageAnswer::Ok);
    QPointer<QWidget> notice;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "notice" && top->isVisible()) notice = top;
    }
    ASSERT_FALSE(notice.isNull());
    QTest::keyClick(notice, Qt::Key_A);
    EXPECT_TRUE(notice.isNull() || !notice->isVisible());

    // The GUI shows the box and the log still gets every message, one line each.
    const std::string logged = ReadFile(folder.Path() / "messages.log");
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 4);
    EXPECT_TRUE(logged.ends_with("\nResource load error!![libQuillet_rs.so]\nsay\n"));
}

TEST(CodePageTest, ShowsCp932WhereValidUtf8ElsewhereAndWritesNewTextAsCp932) {
    using platform::TextEncoding;
    const struct {
        std::string bytes;
        TextEncoding encoding;
        std::string shown;
    } rows[] = {
        {"", TextEncoding::Cp932, ""},
        {"MC01", TextEncoding::Cp932, "MC01"},
        {"O1000 (切断)", TextEncoding::Utf8, "O1000 (切断)"},  // no CP932: UTF-8
        {"O1000 (\x90\xd8\x92\x66)", TextEncoding::Cp932, "O1000 (切断)"},
        {"SJ\x82\xa0X", TextEncoding::Cp932, "SJあX"},
        {"\xb6\xc3\xde", TextEncoding::Cp932, "ｶﾃﾞ"},       // half-width katakana
        {"\xc3\xbd", TextEncoding::Cp932, "ﾃｽ"},            // valid UTF-8 too ("ý")
        {"あい", TextEncoding::Cp932, "縺ゅ＞"},            // so is this UTF-8
        {"\x87\x90\x81\xe0", TextEncoding::Cp932, "≒≒"},    // NEC row 13 and JIS
        {"\xed\xa0\x80", TextEncoding::Cp932, "恝\uF780"},  // neither: escapes
        {"A\x80\xa0\xfd", TextEncoding::Cp932, "A\uF780\uF7A0\uF7FD"},
        {"A\x90", TextEncoding::Cp932, "A\uF790"},  // lead byte at the end
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        EXPECT_EQ(platform::DetectEncoding(row.bytes), row.encoding);
        EXPECT_EQ(platform::DisplayText(row.bytes), row.shown);
        EXPECT_EQ(platform::ShownText(row.bytes).BytesFor(row.shown), row.bytes);
        // Characters CP932 encodes two ways go back as they were (above).
        if (row.bytes != "\x87\x90\x81\xe0" && row.bytes != "\xed\xa0\x80") {
            EXPECT_EQ(platform::EncodeText(row.shown, row.encoding), row.bytes);
        }
    }
    // Changed and new lines are CP932, unchanged ones keep their bytes; a
    // text of both kinds then shows line by line.
    const platform::ShownText utf8("あ\r\nX", "\r\n");
    const std::string mixed = utf8.BytesFor("あ\nい");
    EXPECT_EQ(mixed, "あ\r\n\x82\xa2");
    EXPECT_EQ(platform::ShownText(mixed, "\r\n").Shown(), "あ\nい");
    EXPECT_EQ(platform::ShownText("a").BytesFor("a😀"), "a?");
    EXPECT_EQ(platform::ShownText("a").Refused("a😀\nb"), "😀");
    EXPECT_EQ(platform::ShownText("😀\nb").Refused("😀\nc"), "");  // that line is unchanged
    std::string refused;
    EXPECT_EQ(platform::EncodeCp932OrRefuse("x\uF7A0あ"), "x\xa0\x82\xa0");
    EXPECT_EQ(platform::EncodeCp932OrRefuse("あ😀", &refused), std::nullopt);
    EXPECT_EQ(refused, "😀");
}

using TextMap = std::map<std::string, std::string>;

const QuilletResourceSet* EnglishSet() {
    static const QuilletResourceSet* set = [] {
        // The library stays loaded for the test process.
        void* library = ::dlopen(QUILLET_RS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return static_cast<const QuilletResourceSet*>(nullptr);
        auto function = reinterpret_cast<const QuilletResourceSet* (*)()>(
            ::dlsym(library, "QuilletGetResourceSet"));
        return function != nullptr ? function() : nullptr;
    }();
    return set;
}

const QuilletResourceSet* Set(const std::string& language) {
    return language == "ja" ? QuilletGetBuiltinResourceSet() : EnglishSet();
}

// The texts of a set by key; a key defined twice is a fault of its own.
TextMap Texts(const QuilletResourceSet* set, std::set<std::string>* duplicates = nullptr) {
    TextMap texts;
    for (std::size_t i = 0; i < set->textCount; ++i) {
        if (!texts.emplace(set->texts[i].key, set->texts[i].text).second && duplicates) {
            duplicates->insert(set->texts[i].key);
        }
    }
    return texts;
}

TEST(ResourceSetsTest, BothSetsDefineTheSameKeysOnce) {
    ASSERT_NE(EnglishSet(), nullptr) << ::dlerror();
    std::set<std::string> duplicates;
    const TextMap ja = Texts(Set("ja"), &duplicates), en = Texts(Set("en"), &duplicates);
    EXPECT_TRUE(duplicates.empty()) << "defined twice: " << *duplicates.begin();
    for (const auto& [key, text] : ja) EXPECT_TRUE(en.count(key)) << "only in ja: " << key;
    for (const auto& [key, text] : en) EXPECT_TRUE(ja.count(key)) << "only in en: " << key;
}

class SetTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SetTest, DefinesEveryIdentifierTheModuleShows) {
    const QuilletResourceSet* set = Set(GetParam());
    ASSERT_NE(set, nullptr);
    const TextMap texts = Texts(set);
    const std::pair<int, int> ranges[] = {
        {201, 205}, {206, 293}, {300, 305}, {400, 487}, {488, 488}};
    for (const auto& [first, last] : ranges) {
        for (int id = first; id <= last; ++id) ASSERT_TRUE(texts.count(std::to_string(id))) << id;
    }
    // Every text is there to be shown, and every text of the dialogs and
    // their messages is there.
    for (const auto& [key, text] : texts) EXPECT_FALSE(text.empty()) << key;
    std::ifstream shown(QUILLET_STARTUP_TEST_DATA "/dialog-texts.txt");
    ASSERT_TRUE(shown);
    for (std::string key; shown >> key;) EXPECT_TRUE(texts.count(key)) << key;
    // Descriptions are a blank, except the gas codes, which are the same lines
    // in every language.
    for (int id = 400; id <= 487; ++id) {
        EXPECT_TRUE(id == 404 || texts.at(std::to_string(id)) == " ") << id;
    }
    EXPECT_EQ(texts.at("404"), Texts(Set("ja")).at("404"));
    EXPECT_EQ(texts.at("404").substr(0, 26), "Air (H)=0 / (M)=1 / (L)=2\n");
}

TEST(ResourceSetsTest, FixedTextsAreTheSystemsOwn) {
    const TextMap ja = Texts(Set("ja"));
    // data/fixed-texts-ja.txt: key, tab, text with its line breaks as "\\n".
    std::ifstream fixed(QUILLET_STARTUP_TEST_DATA "/fixed-texts-ja.txt");
    ASSERT_TRUE(fixed);
    for (std::string key, text; std::getline(fixed, key, '\t') && std::getline(fixed, text);) {
        for (std::size_t at; (at = text.find("\\n")) != std::string::npos;)
            text.replace(at, 2, "\n");
        EXPECT_EQ(ja.at(key), text) << key;
    }
    EXPECT_EQ(
        ja.at("204").find("現在の設定をマスターとしてファイル登録します。　よろしいですか？\n\n"),
        0u);
}

// The pictures, decoded as a picture object would decode them.
TEST_P(SetTest, DecodesCheckAndOptionPictures) {
    const QuilletResourceSet* set = Set(GetParam());
    ASSERT_NE(set, nullptr);
    std::map<int, QImage> pictures;
    for (std::size_t i = 0; i < set->bitmapCount; ++i) {
        const QuilletResourceBitmap& bitmap = set->bitmaps[i];
        const QByteArray bytes(reinterpret_cast<const char*>(bitmap.data),
                               static_cast<qsizetype>(bitmap.size));
        EXPECT_EQ(bytes.left(2), QByteArray("BM")) << bitmap.id;
        EXPECT_EQ(static_cast<unsigned char>(bytes.at(28)), 8) << bitmap.id;  // bits per pixel
        pictures[bitmap.id] = QImage::fromData(bytes, "BMP");
    }
    ASSERT_EQ(pictures.size(), 8u);
    for (int id = 157; id <= 164; ++id) {
        ASSERT_FALSE(pictures[id].isNull()) << id;
        EXPECT_EQ(pictures[id].size(), id >= 161 ? QSize(16, 16) : QSize(15, 16)) << id;
    }
    // The tick and the dot are dark, at the centre of the mark.
    EXPECT_EQ(qGray(pictures.at(162).pixel(6, 10)), 0);
    EXPECT_EQ(qGray(pictures.at(158).pixel(7, 8)), 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, SetTest, ::testing::Values("ja", "en"));
}  // namespace
}  // namespace quillet::testing
