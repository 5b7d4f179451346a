// The driver exports end to end with the stand-in libraries of the build:
// NC generation of a job, special sequences of the sample driver, and the
// current files laid down by MD_SetCurrentInfo.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver_test_support.h"
#include "quillet/quillet.h"
#include "support/temp_install.h"

namespace quillet::testing {
namespace {

std::string Samples() {
    const char* samples = std::getenv("QUILLET_SAMPLES");
    return samples != nullptr ? samples : "samples";
}

std::string SampleDriver() { return Samples() + "/drivers/laser.drv"; }

TEST(CreateNcStandInTest, WritesTheSampleJobAsAnNcProgram) {
    TempFolder folder;
    const std::string target = (folder.Path() / "sample.nc").string();
    ScopedEnv job("QUILLET_JOB", Samples() + "/jobs/sample.job");
    std::string targetText = target;
    ASSERT_EQ(MD_CreateNC(SampleDriver().c_str(), targetText.data()), 0);
    const std::vector<std::string> lines = ReadLines(target);
    ASSERT_GT(lines.size(), 14u);
    EXPECT_EQ(lines.front(), "%");
    EXPECT_EQ(lines[3], "(SHEET SPCC1.6 sample sheet)");
    EXPECT_EQ(lines[4], "(MACHINE TYPE 3 UNIT MM)");
    EXPECT_EQ(lines[5], "(CLAMPS 3: 150.000 700.000 1250.000)");
    EXPECT_EQ(lines[8], "(THICKNESS 1.600)");
    EXPECT_EQ(lines[9], "(PARTS 4)");
    EXPECT_EQ(lines[11], "G92 X10.000 Y10.000");
    EXPECT_EQ(lines[12], "N1 G00 X50.000 Y50.000");
    EXPECT_EQ(lines[15], "N4 G02 X250.000 Y50.000 I150.000 J150.000 T1");
    EXPECT_EQ(lines[18], "N7 G01 X600.000 Y100.000 Q0.500 T2");
    EXPECT_EQ(lines[22], "N11 G00 X0.000 Y0.000 M5");
    EXPECT_EQ(lines[lines.size() - 3], "(BLOCKS 11)");
    EXPECT_EQ(lines[lines.size() - 2], "M30");
    EXPECT_EQ(lines.back(), "%");
}

TEST(CreateNcStandInTest, PassesTheNcDataFailuresThrough) {
    TempFolder folder;
    const std::string target = (folder.Path() / "out.nc").string();
    struct Row {
        const char* name;
        std::optional<std::string> jobText;  // nullopt: QUILLET_JOB unset
        int result;
        bool written;
    };
    const Row rows[] = {
        {"no job named", std::nullopt, 2, false},
        {"unreadable job", "", 3, false},
        {"failing read", "fail-read-machine=8\n[records]\n1 0 0 0 1 1\n", 8, false},
        {"failing check", "fail-check=4\n", 4, false},
        {"failing open", "fail-open=5\n[records]\n1 0 0 0 1 1\n", 5, false},
        {"failing close", "fail-close=6\n[records]\n1 0 0 0 1 1\n", 6, true},
        {"no records", "sheet=S\n", 0, true},
        {"own end code", "end-code=-7\n[records]\n1 0 0 0 1 1\n", 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(target);
        std::optional<std::string> jobPath;
        if (row.jobText) {
            jobPath = (folder.Path() / "job.job").string();
            if (row.jobText->empty()) {
                jobPath = (folder.Path() / "missing.job").string();
            } else {
                WriteFile(*jobPath, *row.jobText);
            }
        }
        ScopedEnv job("QUILLET_JOB", jobPath);
        std::string targetText = target;
        EXPECT_EQ(MD_CreateNC(SampleDriver().c_str(), targetText.data()), row.result);
        EXPECT_EQ(std::filesystem::exists(target), row.written);
        if (row.written) {
            EXPECT_EQ(ReadLines(target).back(), "%");
        }
    }
}

TEST(SpecialSequenceStandInTest, ListsAcceptedSequencesOfTheSampleDriver) {
    md_ssi_all_ result;
    for (auto& e : result.entries) e = {-5, "untouched", -5, -5};
    result.count = -1;
    MD_GetSpecialSequence(SampleDriver().c_str(), 1, &result);
    ASSERT_EQ(result.count, 3);
    EXPECT_EQ(result.entries[0].id, 200);
    EXPECT_STREQ(result.entries[0].name, "Pierce only");
    EXPECT_EQ(result.entries[0].valueType, 2);
    EXPECT_EQ(result.entries[0].valueCount, 0);
    EXPECT_EQ(result.entries[1].id, 202);  // 201 (type 5) is passed over
    EXPECT_EQ(result.entries[1].valueCount, 2);
    EXPECT_EQ(result.entries[2].id, 203);
    EXPECT_STREQ(result.entries[3].name, "untouched");

    MD_GetSpecialSequence(SampleDriver().c_str(), 2, &result);
    ASSERT_EQ(result.count, 2);
    EXPECT_STREQ(result.entries[1].name, "Slug suction");
    MD_GetSpecialSequence(SampleDriver().c_str(), 3, &result);
    EXPECT_EQ(result.count, 0);
    EXPECT_STREQ(result.entries[0].name, "Nibbling pitch");  // entries stay as handed
    MD_GetSpecialSequence(std::string(256, 'd').c_str(), 1, &result);
    EXPECT_EQ(result.count, 0);
}

class SetCurrentInfoTest : public ::testing::Test {
protected:
    fs::path Current(const char* kind) const {
        return install_.WorkingFolder() / (std::string("MD_") + kind + "_default.ini");
    }
    void PlaceEarlierCurrentFiles() const {
        for (const char* kind : {"NC", "CUT", "TOOL"}) WriteFile(Current(kind), "earlier\n");
    }
    TempInstallation install_;
    std::string driver_ = SampleDriver();
};

TEST_F(SetCurrentInfoTest, InvalidArgumentsTouchNothing) {
    struct Row {
        const char *driver, *machine, *material, *die;
    };
    const Row rows[] = {
        {nullptr, "MC01", "SPCC", "D"}, {"", "MC01", "SPCC", "D"},   {"d", nullptr, "SPCC", "D"},
        {"d", "", "SPCC", "D"},         {"d", "MC/01", "SPCC", "D"}, {"d", "MC01", "../x", "D"},
        {"d", "MC01", "SPCC", "a/b"},
    };
    PlaceEarlierCurrentFiles();
    for (const Row& row : rows) {
        EXPECT_EQ(MD_SetCurrentInfo(row.driver, row.machine, row.material, row.die), -2);
        for (const char* kind : {"NC", "CUT", "TOOL"})
            EXPECT_EQ(ReadFile(Current(kind)), "earlier\n");
    }
}

TEST_F(SetCurrentInfoTest, OnlyNcWhenNoMaterialOrDieLayout) {
    PlaceEarlierCurrentFiles();
    ASSERT_EQ(MD_SetCurrentInfo(driver_.c_str(), "MC01", "", nullptr), 0);
    EXPECT_EQ(ReadFile(Current("NC")),
              "100_3OnOff=0\n100_3Value1=3\n101_4OnOff=0\n101_4Value1=1.500000\n102_3OnOff=0\n"
              "102_3Value1=0\n103_4OnOff=0\n103_4Value1=-99999.999900\n104_4OnOff=0\n"
              "104_4Value1=0.000000\n");
    EXPECT_FALSE(fs::exists(Current("CUT")));
    EXPECT_FALSE(fs::exists(Current("TOOL")));
}

TEST_F(SetCurrentInfoTest, CopiesSavedFilesAndGeneratesTheRest) {
    const std::string savedCut = "[MD_CUT_K]\n2_3OnOff=1\n2_3Value1=7\n[MD_CUT_L]\n2_3OnOff=0\n";
    WriteFile(install_.DataFolder() / "MD_CUT_MC01_SPCC1.6.ini", savedCut);
    ASSERT_EQ(MD_SetCurrentInfo(driver_.c_str(), "MC01", "SPCC1.6", "DIE-A"), 0);
    EXPECT_EQ(ReadFile(Current("CUT")), savedCut);
    EXPECT_EQ(ReadFile(Current("TOOL")),
              "10_2OnOff=0\n10_2Timing=1\n11_3OnOff=0\n11_3Value1=0\n11_3Timing=1\n12_4OnOff=0\n"
              "12_4Value1=0.000000\n12_4Value2=0.000000\n12_4Timing=1\n");
    EXPECT_NE(ReadFile(Current("NC")).find("100_3Value1=3\n"), std::string::npos);

    // A saved Nc file is copied byte for byte, whatever its form.
    WriteFile(install_.DataFolder() / "MD_NC_MC01.ini", "100_3OnOff=1\r\n100_3Value1=9\r\n");
    ASSERT_EQ(MD_SetCurrentInfo(driver_.c_str(), "MC01", nullptr, ""), 0);
    EXPECT_EQ(ReadFile(Current("NC")), "100_3OnOff=1\r\n100_3Value1=9\r\n");
    EXPECT_FALSE(fs::exists(Current("CUT")));
}

TEST_F(SetCurrentInfoTest, SystemErrors) {
    // A saved file that cannot be copied (a folder of that name is no file,
    // so it is generated instead) and a current file that cannot be written.
    fs::remove_all(install_.WorkingFolder());
    EXPECT_EQ(MD_SetCurrentInfo(driver_.c_str(), "MC01", nullptr, nullptr), 999);
    fs::create_directory(install_.WorkingFolder());
    fs::create_directory(Current("CUT"));
    EXPECT_EQ(MD_SetCurrentInfo(driver_.c_str(), "MC01", "SPCC", nullptr), 999);
    EXPECT_TRUE(fs::exists(Current("NC")));  // kinds handled before stay in place

    TempInstallation noSystem({.systemRoot = false});
    EXPECT_EQ(MD_SetCurrentInfo(driver_.c_str(), "MC01", nullptr, nullptr), 999);
    TempInstallation noData({.dataRoot = false});
    EXPECT_EQ(MD_SetCurrentInfo(driver_.c_str(), "MC01", nullptr, nullptr), 999);
}

}  // namespace
}  // namespace quillet::testing
