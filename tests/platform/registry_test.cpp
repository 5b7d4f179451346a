// The registry file reader: value types, encodings, headers, case rules and
// everything that reads as "not available".
#include <gtest/gtest.h>

#include <cstdlib>

#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/unicode.h"
#include "support/temp_install.h"

namespace quillet::platform {
namespace {

constexpr std::string_view kKey =
    "HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation";
constexpr std::string_view kKeyLine =
    "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n";
constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\n\n";

std::string Reg(std::string_view body) {
    return std::string(kHeader) + std::string(kKeyLine) + std::string(body);
}

TEST(RegistryTest, LooksUpValuesByTypeAndRule) {
    for (const auto& row : testing::FixtureRows(std::filesystem::path(QUILLET_PLATFORM_DATA) /
                                                "registry_lookups.txt")) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 5u);
        const std::optional<RegistryValue> value = FindRegistryValue(row[1], kKey, row[2]);
        ASSERT_EQ(value.has_value(), row[3] != "-");
        if (!value) continue;
        EXPECT_EQ("SEDO"[static_cast<int>(value->type)], row[3][0]);
        EXPECT_EQ(value->data, row[4]);
    }
}

TEST(RegistryTest, ReadsUtf16LittleEndianWithMark) {
    // U+65E5 and U+1F600 (a surrogate pair) in the value.
    const std::string text = Reg("\"Root\"=\"/srv/\xE6\x97\xA5\xF0\x9F\x98\x80/\"\r\n");
    const std::string utf16 = "\xFF\xFE" + Utf8ToUtf16Le(text);
    ASSERT_EQ(utf16.size() % 2, 0u);
    const std::optional<RegistryValue> value = FindRegistryValue(utf16, kKey, "Root");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->data, "/srv/\xE6\x97\xA5\xF0\x9F\x98\x80/");
}

TEST(RegistryTest, Utf16ConversionRoundTripsAndReplacesBrokenUnits) {
    const std::string text = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80z";
    EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le(text)), text);
    // A lone high surrogate, then an odd trailing byte.
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8"
                                        "A\0"
                                        "B",
                                        5)),
              "\xEF\xBF\xBD"
              "A");
    EXPECT_EQ(Utf8ToUtf16Le("\xFF"), std::string("\xFD\xFF", 2));
}

TEST(RegistryTest, FileFormReadsAnewAndMissingFileIsNotAvailable) {
    testing::TempFolder folder;
    const auto file = folder.Path() / "registry.reg";
    EXPECT_FALSE(ReadRegistryValue(file, kKey, "Root").has_value());
    EXPECT_FALSE(ReadRegistryValue(folder.Path(), kKey, "Root").has_value());
    testing::WriteFile(file, Reg("\"Root\"=\"one\"\n"));
    EXPECT_EQ(ReadRegistryValue(file, kKey, "Root")->data, "one");
    testing::WriteFile(file, Reg("\"Root\"=\"two\"\n"));
    EXPECT_EQ(ReadRegistryValue(file, kKey, "Root")->data, "two");

    // The file named by QUILLET_REGISTRY: a rewrite of the same size within
    // the same second, and a change of the variable, are seen by the next call.
    ::setenv("QUILLET_REGISTRY", file.c_str(), 1);
    EXPECT_EQ(ReadRegistryValue(kKey, "Root")->data, "two");
    testing::WriteFile(file, Reg("\"Root\"=\"six\"\n"));
    EXPECT_EQ(ReadRegistryValue(kKey, "Root")->data, "six");
    const auto other = folder.Path() / "other.reg";
    testing::WriteFile(other, Reg("\"Root\"=\"ten\"\n"));
    ::setenv("QUILLET_REGISTRY", other.c_str(), 1);
    EXPECT_EQ(ReadRegistryValue(kKey, "Root")->data, "ten");
    ::unsetenv("QUILLET_REGISTRY");
}

}  // namespace
}  // namespace quillet::platform
