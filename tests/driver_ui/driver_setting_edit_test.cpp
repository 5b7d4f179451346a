// The edit behind the dialogs against files and the stand-in driver: open,
// commit, cancel, the laser save options, the common start checks.
#include <gtest/gtest.h>

#include <tuple>

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

TEST_F(DriverSettingEditTest, AFailedCopyBackIsReportedAndKeepsTheSavedFile) {
    DriverSettingEdit edit(DriverSettingKind::Cut, driver_, "MC01", "SPCC1.6", "L");
    ASSERT_EQ(edit.Open(), kNotSetUp);
    // A folder in place of the saved file: the copy back cannot replace it.
    fs::create_directory(Saved("MD_CUT_MC01_SPCC1.6.ini"));
    EXPECT_EQ(edit.Commit(), kSystemError);
    EXPECT_TRUE(fs::is_directory(Saved("MD_CUT_MC01_SPCC1.6.ini")));
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST(DriverSettingEditPathsTest, AMissingSystemRootEndsTheEditWith999) {
    testing::TempFolder drivers;
    testing::TempInstallation::Options options;
    options.systemRoot = false;
    testing::TempInstallation install(options);
    DriverSettingEdit edit(DriverSettingKind::Cut,
                           testing::WriteSampleDriver(drivers.Path()).string(), "MC01", "SPCC1.6",
                           "L");
    EXPECT_EQ(edit.Open(), kSystemError);
}

// With the option off only "OnOff_SaveOpt" is stored; the switches of the
// conditions stay as the file holds them (the dialog tests store them on).
TEST(LaserSaveOptionsTest, OptionOffStoresOnlyItsOwnKey) {
    platform::ProfileDocument file = platform::ProfileDocument::FromBytes(
        "/nonexistent/x.ini", "[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_M=1\n");
    LaserSaveOptions options;
    StoreLaserSaveOptions(file, 1, options);
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt"), "0");
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_M"), "1");
    EXPECT_FALSE(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_K").has_value());
    LaserSaveOptions loaded;
    LoadLaserSaveOptions(file, 2, loaded);
    EXPECT_EQ(loaded.saveOption, 0);
    EXPECT_EQ(loaded.switches[2], 1);
}

TEST(DialogStartTest, DriverFileAndArgumentChecks) {
    testing::TempFolder folder;
    const std::string driver = testing::WriteSampleDriver(folder.Path()).string();
    const std::string missing = (folder.Path() / "missing.drv").string();
    const std::string aFolder = folder.Path().string();
    // driver, machine, name, status, message 488 shown.
    using Row = std::tuple<const char*, const char*, const char*, std::optional<int>, bool>;
    const Row rows[] = {
        {missing.c_str(), "", "", kDone, true},  // the driver file is tested first
        {aFolder.c_str(), "MC01", "SPCC", kDone, true},
        {"", "MC01", "SPCC", kDone, true},
        {driver.c_str(), "MC01", "", kInvalidArguments, false},
        {driver.c_str(), "MC01", "..\\SPCC", kInvalidArguments, false},
        {driver.c_str(), "MC01", "SPCC1.6", std::nullopt, false},
    };
    for (const auto& [driverFile, machine, name, status, message] : rows) {
        testing::MessageRecorder recorder;
        EXPECT_EQ(CheckDialogStart(driverFile, {machine, name}), status) << driverFile << name;
        EXPECT_EQ(recorder.Ids(),
                  message ? std::vector<std::string>{"488"} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace quillet::driver_ui
