// Dialog 102: its edit object without a display (bytes, lengths, master),
// and the dialog offscreen with OK and Cancel (keys, typed upper case, focus).
#include "othmac/nc_data_dialog.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "frame/gui_qt.h"
#include "othmac/nc_data_edit.h"
#include "support/message_recorder.h"
#include "support/on_modal.h"
#include "support/temp_install.h"

namespace quillet::othmac {
namespace {

using platform::MessageAnswer;
using testing::Child;
using testing::FocusWalk;
using testing::MessageRecorder;
using testing::OnModal;
using testing::PressKey;
using testing::ReadFile;
using testing::TempInstallation;

LookupRequest Request(bool create, const std::string& material, bool show = true) {
    return LookupRequest{create, show, 130, "MC01", material, "", 0, 0};
}

class NcDataEditTest : public ::testing::Test {
protected:
    std::filesystem::path Data(const std::string& name) const {
        return install_.DataFolder() / name;
    }
    // Registers MC01/material and writes texts as its template.
    void Write(const std::string& material, const NcTemplateTexts& texts) {
        ASSERT_EQ(LocateConditionFile(Request(1, material)).status, Outcome::Done);
        ASSERT_TRUE(WriteNcTemplate(texts, Data("MC01-" + material + ".CUT")));
    }
    TempInstallation install_;
    MessageRecorder messages_;
};

TEST_F(NcDataEditTest, ShiftJisTextsShowDecodedAndWhatWasNotEditedGoesBackByteForByte) {
    NcTemplateTexts saved;
    saved[NcText::NcStart] = "O1000 (\x90\xd8\x92\x66)\r\n\x87\x90g04\r\n";  // 切断, NEC ≒
    saved[NcText::CutCondK] = "m102 \x82\xa0\r\n";
    Write("SPCC", saved);
    NcDataEdit edit(Request(0, "SPCC"));
    ASSERT_EQ(edit.Open(), Outcome::Done);
    EXPECT_EQ(edit.Text(NcText::NcStart), "O1000 (切断)\n≒g04\n");
    EXPECT_EQ(edit.Bytes(), saved);  // nothing edited, nothing changed
    edit.SetText(NcText::NcStart, "O1000 (切断)\n≒g04\nM30 あ");
    edit.SetText(NcText::NcEnd, "%");
    NcTemplateTexts expected = saved;
    expected[NcText::NcStart] = "O1000 (\x90\xd8\x92\x66)\r\n\x87\x90g04\r\nM30 \x82\xa0";
    expected[NcText::NcEnd] = "%";
    EXPECT_EQ(edit.Bytes(), expected);
    ASSERT_EQ(edit.Save(), NcDataEdit::SaveResult::Saved);
    EXPECT_EQ(ReadFile(Data("MC01-SPCC.CUT")), FormatNcTemplate(expected));
    // Lengths count the bytes written: 249 double-byte characters and one
    // more byte fit, 250 do not.
    std::string text;
    for (int i = 0; i < 249; ++i) text += "あ";
    edit.SetText(NcText::MacStop, text + "X");
    EXPECT_FALSE(edit.FirstOverlongText());
    edit.SetText(NcText::MacStop, text + "あ");
    EXPECT_EQ(edit.FirstOverlongText(), NcText::MacStop);
    EXPECT_EQ(edit.Save(), NcDataEdit::SaveResult::TooLong);
    EXPECT_EQ(ReadFile(Data("MC01-SPCC.CUT")), FormatNcTemplate(expected));
    // 499 bytes save on every OK, also after reading them back.
    edit.SetText(NcText::MacStop, text + "X");
    ASSERT_EQ(edit.Save(), NcDataEdit::SaveResult::Saved);
    NcDataEdit again(Request(0, "SPCC"));
    ASSERT_EQ(again.Open(), Outcome::Done);
    EXPECT_EQ(again.Save(), NcDataEdit::SaveResult::Saved);
}

TEST_F(NcDataEditTest, MasterIsRegisteredAndLoadedUnderAnotherMaterial) {
    NcDataEdit edit(Request(1, "SPCC"));
    ASSERT_EQ(edit.Open(), Outcome::Done);
    EXPECT_FALSE(edit.LoadMaster());  // there is none yet
    EXPECT_NE(ReadFile(Data("MC01.__1")).find("[QM700]Oth_MASTER "), std::string::npos);
    edit.SetText(NcText::NcStartG92, "G90 (あ)");  // new text is CP932
    ASSERT_EQ(edit.RegisterMaster(), NcDataEdit::SaveResult::Saved);
    NcTemplateTexts master;
    master[NcText::NcStartG92] = "G90 (\x82\xa0)";
    EXPECT_EQ(ReadFile(Data("MC01-Oth_MASTER.CUT")), FormatNcTemplate(master));
    EXPECT_FALSE(std::filesystem::exists(Data("MC01-SPCC.CUT")));

    NcDataEdit other(Request(1, "SS400"));
    ASSERT_EQ(other.Open(), Outcome::Done);
    other.SetText(NcText::NcStart, "OLD");
    ASSERT_TRUE(other.LoadMaster());
    EXPECT_EQ(other.Text(NcText::NcStartG92), "G90 (あ)\n");
    EXPECT_EQ(other.Text(NcText::NcStart), "");
    other.ClearAll();
    EXPECT_EQ(other.Text(NcText::NcStartG92), "");
}

class NcDataDialogTest : public NcDataEditTest {
protected:
    void SetUp() override { ASSERT_TRUE(frame::EnsureApplication()); }
    static QPlainTextEdit* Edit(QDialog& dialog, int id) {
        return Child<QPlainTextEdit>(dialog, std::to_string(id));
    }
};

TEST_F(NcDataDialogTest, OkRunTypesInUpperCaseKeepsLoadedTextAndEnterPressesTheFocusedButton) {
    NcTemplateTexts saved;
    saved[NcText::NcStart] = "O1000 (\x90\xd8\x92\x66)\r\ng04p1\r\n";
    Write("SPCC1.6", saved);
    messages_.AnswerNext(MessageAnswer::No);
    messages_.AnswerNext(MessageAnswer::No);
    OnModal modal("102", [](QDialog& dialog) {
        EXPECT_EQ(Child<QLineEdit>(dialog, "1021")->text(), "SPCC1.6");
        EXPECT_EQ(dialog.focusWidget(), Edit(dialog, 1000));
        EXPECT_EQ(FocusWalk(dialog, 5),
                  (std::vector<std::string>{"1003", "1004", "1022", "1012", "1007"}));
        EXPECT_TRUE(Child<QPushButton>(dialog, "1")->isDefault());
        EXPECT_EQ(Edit(dialog, 1000)->toPlainText(), "O1000 (切断)\ng04p1\n");
        QPlainTextEdit* end = Edit(dialog, 1006);
        end->setFocus();
        QTest::keyClicks(end, "m05");
        QTest::keyClick(end, Qt::Key_Return);  // a line break, not OK
        QTest::keyClicks(end, "g04");
        for (const char* typed : {"ａ", "😀"}) {  // full width stays; CP932 cannot hold 😀
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8(typed));
            QApplication::sendEvent(end, &press);
        }
        QTest::keyClick(end, Qt::Key_Enter);
        EXPECT_EQ(end->toPlainText(), "M05\nG04ａ\n");
        QTest::keyClicks(Edit(dialog, 1005), "x");
        PressKey(Child<QWidget>(dialog, "1008"), Qt::Key_Return);  // asks 204: No
        PressKey(Child<QWidget>(dialog, "1016"), Qt::Key_Return);  // asks 205: No
        EXPECT_EQ(end->toPlainText(), "M05\nG04ａ\n");
        EXPECT_TRUE(dialog.isVisible());
        PressKey(Child<QWidget>(dialog, "1002"), Qt::Key_Return);  // elsewhere: OK
    });
    EXPECT_EQ(RunNcDataDialog(Request(1, "SPCC1.6")), Outcome::Done);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(messages_.Ids(), (std::vector<std::string>{"text.not_cp932", "204", "205"}));
    EXPECT_NE(messages_.Messages()[0].text.find("「😀」（U+1F600）"), std::string::npos);
    NcTemplateTexts expected = saved;
    expected[NcText::CutEndK] = "M05\r\nG04\x82\x81\r\n";  // ａ in CP932
    expected[NcText::CutStartK] = "X";
    EXPECT_EQ(ReadFile(Data("MC01-SPCC1.6.CUT")), FormatNcTemplate(expected));
}

TEST_F(NcDataDialogTest, CancelRunClearsWithEnterAndWritesNothing) {
    OnModal modal("102", [](QDialog& dialog) {
        Edit(dialog, 1000)->setPlainText("%");
        PressKey(Child<QWidget>(dialog, "1001"), Qt::Key_Return);  // Clear all, stays open
        EXPECT_TRUE(Edit(dialog, 1000)->toPlainText().isEmpty());
        EXPECT_TRUE(dialog.isVisible());
        Edit(dialog, 1000)->setPlainText("%");
        PressKey(Child<QWidget>(dialog, "2"), Qt::Key_Return);
    });
    EXPECT_EQ(RunNcDataDialog(Request(1, "SPCC")), Outcome::Cancelled);
    EXPECT_TRUE(modal.Ran());
    EXPECT_FALSE(std::filesystem::exists(Data("MC01-SPCC.CUT")));
    EXPECT_TRUE(std::filesystem::exists(Data("MC01.__1")));  // the registration stays
    OnModal never("102", [](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(RunNcDataDialog(Request(0, "NONE")), Outcome::NotSetUp);
    EXPECT_FALSE(never.Ran());
}

}  // namespace
}  // namespace quillet::othmac
