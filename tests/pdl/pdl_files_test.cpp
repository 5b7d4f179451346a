// The condition file set (with and without master, delete and copy, the
// working copy), the save-option file and the save-target rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdl/pdl_files.h"
#include "pdl/pdl_save_options.h"
#include "pdl_test_support.h"

namespace quillet::pdl {
namespace {

using quillet::testing::ReadFile;
using quillet::testing::TempInstallation;
using quillet::testing::WriteFile;
using testing::ConditionFile;
using testing::DistinctRecord;
using testing::WriteMaster;

PdlCutCondition Filled(float value) {
    PdlCutCondition record;
    record.slot.fill(value);
    return record;
}

TEST(PdlFilesTest, AMissingFileIsCreatedFromTheMasterOnlyIfThereIsOne) {
    TempInstallation install;
    PdlCutCondition record = Filled(9.0f);
    EXPECT_EQ(ReadPdlCutTable("MC01", "SPCC1.6", 0, record), -1);
    EXPECT_EQ(record.slot[0], 9.0f);
    EXPECT_TRUE(std::filesystem::is_empty(install.DataFolder()));

    WriteMaster(install);
    ASSERT_EQ(ReadPdlCutTable("MC01", "SPCC1.6", 4, record), 0);
    EXPECT_EQ(ReadFile(ConditionFile(install, "MC01", "SPCC1.6")),
              ReadFile(install.DataFolder() / "PDL_CUT_MASTER.ini"));
    const PdlCutCondition expected = DistinctRecord(4);
    for (int i = 0; i < kPdlSlotCount; ++i) ASSERT_EQ(record.slot[i], expected.slot[i]) << i;
    // A missing section gives -1 in slots 0-87 and spares 88-127.
    WriteFile(ConditionFile(install, "MC01", "SPCC"), "[PDL_CUT_K]\nPower=5\n");
    record = ReadPdlTable("MC01", "SPCC", 7).value();
    for (int i = 0; i < kPdlSlotCount; ++i) ASSERT_EQ(record.slot[i], i < kPdlParamCount ? -1 : 0);
}

TEST(PdlFilesTest, WritesOnlyTargetTablesAndLeavesNoWorkingCopy) {
    TempInstallation install;
    WriteMaster(install);
    const auto working = install.WorkingFolder() / "PDL_CUT_TEMP.ini";
    WriteFile(working, "stale");  // left behind by others
    ASSERT_EQ(WritePdlCutTables("MC01", "SPCC", Filled(0.5f), {10, 12}), 0);
    EXPECT_FALSE(std::filesystem::exists(working));
    for (int t = 0; t < kPdlTableCount; ++t) {
        WriteFile(working, "stale");
        const PdlCutCondition back = ReadPdlTable("MC01", "SPCC", t).value();
        EXPECT_FALSE(std::filesystem::exists(working));
        EXPECT_EQ(back.slot[5], (t == 10 || t == 12) ? 0.5f : DistinctRecord(t).slot[5]) << t;
    }
    // No target: the file is left byte for byte.
    const std::string before = ReadFile(ConditionFile(install, "MC01", "SPCC"));
    ASSERT_TRUE(SavePdlTables("MC01", "SPCC", {}));
    EXPECT_EQ(ReadFile(ConditionFile(install, "MC01", "SPCC")), before);
}

TEST(PdlFilesTest, CopyAndDelete) {
    TempInstallation install;
    WriteFile(ConditionFile(install, "A", "M1"), "[PDL_CUT_K]\nPower=1\n");
    // No master: a missing source or target cannot be prepared.
    EXPECT_EQ(CopyPdlCutFile("A", "M1", "B", "M2"), -1);
    EXPECT_EQ(CopyPdlCutFile("B", "M2", "A", "M1"), -1);
    EXPECT_EQ(DeletePdlCutFile("B", "M2"), -1);
    EXPECT_EQ(CopyPdlCutFile("A", "M1", "A", "M1"), 0);  // onto itself: unchanged
    EXPECT_EQ(ReadFile(ConditionFile(install, "A", "M1")), "[PDL_CUT_K]\nPower=1\n");

    WriteMaster(install);
    EXPECT_EQ(CopyPdlCutFile("A", "M1", "B", "M2"), 0);
    EXPECT_EQ(ReadFile(ConditionFile(install, "B", "M2")), "[PDL_CUT_K]\nPower=1\n");
    for (int i = 0; i < 2; ++i) {  // master present: 0 again
        EXPECT_EQ(DeletePdlCutFile("B", "M2"), 0);
        EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "B", "M2")));
    }
}

TEST(PdlFilesTest, APathOver499CharactersTouchesNothing) {
    TempInstallation install;
    WriteMaster(install);
    const std::size_t fixed =
        install.DataRoot().size() + std::string("data/Othmcn/PDL_CUT__M.ini").size();
    const std::string over(500 - fixed, 'n');
    PdlCutCondition record = Filled(9.0f);
    EXPECT_EQ(ReadPdlCutTable(over, "M", 0, record), -1);
    EXPECT_EQ(record.slot[0], 9.0f);
    EXPECT_EQ(CopyPdlCutFile(over, "M", "B", "M"), -1);
    EXPECT_EQ(CopyPdlCutFile("B", "M", over, "M"), -1);
    EXPECT_EQ(DeletePdlCutFile(over, "M"), -1);
    EXPECT_FALSE(SavePdlTables(over, "M", {{0, record}}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(install.DataFolder()), {}), 1);
}

PdlSaveOptions Options(int saveSwitch, std::vector<int> onTables) {
    PdlSaveOptions options;
    options.saveSwitch = saveSwitch;
    for (int t : onTables) options.tables[t] = 1;
    return options;
}

TEST(PdlSaveOptionsTest, SaveTargetsAndBoxesShown) {
    PdlSaveOptions minusOne = Options(1, {2});
    minusOne.tables[3] = -1;  // only exactly 1 counts
    const struct {
        int edited;
        PdlSaveOptions options;
        std::vector<int> targets;
    } rows[] = {
        {0, Options(0, {1, 2, 11}), {0}},
        {11, Options(0, {}), {11}},
        {0, Options(1, {1}), {1}},  // own box off: K is not written
        {5, Options(1, {0, 5, 9, 10, 12}), {0, 5, 9}},
        {11, Options(1, {0, 5, 10, 12}), {10, 12}},
        {3, Options(1, {10, 11}), {}},  // nothing of the group
        {3, Options(-1, {3}), {3}},     // any state but 0 is on
        {3, minusOne, {2}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PdlSaveTargets(row.edited, row.options), row.targets) << row.edited;
    }
    for (int table = 0; table < kPdlTableCount; ++table) {
        EXPECT_FALSE(PdlSaveOptionBoxShown(0, 11, table));
        EXPECT_EQ(PdlSaveOptionBoxShown(-1, 11, table), table >= 10) << table;
        EXPECT_EQ(PdlSaveOptionBoxShown(1, 9, table), table < 10) << table;
    }
}

}  // namespace
}  // namespace quillet::pdl
