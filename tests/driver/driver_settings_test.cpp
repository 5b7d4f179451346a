// Driver setting items and files: loading the items from the stand-in
// driver, the file paths, the sectioned and the plain form.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver_settings.h"
#include "driver_test_support.h"
#include "support/temp_install.h"

namespace quillet::driver {
namespace {

using testing::Describe;
using testing::ReadFile;
using testing::TempFolder;
using testing::TempInstallation;
using testing::WriteFile;

std::string WriteDriver(const TempFolder& folder, const std::string& text) {
    const auto path = folder.Path() / "test.drv";
    WriteFile(path, text);
    return path.string();
}

DriverCondition Item(int id, int type, int count, int onOff, double v1, double v2, int timing) {
    DriverCondition item;
    item.id = id;
    item.valueType = type;
    item.valueCount = count;
    item.onOff = onOff;
    item.value1 = v1;
    item.value2 = v2;
    item.timing = timing;
    return item;
}

TEST(LoadDriverConditionsTest, FiltersTypesCountsAndDuplicates) {
    TempFolder folder;
    const std::string driver = WriteDriver(folder,
                                           "[cutting]\n"
                                           "id=1 type=2 count=2 name=Switch with values\n"
                                           "id=2 type=3 count=1 name=Pierce time\n"
                                           "id=2 type=3 count=2 name=Duplicate\n"
                                           "id=2 type=4 count=0 name=Same id other type\n"
                                           "id=3 type=3 count=3 name=Three values\n"
                                           "id=4 type=4 count=-1 name=Negative count\n"
                                           "id=5 type=5 count=1 name=Type five\n"
                                           "id=6 type=1 count=1 name=Type one\n"
                                           "id=7 type=4 count=2 name=Two reals\n"
                                           "[tool]\n"
                                           "id=9 type=3 count=1 name=Tool item\n");
    DriverConditionList list;
    ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Cut, 99));
    EXPECT_EQ(Describe(list),
              (std::vector<std::string>{"1/2/0/Switch with values", "2/3/1/Pierce time",
                                        "2/4/0/Same id other type", "7/4/2/Two reals"}));
    for (const auto& item : list) {
        EXPECT_EQ(item.onOff, 0);
        EXPECT_EQ(item.timing, 1);
        EXPECT_EQ(item.value1, 0.0);
    }
    ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Tool, 99));
    EXPECT_EQ(Describe(list), (std::vector<std::string>{"9/3/1/Tool item"}));

    // The limit stops the list; -1 means no limit.
    ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Cut, 2));
    EXPECT_EQ(list.size(), 2u);
    ASSERT_TRUE(
        LoadDriverConditions(driver, list, DriverSettingKind::Cut, static_cast<unsigned>(-1)));
    EXPECT_EQ(list.size(), 4u);
}

TEST(LoadDriverConditionsTest, NcDefaultsInRangeOnly) {
    struct Row {
        const char* line;
        bool accepted;
        double value1;
    };
    const Row rows[] = {
        {"id=1 type=3 int=99999 real=7", true, 99999.0},
        {"id=1 type=3 int=-99999", true, -99999.0},
        {"id=1 type=3 int=100000", true, 0.0},
        {"id=1 type=3 int=-100000", true, 0.0},
        {"id=1 type=4 real=-99999.9999 int=5", true, -99999.9999},
        {"id=1 type=4 real=99999.9999", true, 99999.9999},
        {"id=1 type=4 real=100000", true, 0.0},
        {"id=1 type=4 real=-123456.5", true, 0.0},
        {"id=1 type=2 int=1", false, 0.0},
        {"id=1 type=5 int=1", false, 0.0},
    };
    TempFolder folder;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const std::string driver =
            WriteDriver(folder, std::string("[default]\n") + row.line + " name=Default\n");
        DriverConditionList list;
        ASSERT_TRUE(LoadDriverConditions(driver, list, DriverSettingKind::Nc, 99));
        ASSERT_EQ(list.size(), row.accepted ? 1u : 0u);
        if (!row.accepted) continue;
        EXPECT_EQ(list[0].valueCount, 1);
        EXPECT_EQ(list[0].value1, row.value1);
        EXPECT_EQ(list[0].name, "Default");
    }
}

