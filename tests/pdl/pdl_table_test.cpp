// The table file format both ways and the display form of values.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pdl/pdl_table.h"
#include "pdl_test_support.h"

namespace quillet::pdl {
namespace {

using quillet::testing::ReadFile;
using quillet::testing::TempFolder;
using quillet::testing::WriteFile;

TEST(PdlTableTest, GoldenSectionBothWaysAndSixDecimals) {
    TempFolder folder;
    const std::string file = (folder.Path() / "out.ini").string();
    PdlCutCondition record;
    for (int i = 0; i < kPdlParamCount; ++i) record.slot[i] = static_cast<float>(i) * 0.25f - 1;
    record.slot[0] = 1500;
    record.slot[1] = -1;
    record.slot[2] = 0.5f;
    record.slot[100] = 42;  // spare slots are never stored
    auto document = platform::ProfileDocument::Load(file);
    WritePdlCutCondition(document, 3, record);
    ASSERT_TRUE(document.Save());
    const std::string golden = std::string(QUILLET_PDL_TEST_DATA) + "/table_h_written.ini";
    EXPECT_EQ(ReadFile(file), ReadFile(golden));
    const PdlCutCondition back = testing::TableOf(golden, 3);
    for (int i = 0; i < kPdlParamCount; ++i) EXPECT_EQ(back.slot[i], record.slot[i]) << i;
    // Below 0.0000005 a value is written as 0.000000 and reads back as 0.
    record.slot[7] = 0.0000001f;
    record.slot[8] = 0.000001f;
    WritePdlCutCondition(document, 0, record);
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(testing::TableOf(file, 0).slot[7], 0.0f);
    EXPECT_FLOAT_EQ(testing::TableOf(file, 0).slot[8], 0.000001f);
}

TEST(PdlTableTest, ReadsKeysByNameInAnyOrderAsAtofDoesAndMinusOneWhenMissing) {
    const platform::ProfileDocument document = platform::ProfileDocument::FromBytes(
        "/nonexistent/in.ini",
        "[PDL_CUT_L]\r\nTechTableNO=5\r\nFrequency=abc\r\npower = 12.5mm\r\n"
        "DutyCycle=\r\nFeedrate=  -3e2\r\n[PDL_CUT_K]\r\nGasType=9\r\n");
    PdlCutCondition record;
    record.slot.fill(7.0f);
    ReadPdlCutCondition(document, 1, record);
    EXPECT_FLOAT_EQ(record.slot[0], 12.5f);    // trailing letters ignored, key case too
    EXPECT_FLOAT_EQ(record.slot[1], 0.0f);     // no leading number
    EXPECT_FLOAT_EQ(record.slot[2], 0.0f);     // empty value
    EXPECT_FLOAT_EQ(record.slot[3], -300.0f);  // leading blanks, exponent
    EXPECT_FLOAT_EQ(record.slot[4], -1.0f);    // missing key (K's GasType is not L's)
    EXPECT_FLOAT_EQ(record.slot[87], 5.0f);
    EXPECT_FLOAT_EQ(record.slot[88], 7.0f);  // spare slots untouched
    record.slot.fill(3.0f);
    ReadPdlCutCondition(document, 12, record);  // no section
    for (int i = 0; i < kPdlSlotCount; ++i) {
        ASSERT_EQ(record.slot[i], i < kPdlParamCount ? -1.0f : 3.0f) << i;
    }
}

TEST(PdlValueTest, FormatPdlValueDropsTrailingDecimalZerosOnly) {
    const struct {
        float value;
        const char* shown;
    } rows[] = {
        {1500.0f, "1500"}, {100.0f, "100"},     {0.5f, "0.5"},       {2.25f, "2.25"},
        {10.1f, "10.1"},   {0.125f, "0.125"},   {2.9996f, "3"},      {0.0f, "0"},
        {-1.0f, "-1"},     {0.0004f, "0"},      {-0.0001f, "-0"},    {-0.0f, "-0"},
        {10.0f, "10"},     {1000.5f, "1000.5"}, {-20.05f, "-20.05"}, {0.0005f, "0.001"},
    };
    for (const auto& row : rows) EXPECT_EQ(FormatPdlValue(row.value), row.shown) << row.value;
    // Any float fits the fifty-byte buffer.
    char buffer[50];
    FormatPdlValue(-3.4028235e38f, buffer);
    EXPECT_EQ(std::string(buffer), "-340282346638528859811704183484516925440");
    FormatPdlValue(INFINITY, buffer);
    EXPECT_EQ(std::string(buffer), "inf");
}

}  // namespace
}  // namespace quillet::pdl
