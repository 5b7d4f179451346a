// Driver setting items and files: items, paths, the sectioned and the plain form.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver_settings.h"
#include "driver_test_support.h"
#include "support/temp_install.h"

namespace quillet::driver {
namespace {

using namespace quillet::testing;

std::string WriteDriver(const TempFolder& folder, const std::string& text) {
    WriteFile(folder.Path() / "test.drv", text);
    return (folder.Path() / "test.drv").string();
}

TEST(LoadDriverConditionsTest, FiltersTypesCountsAndDuplicates) {
    TempFolder folder;
    const std::string driver = WriteDriver(
        folder,
        "[cutting]\nid=1 type=2 count=2 name=Switch with values\nid=2 type=3 count=1 name=Pierce "
        "time\nid=2 type=3 count=2 name=Duplicate\nid=2 type=4 count=0 name=Same id other type\n"
        "id=3 type=3 count=3 name=Three values\nid=4 type=4 count=-1 name=Negative count\n"
        "id=5 type=5 count=1 name=Type five\nid=6 type=1 count=1 name=Type one\n"
        "id=7 type=4 count=2 name=Two reals\n[tool]\nid=9 type=3 count=1 name=Tool item\n");
    DriverConditionList list;
    ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Cut, 99));
    EXPECT_EQ(Describe(list), (Lines{"1/2/0/Switch with values", "2/3/1/Pierce time",
                                     "2/4/0/Same id other type", "7/4/2/Two reals"}));
    EXPECT_EQ(State(list), Lines(4, "0 0 0 1"));
    ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Tool, 99));
    EXPECT_EQ(Describe(list), (Lines{"9/3/1/Tool item"}));
    // -1 means no limit.
    ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Cut, ~0u));
    EXPECT_EQ(list.size(), 4u);
    // A missing driver file gives an empty list; an over-long name is refused.
    EXPECT_TRUE(LoadDriverConditions("/no/such/driver.drv", list, DriverSettingKind::Cut, 99));
    EXPECT_TRUE(list.empty());
    list.push_back(Item(1, 2, 0));
    EXPECT_FALSE(LoadDriverConditions(std::string(256, 'd'), list, DriverSettingKind::Cut, 99));
    EXPECT_TRUE(list.empty());
}

TEST(LoadDriverConditionsTest, NcDefaultsInRangeOnly) {
    TempFolder folder;
    const std::string driver = WriteDriver(folder,
                                           "[default]\n"
                                           "id=1 type=3 int=99999 real=7 name=A\n"
                                           "id=2 type=3 int=-99999 name=B\n"
                                           "id=3 type=3 int=100000 name=C\n"
                                           "id=4 type=3 int=-100000 name=D\n"
                                           "id=5 type=4 real=-99999.9999 int=5 name=E\n"
                                           "id=6 type=4 real=99999.9999 name=F\n"
                                           "id=7 type=4 real=100000 name=G\n"
                                           "id=8 type=4 real=-123456.5 name=H\n"
                                           "id=9 type=2 int=1 name=I\n"
                                           "id=10 type=5 int=1 name=J\n");
    DriverConditionList list;
    ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Nc, 99));
    EXPECT_EQ(Describe(list), (Lines{"1/3/1/A", "2/3/1/B", "3/3/1/C", "4/3/1/D", "5/4/1/E",
                                     "6/4/1/F", "7/4/1/G", "8/4/1/H"}));
    // Values out of range read as 0.
    const double value1[] = {99999, -99999, 0, 0, -99999.9999, 99999.9999, 0, 0};
    for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].value1, value1[i]) << i;
}