TEST(LoadDriverConditionsTest, MissingDriverFileGivesEmptyListAndLongNameIsRefused) {
    DriverConditionList list{Item(1, 2, 0, 1, 0, 0, 1)};
    EXPECT_TRUE(LoadDriverConditions("/no/such/driver.drv", list, DriverSettingKind::Cut, 99));
    EXPECT_TRUE(list.empty());
    list.push_back(Item(1, 2, 0, 1, 0, 0, 1));
    EXPECT_FALSE(LoadDriverConditions(std::string(256, 'd'), list, DriverSettingKind::Cut, 99));
    EXPECT_TRUE(list.empty());
}

TEST(DriverPathTest, SavedFilePaths) {
    TempInstallation install;
    const std::string folder = install.DataFolder().string();
    struct Row {
        DriverSettingKind kind;
        std::string machine, name;
        int result;
        std::string file;
    };
    const Row rows[] = {
        {DriverSettingKind::Cut, "MC01", "SPCC1.6", 100, "/MD_CUT_MC01_SPCC1.6.ini"},
        {DriverSettingKind::Tool, "MC01", "DIE-A", 100, "/MD_TOOL_MC01_DIE-A.ini"},
        {DriverSettingKind::Nc, "MC01", "ignored", 100, "/MD_NC_MC01.ini"},
        {DriverSettingKind::Nc, "MC01", "", 100, "/MD_NC_MC01.ini"},
        {DriverSettingKind::Cut, "", "SPCC1.6", 999, ""},
        {DriverSettingKind::Cut, "MC01", "", 999, ""},
        {DriverSettingKind::Tool, "MC01", "", 999, ""},
        {DriverSettingKind::Cut, "MC/01", "SPCC", 999, ""},
        {DriverSettingKind::Cut, "MC01", "../SPCC", 999, ""},
        {DriverSettingKind::Nc, std::string(499, 'M'), "", 999, ""},
        {static_cast<DriverSettingKind>(3), "MC01", "x", 999, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.machine.substr(0, 20) + "|" + row.name);
        std::string path = "unchanged";
        EXPECT_EQ(BuildDriverSettingPath(path, row.kind, row.machine, row.name), row.result);
        EXPECT_EQ(path, row.result == 999 ? "unchanged" : folder + row.file);
    }
    WriteFile(install.DataFolder() / "MD_NC_MC01.ini", "");
    std::string path;
    EXPECT_EQ(BuildDriverSettingPath(path, DriverSettingKind::Nc, "MC01", ""), 0);
    // A folder of that name is no saved file.
    std::filesystem::create_directory(install.DataFolder() / "MD_CUT_MC01_DIR.ini");
    EXPECT_EQ(BuildDriverSettingPath(path, DriverSettingKind::Cut, "MC01", "DIR"), 100);

    // The longest machine name whose path still fits 499 characters.
    const std::size_t room = 499 - folder.size() - std::string("/MD_NC_.ini").size();
    EXPECT_EQ(BuildDriverSettingPath(path, DriverSettingKind::Nc, std::string(room, 'M'), ""), 100);
    EXPECT_EQ(path.size(), 499u);
    EXPECT_EQ(BuildDriverSettingPath(path, DriverSettingKind::Nc, std::string(room + 1, 'M'), ""),
              999);
}

