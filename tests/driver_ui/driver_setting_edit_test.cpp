// The edit behind the dialogs against files and the stand-in driver: open,
// save, cancel, the laser save options, the common start checks.
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
using Opened = DriverSettingEdit::Opened;
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

TEST_F(DriverSettingEditTest, OpenOverlaysTheSavedSectionAndSaveKeepsOthers) {
    const fs::path saved = Saved("MD_TOOL_MC01_DIE1.ini");
    testing::WriteFile(saved,
                       "[MD_TOOL_3]\n11_3OnOff=1\n11_3Value1=42\n11_3Timing=2\n"
                       "[MD_TOOL_4]\n11_3Value1=9\n");
    DriverSettingEdit edit(DriverSettingKind::Tool, driver_, "MC01", "DIE1", "3");
    ASSERT_EQ(edit.Load(), Opened::SavedFile);
    EXPECT_TRUE(fs::exists(Working("MD_TOOL_TEMP.ini")));
    ASSERT_EQ(edit.Items().size(), 2u);
    EXPECT_EQ(edit.Items()[1].onOff, 1);
    EXPECT_DOUBLE_EQ(edit.Items()[1].value1, 42.0);
    EXPECT_EQ(edit.Items()[1].timing, 2);
    // Another edit saves a section meanwhile: the save starts from it.
    platform::WritePrivateProfileString("MD_TOOL_5", "11_3Value1", "5", saved);
    edit.Items()[1].timing = 0;
    EXPECT_TRUE(edit.Save());
    EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Timing"), "0");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_4", "11_3Value1"), "9");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_5", "11_3Value1"), "5");
    EXPECT_FALSE(fs::exists(Working("MD_TOOL_TEMP.ini")));
}

TEST_F(DriverSettingEditTest, AFailedCopyBackIsReportedAndKeepsTheSavedFile) {
    DriverSettingEdit edit(DriverSettingKind::Cut, driver_, "MC01", "SPCC1.6", "L");
    ASSERT_EQ(edit.Load(), Opened::NoSavedFile);
    // A folder in place of the saved file: the copy back cannot replace it.
    fs::create_directory(Saved("MD_CUT_MC01_SPCC1.6.ini"));
    EXPECT_FALSE(edit.Save());
    EXPECT_TRUE(fs::is_directory(Saved("MD_CUT_MC01_SPCC1.6.ini")));
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverSettingEditTest, ADriverWithoutItemsWritesNothingAndNoSystemRootEndsTheEdit) {
    const std::string empty = (drivers_.Path() / "empty.drv").string();
    testing::WriteFile(empty, "# a driver that publishes nothing\n");
    DriverSettingEdit nothing(DriverSettingKind::Cut, empty, "MC01", "SPCC1.6", "K");
    ASSERT_EQ(nothing.Load(), Opened::NoSavedFile);
    EXPECT_TRUE(nothing.Save());
    EXPECT_FALSE(fs::exists(Saved("MD_CUT_MC01_SPCC1.6.ini")));

    testing::TempInstallation noSystem({.systemRoot = false});
    DriverSettingEdit edit(DriverSettingKind::Cut, driver_, "MC01", "SPCC1.6", "L");
    EXPECT_EQ(edit.Load(), Opened::Failed);
}

// With the option off only "OnOff_SaveOpt" is stored; the switches of the
// conditions stay as the file holds them (the dialog tests store them on).
TEST(LaserSaveOptionsTest, StoredLoadedAndPickingTheGroup) {
    platform::ProfileDocument file = platform::ProfileDocument::FromBytes(
        "/nonexistent/x.ini", "[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_M=1\n");
    StoreLaserSaveOptions(file, 1, LaserSaveOptions{});
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt"), "0");
    EXPECT_EQ(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_M"), "1");
    EXPECT_FALSE(file.Find("MD_CUT_SAVEOPT", "OnOff_SaveOpt_K").has_value());
    const LaserSaveOptions loaded = LoadLaserSaveOptions(file, 2);
    EXPECT_EQ(loaded.saveOption, 0);
    EXPECT_EQ(loaded.switches[2], 1);

    // The copies and the boxes shown belong to the current condition's group.
    LaserSaveOptions options{1, {1, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 1}};
    EXPECT_EQ(LaserCopySections(1, options), (std::vector<std::string>{"K", "H", "U5"}));
    EXPECT_EQ(LaserCopySections(11, options), (std::vector<std::string>{"P101", "P103"}));
    EXPECT_TRUE(LaserCopySections(1, LaserSaveOptions{0, options.switches}).empty());
    const LaserSaveVisibility shown = LaserVisibility(false, 1, 11);
    EXPECT_TRUE(shown.optionShown);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(shown.conditionShown[i], i >= 10) << i;
    const LaserSaveVisibility none = LaserVisibility(true, 0, 0);
    EXPECT_FALSE(none.optionShown || none.conditionShown[0]);
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
