// The two resource sets: the same keys, the fixed texts, the grid pictures.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "resource_set.h"

namespace {

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
        for (int id = first; id <= last; ++id) {
            ASSERT_TRUE(texts.count(std::to_string(id))) << id;
            EXPECT_FALSE(texts.at(std::to_string(id)).empty()) << id;
        }
    }
    // Every text the dialogs and their messages show.
    for (const char* key : {"102.title",
                            "102.label.machine",
                            "102.label.material",
                            "102.group.head_end",
                            "102.label.nc_start",
                            "102.label.after_g92",
                            "102.label.nc_end",
                            "102.group.origin",
                            "102.group.machine_stop",
                            "102.group.k",
                            "102.group.l",
                            "102.group.m",
                            "102.group.h",
                            "102.label.condition",
                            "102.label.cut_start",
                            "102.label.cut_end",
                            "102.1001",
                            "102.1008",
                            "102.1016",
                            "102.1",
                            "102.2",
                            "102.text_too_long",
                            "102.write_failed",
                            "129.title",
                            "129.column.value",
                            "129.column.condition",
                            "129.1001",
                            "129.1046",
                            "129.1",
                            "129.2",
                            "130.title",
                            "130.1046",
                            "131.title",
                            "131.1051",
                            "132.title"}) {
        EXPECT_FALSE(texts.count(key) == 0 || texts.at(key).empty()) << key;
    }
    // Descriptions are a blank, except the gas codes, which are the same lines
    // in every language.
    for (int id = 400; id <= 487; ++id) {
        EXPECT_TRUE(id == 404 || texts.at(std::to_string(id)) == " ") << id;
    }
    EXPECT_EQ(texts.at("404"),
              "Air (H)=0 / (M)=1 / (L)=2\nN2  (H)=3 / (M)=4 / (L)=5\nO2  (H)=6 / (M)=7 / (L)=8\n"
              "1st (H)=9 / (M)=10/ (L)=11\n2nd (H)=12/ (M)=13/ (L)=14\n"
              "3nd (H)=15/ (M)=16/ (L)=17\n4nd (H)=18/ (M)=19/ (L)=20");
    EXPECT_EQ(texts.at("300"), "On/Off");
}

TEST(ResourceSetsTest, FixedTextsAreTheSystemsOwn) {
    ASSERT_NE(EnglishSet(), nullptr);
    const std::map<std::string, TextMap> texts{{"ja", Texts(Set("ja"))}, {"en", Texts(Set("en"))}};
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"ja", "202", "他社機用ＮＣデータ設定がされていません。"},
        {"ja", "205",
         "マスターの読み込みを行います。　よろしいですか？\n\n（備考）"
         "読み込みすると現在の設定は全てマスター値に更新されます。"},
        {"ja", "292", "切断ﾓｰﾄﾞ(100=ﾗｰｼﾞ～600)"},
    };
    for (const auto& [set, key, text] : rows) EXPECT_EQ(texts.at(set).at(key), text) << set << key;
    EXPECT_EQ(texts.at("ja").at("204").find(
                  "現在の設定をマスターとしてファイル登録します。　よろしいですか？\n\n"),
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
