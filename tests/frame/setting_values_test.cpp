// Typed setting values: the text forms written, the conversions read, the
// switch default marker and independence from the process locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "frame/setting_values.h"
#include "platform/profile.h"
#include "support/temp_install.h"

namespace quillet::frame {
namespace {

constexpr int kText = 0, kInteger = 1, kReal = 2, kSwitch = 3;

class SettingValuesTest : public ::testing::Test {
protected:
    testing::TempFolder folder_;
    std::string File() const { return (folder_.Path() / "values.ini").string(); }

    // Reads key as kind from a file holding "[S]\n" + body.
    struct Read {
        int switchValue = 9;
        std::string text = "junk";
        int integer = 9;
        double real = 9.0;
        int result = -9;
    };
    Read ReadFrom(const std::string& body, int kind) {
        testing::WriteFile(File(), "[S]\n" + body);
        Read r;
        ReadSettingValue(kind, r.switchValue, r.text, r.integer, r.real, File(), "S", "K");
        return r;
    }
    Read ReadOrFrom(const std::string& body, int kind, double defaultValue) {
        testing::WriteFile(File(), "[S]\n" + body);
        Read r;
        r.result = ReadSettingValueOr(kind, r.switchValue, r.text, r.integer, r.real, File(), "S",
                                      "K", defaultValue);
        return r;
    }
};

TEST_F(SettingValuesTest, WritesTheTextFormOfEachKind) {
    const struct {
        int kind;
        int switchValue;
        const char* text;
        int integer;
        double real;
        const char* written;
    } rows[] = {
        {kText, 1, "abc", 5, 1.5, "abc"},
        {kInteger, 1, "abc", -42, 1.5, "-42"},
        {kReal, 1, "abc", 5, 0.1, "0.100000"},
        {kReal, 1, "abc", 5, 1.5, "1.500000"},
        {kReal, 1, "abc", 5, -0.0, "-0.000000"},
        {kReal, 1, "abc", 5, 2.0000005, "2.000001"},
        {kSwitch, 7, "abc", 5, 1.5, "1"},
        {kSwitch, 0, "abc", 5, 1.5, "0"},
        {7, 1, "raw", 5, 1.5, "raw"},
        {-1, 1, "raw", 5, 1.5, "raw"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.written);
        WriteSettingValue(row.kind, row.switchValue, row.text, row.integer, row.real, File(), "S",
                          "K");
        EXPECT_EQ(testing::ReadFile(File()), std::string("[S]\nK=") + row.written + "\n");
        std::filesystem::remove(File());
    }
}

TEST_F(SettingValuesTest, ReadsWithDefaultMinusOne) {
    Read r = ReadFrom("", kInteger);
    EXPECT_EQ(r.integer, -1);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.switchValue, 0);
    EXPECT_EQ(r.real, 0.0);
    EXPECT_EQ(ReadFrom("", kSwitch).switchValue, 1);
    EXPECT_EQ(ReadFrom("", kReal).real, -1.0);
    EXPECT_EQ(ReadFrom("", kText).text, "-1");
    EXPECT_EQ(ReadFrom("K=5\n", kSwitch).integer, 0);
}

TEST_F(SettingValuesTest, ConvertsAsAtoiAndAtof) {
    const struct {
        const char* value;
        int integer;
        double real;
        int switchValue;
    } rows[] = {
        {"12abc", 12, 12.0, 1}, {"", 0, 0.0, 0},
        {"-7", -7, -7.0, 1},    {"+3.9", 3, 3.9, 1},
        {"1.5", 1, 1.5, 1},     {"1,5", 1, 1.0, 1},
        {"1e3", 1, 1000.0, 1},  {"0x10", 0, 16.0, 0},
        {"abc", 0, 0.0, 0},     {"4294967297", 1, 4294967297.0, 1},
        {"0.4", 0, 0.4, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        const std::string body = std::string("K=") + row.value + "\n";
        EXPECT_EQ(ReadFrom(body, kInteger).integer, row.integer);
        EXPECT_DOUBLE_EQ(ReadFrom(body, kReal).real, row.real);
        EXPECT_EQ(ReadFrom(body, kSwitch).switchValue, row.switchValue);
        EXPECT_EQ(ReadFrom(body, kText).text, row.value);
    }
}

TEST_F(SettingValuesTest, UnknownKindLeavesOutputsCleared) {
    const Read r = ReadFrom("K=5\n", 4);
    EXPECT_EQ(r.switchValue, 0);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.integer, 0);
    EXPECT_EQ(r.real, 0.0);
    EXPECT_EQ(ReadOrFrom("K=5\n", 4, 1.0).result, 1);
}

TEST_F(SettingValuesTest, ReadOrUsesTheFormattedDefault) {
    EXPECT_DOUBLE_EQ(ReadOrFrom("", kReal, 2.5).real, 2.5);
    EXPECT_EQ(ReadOrFrom("", kInteger, -1.7).integer, -1);
    EXPECT_EQ(ReadOrFrom("", kInteger, 3.9).integer, 3);
    EXPECT_EQ(ReadOrFrom("", kText, 3.0).text, "");
    EXPECT_EQ(ReadOrFrom("", kInteger, 3.0).result, 1);
    EXPECT_EQ(ReadOrFrom("K=8\n", kInteger, 3.0).integer, 8);
}

TEST_F(SettingValuesTest, SwitchDefaultMarksAValueNotSet) {
    const struct {
        const char* label;
        const char* body;
        int result;
        int switchValue;
    } rows[] = {
        {"missing", "", 0, 0},
        {"holds default", "K=-1\n", 0, 0},
        {"zero", "K=0\n", 1, 0},
        {"one", "K=1\n", 1, 1},
        {"five", "K=5\n", 1, 1},
        {"-1 spaced", "K= -1 \n", 0, 0},
        {"quoted -1", "K=\"-1\"\n", 0, 0},
        {"-1.0 is not the marker", "K=-1.0\n", 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const Read r = ReadOrFrom(row.body, kSwitch, -1.0);
        EXPECT_EQ(r.result, row.result);
        EXPECT_EQ(r.switchValue, row.switchValue);
        EXPECT_EQ(r.integer, 0);
    }
}

TEST_F(SettingValuesTest, CutsLongTextAt255Bytes) {
    EXPECT_EQ(ReadFrom("K=" + std::string(300, 'x') + "\n", kText).text, std::string(255, 'x'));
}

TEST_F(SettingValuesTest, DocumentFormWritesOnceOnSave) {
    platform::ProfileDocument document = platform::ProfileDocument::Load(File());
    WriteSettingValue(kReal, 0, "", 0, 1.25, document, "S", "R");
    WriteSettingValue(kSwitch, 3, "", 0, 0.0, document, "S", "W");
    EXPECT_FALSE(std::filesystem::exists(File()));
    int sw = 0, integer = 0;
    std::string text;
    double real = 0.0;
    ReadSettingValue(kReal, sw, text, integer, real, document, "S", "R");
    EXPECT_EQ(real, 1.25);
    EXPECT_EQ(ReadSettingValueOr(kSwitch, sw, text, integer, real, document, "S", "W", -1.0), 1);
    EXPECT_EQ(sw, 1);
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(testing::ReadFile(File()), "[S]\nR=1.250000\nW=1\n");
}

TEST(SettingValueFormatTest, FormatsAsPrintfInTheCLocale) {
    EXPECT_EQ(FormatReal(1e20), "100000000000000000000.000000");
    EXPECT_EQ(FormatReal(std::numeric_limits<double>::max()).size(), 309u + 7u);
    EXPECT_EQ(FormatReal(-1.5), "-1.500000");
    EXPECT_EQ(FormatReal(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(FormatInteger(std::numeric_limits<int>::min()), "-2147483648");
    EXPECT_EQ(CLocaleAtoi(nullptr), 0);
    EXPECT_EQ(CLocaleAtoi(" \t-7x"), -7);
    EXPECT_EQ(CLocaleAtoi("99999999999999999999"), -1);  // strtol's LONG_MAX cut to int
    EXPECT_DOUBLE_EQ(CLocaleAtof("  0x1p-2"), 0.25);
    EXPECT_TRUE(std::isinf(CLocaleAtof("inf")));
}

TEST(SettingValueLocaleTest, GermanProcessLocaleStillUsesThePoint) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    testing::TempFolder folder;
    const std::string file = (folder.Path() / "v.ini").string();
    WriteSettingValue(kReal, 0, "", 0, 1.5, file, "S", "K");
    int sw = 0, integer = 0;
    std::string text;
    double real = 0.0;
    ReadSettingValue(kReal, sw, text, integer, real, file, "S", "K");
    const std::string written = testing::ReadFile(file);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(written, "[S]\nK=1.500000\n");
    EXPECT_EQ(real, 1.5);
}

}  // namespace
}  // namespace quillet::frame
