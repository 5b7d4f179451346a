// The edit behind the dialogs against files and the stand-in driver: open,
// commit, cancel, the laser save options, the common start checks.
#include <gtest/gtest.h>

#include "driver_ui/driver_setting_edit.h"
#include "driver_ui_test_support.h"
#include "frame/status.h"
#include "platform/profile.h"
#include "support/message_recorder.h"
#include "support/temp_install.h"

namespace quillet::driver_ui {
namespace {

using driver::DriverSettingKind;
using testing::IniValue;
namespace fs = std::filesystem;

class DriverSettingEditTest : public ::testing::Test {
protected:
    testing::TempInstallation install_;
    testing::TempFolder drivers_;
    std::string driver_ = testing::WriteSampleDriver(drivers_.Path()).string();
    fs::path Saved(const std::string& name) const { return install_.DataFolder() / name; }
    fs::path Working(const std::string& name) const { return install_.WorkingFolder() / name; }
};

TEST_F(DriverSettingEditTest, CommitWithoutSavedFileCreatesIt) {
    DriverSettingEdit edit(DriverSettingKind::Cut, driver_, "MC01", "SPCC1.6", "L");
    ASSERT_EQ(edit.Open(), kNotSetUp);
    ASSERT_EQ(edit.Items().size(), 3u);
    edit.Items()[1].onOff = 1;
    edit.Items()[1].value1 = 12.0;
    EXPECT_EQ(edit.Commit({"K"}), kDone);
    const fs::path saved = Saved("MD_CUT_MC01_SPCC1.6.ini");
    EXPECT_EQ(IniValue(saved, "MD_CUT_L", "2_3OnOff"), "1");
    EXPECT_EQ(IniValue(saved, "MD_CUT_L", "2_3Value1"), "12");
    EXPECT_EQ(IniValue(saved, "MD_CUT_K", "2_3Value1"), "12");
    EXPECT_EQ(IniValue(saved, "MD_CUT_L", "3_4Value2"), "0.000000");
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverSettingEditTest, OpenOverlaysTheSavedSectionAndCommitKeepsOthers) {
    const fs::path saved = Saved("MD_TOOL_MC01_DIE1.ini");
    testing::WriteFile(saved,
                       "[MD_TOOL_3]\n11_3OnOff=1\n11_3Value1=42\n11_3Timing=2\n"
                       "[MD_TOOL_4]\n11_3Value1=9\n");
    DriverSettingEdit edit(DriverSettingKind::Tool, driver_, "MC01", "DIE1", "3");
    ASSERT_EQ(edit.Open(), kDone);
    EXPECT_TRUE(fs::exists(Working("MD_TOOL_TEMP.ini")));
    ASSERT_EQ(edit.Items().size(), 2u);
    EXPECT_EQ(edit.Items()[1].onOff, 1);
    EXPECT_DOUBLE_EQ(edit.Items()[1].value1, 42.0);
    EXPECT_EQ(edit.Items()[1].timing, 2);
    // Another edit saves a section meanwhile: the commit starts from it.
    platform::WritePrivateProfileString("MD_TOOL_5", "11_3Value1", "5", saved);
    edit.Items()[1].timing = 0;
    EXPECT_EQ(edit.Commit(), kDone);
    EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Timing"), "0");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_4", "11_3Value1"), "9");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_5", "11_3Value1"), "5");
    EXPECT_FALSE(fs::exists(Working("MD_TOOL_TEMP.ini")));
}

TEST_F(DriverSettingEditTest, NcEditWritesThePlainFile) {
    DriverSettingEdit edit(DriverSettingKind::Nc, driver_, "MC01", "ignored", "ignored");
    ASSERT_EQ(edit.Open(), kNotSetUp);
    ASSERT_EQ(edit.Items().size(), 2u);
    EXPECT_DOUBLE_EQ(edit.Items()[1].value1, 1.5);
    EXPECT_EQ(edit.Commit(), kDone);
    EXPECT_EQ(testing::ReadFile(Saved("MD_NC_MC01.ini")),
              "100_3OnOff=0\n100_3Value1=3\n101_4OnOff=0\n101_4Value1=1.500000\n");
}

