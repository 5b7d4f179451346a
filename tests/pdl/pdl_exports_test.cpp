// The PDL exports through the public header (their refusals of bad arguments
// are rows of the bad-input catalogue).
#include <gtest/gtest.h>

#include <cstring>

#include "pdl_test_support.h"
#include "quillet/quillet.h"

namespace quillet::pdl {
namespace {

using namespace testing;

TEST(PdlExportsTest, BlockFileExportsAndTheDialogWithoutGui) {
    TempInstallation install;
    float block[128];
    std::fill(std::begin(block), std::end(block), 5.0f);
    // Neither file nor master: -1, and the block is left as it was.
    EXPECT_EQ(SddPDLOthMacLasCutFileDelete("MC", "M"), -1);
    EXPECT_EQ(SddPDLOthMacLasCutGetInf("MC", 13998, "M", 0, block), -1);
    EXPECT_EQ(block[0], 5.0f);
    WriteMaster(install);
    EXPECT_EQ(SddPDLOthMacLasCutGetInf("MC", 13999, "M", 0, block), -2);  // checked first
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "MC", "M")));
    ASSERT_EQ(SddPDLOthMacLasCutGetInf("MC", 13998, "M", 12, block), 0);
    const PdlCutCondition expected = DistinctRecord(12);
    EXPECT_EQ(std::memcmp(block, expected.slot.data(), sizeof block), 0);
    // Nothing in this test binary creates an application, so with no display
    // named none can be made: nothing is shown or touched.
    const quillet::testing::ScopedEnv headless{
        {"QT_QPA_PLATFORM", nullptr}, {"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}};
    EXPECT_EQ(SddPDLOthMacLasCutDLG("MC2", 13300, "M", 0), -1);
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "MC2", "M")));
}

}  // namespace
}  // namespace quillet::pdl
