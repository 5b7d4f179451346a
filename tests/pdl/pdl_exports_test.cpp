// The PDL exports through the public header: argument checks in their order,
// the parameter block, and the file exports.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstring>
#include <string>

#include "pdl_test_support.h"
#include "quillet/quillet.h"

namespace quillet::pdl {
namespace {

using quillet::testing::ReadFile;
using quillet::testing::TempInstallation;
using testing::ConditionFile;
using testing::WriteMaster;

TEST(PdlExportsTest, GetInfChecksArgumentsBeforeTouchingFiles) {
    TempInstallation install;
    WriteMaster(install);
    float block[128];
    std::fill(std::begin(block), std::end(block), 5.0f);
    const struct {
        const char* machine;
        int type;
        const char* material;
        int table;
    } rows[] = {{"", 12000, "M", 0},    {nullptr, 12000, "M", 0}, {"MC", 12000, "", 0},
                {"MC", 12000, "M", -1}, {"MC", 12000, "M", 13},   {"MC", 11999, "M", 0},
                {"MC", 13999, "M", 0},  {"../MC", 12000, "M", 0}, {"MC", 12000, "a/b", 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(SddPDLOthMacLasCutGetInf(row.machine, row.type, row.material, row.table, block),
                  -2);
    }
    EXPECT_EQ(SddPDLOthMacLasCutGetInf("MC", 12000, "M", 0, nullptr), -2);
    EXPECT_EQ(block[0], 5.0f);
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "MC", "M")));

    ASSERT_EQ(SddPDLOthMacLasCutGetInf("MC", 13998, "M", 12, block), 0);
    const PdlCutCondition expected = testing::DistinctRecord(12);
    EXPECT_EQ(std::memcmp(block, expected.slot.data(), sizeof block), 0);
}

TEST(PdlExportsTest, FileExportsAndMachineType) {
    TempInstallation install;
    EXPECT_EQ(SddPDLOthMacLasCutFileDelete("MC", ""), -2);
    EXPECT_EQ(SddPDLOthMacLasCutFileCopy("A", "M", "B", nullptr), -2);
    EXPECT_EQ(SddPDLOthMacLasCutFileCopy("A", "M", "B/..", "M"), -2);
    EXPECT_EQ(SddPDLOthMacLasCutFileDelete("MC", "M"), -1);  // neither file nor master
    WriteMaster(install);
    EXPECT_EQ(SddPDLOthMacLasCutFileCopy("A", "M", "B", "M"), 0);
    EXPECT_EQ(ReadFile(ConditionFile(install, "B", "M")),
              ReadFile(install.DataFolder() / "PDL_CUT_MASTER.ini"));
    EXPECT_EQ(SddPDLOthMacLasCutFileDelete("B", "M"), 0);
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "B", "M")));
    EXPECT_EQ(SddPDLOthMacTypeGet(12002), 820);
    EXPECT_EQ(SddPDLOthMacLasCutDLG("MC", 13999, "M", 0), -2);
}

TEST(PdlExportsTest, DialogWithoutGuiShowsNothingAndReturnsMinusOne) {
    TempInstallation install;
    WriteMaster(install);
    // Nothing in this test binary creates an application, so with no display
    // named none can be made.
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(SddPDLOthMacLasCutDLG("MC", 13300, "M", 0), -1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "MC", "M")));
    EXPECT_FALSE(std::filesystem::exists(install.DataFolder() / "PDL_MACTYPE_ALIAS.ini"));
}

}  // namespace
}  // namespace quillet::pdl