TEST(DriverPathTest, WorkingAndCurrentPathsNeedTheSystemRoot) {
    TempInstallation install;
    const std::string temp = install.WorkingFolder().string();
    std::string path;
    ASSERT_EQ(BuildDriverWorkingPath(path, DriverSettingKind::Cut), 1);
    EXPECT_EQ(path, temp + "/MD_CUT_TEMP.ini");
    ASSERT_EQ(BuildDriverDefaultPath(path, DriverSettingKind::Tool), 1);
    EXPECT_EQ(path, temp + "/MD_TOOL_default.ini");
    ASSERT_EQ(BuildDriverDefaultPath(path, DriverSettingKind::Nc), 1);
    EXPECT_EQ(path, temp + "/MD_NC_default.ini");

    TempInstallation noSystem({.systemRoot = false});
    path = "unchanged";
    EXPECT_EQ(BuildDriverWorkingPath(path, DriverSettingKind::Nc), 0);
    EXPECT_EQ(BuildDriverDefaultPath(path, DriverSettingKind::Nc), 0);
    EXPECT_EQ(path, "unchanged");
    std::string saved;
    TempInstallation noData({.dataRoot = false});
    EXPECT_EQ(BuildDriverSettingPath(saved, DriverSettingKind::Nc, "MC01", ""), 999);
}

TEST(DriverPathTest, SectionNames) {
    std::string section = "unchanged";
    BuildDriverSectionName(section, DriverSettingKind::Nc, "K");
    EXPECT_EQ(section, "unchanged");
    BuildDriverSectionName(section, DriverSettingKind::Cut, "K");
    EXPECT_EQ(section, "MD_CUT_K");
    BuildDriverSectionName(section, DriverSettingKind::Tool, "12");
    EXPECT_EQ(section, "MD_TOOL_12");
    BuildDriverSectionName(section, DriverSettingKind::Cut, "");
    EXPECT_EQ(section, "MD_CUT_");
    EXPECT_EQ(DriverKey(12, 4, "OnOff"), "12_4OnOff");
}

TEST(SectionedFileTest, WritesOneSectionAndKeepsTheOthers) {
    TempFolder folder;
    const auto file = folder.Path() / "MD_CUT_MC01_SPCC.ini";
    WriteFile(file,
              "[MD_CUT_K]\n2_3OnOff=1\n; note\n2_3Value1=7\n\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n");
    const DriverConditionList list{Item(1, 2, 0, 7, 0, 0, 1), Item(2, 3, 2, 0, 2.9, -2.9, 1),
                                   Item(3, 4, 1, 1, 1.5, 9, 1)};
    ASSERT_EQ(WriteDriverSettingFile(list, DriverSettingKind::Cut, file.string(), "L"), 1);
    EXPECT_EQ(ReadFile(file),
              "[MD_CUT_K]\n2_3OnOff=1\n; note\n2_3Value1=7\n\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n"
              "[MD_CUT_L]\n1_2OnOff=1\n2_3OnOff=0\n2_3Value1=2\n2_3Value2=-2\n3_4OnOff=1\n"
              "3_4Value1=1.500000\n");

    // Read back: K and L differ; a missing section keeps onOff and zeroes values.
    DriverConditionList loaded{Item(1, 2, 0, 0, 0, 0, 1), Item(2, 3, 2, 1, 5, 5, 1),
                               Item(3, 4, 1, 0, 5, 5, 1)};
    DriverConditionList k = loaded;
    ASSERT_EQ(ReadDriverSettingFile(k, DriverSettingKind::Cut, file.string(), "K"), 1);
    EXPECT_EQ(k[1].onOff, 1);
    EXPECT_EQ(k[1].value1, 7.0);
    EXPECT_EQ(k[1].value2, 0.0);
    EXPECT_EQ(k[2].onOff, 0);
    EXPECT_EQ(k[2].value1, 0.0);
    DriverConditionList l = loaded;
    ASSERT_EQ(ReadDriverSettingFile(l, DriverSettingKind::Cut, file.string(), "L"), 1);
    EXPECT_EQ(l[0].onOff, 1);
    EXPECT_EQ(l[1].onOff, 0);
    EXPECT_EQ(l[1].value1, 2.0);
    EXPECT_EQ(l[1].value2, -2.0);
    EXPECT_EQ(l[2].value1, 1.5);
    DriverConditionList m = loaded;
    ASSERT_EQ(ReadDriverSettingFile(m, DriverSettingKind::Cut, file.string(), "M"), 1);
    EXPECT_EQ(m[1].onOff, 1);
    EXPECT_EQ(m[1].value1, 0.0);
    EXPECT_EQ(m[2].onOff, 0);
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
    const int onOff[] = {1, 0, 1, 0, 1};  // "-1" and a missing key keep the loaded value
    const int timing[] = {1, 1, 2, 0, 1};
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list[i].onOff, onOff[i]);
        EXPECT_EQ(list[i].timing, timing[i]);
    }
}

