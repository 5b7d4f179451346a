// The exact calls into the closed libraries, checked against the recording
// double (test-double/libkorvid.so and libDravik.so, first in
// LD_LIBRARY_PATH): the order of MD_CreateNC, what each failure leaves out,
// the refusal of over-long texts, and the calls of the special sequences and
// the driver's item lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver_operations.h"
#include "driver/driver_settings.h"
#include "driver_test_support.h"
#include "quillet/quillet.h"
#include "support/temp_install.h"

namespace quillet::testing {
namespace {

using Lines = std::vector<std::string>;

class RecordingTest : public ::testing::Test {
protected:
    RecordingTest()
        : log_("QUILLET_DOUBLE_LOG", (folder_.Path() / "calls.log").string()),
          script_("QUILLET_DOUBLE_SCRIPT", (folder_.Path() / "script.txt").string()) {}

    void Script(const std::string& text) const { WriteFile(folder_.Path() / "script.txt", text); }
    Lines Calls() const {
        Lines calls = ReadLines(folder_.Path() / "calls.log");
        std::filesystem::remove(folder_.Path() / "calls.log");
        return calls;
    }

    TempFolder folder_;
    ScopedEnv log_;
    ScopedEnv script_;
};

// The calls that hand a machine record of the double with clamps clamps to
// the driver (the double reports locations 10, 20, ... 50).
Lines MachineCalls(int clamps) {
    Lines calls{"MD_SetSheetName(SHEET)", "MD_SetMachineType(7)", "MD_SetUnitMode(1)",
                "MD_SetNumberOfClamps(" + std::to_string(clamps) + ")"};
    for (int k = 1; k <= clamps && k <= 5; ++k) {
        calls.push_back("MD_SetClampLocation(" + std::to_string(k) + "," + std::to_string(10 * k) +
                        ")");
    }
    for (const char* call :
         {"MD_SetTableSize(1,2)", "MD_SetSheetSize(3,4)", "MD_SetSheetThickness(5)",
          "MD_SetProgrammedOffset(6,7)", "MD_SetNumberOfPartOnSheet(8)"}) {
        calls.push_back(call);
    }
    return calls;
}

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(RecordingTest, CreateNcCallOrder) {
    const Lines load{"MD_LoadMachineDriver(drv)", "MD_Param_Read_Machine() -> 0"};
    const Lines start{"MD_Data_File_check() -> 0", "MD_Data_File_Open() -> 0",
                      "MD_InitialDriverNcGeneration(out.nc)"};
    const Lines twoRecords{"MD_Data_File_Read() -> 0", "MD_DriverNcCodeGeneration(1,2,3,4,1.5,2.5)",
                           "MD_Data_File_Read() -> 0", "MD_DriverNcCodeGeneration(5,6,7,8,-1,0)"};
    const std::string records = "record=1 2 3 4 1.5 2.5\nrecord=5 6 7 8 -1\n";
    struct Row {
        const char* name;
        std::string script;
        int result;
        Lines calls;
    };
    const Row rows[] = {
        {"no clamps", "clamps=0\n" + records, 0,
         Join({load,
               MachineCalls(0),
               start,
               twoRecords,
               {"MD_Data_File_Read() -> 1", "MD_EndDriverNcGeneratioin()",
                "MD_Data_File_Close() -> 0"}})},
        {"three clamps", "clamps=3\n", 0,
         Join({load,
               MachineCalls(3),
               start,
               {"MD_Data_File_Read() -> 1", "MD_EndDriverNcGeneratioin()",
                "MD_Data_File_Close() -> 0"}})},
        {"more than five clamps set five locations", "clamps=7\n", 0,
         Join({load,
               MachineCalls(7),
               start,
               {"MD_Data_File_Read() -> 1", "MD_EndDriverNcGeneratioin()",
                "MD_Data_File_Close() -> 0"}})},
        {"negative clamps", "clamps=-2\n", 0,
         Join({load,
               MachineCalls(-2),
               start,
               {"MD_Data_File_Read() -> 1", "MD_EndDriverNcGeneratioin()",
                "MD_Data_File_Close() -> 0"}})},
        {"failing machine read", "read-machine=3\n", 3,
         Lines{"MD_LoadMachineDriver(drv)", "MD_Param_Read_Machine() -> 3"}},
        {"failing check", "check=4\n" + records, 4,
         Join({load, MachineCalls(0), {"MD_Data_File_check() -> 4"}})},
        {"failing open", "open=5\n" + records, 5,
         Join({load, MachineCalls(0), {"MD_Data_File_check() -> 0", "MD_Data_File_Open() -> 5"}})},
        {"close result returned", "close=6\nread-end=-3\n" + records, 6,
         Join({load,
               MachineCalls(0),
               start,
               twoRecords,
               {"MD_Data_File_Read() -> -3", "MD_EndDriverNcGeneratioin()",
                "MD_Data_File_Close() -> 6"}})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Script(row.script);
        char target[] = "out.nc";
        EXPECT_EQ(MD_CreateNC("drv", target), row.result);
        EXPECT_EQ(Calls(), row.calls);
    }
}

TEST_F(RecordingTest, CreateNcRefusesOverlongTextsWithoutCalling) {
    Script("clamps=0\n");
    struct Row {
        std::string driver, target;
        int result;
    };
    const Row rows[] = {
        {std::string(256, 'd'), "out.nc", 999},
        {"drv", std::string(256, 't'), 999},
        {std::string(255, 'd'), std::string(255, 't'), 0},
        {"", "out.nc", 0},  // an empty driver name is the driver's business
    };
    for (const Row& row : rows) {
        std::string target = row.target;
        EXPECT_EQ(MD_CreateNC(row.driver.c_str(), target.data()), row.result);
        const Lines calls = Calls();
        if (row.result == 999) {
            EXPECT_TRUE(calls.empty());
        } else {
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.front(), "MD_LoadMachineDriver(" + row.driver + ")");
            EXPECT_NE(std::find(calls.begin(), calls.end(),
                                "MD_InitialDriverNcGeneration(" + row.target + ")"),
                      calls.end());
        }
    }
    EXPECT_EQ(driver::CreateNc("drv", nullptr), 999);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(RecordingTest, SpecialSequencesFilterAndClearEachEntry) {
    Script(
        "special-cutting=7 2 4 Switch with values\n"
        "special-cutting=8 5 1 Type five\n"
        "special-cutting=9 3 4 Four integers\n"
        "special-cutting=9 3 4 Duplicate kept\n"
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
    EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)", "MD_GetSpecialSequenceNumberOfCutting()",
                              "MD_GetSpecialSequenceOfCutting(1,0,0,0,)",
                              "MD_GetSpecialSequenceOfCutting(2,0,0,0,)",
                              "MD_GetSpecialSequenceOfCutting(3,0,0,0,)",
                              "MD_GetSpecialSequenceOfCutting(4,0,0,0,)"}));
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
}

