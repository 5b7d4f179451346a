// Machine-type alias with its built-in defaults, and the parameter list from
// the flags texts of machine.ini.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "frame/resources.h"
#include "pdl/pdl_machine.h"
#include "pdl_test_support.h"

namespace quillet::pdl {
namespace {

using quillet::testing::ReadFile;
using quillet::testing::TempInstallation;
using quillet::testing::WriteFile;
using testing::WriteMachineList;

class PdlMachineTest : public ::testing::Test {
protected:
    void SetUp() override { frame::UseResourceSet(frame::BuiltinResourceSet()); }
};

TEST_F(PdlMachineTest, MissingAliasFileIsCreatedWithTheDefaultsButNeverCompleted) {
    TempInstallation install;
    const auto alias = install.DataFolder() / "PDL_MACTYPE_ALIAS.ini";
    EXPECT_EQ(PdlMachineTypeGet(13300), 60);
    // Every default, in its order, under MAC_ALIAS.
    std::string expected = "[MAC_ALIAS]\n";
    for (const PdlAliasDefault& entry : kPdlAliasDefaults) {
        expected +=
            std::to_string(entry.machineType) + "=" + std::to_string(entry.machineId) + "\n";
    }
    EXPECT_EQ(ReadFile(alias), expected);
    const struct {
        int type, id;
    } rows[] = {{11005, 809}, {12002, 820}, {13402, 23}, {11101, 903}, {12999, -1}, {0, -1}};
    for (const auto& row : rows) EXPECT_EQ(PdlMachineTypeGet(row.type), row.id) << row.type;
    EXPECT_EQ(ReadFile(alias), expected);

    const std::string edited = "[MAC_ALIAS]\n13300=61\n12001=abc\n12002=-1\n";
    WriteFile(alias, edited);
    EXPECT_EQ(PdlMachineTypeGet(13300), 61);
    EXPECT_EQ(PdlMachineTypeGet(12001), 0);   // not a number
    EXPECT_EQ(PdlMachineTypeGet(12002), -1);  // stored -1
    EXPECT_EQ(PdlMachineTypeGet(11005), -1);  // defaults are not written again
    EXPECT_EQ(ReadFile(alias), edited);
}

std::vector<int> ShownSlots(const PdlParamRows& rows) {
    std::vector<int> slots;
    for (int i = 0; i < rows.shown.count; ++i) slots.push_back(rows.shown.rows[i].slot);
    return slots;
}

TEST_F(PdlMachineTest, FlagsTextSelectsShownParameters) {
    TempInstallation install;
    PdlCutCondition values;
    for (int i = 0; i < kPdlSlotCount; ++i) values.slot[i] = static_cast<float>(i) + 0.5f;
    const std::string all(100, '1');
    struct Row {
        std::string cc, pc;
        int table;
        std::vector<int> slots;
    };
    std::vector<int> first88(kPdlParamCount);
    std::iota(first88.begin(), first88.end(), 0);
    const Row rows[] = {
        {"1011", "01", 0, {0, 2, 3}}, {"1011", "01", 9, {0, 2, 3}},  // K to U5 read CCUsed
        {"1011", "01", 10, {1}},                                     // P101 to P103 read PCUsed
        {"x1a1", "", 3, {1, 3}},                                     // only "1" marks a parameter
        {all, "", 0, first88},                                       // used up to parameter 87
    };
    PdlParamRows params;
    for (const Row& row : rows) {
        WriteMachineList(install, 60, row.cc, row.pc);
        ASSERT_TRUE(LoadMachineParams(60, row.table, values, params));
        EXPECT_EQ(ShownSlots(params), row.slots) << row.cc << " table " << row.table;
    }
    WriteMachineList(install, 60, "1001", "");
    LoadMachineParams(60, 0, values, params);
    const PdlParamRow& gas = params.shown.rows[1];
    EXPECT_EQ(gas.slot, 3);
    EXPECT_EQ(gas.value, 3.5f);
    EXPECT_EQ(gas.label, frame::ResourceString(209));
    EXPECT_EQ(params.all[120].value, 120.5f);
    EXPECT_EQ(params.all[120].label, "");
}

TEST_F(PdlMachineTest, UnknownMachineMissingCountOrMissingListShowsNothingNew) {
    TempInstallation install;
    PdlCutCondition values;
    PdlParamRows params;
    WriteMachineList(install, 60, "1111", "");
    ASSERT_TRUE(LoadMachineParams(61, 0, values, params));
    EXPECT_EQ(params.shown.count, 0);
    WriteFile(install.DataFolder() / "machine.ini", "[Machine1]\nID=60\nCCUsed=1111\n");
    ASSERT_TRUE(LoadMachineParams(60, 0, values, params));
    EXPECT_EQ(params.shown.count, 0);
    // A matching machine without the key reads the text "-1".
    WriteFile(install.DataFolder() / "machine.ini",
              "[Header]\nMachineCount=1\n[Machine1]\nID=60\n");
    ASSERT_TRUE(LoadMachineParams(60, 0, values, params));
    EXPECT_EQ(ShownSlots(params), std::vector<int>{1});
    // Without the list the shown rows stay; all rows are refilled first.
    WriteMachineList(install, 60, "11", "");
    ASSERT_TRUE(LoadMachineParams(60, 0, values, params));
    std::filesystem::remove(install.DataFolder() / "machine.ini");
    values.slot[0] = 42.0f;
    EXPECT_FALSE(LoadMachineParams(60, 0, values, params));
    EXPECT_EQ(params.shown.count, 2);
    EXPECT_EQ(params.all[0].value, 42.0f);
}

}  // namespace
}  // namespace quillet::pdl
