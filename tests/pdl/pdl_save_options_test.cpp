// The save-option file and the save-target rule.
#include <gtest/gtest.h>

#include <vector>

#include "pdl/pdl_save_options.h"
#include "support/temp_install.h"

namespace quillet::pdl {
namespace {

using quillet::testing::ReadFile;
using quillet::testing::TempInstallation;
using quillet::testing::WriteFile;

PdlSaveOptions Options(int saveSwitch, std::vector<int> onTables) {
    PdlSaveOptions options;
    options.saveSwitch = saveSwitch;
    for (int t : onTables) options.tables[t] = 1;
    return options;
}

TEST(PdlSaveOptionsTest, SaveTargetRule) {
    PdlSaveOptions minusOne = Options(1, {2});
    minusOne.tables[3] = -1;  // only exactly 1 counts
    const struct {
        int edited;
        PdlSaveOptions options;
        std::vector<int> targets;
    } rows[] = {
        {0, Options(0, {1, 2, 11}), {0}},
        {11, Options(0, {}), {11}},
        {0, Options(1, {1}), {1}},  // own box off: K is not written
        {5, Options(1, {0, 5, 9, 10, 12}), {0, 5, 9}},
        {11, Options(1, {0, 5, 10, 12}), {10, 12}},
        {3, Options(1, {10, 11}), {}},  // nothing of the group
        {3, Options(-1, {3}), {3}},     // any state but 0 is on
        {3, minusOne, {2}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PdlSaveTargets(row.edited, row.options), row.targets) << row.edited;
    }
}

TEST(PdlSaveOptionsTest, BoxVisibility) {
    for (int k = 0; k < kPdlTableCount; ++k) {
        EXPECT_FALSE(PdlSaveOptionBoxShown(0, 0, k));
        EXPECT_EQ(PdlSaveOptionBoxShown(1, 0, k), k < 10);
        EXPECT_EQ(PdlSaveOptionBoxShown(1, 11, k), k >= 10);
    }
}

TEST(PdlSaveOptionsTest, MissingFileIsNeitherReadNorCreated) {
    TempInstallation install;
    PdlSaveOptions options = Options(1, {4});
    EXPECT_EQ(LoadPdlSaveOptions(options), -1);
    EXPECT_EQ(options.tables[4], 1);
    EXPECT_EQ(SavePdlSaveOptions(options), -1);
    EXPECT_FALSE(std::filesystem::exists(install.DataFolder() / "PDL_CUT_SAVEOPT.ini"));
}

TEST(PdlSaveOptionsTest, LoadsAndSavesEveryKey) {
    TempInstallation install;
    const auto file = install.DataFolder() / "PDL_CUT_SAVEOPT.ini";
    WriteFile(file, "; options\n[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_L=1\n");
    PdlSaveOptions options;
    ASSERT_EQ(LoadPdlSaveOptions(options), 0);
    EXPECT_EQ(options.saveSwitch, 1);
    EXPECT_EQ(options.tables[1], 1);
    EXPECT_EQ(options.tables[0], -1);  // missing key
    EXPECT_EQ(options.tables[12], -1);

    ASSERT_EQ(SavePdlSaveOptions(Options(0, {1, 12})), 0);
    const std::string saved = ReadFile(file);
    EXPECT_EQ(saved.rfind("; options\n[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=0\nOnOff_SaveOpt_L=1\n", 0),
              0u);
    EXPECT_NE(saved.find("OnOff_SaveOpt_K=0\n"), std::string::npos);
    EXPECT_NE(saved.find("OnOff_SaveOpt_P103=1\n"), std::string::npos);
}

}  // namespace
}  // namespace quillet::pdl