TEST_F(RecordingTest, SpecialSequencesStopAt99) {
    Script("many-special-cutting=150\n");
    md_ssi_all_ result;
    MD_GetSpecialSequence("drv", 1, &result);
    ASSERT_EQ(result.count, 99);
    EXPECT_EQ(result.entries[98].id, 99);
    EXPECT_STREQ(result.entries[98].name, "S99");
    EXPECT_EQ(Calls().back(), "MD_GetSpecialSequenceOfCutting(99,0,0,0,)");
}

TEST_F(RecordingTest, LoadDriverConditionsStopsAtTheLimit) {
    Script(
        "cutting=1 2 0 A\ncutting=1 2 0 Duplicate\ncutting=2 3 1 B\ncutting=3 4 1 C\n"
        "cutting=4 4 1 D\n");
    driver::DriverConditionList list;
    ASSERT_TRUE(driver::LoadDriverConditions("drv", list, driver::DriverSettingKind::Cut, 2));
    EXPECT_EQ(Describe(list), (Lines{"1/2/0/A", "2/3/1/B"}));
    EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)", "MD_GetNumberOfCuttingCondition()",
                              "MD_GetCuttingCondition(1)", "MD_GetCuttingCondition(2)",
                              "MD_GetCuttingCondition(3)"}));
    ASSERT_TRUE(
        driver::LoadDriverConditions("drv", list, static_cast<driver::DriverSettingKind>(7), 99));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)"}));
}

}  // namespace
}  // namespace quillet::testing