TEST(DriverPathTest, SavedFilePaths) {
    TempInstallation install;
    const std::string folder = install.DataFolder().string();
    using K = DriverSettingKind;
    const struct {
        K kind;
        std::string machine, name, file;  // "" when refused (999)
    } rows[] = {
        {K::Cut, "MC01", "SPCC1.6", "/MD_CUT_MC01_SPCC1.6.ini"},
        {K::Tool, "MC01", "DIE-A", "/MD_TOOL_MC01_DIE-A.ini"},
        {K::Nc, "MC01", "ignored", "/MD_NC_MC01.ini"},
        {K::Nc, "MC01", "", "/MD_NC_MC01.ini"},
        {K::Cut, "", "SPCC1.6", ""},
        {K::Cut, "MC01", "", ""},
        {K::Tool, "MC01", "", ""},
        {K::Cut, "MC/01", "SPCC", ""},
        {K::Cut, "MC01", "../SPCC", ""},
        {K::Nc, std::string(499, 'M'), "", ""},
        {static_cast<K>(3), "MC01", "x", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.machine.substr(0, 20) + "|" + row.name);
        std::string path = "unchanged";
        EXPECT_EQ(BuildDriverSettingPath(path, row.kind, row.machine, row.name),
                  row.file.empty() ? 999 : 100);
        EXPECT_EQ(path, row.file.empty() ? "unchanged" : folder + row.file);
    }
    std::string path;
    WriteFile(install.DataFolder() / "MD_NC_MC01.ini", "");
    EXPECT_EQ(BuildDriverSettingPath(path, K::Nc, "MC01", ""), 0);
    // A folder of that name is no saved file.
    fs::create_directory(install.DataFolder() / "MD_CUT_MC01_DIR.ini");
    EXPECT_EQ(BuildDriverSettingPath(path, K::Cut, "MC01", "DIR"), 100);
    // The longest machine name whose path still fits 499 characters.
    const std::size_t room = 499 - folder.size() - std::string("/MD_NC_.ini").size();
    EXPECT_EQ(BuildDriverSettingPath(path, K::Nc, std::string(room, 'M'), ""), 100);
    EXPECT_EQ(path.size(), 499u);
    EXPECT_EQ(BuildDriverSettingPath(path, K::Nc, std::string(room + 1, 'M'), ""), 999);

    ASSERT_EQ(BuildDriverWorkingPath(path, K::Cut), 1);
    EXPECT_EQ(path, install.WorkingFolder().string() + "/MD_CUT_TEMP.ini");
    TempInstallation noSystem({.systemRoot = false});
    EXPECT_EQ(BuildDriverWorkingPath(path, K::Nc), 0);
    EXPECT_EQ(BuildDriverDefaultPath(path, K::Nc), 0);
}

TEST(SectionedFileTest, WritesOneSectionAndKeepsTheOthers) {
    TempFolder folder;
    const std::string file = (folder.Path() / "MD_CUT_MC01_SPCC.ini").string();
    const std::string before =
        "[MD_CUT_K]\n2_3OnOff=1\n; note\n2_3Value1=7\n\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n";
    WriteFile(file, before);
    ASSERT_EQ(WriteDriverSettingFile(
                  {Item(1, 2, 0, 7), Item(2, 3, 2, 0, 2.9, -2.9), Item(3, 4, 1, 1, 1.5, 9)},
                  DriverSettingKind::Cut, file, "L"),
              1);
    EXPECT_EQ(ReadFile(file), before +
                                  "[MD_CUT_L]\n1_2OnOff=1\n2_3OnOff=0\n2_3Value1=2\n2_3Value2=-2\n"
                                  "3_4OnOff=1\n3_4Value1=1.500000\n");
    // Read back: a missing key or section keeps onOff and zeroes the values.
    const struct {
        const char* section;
        Lines state;
    } rows[] = {
        {"K", {"0 0 0 1", "1 7 0 1", "0 0 0 1"}},
        {"L", {"1 0 0 1", "0 2 -2 1", "1 1.5 0 1"}},
        {"M", {"0 0 0 1", "1 0 0 1", "0 0 0 1"}},
    };
    for (const auto& row : rows) {
        DriverConditionList list{Item(1, 2, 0), Item(2, 3, 2, 1, 5, 5), Item(3, 4, 1, 0, 5)};
        ASSERT_EQ(ReadDriverSettingFile(list, DriverSettingKind::Cut, file, row.section), 1);
        EXPECT_EQ(State(list), row.state) << row.section;
    }
}

TEST(SectionedFileTest, ToolTimingAndSwitchRules) {
    TempFolder folder;
    const auto file = folder.Path() / "tool.ini";
    WriteFile(file,
              "[MD_TOOL_3]\n1_2OnOff=-1\n1_2Timing=5\n2_2OnOff=0\n2_2Timing=-1\n3_2OnOff=5\n"
              "3_2Timing=2\n4_2OnOff=\n4_2Timing=0\n");
    DriverConditionList list{Item(1, 2, 0, 1, 0, 0, 0), Item(2, 2, 0, 1, 0, 0, 0),
                             Item(3, 2, 0, 0, 0, 0, 0), Item(4, 2, 0, 1, 0, 0, 2),
                             Item(5, 2, 0, 1, 0, 0, 0)};
    ASSERT_EQ(ReadDriverSettingFile(list, DriverSettingKind::Tool, file.string(), "3"), 1);
    // "-1" and a missing key keep the loaded switch; a bad timing reads as 1.
    EXPECT_EQ(State(list), (Lines{"1 0 0 1", "0 0 0 1", "1 0 0 2", "0 0 0 0", "1 0 0 1"}));
}

