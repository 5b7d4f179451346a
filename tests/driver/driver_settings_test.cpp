// Driver setting items and files: items, paths, the sectioned and the plain form.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "driver/driver_settings.h"
#include "driver_test_support.h"
#include "platform/profile.h"
#include "support/temp_install.h"

namespace quillet::driver {
namespace {

using namespace quillet::testing;

TEST(LoadDriverConditionsTest, FiltersTypesCountsDuplicatesAndNcDefaults) {
    TempFolder folder;
    const std::string driver = (folder.Path() / "test.drv").string();
    WriteFile(driver,
              "[cutting]\nid=1 type=2 count=2 name=Switch with values\nid=2 type=3 count=1 name=P\n"
              "id=2 type=3 count=2 name=Duplicate\nid=2 type=4 count=0 name=Same id other type\n"
              "id=3 type=3 count=3 name=Three values\nid=4 type=4 count=-1 name=Negative count\n"
              "id=5 type=5 count=1 name=Type five\nid=6 type=1 count=1 name=Type one\n"
              "id=7 type=4 count=2 name=Two reals\n[tool]\nid=9 type=3 count=1 name=Tool item\n"
              "[default]\nid=1 type=3 int=99999 real=7 name=A\nid=3 type=3 int=100000 name=C\n"
              "id=4 type=3 int=-100000 name=D\nid=5 type=4 real=-99999.9999 int=5 name=E\n"
              "id=7 type=4 real=100000 name=G\nid=9 type=2 int=1 name=I\n");
    EXPECT_EQ(Describe(LoadDriverConditions(driver, DriverSettingKind::Cut, 99).value()),
              (Lines{"1/2/0/Switch with values 0 0 0 1", "2/3/1/P 0 0 0 1",
                     "2/4/0/Same id other type 0 0 0 1", "7/4/2/Two reals 0 0 0 1"}));
    EXPECT_EQ(Describe(LoadDriverConditions(driver, DriverSettingKind::Tool, 99).value()),
              (Lines{"9/3/1/Tool item 0 0 0 1"}));
    // Nc takes the driver's defaults inside the grid's range, else 0.
    EXPECT_EQ(Describe(LoadDriverConditions(driver, DriverSettingKind::Nc, kNoItemLimit).value()),
              (Lines{"1/3/1/A 0 99999 0 1", "3/3/1/C 0 0 0 1", "4/3/1/D 0 0 0 1",
                     "5/4/1/E 0 -99999.9999 0 1", "7/4/1/G 0 0 0 1"}));
    // A missing driver file lists nothing; an over-long name is refused.
    EXPECT_TRUE(LoadDriverConditions("/no/such.drv", DriverSettingKind::Cut, 99).value().empty());
    EXPECT_FALSE(LoadDriverConditions(std::string(256, 'd'), DriverSettingKind::Cut, 99));
}

TEST(DriverPathTest, SavedWorkingAndCurrentFilePaths) {
    TempInstallation install;
    const std::string folder = install.DataFolder().string();
    using K = DriverSettingKind;
    const struct {
        K kind;
        std::string machine, name, file;  // "" when refused
    } rows[] = {
        {K::Cut, "MC01", "SPCC1.6", "/MD_CUT_MC01_SPCC1.6.ini"},
        {K::Tool, "MC01", "DIE-A", "/MD_TOOL_MC01_DIE-A.ini"},
        {K::Nc, "MC01", "ignored", "/MD_NC_MC01.ini"},
        {K::Cut, "", "SPCC1.6", ""},
        {K::Tool, "MC01", "", ""},
        {K::Cut, "MC/01", "SPCC", ""},
        {K::Cut, "MC01", "../SPCC", ""},
        {K::Nc, std::string(499, 'M'), "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BuildDriverSettingPath(row.kind, row.machine, row.name).value_or(""),
                  row.file.empty() ? "" : folder + row.file)
            << row.machine.substr(0, 20) << "|" << row.name;
    }
    // The longest machine name whose path still fits 499 characters.
    const std::size_t room = 499 - folder.size() - std::string("/MD_NC_.ini").size();
    EXPECT_EQ(BuildDriverSettingPath(K::Nc, std::string(room, 'M'), "").value().size(), 499u);
    EXPECT_FALSE(BuildDriverSettingPath(K::Nc, std::string(room + 1, 'M'), ""));
    // A folder of the saved file's name is no saved file.
    WriteFile(install.DataFolder() / "MD_NC_MC01.ini", "");
    fs::create_directory(install.DataFolder() / "MD_CUT_MC01_DIR.ini");
    EXPECT_TRUE(ReadSavedDriverFile(folder + "/MD_NC_MC01.ini").exists);
    EXPECT_FALSE(ReadSavedDriverFile(folder + "/MD_CUT_MC01_DIR.ini").exists);

    EXPECT_EQ(BuildDriverWorkingPath(K::Cut),
              install.WorkingFolder().string() + "/MD_CUT_TEMP.ini");
    TempInstallation noSystem({.systemRoot = false});
    EXPECT_FALSE(BuildDriverWorkingPath(K::Nc));
    EXPECT_FALSE(BuildDriverDefaultPath(K::Nc));
}

TEST(SectionedFileTest, WritesOneSectionKeepsTheOthersAndReadsBack) {
    TempFolder folder;
    const std::string file = (folder.Path() / "MD_CUT_MC01_SPCC.ini").string();
    const std::string before =
        "[MD_CUT_K]\n2_3OnOff=1\n; note\n2_3Value1=7\n\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n";
    WriteFile(file, before);
    const DriverConditionList items{Item(1, 2, 0, 7), Item(2, 3, 2, 0, 2.9, -2.9),
                                    Item(3, 4, 1, 1, 1.5, 9)};
    auto document = platform::ProfileDocument::Load(file);
    ASSERT_TRUE(WriteDriverSettingFile(items, DriverSettingKind::Cut, document, "L"));
    EXPECT_FALSE(WriteDriverSettingFile(items, DriverSettingKind::Cut, document, ""));
    EXPECT_FALSE(WriteDriverSettingFile({}, DriverSettingKind::Cut, document, "M"));
    EXPECT_FALSE(WriteDriverSettingFile(items, DriverSettingKind::Nc, document, "M"));
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(ReadFile(file), before +
                                  "[MD_CUT_L]\n1_2OnOff=1\n2_3OnOff=0\n2_3Value1=2\n2_3Value2=-2\n"
                                  "3_4OnOff=1\n3_4Value1=1.500000\n");
    // A missing key or section keeps onOff and zeroes the values; a missing
    // section name or file path reads nothing.
    const struct {
        std::string path, section;
        Lines state;
    } rows[] = {
        {file, "K", {"1/2/0/ 0 0 0 1", "2/3/2/ 1 7 0 1", "3/4/1/ 0 0 0 1"}},
        {file, "L", {"1/2/0/ 1 0 0 1", "2/3/2/ 0 2 -2 1", "3/4/1/ 1 1.5 0 1"}},
        {file, "M", {"1/2/0/ 0 0 0 1", "2/3/2/ 1 0 0 1", "3/4/1/ 0 0 0 1"}},
        {file, "", {"1/2/0/ 0 0 0 1", "2/3/2/ 1 5 5 1", "3/4/1/ 0 5 0 1"}},
        {"", "K", {"1/2/0/ 0 0 0 1", "2/3/2/ 1 5 5 1", "3/4/1/ 0 5 0 1"}},
    };
    for (const auto& row : rows) {
        DriverConditionList list{Item(1, 2, 0), Item(2, 3, 2, 1, 5, 5), Item(3, 4, 1, 0, 5)};
        ReadDriverSettingFile(list, DriverSettingKind::Cut, row.path, row.section);
        EXPECT_EQ(Describe(list), row.state) << row.section;
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
    ReadDriverSettingFile(list, DriverSettingKind::Tool, file.string(), "3");
    // "-1" and a missing key keep the loaded switch; a bad timing reads as 1.
    EXPECT_EQ(Describe(list), (Lines{"1/2/0/ 1 0 0 1", "2/2/0/ 0 0 0 1", "3/2/0/ 1 0 0 2",
                                     "4/2/0/ 0 0 0 0", "5/2/0/ 1 0 0 1"}));
}

TEST(PlainFileTest, ExactTextRoundTripAndFailedWrites) {
    TempFolder folder;
    const std::string file = (folder.Path() / "MD_TOOL_default.ini").string();
    ASSERT_TRUE(WritePlainDriverFile(
        {Item(1, 2, 0, 1, 3, 3, 0), Item(2, 3, 2, 0, 5.7, -3.2, 1), Item(3, 4, 1, 1, 1.25, 8, 2),
         Item(4, 3, 1, 1, 1e300), Item(5, 3, 1, 0, std::nan(""))},
        DriverSettingKind::Tool, file));
    EXPECT_EQ(ReadFile(file),
              "1_2OnOff=1\n1_2Timing=0\n2_3OnOff=0\n2_3Value1=5\n2_3Value2=-3\n2_3Timing=1\n"
              "3_4OnOff=1\n3_4Value1=1.250000\n3_4Timing=2\n4_3OnOff=1\n4_3Value1=2147483647\n"
              "4_3Timing=1\n5_3OnOff=0\n5_3Value1=0\n5_3Timing=1\n");
    ASSERT_TRUE(WritePlainDriverFile({}, DriverSettingKind::Cut, file));
    EXPECT_EQ(ReadFile(file), "");
    const std::string unwritable = (folder.Path() / "missing" / "x.ini").string();
    EXPECT_FALSE(WritePlainDriverFile({Item(1, 2, 0)}, DriverSettingKind::Nc, unwritable));
    EXPECT_FALSE(WritePlainDriverFile({Item(1, 2, 0)}, DriverSettingKind::Nc, ""));

    // Nc reads the plain form: onOff and value1 come back, nothing else.
    ASSERT_TRUE(WritePlainDriverFile(
        {Item(100, 3, 1, 1, 42), Item(101, 4, 2, 0, -1.5, 4), Item(102, 2, 0, 1)},
        DriverSettingKind::Nc, file));
    DriverConditionList loaded{Item(100, 3, 1, 0, 0, 9, 2), Item(101, 4, 2, 1, 0, 9, 0),
                               Item(102, 2, 0, 0)};
    ReadDriverSettingFile(loaded, DriverSettingKind::Nc, file, "");
    EXPECT_EQ(Describe(loaded),
              (Lines{"100/3/1/ 1 42 9 2", "101/4/2/ 0 -1.5 9 0", "102/2/0/ 1 0 0 1"}));
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
    EXPECT_EQ(Describe(list),
              (Lines{"1/3/2/ 1 12 0 1", "2/4/1/ 0 2.5 0 1", "3/2/0/ 0 7 0 1", "11/3/1/ 1 0 0 1"}));
    DriverConditionList untouched{Item(1, 3, 1, 1, 5)};
    ReadPlainDriverFile(untouched, (folder.Path() / "missing.ini").string());
    ReadPlainDriverFile(untouched, folder.Path().string());
    EXPECT_EQ(Describe(untouched), (Lines{"1/3/1/ 1 5 0 1"}));
}

}  // namespace
}  // namespace quillet::driver
