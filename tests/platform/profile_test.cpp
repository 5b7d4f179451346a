// The profile engine: reading and writing INI files the way the Windows
// profile functions do, with edits made in place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "platform/registry_text.h"
#include "support/temp_install.h"

namespace quillet::platform {
namespace {

struct ReadRow {
    const char* label;
    std::string file;
    const char* section;
    const char* key;
    const char* defaultText;
    std::string expected;
};

TEST(ProfileReadTest, FindsValuesAsTheProfileFunctionsDo) {
    const ReadRow rows[] = {
        {"plain", "[S]\nKey=v\n", "S", "Key", "d", "v"},
        {"section case", "[Sect]\nKey=v\n", "sECT", "Key", "d", "v"},
        {"key case", "[S]\nkEy=v\n", "S", "KEY", "d", "v"},
        {"argument whitespace", "[S]\nKey=v\n", " S\t", "  Key ", "d", "v"},
        {"trimmed name and value", "  [ S ] tail\n\t Key \t=  v w \x1A\n", "S", "Key", "d", "v w"},
        {"last bracket", "[a]b]\nK=1\n", "a]b", "K", "d", "1"},
        {"no closing bracket", "[S]\n[x=1\n", "S", "[x", "d", "1"},
        {"value with =", "[S]\nK=a=b\n", "S", "K", "d", "a=b"},
        {"inner key spaces", "[S]\nmy key=1\n", "S", "my  key", "d", "d"},
        {"double quotes", "[S]\nK=\"  q \"\n", "S", "K", "d", "  q "},
        {"single quotes", "[S]\nK='q'\n", "S", "K", "d", "q"},
        {"mixed quotes stay", "[S]\nK=\"q'\n", "S", "K", "d", "\"q'"},
        {"lone quote stays", "[S]\nK=\"\n", "S", "K", "d", "\""},
        {"only one pair", "[S]\nK=\"\"q\"\"\n", "S", "K", "d", "\"q\""},
        {"empty value", "[S]\nK=\n", "S", "K", "d", ""},
        {"spaces only value", "[S]\nK=   \n", "S", "K", "d", ""},
        {"no equals gives default", "[S]\nK\nK=v\n", "S", "K", "d", "d"},
        {"first duplicate key", "[S]\nK=1\nk=2\n", "S", "K", "d", "1"},
        {"first duplicate section", "[S]\nA=1\n[s]\nB=2\n", "S", "B", "d", "d"},
        {"semicolon key", "[S]\n; a = b\n", "S", "; a", "d", "b"},
        {"hash key", "[S]\n#Key=v\n", "S", "#Key", "d", "v"},
        {"no inline comment", "[S]\nKey=1 ; note\n", "S", "Key", "d", "1 ; note"},
        {"unnamed section", "K=top\n[S]\nK=s\n", "", "K", "d", "top"},
        {"unnamed needs empty name", "K=top\n[S]\n", "S", "K", "d", "d"},
        {"empty key", "[S]\n=v\n", "S", "", "d", "v"},
        {"CR CR LF", "[S]\r\r\nA=1\r\r\nB=2", "S", "B", "d", "2"},
        {"lone CR", "[S]\rA=1\rB=2\r", "S", "A", "d", "1"},
        {"CRLF", "[S]\r\nA=1\r\n", "S", "A", "d", "1"},
        {"last line without end", "[S]\nA=last", "S", "A", "d", "last"},
        {"NUL ends value", std::string("[S]\nA=ab\0cd\n", 12), "S", "A", "d", "ab"},
        {"UTF-8 mark", "\xEF\xBB\xBF[S]\nA=1\n", "S", "A", "d", "1"},
        {"by text not number", "[S]\n013300=x\n", "S", "13300", "d", "d"},
        {"stored as written", "[S]\nA=12abc\n", "S", "A", "d", "12abc"},
        {"missing section", "[S]\nA=1\n", "T", "A", "d", "d"},
        {"default quotes", "[S]\n", "S", "A", "\"q\"", "q"},
        {"default trailing spaces", "[S]\n", "S", "A", " d  ", " d"},
        {"0xA0 is no space", "[S]\nA=\xA0x\n", "S", "A", "d", "\xA0x"},
        {"cut to buffer", "[S]\nA=" + std::string(300, 'x') + "\n", "S", "A", "d",
         std::string(255, 'x')},
    };
    for (const ReadRow& row : rows) {
        SCOPED_TRACE(row.label);
        const ProfileDocument document = ProfileDocument::FromBytes("t.ini", row.file);
        EXPECT_EQ(document.GetString(row.section, row.key, row.defaultText), row.expected);
        // The one-pass reader of read-only look-ups answers the same.
        EXPECT_EQ(GetProfileStringFromBytes(row.file, row.section, row.key, row.defaultText),
                  row.expected);
    }
}

TEST(ProfileReadTest, FindTellsMissingFromEmpty) {
    const ProfileDocument document = ProfileDocument::FromBytes("t.ini", "[S]\nE=\nN\n");
    EXPECT_EQ(document.Find("S", "E"), std::optional<std::string>(""));
    EXPECT_FALSE(document.Find("S", "N").has_value());
    EXPECT_FALSE(document.Find("S", "X").has_value());
    EXPECT_EQ(document.GetString("S", "E", "d", 1), "");
}

struct WriteRow {
    const char* label;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(ProfileWriteTest, EditsInPlaceByteForByte) {
    const WriteRow rows[] = {
        {"replace keeps spelling and line end", "; head\r\n[Sect]\r\n  KeY = old \r\nz=1\r\n",
         "SECT", "key", "new", "; head\r\n[Sect]\r\nKeY=new\r\nz=1\r\n"},
        {"first duplicate replaced", "[S]\nK=1\nK=2\n", "S", "K", "3", "[S]\nK=3\nK=2\n"},
        {"line without equals", "[S]\nK\n", "S", "K", "v", "[S]\nK=v\n"},
        {"new key after last entry", "[A]\nx=1\n; note\n\n\n[B]\ny=2\n", "A", "n", "v",
         "[A]\nx=1\n; note\nn=v\n\n\n[B]\ny=2\n"},
        {"new key in empty section", "[A]\n\n[B]\n", "A", "n", "v", "[A]\nn=v\n\n[B]\n"},
        {"new key at end without line end", "[A]\nx=1", "A", "n", "v", "[A]\nx=1\nn=v\n"},
        {"new key keeps CRLF file", "[A]\r\nx=1\r\n", "A", "n", "v", "[A]\r\nx=1\r\nn=v\n"},
        {"new section after last line", "[A]\nx=1\n\n", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
        {"new section adds final line end", "[A]\nx=1", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
        {"new section names trimmed", "", " B ", " k ", "v", "[B]\nk=v\n"},
        {"duplicate section: first", "[A]\nx=1\n[B]\n[a]\ny=2\n", "A", "y", "3",
         "[A]\nx=1\ny=3\n[B]\n[a]\ny=2\n"},
        {"leading whitespace dropped", "[A]\n", "A", "k", " \t v  ", "[A]\nk=v  \n"},
        {"empty value", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"},
        {"quoted replaced by bare", "[A]\nk=\"v\"\n", "A", "k", "v", "[A]\nk=v\n"},
        {"unnamed section", "a=1\n[S]\n", "", "b", "2", "a=1\nb=2\n[S]\n"},
        {"empty unnamed section", "[S]\n", "", "b", "2", "b=2\n[S]\n"},
        {"UTF-8 mark kept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n"},
        {"CR CR LF kept", "[A]\r\r\nk=1\r\r\nz=2", "A", "k", "2", "[A]\r\r\nk=2\r\r\nz=2"},
        {"NUL line replaced", std::string("[A]\nk=1\0x\n", 10), "A", "k", "2", "[A]\nk=2\n"},
    };
    for (const WriteRow& row : rows) {
        SCOPED_TRACE(row.label);
        ProfileDocument document = ProfileDocument::FromBytes("t.ini", row.before);
        EXPECT_TRUE(document.SetString(row.section, row.key, row.value));
        EXPECT_TRUE(document.Dirty());
        EXPECT_EQ(document.Serialize(), row.after);
        // Reading the result back finds the value written.
        EXPECT_EQ(
            ProfileDocument::FromBytes("t.ini", row.after).GetString(row.section, row.key, "?"),
            document.GetString(row.section, row.key, "?"));
    }
}

TEST(ProfileWriteTest, SameValueIsNoChange) {
    const struct {
        const char* label;
        std::string file;
        const char* value;
    } rows[] = {
        {"same text", "[A]\nk = v \n", "v"},
        {"leading spaces dropped first", "[A]\nk=v\n", "  v"},
        {"stored quotes compared raw", "[A]\nk=\"v\"\n", "\"v\""},
        {"NUL-ended value", std::string("[A]\nk=v\0x\n", 10), "v"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ProfileDocument document = ProfileDocument::FromBytes("t.ini", row.file);
        EXPECT_FALSE(document.SetString("a", "K", row.value));
        EXPECT_FALSE(document.Dirty());
        EXPECT_EQ(document.Serialize(), row.file);
    }
}

TEST(ProfileWriteTest, RefusesTextThatWouldBreakTheFile) {
    const std::string file = "[A]\nk=1\n";
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } rows[] = {{"A", "k", "x\ny=2"}, {"A", "k", "x\r"}, {"A\n[B", "k", "1"},
                {"A", "a=b", "1"},    {"A", "[x]", "1"}, {"A", " \t[x", "]"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        ProfileDocument document = ProfileDocument::FromBytes("t.ini", file);
        EXPECT_FALSE(document.SetString(row.section, row.key, row.value));
        EXPECT_EQ(document.Serialize(), file);
    }
}

TEST(ProfileWriteTest, TableWrittenKeyByKeyKeepsSectionOrder) {
    ProfileDocument document = ProfileDocument::FromBytes("t.ini", "[T]\nc=0\na=0\n\n[U]\nz=9\n");
    for (const char* key : {"a", "b", "c", "d"}) document.SetString("T", key, key);
    EXPECT_EQ(document.Serialize(), "[T]\nc=c\na=a\nb=b\nd=d\n\n[U]\nz=9\n");
}

TEST(ProfileWriteTest, Utf16FileRoundTripsAsUtf16) {
    const std::string text = "[A]\r\nk=\xE6\x97\xA5\xF0\x9F\x98\x80\r\nz=1\r\n";
    const std::string bytes = "\xFF\xFE" + Utf8ToUtf16Le(text);
    ProfileDocument document = ProfileDocument::FromBytes("t.ini", bytes);
    EXPECT_EQ(document.Find("A", "k"), "\xE6\x97\xA5\xF0\x9F\x98\x80");
    EXPECT_EQ(document.Serialize(), bytes);
    document.SetString("A", "z", "\xC3\xA9");
    document.SetString("B", "n", "1");
    EXPECT_EQ(document.Serialize(),
              "\xFF\xFE" + Utf8ToUtf16Le("[A]\r\nk=\xE6\x97\xA5\xF0\x9F\x98\x80\r\nz=\xC3\xA9\r\n"
                                         "[B]\nn=1\n"));
}

// Files: a read never creates one, a write creates a missing file but not a
// missing folder, never replaces a file it could not read, leaves the file
// untouched when nothing changes and no temporary file behind; every call
// reads the file anew.
TEST(ProfileFileTest, ReadsAnewWritesOnceAndOnlyWhatItCan) {
    testing::TempFolder folder;
    const std::filesystem::path file = folder.Path() / "set.ini";
    const auto entries = [&] {
        return std::distance(std::filesystem::directory_iterator(folder.Path()),
                             std::filesystem::directory_iterator());
    };
    EXPECT_EQ(GetPrivateProfileString("A", "k", "dflt", 256, file), "dflt");
    EXPECT_EQ(GetPrivateProfileString("A", "k", "dflt", 256, folder.Path()), "dflt");
    EXPECT_FALSE(ProfileDocument::Load(file).Exists());
    EXPECT_EQ(entries(), 0);
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "1", folder.Path() / "no" / "set.ini"));

    ProfileDocument document = ProfileDocument::Load(file);
    for (int i = 0; i < 88; ++i) document.SetString("T", "k" + std::to_string(i), "v");
    EXPECT_EQ(entries(), 0);  // nothing written before Save
    ASSERT_TRUE(document.Save());
    EXPECT_FALSE(document.Dirty());
    ASSERT_TRUE(WritePrivateProfileString("A", "j", "2", file));
    EXPECT_EQ(GetPrivateProfileString("a", "J", "", 256, file), "2");
    EXPECT_EQ(entries(), 1);

    testing::WriteFile(file, "[A]\r\nk=1\r\n");
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    EXPECT_TRUE(WritePrivateProfileString("A", "k", "1", file));
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    testing::WriteFile(file, "[A]\nk=replaced\n");
    EXPECT_EQ(GetPrivateProfileString("A", "k", "", 256, file), "replaced");

    if (::geteuid() == 0) return;  // root reads every file
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_FALSE(WritePrivateProfileString("A", "j", "2", file));
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    EXPECT_EQ(testing::ReadFile(file), "[A]\nk=replaced\n");
}

}  // namespace
}  // namespace quillet::platform