TEST(SectionedFileTest, ArgumentChecks) {
    TempFolder folder;
    const std::string file = (folder.Path() / "x.ini").string();
    const DriverConditionList list{Item(1, 2, 0, 1)};
    DriverConditionList copy = list, empty;
    EXPECT_EQ(ReadDriverSettingFile(copy, DriverSettingKind::Cut, "", "K"), 0);
    EXPECT_EQ(ReadDriverSettingFile(copy, DriverSettingKind::Cut, file, ""), 0);
    EXPECT_EQ(ReadDriverSettingFile(empty, DriverSettingKind::Cut, file, "K"), 1);
    EXPECT_EQ(ReadDriverSettingFile(copy, DriverSettingKind::Nc, file, ""), 1);
    EXPECT_EQ(WriteDriverSettingFile(list, DriverSettingKind::Cut, "", "K"), 0);
    EXPECT_EQ(WriteDriverSettingFile(list, DriverSettingKind::Tool, file, ""), 0);
    EXPECT_EQ(WriteDriverSettingFile(empty, DriverSettingKind::Nc, file, ""), 0);
    EXPECT_FALSE(fs::exists(file));
    const std::string unwritable = (folder.Path() / "missing" / "x.ini").string();
    EXPECT_EQ(WriteDriverSettingFile(list, DriverSettingKind::Cut, unwritable, "K"), 0);
    EXPECT_EQ(WritePlainDriverFile(list, DriverSettingKind::Cut, unwritable), 0);
    EXPECT_EQ(WritePlainDriverFile(list, DriverSettingKind::Cut, ""), 0);
}

TEST(PlainFileTest, ExactTextAndRoundTrip) {
    TempFolder folder;
    const std::string file = (folder.Path() / "MD_TOOL_default.ini").string();
    const DriverConditionList list{Item(1, 2, 0, 1, 3, 3, 0), Item(2, 3, 2, 0, 5.7, -3.2, 1),
                                   Item(3, 4, 1, 1, 1.25, 8, 2)};
    ASSERT_EQ(WritePlainDriverFile(list, DriverSettingKind::Tool, file), 1);
    EXPECT_EQ(ReadFile(file),
              "1_2OnOff=1\n1_2Timing=0\n2_3OnOff=0\n2_3Value1=5\n2_3Value2=-3\n2_3Timing=1\n"
              "3_4OnOff=1\n3_4Value1=1.250000\n3_4Timing=2\n");
    ASSERT_EQ(WritePlainDriverFile({}, DriverSettingKind::Cut, file), 1);
    EXPECT_EQ(ReadFile(file), "");

    // Nc goes through the plain form: onOff and value1 come back, nothing else.
    ASSERT_EQ(WriteDriverSettingFile(
                  {Item(100, 3, 1, 1, 42), Item(101, 4, 2, 0, -1.5, 4), Item(102, 2, 0, 1)},
                  DriverSettingKind::Nc, file, ""),
              1);
    DriverConditionList loaded{Item(100, 3, 1, 0, 0, 9, 2), Item(101, 4, 2, 1, 0, 9, 0),
                               Item(102, 2, 0, 0)};
    ASSERT_EQ(ReadDriverSettingFile(loaded, DriverSettingKind::Nc, file, ""), 1);
    EXPECT_EQ(State(loaded), (Lines{"1 42 9 2", "0 -1.5 9 0", "1 0 0 1"}));
}

TEST(PlainFileTest, LineRules) {
    TempFolder folder;
    const auto file = folder.Path() / "plain.ini";
    // "11_3..." does not begin with "1_3...", any character may stand for
    // '=', Value2 and Timing lines are not read, CR LF reads as a line end,
    // and a line longer than 255 characters continues in a second chunk.
    WriteFile(file, "11_3OnOff=1\r\n1_3OnOff:1\n1_3Value1=12abc\n1_3Value2=99\n1_3Timing=2\n" +
                        std::string(255, 'x') + "2_4Value1=2.5\n2_4OnOff=\n3_2Value1=4\n");
    DriverConditionList list{Item(1, 3, 2), Item(2, 4, 1, 1), Item(3, 2, 0, 0, 7), Item(11, 3, 1)};
    ReadPlainDriverFile(list, file.string());
    // Switch items have no value lines.
    EXPECT_EQ(State(list), (Lines{"1 12 0 1", "0 2.5 0 1", "0 7 0 1", "1 0 0 1"}));

    DriverConditionList untouched{Item(1, 3, 1, 1, 5)};
    ReadPlainDriverFile(untouched, (folder.Path() / "missing.ini").string());
    ReadPlainDriverFile(untouched, folder.Path().string());
    EXPECT_EQ(State(untouched), (Lines{"1 5 0 1"}));
}

}  // namespace
}  // namespace quillet::driver
