// The registry file reader: value types, encodings, headers, case rules and
// everything that reads as "not available".
#include <gtest/gtest.h>

#include <cstdlib>

#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/registry_text.h"
#include "support/temp_install.h"

namespace quillet::platform {
namespace {

constexpr std::string_view kKey =
    "HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation";
constexpr std::string_view kKeyLine =
    "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n";
constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\n\n";

struct LookupRow {
    const char* label;
    std::string file;
    const char* valueName;
    std::optional<RegistryValueType> type;  // nullopt: not found
    std::string data;
};

std::string Reg(std::string_view body) {
    return std::string(kHeader) + std::string(kKeyLine) + std::string(body);
}

TEST(RegistryTest, LooksUpValuesByTypeAndRule) {
    const LookupRow rows[] = {
        {"plain string", Reg("\"Root\"=\"/srv/q/\"\n"), "Root", RegistryValueType::String,
         "/srv/q/"},
        {"escapes", Reg("\"Root\"=\"C:\\\\a \\\"b\\\"\"\n"), "Root", RegistryValueType::String,
         "C:\\a \"b\""},
        {"unknown escape kept", Reg("\"Root\"=\"a\\nb\"\n"), "Root", RegistryValueType::String,
         "a\\nb"},
        {"empty string", Reg("\"Root\"=\"\"\n"), "Root", RegistryValueType::String, ""},
        {"value name case", Reg("\"ROOT\"=\"x\"\n"), "root", RegistryValueType::String, "x"},
        {"spaces around =", Reg("\"Root\" = \"x\"\n"), "Root", RegistryValueType::String, "x"},
        {"default value", Reg("@=\"dflt\"\n"), "", RegistryValueType::String, "dflt"},
        {"expand string", Reg("\"Root\"=hex(2):2f,00,61,00,00,00\n"), "Root",
         RegistryValueType::ExpandString, std::string("/\0a\0\0\0", 6)},
        {"dword", Reg("\"Root\"=dword:00000001\n"), "Root", RegistryValueType::Dword, "00000001"},
        {"binary", Reg("\"Root\"=hex:01,02\n"), "Root", RegistryValueType::Other, "\x01\x02"},
        {"multi string", Reg("\"Root\"=hex(7):41,00,00,00\n"), "Root", RegistryValueType::Other,
         std::string("A\0\0\0", 4)},
        {"hex continuation", Reg("\"Root\"=hex(2):41,00,\\\n  42,00\n\"Next\"=\"n\"\n"), "Next",
         RegistryValueType::String, "n"},
        {"hex continuation data", Reg("\"Root\"=hex:41,\\\n  42\n"), "Root",
         RegistryValueType::Other, "AB"},
        {"name with = and continuation", Reg("\"a=b\"=hex:41,\\\n  42\n"), "a=b",
         RegistryValueType::Other, "AB"},
        {"first match wins", Reg("\"Root\"=\"one\"\n\"root\"=\"two\"\n"), "Root",
         RegistryValueType::String, "one"},
        {"comment line", Reg(";\"Root\"=\"no\"\n\"Root\"=\"yes\"\n"), "Root",
         RegistryValueType::String, "yes"},
        {"CRLF",
         "Windows Registry Editor Version 5.00\r\n\r\n" +
             std::string(kKeyLine.substr(0, kKeyLine.size() - 1)) + "\r\n\"Root\"=\"crlf\"\r\n",
         "Root", RegistryValueType::String, "crlf"},
        {"key case",
         std::string(kHeader) +
             "[hkey_local_machine\\SOFTWARE\\veldnetwork\\common\\systeminformation]\n"
             "\"Root\"=\"k\"\n",
         "Root", RegistryValueType::String, "k"},
        {"REGEDIT4", "REGEDIT4\n\n" + std::string(kKeyLine) + "\"Root\"=\"old\"\n", "Root",
         RegistryValueType::String, "old"},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + Reg("\"Root\"=\"bom\"\n"), "Root", RegistryValueType::String,
         "bom"},
        {"UTF-8 text", Reg("\"Root\"=\"/srv/\xE6\x97\xA5/\"\n"), "Root", RegistryValueType::String,
         "/srv/\xE6\x97\xA5/"},
        {"later same key",
         Reg("\"A\"=\"a\"\n[Other]\n\"Root\"=\"no\"\n") + std::string(kKeyLine) +
             "\"Root\"=\"later\"\n",
         "Root", RegistryValueType::String, "later"},
        {"value in another key", Reg("") + "[Other]\n\"Root\"=\"x\"\n", "Root", std::nullopt, ""},
        {"deleted key",
         std::string(kHeader) + "[-" + std::string(kKeyLine.substr(1)) + "\"Root\"=\"x\"\n", "Root",
         std::nullopt, ""},
        {"deleted value", Reg("\"Root\"=-\n"), "Root", std::nullopt, ""},
        {"missing value", Reg("\"Other\"=\"x\"\n"), "Root", std::nullopt, ""},
        {"key prefix only",
         std::string(kHeader) +
             "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON]\n\"Root\"=\"x\"\n",
         "Root", std::nullopt, ""},
        {"unclosed quote", Reg("\"Root\"=\"x\n"), "Root", std::nullopt, ""},
        {"wrong header",
         "Windows Registry Editor Version 4.00\n\n" + std::string(kKeyLine) + "\"Root\"=\"x\"\n",
         "Root", std::nullopt, ""},
        {"header not first",
         std::string(kKeyLine) + "Windows Registry Editor Version 5.00\n" + "\"Root\"=\"x\"\n",
         "Root", std::nullopt, ""},
        {"empty file", "", "Root", std::nullopt, ""},
    };
    for (const LookupRow& row : rows) {
        SCOPED_TRACE(row.label);
        const std::optional<RegistryValue> value = FindRegistryValue(row.file, kKey, row.valueName);
        ASSERT_EQ(value.has_value(), row.type.has_value());
        if (!value) continue;
        EXPECT_EQ(value->type, *row.type);
        EXPECT_EQ(value->data, row.data);
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