TEST(SectionedFileTest, ArgumentChecks) {
    TempFolder folder;
    const std::string file = (folder.Path() / "x.ini").string();
    DriverConditionList list{Item(1, 2, 0, 1, 0, 0, 1)};
    DriverConditionList empty;
    EXPECT_EQ(ReadDriverSettingFile(list, DriverSettingKind::Cut, "", "K"), 0);
    EXPECT_EQ(ReadDriverSettingFile(list, DriverSettingKind::Cut, file, ""), 0);
    EXPECT_EQ(ReadDriverSettingFile(empty, DriverSettingKind::Cut, file, "K"), 1);
    EXPECT_EQ(ReadDriverSettingFile(list, DriverSettingKind::Nc, file, ""), 1);
    EXPECT_EQ(WriteDriverSettingFile(list, DriverSettingKind::Cut, "", "K"), 0);
    EXPECT_EQ(WriteDriverSettingFile(list, DriverSettingKind::Tool, file, ""), 0);
    EXPECT_EQ(WriteDriverSettingFile(empty, DriverSettingKind::Nc, file, ""), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    // A file that cannot be written is reported.
    EXPECT_EQ(WriteDriverSettingFile(list, DriverSettingKind::Cut,
                                     (folder.Path() / "missing" / "x.ini").string(), "K"),
              0);
}

TEST(PlainFileTest, ExactTextOfAToolList) {
    TempFolder folder;
    const auto file = folder.Path() / "MD_TOOL_default.ini";
    const DriverConditionList list{Item(1, 2, 0, 1, 3, 3, 0), Item(2, 3, 2, 0, 5.7, -3.2, 1),
                                   Item(3, 4, 1, 1, 1.25, 8, 2)};
    ASSERT_EQ(WritePlainDriverFile(list, DriverSettingKind::Tool, file.string()), 1);
    EXPECT_EQ(ReadFile(file),
              "1_2OnOff=1\n1_2Timing=0\n2_3OnOff=0\n2_3Value1=5\n2_3Value2=-3\n2_3Timing=1\n"
              "3_4OnOff=1\n3_4Value1=1.250000\n3_4Timing=2\n");
    ASSERT_EQ(WritePlainDriverFile({}, DriverSettingKind::Cut, file.string()), 1);
    EXPECT_EQ(ReadFile(file), "");
    EXPECT_EQ(WritePlainDriverFile(list, DriverSettingKind::Cut, ""), 0);
    EXPECT_EQ(
        WritePlainDriverFile(list, DriverSettingKind::Cut, (folder.Path() / "no" / "f").string()),
        0);
}

TEST(PlainFileTest, RoundTripRestoresOnOffAndValue1Only) {
    TempFolder folder;
    const std::string file = (folder.Path() / "MD_NC_TEMP.ini").string();
    const DriverConditionList written{Item(100, 3, 1, 1, 42, 0, 1), Item(101, 4, 2, 0, -1.5, 4, 1),
                                      Item(102, 2, 0, 1, 0, 0, 1)};
    ASSERT_EQ(WriteDriverSettingFile(written, DriverSettingKind::Nc, file, ""), 1);
    DriverConditionList loaded{Item(100, 3, 1, 0, 0, 9, 2), Item(101, 4, 2, 1, 0, 9, 0),
                               Item(102, 2, 0, 0, 0, 0, 1)};
    ASSERT_EQ(ReadDriverSettingFile(loaded, DriverSettingKind::Nc, file, ""), 1);
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(loaded[i].onOff, written[i].onOff);
        EXPECT_EQ(loaded[i].value1, written[i].value1);
    }
    EXPECT_EQ(loaded[0].value2, 9.0);
    EXPECT_EQ(loaded[1].value2, 9.0);
    EXPECT_EQ(loaded[0].timing, 2);
}