TEST_F(DriverSettingEditTest, AFailedCopyBackIsReportedAndKeepsTheSavedFile) {
    DriverSettingEdit edit(DriverSettingKind::Cut, driver_, "MC01", "SPCC1.6", "L");
    ASSERT_EQ(edit.Open(), kNotSetUp);
    // A folder in place of the saved file: the copy back cannot replace it.
    fs::create_directory(Saved("MD_CUT_MC01_SPCC1.6.ini"));
    EXPECT_EQ(edit.Commit(), kSystemError);
    EXPECT_TRUE(fs::is_directory(Saved("MD_CUT_MC01_SPCC1.6.ini")));
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST(DriverSettingEditPathsTest, MissingRootsEndTheEditWith999) {
    testing::TempFolder drivers;
    const std::string driver = testing::WriteSampleDriver(drivers.Path()).string();
    for (const bool dataRoot : {false, true}) {
        testing::TempInstallation::Options options;
        options.dataRoot = dataRoot;
        options.systemRoot = !dataRoot;
        testing::TempInstallation install(options);
        DriverSettingEdit edit(dataRoot ? DriverSettingKind::Nc : DriverSettingKind::Cut, driver,
                               "MC01", "SPCC1.6", "L");
        EXPECT_EQ(edit.Open(), kSystemError) << dataRoot;
    }
}

TEST(LaserSaveOptionsTest, StoreAndLoadOnlyTheCurrentGroup) {
    platform::ProfileDocument file = platform::ProfileDocument::FromBytes(
        "/nonexistent/x.ini", "[MD_CUT_SAVEOPT]\nOnOff_SaveOpt_K=1\nOnOff_SaveOpt_P101=1\n");
    LaserSaveOptions options;
    options.saveOption = 1;
    options.switches[0] = 1;   // K
    options.switches[2] = 1;   // M
    options.switches[10] = 0;  // P101, other group: not written
    StoreLaserSaveOptions(file, 1, options);
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt"), "1");
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_L"), "0");
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_M"), "1");
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_U5"), "0");
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_P101"), "1");
    EXPECT_FALSE(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_P102").has_value());

    LaserSaveOptions loaded;
    LoadLaserSaveOptions(file, 11, loaded);  // P102: group 10 to 12
    EXPECT_EQ(loaded.saveOption, 1);
    EXPECT_EQ(loaded.switches[10], 1);
    EXPECT_EQ(loaded.switches[0], 0);  // K is not read for P102

    // With the option off only OnOff_SaveOpt is written.
    options.saveOption = 0;
    options.switches[2] = 0;
    StoreLaserSaveOptions(file, 1, options);
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt"), "0");
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_M"), "1");
}

TEST(LaserSaveOptionsTest, CopiesAndVisibilityFollowTheGroup) {
    LaserSaveOptions options;
    options.switches = {1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1};
    EXPECT_TRUE(LaserCopySections(1, options).empty());  // option off
    options.saveOption = 1;
    EXPECT_EQ(LaserCopySections(1, options), (std::vector<std::string>{"K", "M"}));
    EXPECT_EQ(LaserCopySections(11, options), (std::vector<std::string>{"P101", "P103"}));

    EXPECT_TRUE(LaserVisibility(false, 1, 11).optionShown);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(LaserVisibility(false, 1, 11).conditionShown[i], i >= 10) << i;  // P102
        EXPECT_EQ(LaserVisibility(false, 1, 1).conditionShown[i], i < 10) << i;    // L
        EXPECT_FALSE(LaserVisibility(false, 0, 1).conditionShown[i]) << i;         // option off
    }
    EXPECT_FALSE(LaserVisibility(true, 1, 1).optionShown);
}

TEST(DialogStartTest, DriverFileAndArgumentChecks) {
    testing::TempFolder folder;
    const std::string driver = testing::WriteSampleDriver(folder.Path()).string();
    const std::string missing = (folder.Path() / "missing.drv").string();
    const std::string aFolder = folder.Path().string();
    struct Row {
        const char* driver;
        const char* machine;
        const char* name;
        std::optional<int> status;
        bool message;
    };
    const Row rows[] = {
        {missing.c_str(), "", nullptr, kDone, true},
        {aFolder.c_str(), "MC01", "SPCC", kDone, true},
        {nullptr, "MC01", "SPCC", kDone, true},
        {"", "MC01", "SPCC", kDone, true},
        {driver.c_str(), "", "SPCC", kInvalidArguments, false},
        {driver.c_str(), "MC01", nullptr, kInvalidArguments, false},
        {driver.c_str(), "MC/01", "SPCC", kInvalidArguments, false},
        {driver.c_str(), "MC01", "..\\SPCC", kInvalidArguments, false},
        {driver.c_str(), "MC01", "SPCC1.6", std::nullopt, false},
    };
    for (const Row& row : rows) {
        testing::MessageRecorder recorder;
        EXPECT_EQ(CheckDialogStart(row.driver, {row.machine, row.name}), row.status)
            << (row.driver ? row.driver : "null") << " " << (row.machine ? row.machine : "null");
        EXPECT_EQ(recorder.Ids(),
                  row.message ? std::vector<std::string>{"488"} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace quillet::driver_ui
