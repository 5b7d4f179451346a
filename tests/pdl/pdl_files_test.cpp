// The condition file set: preparation from the master, table reads and
// writes, delete and copy, and the working copy left behind by others.
#include <gtest/gtest.h>

#include <string>

#include "pdl/pdl_files.h"
#include "pdl_test_support.h"

namespace quillet::pdl {
namespace {

using quillet::testing::ReadFile;
using quillet::testing::TempInstallation;
using quillet::testing::WriteFile;
using testing::ConditionFile;
using testing::DistinctRecord;
using testing::WriteMaster;

TEST(PdlFilesTest, MissingFileIsCreatedFromMasterAndRead) {
    TempInstallation install;
    WriteMaster(install);
    PdlCutCondition record;
    record.slot.fill(9.0f);
    ASSERT_EQ(ReadPdlCutTable("MC01", "SPCC1.6", 4, record), 0);
    EXPECT_EQ(ReadFile(ConditionFile(install, "MC01", "SPCC1.6")),
              ReadFile(install.DataFolder() / "PDL_CUT_MASTER.ini"));
    const PdlCutCondition expected = DistinctRecord(4);
    for (int i = 0; i < kPdlSlotCount; ++i) ASSERT_EQ(record.slot[i], expected.slot[i]) << i;
}

TEST(PdlFilesTest, WithoutMasterNothingIsCreatedAndRecordStays) {
    TempInstallation install;
    PdlCutCondition record;
    record.slot.fill(9.0f);
    std::string path = "unchanged";
    EXPECT_EQ(PreparePdlCutFile("MC01", "SPCC", path), -1);
    EXPECT_EQ(path, ConditionFile(install, "MC01", "SPCC").string());
    EXPECT_EQ(ReadPdlCutTable("MC01", "SPCC", 0, record), -1);
    EXPECT_EQ(record.slot[0], 9.0f);
    EXPECT_TRUE(std::filesystem::is_empty(install.DataFolder()));
}

TEST(PdlFilesTest, MissingRootsGiveMinusOne) {
    for (const bool dataRoot : {false, true}) {
        TempInstallation::Options options;
        options.dataRoot = dataRoot;
        options.systemRoot = !dataRoot;
        TempInstallation install(options);
        WriteMaster(install);
        PdlCutCondition record;
        record.slot.fill(9.0f);
        EXPECT_EQ(ReadPdlCutTable("MC01", "SPCC", 0, record), -1);
        EXPECT_EQ(WritePdlCutTables("MC01", "SPCC", record, {0}), -1);
        EXPECT_EQ(record.slot[0], 9.0f);
    }
}

TEST(PdlFilesTest, SectionMissingGivesMinusOneAndSparesZero) {
    TempInstallation install;
    WriteFile(ConditionFile(install, "MC01", "SPCC"), "[PDL_CUT_K]\nPower=5\n");
    PdlCutCondition record;
    record.slot.fill(9.0f);
    ASSERT_EQ(ReadPdlCutTable("MC01", "SPCC", 7, record), 0);
    for (int i = 0; i < kPdlParamCount; ++i) ASSERT_EQ(record.slot[i], -1.0f);
    for (int i = kPdlParamCount; i < kPdlSlotCount; ++i) ASSERT_EQ(record.slot[i], 0.0f);
}

TEST(PdlFilesTest, StaleWorkingCopyIsGoneAndNoneIsLeft) {
    TempInstallation install;
    WriteMaster(install);
    const auto working = install.WorkingFolder() / "PDL_CUT_TEMP.ini";
    PdlCutCondition record;
    WriteFile(working, "stale");
    ASSERT_EQ(ReadPdlCutTable("MC01", "SPCC", 0, record), 0);
    EXPECT_FALSE(std::filesystem::exists(working));
    WriteFile(working, "stale");
    ASSERT_EQ(WritePdlCutTables("MC01", "SPCC", record, {1}), 0);
    EXPECT_FALSE(std::filesystem::exists(working));
}

TEST(PdlFilesTest, WritesOnlyTargetTablesAndKeepsTheRest) {
    TempInstallation install;
    WriteMaster(install);
    PdlCutCondition record;
    record.slot.fill(0.5f);
    ASSERT_EQ(WritePdlCutTables("MC01", "SPCC", record, {10, 12}), 0);
    for (int t = 0; t < kPdlTableCount; ++t) {
        PdlCutCondition back;
        ReadPdlCutTable("MC01", "SPCC", t, back);
        const float expected = (t == 10 || t == 12) ? 0.5f : DistinctRecord(t).slot[5];
        EXPECT_EQ(back.slot[5], expected) << t;
    }
    // No target: the file is left byte for byte.
    const std::string before = ReadFile(ConditionFile(install, "MC01", "SPCC"));
    ASSERT_EQ(WritePdlCutTables("MC01", "SPCC", record, {}), 0);
    EXPECT_EQ(ReadFile(ConditionFile(install, "MC01", "SPCC")), before);
}

TEST(PdlFilesTest, CopyAndDelete) {
    TempInstallation install;
    WriteFile(ConditionFile(install, "A", "M1"), "[PDL_CUT_K]\nPower=1\n");
    // No master: a missing source or target cannot be prepared.
    EXPECT_EQ(CopyPdlCutFile("A", "M1", "B", "M2"), -1);
    EXPECT_EQ(CopyPdlCutFile("B", "M2", "A", "M1"), -1);
    EXPECT_EQ(DeletePdlCutFile("B", "M2"), -1);
    // Onto itself: unchanged.
    EXPECT_EQ(CopyPdlCutFile("A", "M1", "A", "M1"), 0);
    EXPECT_EQ(ReadFile(ConditionFile(install, "A", "M1")), "[PDL_CUT_K]\nPower=1\n");

    WriteMaster(install);
    EXPECT_EQ(CopyPdlCutFile("A", "M1", "B", "M2"), 0);
    EXPECT_EQ(ReadFile(ConditionFile(install, "B", "M2")), "[PDL_CUT_K]\nPower=1\n");
    EXPECT_EQ(DeletePdlCutFile("B", "M2"), 0);
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "B", "M2")));
    EXPECT_EQ(DeletePdlCutFile("B", "M2"), 0);  // master present: 0 again
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "B", "M2")));
}