TEST(PlainFileTest, LineRules) {
    TempFolder folder;
    const auto file = folder.Path() / "plain.ini";
    // "11_3..." does not begin with "1_3...", any character may stand for
    // '=', Value2 and Timing lines are not read, CR LF reads as a line end,
    // and a line longer than 255 characters continues in a second chunk.
    WriteFile(file, "11_3OnOff=1\r\n1_3OnOff:1\n1_3Value1=12abc\n1_3Value2=99\n1_3Timing=2\n" +
                        std::string(255, 'x') + "2_4Value1=2.5\n2_4OnOff=\n3_2Value1=4\n");
    DriverConditionList list{Item(1, 3, 2, 0, 0, 0, 1), Item(2, 4, 1, 1, 0, 0, 1),
                             Item(3, 2, 0, 0, 7, 0, 1), Item(11, 3, 1, 0, 0, 0, 1)};
    ReadPlainDriverFile(list, file.string());
    EXPECT_EQ(list[0].onOff, 1);
    EXPECT_EQ(list[0].value1, 12.0);
    EXPECT_EQ(list[0].value2, 0.0);
    EXPECT_EQ(list[0].timing, 1);
    EXPECT_EQ(list[1].value1, 2.5);
    EXPECT_EQ(list[1].onOff, 0);
    EXPECT_EQ(list[2].value1, 7.0);  // switch items have no value lines
    EXPECT_EQ(list[3].onOff, 1);

    DriverConditionList untouched{Item(1, 3, 1, 1, 5, 0, 1)};
    ReadPlainDriverFile(untouched, (folder.Path() / "missing.ini").string());
    ReadPlainDriverFile(untouched, folder.Path().string());
    EXPECT_EQ(untouched[0].onOff, 1);
    EXPECT_EQ(untouched[0].value1, 5.0);
}

TEST(PlainFileTest, CurrentFileFromDriver) {
    TempFolder folder;
    const std::string driver = WriteDriver(folder,
                                           "[tool]\nid=11 type=3 count=1 name=Punch count\n"
                                           "[default]\nid=100 type=3 int=3 name=Digits\n"
                                           "id=101 type=4 real=1.5 name=Lead-in\n");
    const std::string current = (folder.Path() / "current.ini").string();
    ASSERT_EQ(WriteCurrentFileFromDriver(driver, current, DriverSettingKind::Nc), 1);
    EXPECT_EQ(ReadFile(current),
              "100_3OnOff=0\n100_3Value1=3\n101_4OnOff=0\n101_4Value1=1.500000\n");
    ASSERT_EQ(WriteCurrentFileFromDriver(driver, current, DriverSettingKind::Tool), 1);
    EXPECT_EQ(ReadFile(current), "11_3OnOff=0\n11_3Value1=0\n11_3Timing=1\n");
    ASSERT_EQ(WriteCurrentFileFromDriver(driver, current, DriverSettingKind::Cut), 1);
    EXPECT_EQ(ReadFile(current), "");
    EXPECT_EQ(WriteCurrentFileFromDriver(driver, (folder.Path() / "no" / "x").string(),
                                         DriverSettingKind::Nc),
              0);
}

}  // namespace
}  // namespace quillet::driver
