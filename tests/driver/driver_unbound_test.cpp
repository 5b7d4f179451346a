// Operations whose library functions cannot be bound: this test runs with
// no run path and with LD_LIBRARY_PATH naming only test-double-partial/,
// whose libkorvid.so lacks MD_EndDriverNcGeneratioin and
// MD_GetDefaultSetting, and which holds no libDravik.so.
#include <gtest/gtest.h>

#include "driver/driver_operations.h"
#include "driver/driver_settings.h"
#include "driver_test_support.h"
#include "support/temp_install.h"

namespace quillet::driver {
namespace {

using testing::ReadFile;
using testing::ReadLines;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::TempInstallation;
using testing::WriteFile;

class UnboundTest : public ::testing::Test {
protected:
    UnboundTest()
        : log_("QUILLET_DOUBLE_LOG", (folder_.Path() / "calls.log").string()),
          script_("QUILLET_DOUBLE_SCRIPT", (folder_.Path() / "script.txt").string()) {
        WriteFile(folder_.Path() / "script.txt", "cutting=1 3 1 A\ndefault=2 3 0 5 B\n");
    }
    std::vector<std::string> Calls() const { return ReadLines(folder_.Path() / "calls.log"); }

    TempFolder folder_;
    ScopedEnv log_;
    ScopedEnv script_;
};

TEST_F(UnboundTest, CreateNcCallsNothingAndWritesNothing) {
    const std::string target = (folder_.Path() / "out.nc").string();
    EXPECT_EQ(CreateNc("drv", target.c_str()), 999);
    EXPECT_TRUE(Calls().empty());
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(UnboundTest, OnlyTheFunctionsAnOperationCallsAreNeeded) {
    DriverConditionList list;
    EXPECT_TRUE(LoadDriverConditions("drv", list, DriverSettingKind::Cut, 99));
    EXPECT_EQ(list.size(), 1u);
    EXPECT_FALSE(LoadDriverConditions("drv", list, DriverSettingKind::Nc, 99));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(CanLoadDriverConditions("drv", DriverSettingKind::Nc));
    EXPECT_TRUE(CanLoadDriverConditions("drv", DriverSettingKind::Tool));
}

TEST_F(UnboundTest, SetCurrentInfoLeavesEarlierFilesWhenTheDriverIsNeeded) {
    TempInstallation install;
    const auto current = install.WorkingFolder() / "MD_NC_default.ini";
    WriteFile(current, "earlier\n");
    WriteFile(install.WorkingFolder() / "MD_CUT_default.ini", "earlier\n");
    EXPECT_EQ(SetCurrentInfo("drv", "MC01", nullptr, nullptr), 999);
    EXPECT_EQ(ReadFile(current), "earlier\n");
    EXPECT_TRUE(std::filesystem::exists(install.WorkingFolder() / "MD_CUT_default.ini"));

    // With a saved Nc file nothing of the driver is needed; the Cut file is
    // generated through the functions that are there.
    WriteFile(install.DataFolder() / "MD_NC_MC01.ini", "saved\n");
    EXPECT_EQ(SetCurrentInfo("drv", "MC01", "SPCC", nullptr), 0);
    EXPECT_EQ(ReadFile(current), "saved\n");
    EXPECT_EQ(ReadFile(install.WorkingFolder() / "MD_CUT_default.ini"),
              "1_3OnOff=0\n1_3Value1=0\n");
}

}  // namespace
}  // namespace quillet::driver
