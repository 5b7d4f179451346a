// The exact calls into the closed libraries, checked against the recording double.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "driver/driver_operations.h"
#include "driver/driver_settings.h"
#include "driver_test_support.h"
#include "quillet/quillet.h"

namespace quillet::testing {
namespace {

// The calls up to the data file check for a machine record with that many
// clamps (the double reports locations 10, 20, ... 50).
Lines Load(int clamps) {
    Lines calls{
        "MD_LoadMachineDriver(drv)", "MD_Param_Read_Machine() -> 0",
        "MD_SetSheetName(SHEET)",    "MD_SetMachineType(7)",
        "MD_SetUnitMode(1)",         "MD_SetNumberOfClamps(" + std::to_string(clamps) + ")"};
    for (int k = 1; k <= std::min(clamps, 5); ++k) {
        calls.push_back("MD_SetClampLocation(" + std::to_string(k) + "," + std::to_string(10 * k) +
                        ")");
    }
    calls.insert(calls.end(),
                 {"MD_SetTableSize(1,2)", "MD_SetSheetSize(3,4)", "MD_SetSheetThickness(5)",
                  "MD_SetProgrammedOffset(6,7)", "MD_SetNumberOfPartOnSheet(8)"});
    return calls;
}

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(RecordingTest, CreateNcCallOrder) {
    const Lines start{"MD_Data_File_check() -> 0", "MD_Data_File_Open() -> 0",
                      "MD_InitialDriverNcGeneration(out.nc)"};
    const Lines two{"MD_Data_File_Read() -> 0", "MD_DriverNcCodeGeneration(1,2,3,4,1.5,2.5)",
                    "MD_Data_File_Read() -> 0", "MD_DriverNcCodeGeneration(5,6,7,8,-1,0)"};
    const Lines end{"MD_Data_File_Read() -> 1", "MD_EndDriverNcGeneratioin()",
                    "MD_Data_File_Close() -> 0"};
    const std::string records = "record=1 2 3 4 1.5 2.5\nrecord=5 6 7 8 -1\n";
    const struct {
        const char* name;
        std::string script;
        int result;
        Lines calls;
    } rows[] = {
        {"no clamps", "clamps=0\n" + records, 0, Load(0) + start + two + end},
        {"three clamps, no records", "clamps=3\n", 0, Load(3) + start + end},
        {"more than five clamps set five locations", "clamps=7\n", 0, Load(7) + start + end},
        {"negative clamps", "clamps=-2\n", 0, Load(-2) + start + end},
        {"failing machine read",
         "read-machine=3\n",
         3,
         {"MD_LoadMachineDriver(drv)", "MD_Param_Read_Machine() -> 3"}},
        {"failing check", "check=4\n" + records, 4, Load(0) + Lines{"MD_Data_File_check() -> 4"}},
        {"failing open", "open=5\n" + records, 5,
         Load(0) + Lines{"MD_Data_File_check() -> 0", "MD_Data_File_Open() -> 5"}},
        {"close result returned", "close=6\nread-end=-3\n" + records, 6,
         Load(0) + start + two +
             Lines{"MD_Data_File_Read() -> -3", "MD_EndDriverNcGeneratioin()",
                   "MD_Data_File_Close() -> 6"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Script(row.script);
        char target[] = "out.nc";
        EXPECT_EQ(MD_CreateNC("drv", target), row.result);
        EXPECT_EQ(Calls(), row.calls);
        // The driver got the host's buffer itself, not a copy.
        EXPECT_EQ(target[0], row.result == 0 || row.result == 6 ? '#' : 'o');
    }
}

TEST_F(RecordingTest, CreateNcRefusesOverlongTextsWithoutCalling) {
    // The host string class copies its text.
    CString a("drv");
    const CString b = a;
    a = "other";
    EXPECT_STREQ(b.GetString(), "drv");
    EXPECT_TRUE(CString(nullptr).IsEmpty());
    Script("clamps=0\n");
    const struct {
        std::string driver, target;
        int result;
    } rows[] = {
        {std::string(256, 'd'), "out.nc", 999},
        {"drv", std::string(256, 't'), 999},
        {std::string(255, 'd'), std::string(255, 't'), 0},
        {"", "out.nc", 0},  // an empty driver name is the driver's business
    };
    for (const auto& row : rows) {
        std::string target = row.target;
        EXPECT_EQ(MD_CreateNC(row.driver.c_str(), target.data()), row.result);
        const Lines calls = Calls();
        if (row.result == 999) {
            EXPECT_TRUE(calls.empty());
            continue;
        }
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front(), "MD_LoadMachineDriver(" + row.driver + ")");
        EXPECT_EQ(std::count(calls.begin(), calls.end(),
                             "MD_InitialDriverNcGeneration(" + row.target + ")"),
                  1);
    }
    EXPECT_EQ(driver::CreateNc("drv", nullptr), 999);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(RecordingTest, SpecialSequencesFilterAndClearEachEntry) {
    Script(
        "special-cutting=7 2 4 Switch with values\nspecial-cutting=8 5 1 Type five\n"
        "special-cutting=9 3 4 Four integers\nspecial-cutting=9 3 4 Duplicate kept\n"
        "special-punching=1 4 1 Punch\n");
    md_ssi_all_ result;
    for (auto& e : result.entries) e = {-5, "untouched", -5, -5};
    MD_GetSpecialSequence("drv", 1, &result);
    ASSERT_EQ(result.count, 3);
    EXPECT_EQ(result.entries[0].valueCount, 0);
    EXPECT_EQ(result.entries[1].id, 9);
    EXPECT_EQ(result.entries[1].valueCount, 4);
    EXPECT_STREQ(result.entries[2].name, "Duplicate kept");
    EXPECT_EQ(result.entries[3].id, -5);
    Lines calls{"MD_LoadMachineDriver(drv)", "MD_GetSpecialSequenceNumberOfCutting()"};
    for (int i = 1; i <= 4; ++i) {
        calls.push_back("MD_GetSpecialSequenceOfCutting(" + std::to_string(i) + ",0,0,0,)");
    }
    EXPECT_EQ(Calls(), calls);
    MD_GetSpecialSequence("drv", 2, &result);
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(Calls(),
              (Lines{"MD_LoadMachineDriver(drv)", "MD_GetSpecialSequenceNumberOfPunching()",
                     "MD_GetSpecialSequenceOfPunching(1,0,0,0,)"}));
    for (int family : {0, 3, -1}) {
        MD_GetSpecialSequence("drv", family, &result);
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)"}));
    }
    result.count = 5;
    MD_GetSpecialSequence(std::string(256, 'd').c_str(), 1, &result);
    EXPECT_EQ(result.count, 0);
    EXPECT_TRUE(Calls().empty());

    // The list holds 99 entries at most.
    Script("many-special-cutting=150\n");
    MD_GetSpecialSequence("drv", 1, &result);
    ASSERT_EQ(result.count, 99);
    EXPECT_STREQ(result.entries[98].name, "S99");
    EXPECT_EQ(Calls().back(), "MD_GetSpecialSequenceOfCutting(99,0,0,0,)");
}

TEST_F(RecordingTest, LoadDriverConditionsStopsAtTheLimit) {
    Script("cutting=1 2 0 A\ncutting=1 2 0 Duplicate\ncutting=2 3 1 B\ncutting=3 4 1 C\n");
    EXPECT_EQ(
        Describe(driver::LoadDriverConditions("drv", driver::DriverSettingKind::Cut, 2).value()),
        (Lines{"1/2/0/A 0 0 0 1", "2/3/1/B 0 0 0 1"}));
    EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)", "MD_GetNumberOfCuttingCondition()",
                              "MD_GetCuttingCondition(1)", "MD_GetCuttingCondition(2)",
                              "MD_GetCuttingCondition(3)"}));
    EXPECT_TRUE(driver::LoadDriverConditions("drv", static_cast<driver::DriverSettingKind>(7), 99)
                    .value()
                    .empty());
    EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)"}));
}

}  // namespace
}  // namespace quillet::testing
