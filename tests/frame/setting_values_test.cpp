// Typed setting values: the text forms written, the conversions read, the
// switch default marker and independence from the process locale.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "frame/setting_values.h"
#include "platform/profile.h"

namespace quillet::frame {
namespace {

using Kind = SettingValueKind;
constexpr Kind kUnknown = static_cast<Kind>(4);

platform::ProfileDocument Document(const std::string& text) {
    return platform::ProfileDocument::FromBytes("/nonexistent/values.ini", text);
}

class SettingValuesTest : public ::testing::Test {
protected:
    // Reads key K of section S as kind from a file holding "[S]\n" + body.
    SettingValue Read(const std::string& body, Kind kind) {
        return ReadSettingValue(kind, Document("[S]\n" + body), "S", "K");
    }
    std::optional<SettingValue> ReadOr(const std::string& body, Kind kind, double defaultValue) {
        return ReadSettingValueOr(kind, Document("[S]\n" + body), "S", "K", defaultValue);
    }
};

TEST_F(SettingValuesTest, WritesTheTextFormOfEachKind) {
    const struct {
        int kind;
        SettingValue value;
        const char* written;
    } rows[] = {
        {0, {true, "abc", 5, 1.5}, "abc"},         {1, {true, "abc", -42, 1.5}, "-42"},
        {2, {true, "abc", 5, 0.1}, "0.100000"},    {2, {true, "abc", 5, -0.0}, "-0.000000"},
        {2, {true, "", 5, 2.0000005}, "2.000001"}, {3, {true, "abc", 5, 1.5}, "1"},
        {3, {false, "abc", 5, 1.5}, "0"},          {7, {true, "raw", 5, 1.5}, "raw"},
        {-1, {true, "raw", 5, 1.5}, "raw"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.written);
        platform::ProfileDocument document = Document("");
        WriteSettingValue(static_cast<Kind>(row.kind), row.value, document, "S", "K");
        EXPECT_EQ(document.Serialize(), std::string("[S]\nK=") + row.written + "\n");
    }
}

TEST_F(SettingValuesTest, ReadsAsAtoiAndAtofWithDefaultMinusOne) {
    const struct {
        const char* body;
        int integer;
        double real;
        int switchValue;
    } rows[] = {
        // clang-format off
        {"", -1, -1.0, 1},         {"K=12abc\n", 12, 12.0, 1}, {"K=\n", 0, 0.0, 0},
        {"K=+3.9\n", 3, 3.9, 1},   {"K=1,5\n", 1, 1.0, 1},     {"K=1e3\n", 1, 1000.0, 1},
        {"K=0x10\n", 0, 16.0, 0},  {"K=abc\n", 0, 0.0, 0},     {"K=4294967297\n", 1, 4294967297.0, 1},
        {"K=0.4\n", 0, 0.4, 0},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        const SettingValue integer = Read(row.body, Kind::Integer);
        EXPECT_EQ(integer.integer, row.integer);
        EXPECT_EQ(integer.text + std::to_string(integer.switchValue + integer.real), "0.000000");
        EXPECT_DOUBLE_EQ(Read(row.body, Kind::Real).real, row.real);
        EXPECT_EQ(Read(row.body, Kind::Switch).switchValue, row.switchValue);
    }
    EXPECT_EQ(Read("", Kind::Text).text, "-1");
    EXPECT_EQ(Read("K=" + std::string(300, 'x') + "\n", Kind::Text).text, std::string(255, 'x'));
    const SettingValue unknown = Read("K=5\n", kUnknown);
    EXPECT_EQ(unknown.integer + unknown.switchValue + unknown.real, 0);
    EXPECT_TRUE(ReadOr("K=5\n", kUnknown, 1.0).has_value());
}

TEST_F(SettingValuesTest, ReadOrUsesTheDefaultAndASwitchAtItsDefaultIsNotSet) {
    EXPECT_DOUBLE_EQ(ReadOr("", Kind::Real, 2.5)->real, 2.5);
    EXPECT_EQ(ReadOr("", Kind::Integer, -1.7)->integer, -1);
    EXPECT_EQ(ReadOr("", Kind::Integer, 3.9)->integer, 3);
    EXPECT_EQ(ReadOr("", Kind::Text, 3.0)->text, "");
    EXPECT_EQ(ReadOr("K=8\n", Kind::Integer, 3.0)->integer, 8);
    const struct {
        const char* body;
        int switchValue;  // -1: not set
    } rows[] = {{"", -1},     {"K=-1\n", -1}, {"K= -1 \n", -1}, {"K=\"-1\"\n", -1},
                {"K=0\n", 0}, {"K=1\n", 1},   {"K=5\n", 1},     {"K=-1.0\n", 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        const std::optional<SettingValue> value = ReadOr(row.body, Kind::Switch, -1.0);
        EXPECT_EQ(value ? value->switchValue : -1, row.switchValue);
    }
}

TEST(SettingValueFormatTest, ConvertsAsPrintfAndAtoiInTheCLocale) {
    EXPECT_EQ(FormatReal(1e20), "100000000000000000000.000000");
    EXPECT_EQ(FormatReal(std::numeric_limits<double>::max()).size(), 309u + 7u);
    EXPECT_EQ(FormatReal(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(FormatInteger(std::numeric_limits<int>::min()), "-2147483648");
    EXPECT_EQ(CLocaleAtoi(nullptr), 0);
    EXPECT_EQ(CLocaleAtoi(" \t-7x"), -7);
    EXPECT_EQ(CLocaleAtoi("99999999999999999999"), -1);  // strtol's LONG_MAX cut to int
    EXPECT_DOUBLE_EQ(CLocaleAtof("  0x1p-2"), 0.25);
    for (const double big : {3e9, -3e9, static_cast<double>(NAN)}) {
        EXPECT_EQ(ClampToInt(big), std::isnan(big) ? 0 : big > 0 ? INT_MAX : INT_MIN);
    }
    EXPECT_EQ(ClampToInt(-2.9) + ClampToInt(2.9), 0);
}

TEST(SettingValueLocaleTest, GermanProcessLocaleStillUsesThePoint) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    platform::ProfileDocument document = Document("");
    WriteSettingValue(Kind::Real, SettingValue::Real(1.5), document, "S", "K");
    const double real = ReadSettingValue(Kind::Real, document, "S", "K").real;
    const std::string written = document.Serialize();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(written, "[S]\nK=1.500000\n");
    EXPECT_EQ(real, 1.5);
}

}  // namespace
}  // namespace quillet::frame
