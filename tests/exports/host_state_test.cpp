// The host's process as the module leaves it: its locale across the first
// dialog export, and the refusals of the dialog rules while a dialog is open.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <thread>

#include "driver/driver_test_support.h"
#include "quillet/quillet.h"
#include "support/on_modal.h"

namespace quillet::testing {
namespace {

TEST(HostStateTest, FirstDialogKeepsTheHostLocaleAndDialogRulesAreTold) {
    TempInstallation install;
    const std::string log = (install.Base() / "messages.log").string();
    // Numbers read "1,5" under de_DE.UTF-8 when it is installed; C.UTF-8
    // still differs from the "C" the process started in.
    const locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t{});
    if (german != locale_t{}) ::freelocale(german);
    const ScopedEnv env{{"LC_ALL", german != locale_t{} ? "de_DE.UTF-8" : "C.UTF-8"},
                        {"QUILLET_MESSAGE_LOG", log.c_str()}};
    const std::string hostLocale = std::setlocale(LC_ALL, nullptr);
    // The first dialog export, one with nothing to show, creates the QApplication.
    char buffer[QUILLET_PATH_BUFFER_SIZE];
    EXPECT_EQ(SddOthMacCondDLG(0, 0, 130, "MC01", "SPCC", "", 0, 0, buffer), 100);
    OnModal cancel("132", [](QDialog& dialog) {
        EXPECT_EQ(MD_OthMacNCCreateDLG(kDriver.c_str(), "MC02"), 999);
        std::thread other([] { EXPECT_EQ(SddPDLOthMacLasCutDLG("MC01", 13300, "SPCC", 0), -1); });
        other.join();
        Click(dialog, "2");
    });
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MD_OthMacNCCreateDLG(kDriver.c_str(), "MC01"), 0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(cancel.Ran());

    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), hostLocale);
    char number[8];
    std::snprintf(number, sizeof number, "%.1f", 1.5);
    EXPECT_STREQ(number, "1.5");

    const std::string second =
        "MD_OthMacNCCreateDLG: no dialog shown: one dialog at a time, and another dialog of "
        "Quillet is open\n";
    const std::string otherThread =
        "SddPDLOthMacLasCutDLG: no dialog shown: dialogs run only on the thread that showed the "
        "first one (the QApplication's thread), not on this one\n";
    EXPECT_EQ(ReadFile(log), second + otherThread);
    EXPECT_TRUE(err.ends_with("Quillet: " + second + "Quillet: " + otherThread)) << err;
}

}  // namespace
}  // namespace quillet::testing