TEST(PdlFilesTest, PathOver499CharactersTouchesNothing) {
    TempInstallation install;
    WriteMaster(install);
    // data root + "data/Othmcn/PDL_CUT_" + machine + "_" + "M" + ".ini"
    const std::size_t fixed =
        install.DataRoot().size() + std::string("data/Othmcn/PDL_CUT__M.ini").size();
    const std::string fits(499 - fixed, 'n');
    const std::string over(500 - fixed, 'n');
    std::string path = "unchanged";
    EXPECT_EQ(PreparePdlCutFile(over, "M", path), -1);
    EXPECT_EQ(path, "unchanged");
    PdlCutCondition record;
    record.slot.fill(9.0f);
    EXPECT_EQ(ReadPdlCutTable(over, "M", 0, record), -1);
    EXPECT_EQ(record.slot[0], 9.0f);
    EXPECT_EQ(CopyPdlCutFile(over, "M", "B", "M"), -1);
    EXPECT_EQ(DeletePdlCutFile(over, "M"), -1);
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "B", "M")));
    // 499 characters form a path; the file system refuses so long a file
    // name, which is no concern of the path rule (nor of this test).
    try {
        PreparePdlCutFile(fits, "M", path);
    } catch (const std::exception&) {
    }
    EXPECT_EQ(path.size(), 499u);
}

TEST(PdlFilesTest, NamesWithPathSeparatorsAreRefused) {
    EXPECT_TRUE(IsValidPdlName("MC01"));
    EXPECT_FALSE(IsValidPdlName(""));
    EXPECT_FALSE(IsValidPdlName(nullptr));
    EXPECT_FALSE(IsValidPdlName("../MC01"));
    EXPECT_FALSE(IsValidPdlName("MC\\01"));
}

}  // namespace
}  // namespace quillet::pdl
