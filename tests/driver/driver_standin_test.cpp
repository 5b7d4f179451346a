// The driver exports end to end with the stand-in libraries of the build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver_test_support.h"
#include "quillet/quillet.h"
#include "support/temp_install.h"

namespace quillet::testing {
namespace {

const std::string kSamples =
    std::getenv("QUILLET_SAMPLES") ? std::getenv("QUILLET_SAMPLES") : "samples";

const std::string kDriver = kSamples + "/drivers/laser.drv";

// The stand-ins: the sample job becomes an NC program (the NC-data failures
// passing through are checked against the recording double), and a driver
// file they cannot use is told on standard error (MD_LoadMachineDriver has
// no result), the module then behaving as with a driver without items.
TEST(StandInTest, WritesTheSampleProgramAndTellsUnusableDriverFiles) {
    TempInstallation install;
    std::string target = (install.Base() / "sample.nc").string();
    ScopedEnv job("QUILLET_JOB", kSamples + "/jobs/sample.job");
    ASSERT_EQ(MD_CreateNC(kDriver.c_str(), target.data()), 0);
    const Lines lines = ReadLines(target);
    ASSERT_GT(lines.size(), 22u);
    EXPECT_EQ(lines[3], "(SHEET SPCC1.6 sample sheet)");
    EXPECT_EQ(lines[15], "N4 G02 X250.000 Y50.000 I150.000 J150.000 T1");
    EXPECT_EQ(lines[lines.size() - 3], "(BLOCKS 11)");

    const fs::path empty = install.Base() / "empty.drv";
    WriteFile(empty, "# nothing\n");
    const struct {
        std::string file, reason;
    } rows[] = {{(install.Base() / "missing.drv").string(), "No such file or directory"},
                {install.Base().string(), "it is a folder"},
                {empty.string(), "no [cutting]"}};
    for (const auto& row : rows) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(MD_SetCurrentInfo(row.file.c_str(), "MC01", nullptr, nullptr), 0);
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("korvid: cannot use driver file '" +
                                                                row.file + "': " + row.reason),
                  std::string::npos);
        EXPECT_EQ(ReadFile(install.WorkingFolder() / "MD_NC_default.ini"), "");
    }
}

class SetCurrentInfoTest : public ::testing::Test {
protected:
    fs::path Current(const char* kind) const {
        return install_.WorkingFolder() / (std::string("MD_") + kind + "_default.ini");
    }
    TempInstallation install_;
};

// (The refusals themselves are rows of the bad-input catalogue.)
TEST_F(SetCurrentInfoTest, InvalidArgumentsLeaveEarlierCurrentFilesAlone) {
    for (const char* kind : {"NC", "CUT", "TOOL"}) WriteFile(Current(kind), "earlier\n");
    EXPECT_EQ(MD_SetCurrentInfo(nullptr, "MC01", "SPCC", "D"), -2);
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC", "a/b"), -2);
    for (const char* kind : {"NC", "CUT", "TOOL"}) EXPECT_EQ(ReadFile(Current(kind)), "earlier\n");
}

TEST_F(SetCurrentInfoTest, CopiesSavedFilesAndGeneratesTheRest) {
    WriteFile(Current("TOOL"), "earlier\n");
    const std::string savedCut = "[MD_CUT_K]\n2_3OnOff=1\n2_3Value1=7\n[MD_CUT_L]\n2_3OnOff=0\n";
    WriteFile(install_.DataFolder() / "MD_CUT_MC01_SPCC1.6.ini", savedCut);
    ASSERT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC1.6", "DIE-A"), 0);
    EXPECT_EQ(ReadFile(Current("CUT")), savedCut);
    EXPECT_EQ(ReadFile(Current("TOOL")),
              "10_2OnOff=0\n10_2Timing=1\n11_3OnOff=0\n11_3Value1=0\n11_3Timing=1\n12_4OnOff=0\n"
              "12_4Value1=0.000000\n12_4Value2=0.000000\n12_4Timing=1\n");
    EXPECT_EQ(ReadFile(Current("NC")),
              "100_3OnOff=0\n100_3Value1=3\n101_4OnOff=0\n101_4Value1=1.500000\n102_3OnOff=0\n"
              "102_3Value1=0\n103_4OnOff=0\n103_4Value1=-99999.999900\n104_4OnOff=0\n"
              "104_4Value1=0.000000\n");

    // Only Nc without material and die layout; a saved Nc file is copied byte
    // for byte, whatever its form.
    WriteFile(install_.DataFolder() / "MD_NC_MC01.ini", "100_3OnOff=1\r\n100_3Value1=9\r\n");
    ASSERT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "", nullptr), 0);
    EXPECT_EQ(ReadFile(Current("NC")), "100_3OnOff=1\r\n100_3Value1=9\r\n");
    EXPECT_FALSE(fs::exists(Current("CUT")));
    EXPECT_FALSE(fs::exists(Current("TOOL")));
}

TEST_F(SetCurrentInfoTest, SystemErrors) {
    // No working folder; a current file that cannot be written (a folder of
    // that name).
    fs::remove_all(install_.WorkingFolder());
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", nullptr, nullptr), 999);
    fs::create_directory(install_.WorkingFolder());
    fs::create_directory(Current("CUT"));
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC", nullptr), 999);
    EXPECT_TRUE(fs::exists(Current("NC")));  // kinds handled before stay in place
    TempInstallation noSystem({.systemRoot = false});
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", nullptr, nullptr), 999);
    TempInstallation noData({.dataRoot = false});
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", nullptr, nullptr), 999);
}

}  // namespace
}  // namespace quillet::testing
