// The profile engine: reading and writing INI files the way the Windows
// profile functions do, with edits made in place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "platform/unicode.h"
#include "support/ini_value.h"
#include "support/temp_install.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

const fs::path kData = QUILLET_PLATFORM_DATA;

TEST(ProfileReadTest, FindsValuesAsTheProfileFunctionsDo) {
    for (const auto& row : testing::FixtureRows(kData / "profile_reads.txt")) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 6u);
        const ProfileDocument document = ProfileDocument::FromBytes("t.ini", row[1]);
        EXPECT_EQ(document.GetString(row[2], row[3], row[4]), row[5]);
        // The one-pass reader of read-only look-ups answers the same.
        EXPECT_EQ(GetProfileStringFromBytes(row[1], row[2], row[3], row[4]), row[5]);
    }
    // Find tells a missing key from an empty value; a 1-byte buffer holds only the NUL.
    const ProfileDocument document = ProfileDocument::FromBytes("t.ini", "[S]\nE=\nN\n");
    EXPECT_EQ(document.Find("S", "E"), std::optional<std::string>(""));
    EXPECT_EQ(document.Find("S", "N"), std::nullopt);
    EXPECT_EQ(document.GetString("S", "E", "d", 1), "");
}

TEST(ProfileWriteTest, EditsInPlaceByteForByte) {
    for (const auto& row : testing::FixtureRows(kData / "profile_writes.txt")) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 6u);
        ProfileDocument document = ProfileDocument::FromBytes("t.ini", row[1]);
        EXPECT_TRUE(document.SetString(row[2], row[3], row[4]));
        EXPECT_TRUE(document.Dirty());
        EXPECT_EQ(document.Serialize(), row[5]);
        // Reading the result back finds the value written.
        EXPECT_EQ(ProfileDocument::FromBytes("t.ini", row[5]).GetString(row[2], row[3], "?"),
                  document.GetString(row[2], row[3], "?"));
    }
}

// A write of the value already there, or of text that would break the
// file (a line break, '=' in a key, a key that reads as a header), changes
// nothing.
TEST(ProfileWriteTest, SameValueAndBreakingTextChangeNothing) {
    const struct {
        std::string file;
        const char* section;
        const char* key;
        const char* value;
    } rows[] = {
        {"[A]\nk = v \n", "a", "K", "v"},
        {"[A]\nk=v\n", "a", "K", "  v"},        // leading spaces are dropped first
        {"[A]\nk=\"v\"\n", "a", "K", "\"v\""},  // stored quotes compared raw
        {std::string("[A]\nk=v\0x\n", 10), "a", "K", "v"},
        {"[A]\nk=1\n", "A", "k", "x\ny=2"},
        {"[A]\nk=1\n", "A", "k", "x\r"},
        {"[A]\nk=1\n", "A\n[B", "k", "1"},
        {"[A]\nk=1\n", "A", "a=b", "1"},
        {"[A]\nk=1\n", "A", "[x]", "1"},
        {"[A]\nk=1\n", "A", " \t[x", "]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.key) + "=" + row.value);
        ProfileDocument document = ProfileDocument::FromBytes("t.ini", row.file);
        EXPECT_FALSE(document.SetString(row.section, row.key, row.value));
        EXPECT_FALSE(document.Dirty());
        EXPECT_EQ(document.Serialize(), row.file);
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

// Files: a read never creates one, a save creates a missing file but not a
// missing folder, never replaces a file it could not read, leaves the file
// untouched when nothing changes and no temporary file behind.
TEST(ProfileFileTest, ReadsAnewWritesOnceAndOnlyWhatItCan) {
    testing::TempFolder folder;
    const std::filesystem::path file = folder.Path() / "set.ini";
    const auto entries = [&] {
        return std::distance(std::filesystem::directory_iterator(folder.Path()),
                             std::filesystem::directory_iterator());
    };
    EXPECT_EQ(ProfileDocument::Load(file).GetString("A", "k", "dflt"), "dflt");
    EXPECT_EQ(ProfileDocument::Load(folder.Path()).GetString("A", "k", "dflt"), "dflt");
    EXPECT_FALSE(ProfileDocument::Load(file).Exists());
    EXPECT_EQ(entries(), 0);
    EXPECT_FALSE(testing::SetIniValue(folder.Path() / "no" / "set.ini", "A", "k", "1"));

    ProfileDocument document = ProfileDocument::Load(file);
    for (int i = 0; i < 88; ++i) document.SetString("T", "k" + std::to_string(i), "v");
    EXPECT_EQ(entries(), 0);  // nothing written before Save
    ASSERT_TRUE(document.Save());
    EXPECT_FALSE(document.Dirty());
    ASSERT_TRUE(testing::SetIniValue(file, "A", "j", "2"));
    EXPECT_EQ(testing::IniValue(file, "a", "J"), "2");
    EXPECT_EQ(entries(), 1);

    testing::WriteFile(file, "[A]\r\nk=1\r\n");
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    EXPECT_TRUE(testing::SetIniValue(file, "A", "k", "1"));
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    testing::WriteFile(file, "[A]\nk=replaced\n");
    EXPECT_EQ(testing::IniValue(file, "A", "k"), "replaced");

    if (::geteuid() == 0) return;  // root reads every file
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_FALSE(testing::SetIniValue(file, "A", "j", "2"));
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    EXPECT_EQ(testing::ReadFile(file), "[A]\nk=replaced\n");
}

}  // namespace
}  // namespace quillet::platform
