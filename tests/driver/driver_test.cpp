// The driver subsystem with the stand-in libraries of the build: the exact
// calls into them, read from their trace, the exports end to end, and the
// setting items and files (paths, the sectioned and the plain form).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "driver/driver_operations.h"
#include "driver/driver_settings.h"
#include "driver_test_support.h"
#include "platform/profile.h"
#include "quillet/quillet.h"

namespace {
// The host's own definition of a library function takes precedence over the
// library's: this one notes the target buffer it is handed and passes the
// call on to the stand-in.
char* g_handedTarget = nullptr;
}  // namespace

extern "C" __attribute__((visibility("default"))) void MD_InitialDriverNcGeneration(char* target) {
    g_handedTarget = target;
    using Initial = void (*)(char*);
    void* const korvid = ::dlopen("libkorvid.so", RTLD_NOW | RTLD_NOLOAD);
    reinterpret_cast<Initial>(::dlsym(korvid, "MD_InitialDriverNcGeneration"))(target);
    ::dlclose(korvid);
}

namespace quillet::testing {
namespace {

// A file of the driver tests' data folder.
fs::path Data(const std::string& name) { return fs::path(QUILLET_DRIVER_TEST_DATA) / name; }

// The calls up to the data file check for a machine record with that many
// clamps (the job gives locations 10, 20, ... 50).
Lines Load(int clamps) {
    Lines calls{
        "MD_LoadMachineDriver(drv)", "MD_Param_Read_Machine() -> 0",
        "MD_SetSheetName(SHEET)",    "MD_SetMachineType(7)",
        "MD_SetUnitMode(1)",         "MD_SetNumberOfClamps(" + std::to_string(clamps) + ")"};
    for (int k = 1; k <= std::min(clamps, 5); ++k) {
        calls.push_back("MD_SetClampLocation(" + std::to_string(k) + "," + std::to_string(10 * k) +
                        ")");
    }
    calls.insert(calls.end(),
                 {"MD_SetTableSize(1,2)", "MD_SetSheetSize(3,4)", "MD_SetSheetThickness(5)",
                  "MD_SetProgrammedOffset(6,7)", "MD_SetNumberOfPartOnSheet(8)"});
    return calls;
}

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(TraceTest, CreateNcCallOrder) {
    const std::string driver = Driver("[cutting]\n");
    const Lines start{"MD_Data_File_check() -> 0", "MD_Data_File_Open() -> 0",
                      "MD_InitialDriverNcGeneration(out.nc)"};
    const Lines two{"MD_Data_File_Read() -> 0", "MD_DriverNcCodeGeneration(1,2,3,4,1.5,2.5)",
                    "MD_Data_File_Read() -> 0", "MD_DriverNcCodeGeneration(5,6,7,8,-1,0)"};
    const Lines end{"MD_Data_File_Read() -> 1", "MD_EndDriverNcGeneratioin()",
                    "MD_Data_File_Close() -> 0"};
    const std::string records = "[records]\n1 2 3 4 1.5 2.5\n5 6 7 8 -1\n";
    // A job long enough that two generations at once would overlap.
    std::string many = records;
    Lines manyCalls = two;
    for (int i = 0; i < 50; ++i) many += records.substr(10), manyCalls = manyCalls + two;
    const struct {
        const char* name;
        std::string job;
        int result;
        Lines calls;
        int threads = 1;  // host threads generating at once
    } rows[] = {
        {"no clamps", "clamps=0\n" + records, 0, Load(0) + start + two + end},
        {"two threads: two whole sequences", "clamps=3\n" + many, 0,
         Load(3) + start + manyCalls + end + Load(3) + start + manyCalls + end, 2},
        {"three clamps, no records", "clamps=3\n", 0, Load(3) + start + end},
        {"more than five clamps set five locations", "clamps=7\n", 0, Load(7) + start + end},
        {"negative clamps", "clamps=-2\n", 0, Load(-2) + start + end},
        {"failing machine read",
         "fail-read-machine=3\n",
         3,
         {"MD_LoadMachineDriver(drv)", "MD_Param_Read_Machine() -> 3"}},
        {"failing check", "fail-check=4\n" + records, 4,
         Load(0) + Lines{"MD_Data_File_check() -> 4"}},
        {"failing open", "fail-open=5\n" + records, 5,
         Load(0) + Lines{"MD_Data_File_check() -> 0", "MD_Data_File_Open() -> 5"}},
        {"close result returned", "fail-close=6\nend-code=-3\n" + records, 6,
         Load(0) + start + two +
             Lines{"MD_Data_File_Read() -> -3", "MD_EndDriverNcGeneratioin()",
                   "MD_Data_File_Close() -> 6"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ScopedEnv job("QUILLET_JOB", Write("job", ReadFile(Data("machine.job")) + row.job));
        std::string target = (folder_.Path() / "out.nc").string();
        g_handedTarget = nullptr;
        std::latch ready(row.threads);
        const auto generate = [&] {
            ready.arrive_and_wait();
            EXPECT_EQ(MD_CreateNC(driver.c_str(), target.data()), row.result);
        };
        std::vector<std::thread> others;
        for (int t = 1; t < row.threads; ++t) others.emplace_back(generate);
        generate();
        for (std::thread& other : others) other.join();
        EXPECT_EQ(Calls(), row.calls);
        // The driver got the host's buffer itself, not a copy.
        if (row.result == 0 || row.result == 6) {
            EXPECT_EQ(g_handedTarget, target.data());
        }
    }
}

TEST_F(TraceTest, CreateNcRefusesOverlongDriverNamesWithoutCalling) {
    const ScopedEnv job("QUILLET_JOB", Write("job", "clamps=0\n"));
    const std::string folder = folder_.Path().string() + "/";
    const std::string longest = folder + std::string(255 - folder.size(), 'd');
    const struct {
        std::string driver, target;
        int result;
    } rows[] = {
        {longest + "d", folder + "out.nc", 999},
        {longest, longest + "t", 0},  // the target goes on, whatever its length
        {"", folder + "out.nc", 0},   // an empty driver name is the driver's business
    };
    for (const auto& row : rows) {
        std::string target = row.target;
        ::testing::internal::CaptureStderr();  // what the stand-in tells of an unusable driver
        EXPECT_EQ(MD_CreateNC(row.driver.c_str(), target.data()), row.result);
        ::testing::internal::GetCapturedStderr();
        const Lines calls = Calls();
        EXPECT_EQ(calls.empty(), row.result == 999);
        if (row.result == 0) {
            EXPECT_EQ(calls.front(), Named("MD_LoadMachineDriver(" + row.driver + ")"));
        }
    }
    EXPECT_EQ(driver::CreateNc("drv", nullptr), std::nullopt);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(TraceTest, SpecialSequencesFilterAndClearEachEntry) {
    const std::string driver = Driver(ReadFile(Data("special.drv")));
    md_ssi_all_ result;
    for (auto& e : result.entries) e = {-5, "untouched", -5, -5};
    MD_GetSpecialSequence(driver.c_str(), 1, &result);
    ASSERT_EQ(result.count, 3);
    EXPECT_EQ(result.entries[0].valueCount, 0);
    EXPECT_EQ(result.entries[1].id, 9);
    EXPECT_EQ(result.entries[1].valueCount, 4);
    EXPECT_STREQ(result.entries[2].name, "Duplicate kept");
    EXPECT_EQ(result.entries[3].id, -5);
    EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)", "MD_GetSpecialSequenceNumberOfCutting()",
                              "MD_GetSpecialSequenceOfCutting(1,0,0,0,)",
                              "MD_GetSpecialSequenceOfCutting(2,0,0,0,)",
                              "MD_GetSpecialSequenceOfCutting(3,0,0,0,)",
                              "MD_GetSpecialSequenceOfCutting(4,0,0,0,)"}));
    MD_GetSpecialSequence(driver.c_str(), 2, &result);
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(Calls(),
              (Lines{"MD_LoadMachineDriver(drv)", "MD_GetSpecialSequenceNumberOfPunching()",
                     "MD_GetSpecialSequenceOfPunching(1,0,0,0,)"}));
    for (int family : {0, 3, -1}) {
        MD_GetSpecialSequence(driver.c_str(), family, &result);
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)"}));
    }
    result.count = 5;
    MD_GetSpecialSequence(std::string(256, 'd').c_str(), 1, &result);
    EXPECT_EQ(result.count, 0);
    EXPECT_TRUE(Calls().empty());

    // The list holds 99 entries at most.
    std::string many = "[special-cutting]\n";
    for (int i = 1; i <= 150; ++i)
        many += "id=" + std::to_string(i) + " type=3 name=S" + std::to_string(i) + "\n";
    MD_GetSpecialSequence(Driver(many).c_str(), 1, &result);
    ASSERT_EQ(result.count, 99);
    EXPECT_STREQ(result.entries[98].name, "S99");
    EXPECT_EQ(Calls().back(), "MD_GetSpecialSequenceOfCutting(99,0,0,0,)");
}

TEST_F(TraceTest, LoadDriverConditionsFiltersAndStopsAtTheLimit) {
    const std::string driver = Driver(ReadFile(Data("filtering.drv")));
    using K = driver::DriverSettingKind;
    EXPECT_EQ(Describe(driver::LoadDriverConditions(driver, K::Cut, 99).value()),
              (Lines{"1/2/0/Switch with values 0 0 0 1", "2/3/1/P 0 0 0 1",
                     "2/4/0/Same id other type 0 0 0 1", "7/4/2/Two reals 0 0 0 1"}));
    Calls();
    // Each entry is fetched into a fresh item; the limit ends the fetching.
    EXPECT_EQ(Describe(driver::LoadDriverConditions(driver, K::Cut, 2).value()),
              (Lines{"1/2/0/Switch with values 0 0 0 1", "2/3/1/P 0 0 0 1"}));
    EXPECT_EQ(Calls(),
              (Lines{"MD_LoadMachineDriver(drv)", "MD_GetNumberOfCuttingCondition()",
                     "MD_GetCuttingCondition(1,0,-1,0,)", "MD_GetCuttingCondition(2,0,-1,0,)"}));
    EXPECT_EQ(Describe(driver::LoadDriverConditions(driver, K::Tool, 99).value()),
              (Lines{"9/3/1/Tool item 0 0 0 1"}));
    // Nc takes the driver's defaults inside the grid's range, else 0.
    EXPECT_EQ(Describe(driver::LoadDriverConditions(driver, K::Nc, driver::kNoItemLimit).value()),
              (Lines{"1/3/1/A 0 99999 0 1", "3/3/1/C 0 0 0 1", "4/3/1/D 0 0 0 1",
                     "5/4/1/E 0 -99999.9999 0 1", "7/4/1/G 0 0 0 1"}));
    Calls();
    EXPECT_TRUE(driver::LoadDriverConditions(driver, static_cast<K>(7), 99).value().empty());
    EXPECT_EQ(Calls(), (Lines{"MD_LoadMachineDriver(drv)"}));
    // A missing driver file lists nothing; an over-long name is refused.
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(driver::LoadDriverConditions("/no/such.drv", K::Cut, 99).value().empty());
    ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(driver::LoadDriverConditions(std::string(256, 'd'), K::Cut, 99));
}

// The stand-ins: the sample job becomes an NC program, and a driver
// file they cannot use is told on standard error (MD_LoadMachineDriver has
// no result), the module then behaving as with a driver without items.
TEST(StandInTest, WritesTheSampleProgramAndTellsUnusableDriverFiles) {
    TempInstallation install;
    std::string target = (install.Base() / "sample.nc").string();
    ScopedEnv job("QUILLET_JOB", kSamples + "/jobs/sample.job");
    ASSERT_EQ(MD_CreateNC(kDriver.c_str(), target.data()), 0);
    const Lines lines = ReadLines(target);
    ASSERT_GT(lines.size(), 22u);
    EXPECT_EQ(lines[3], "(SHEET SPCC1.6 sample sheet)");
    EXPECT_EQ(lines[15], "N4 G02 X250.000 Y50.000 I150.000 J150.000 T1");
    EXPECT_EQ(lines[lines.size() - 3], "(BLOCKS 11)");

    const fs::path empty = install.Base() / "empty.drv";
    WriteFile(empty, "# nothing\n");
    const struct {
        std::string file, reason;
    } rows[] = {{(install.Base() / "missing.drv").string(), "No such file or directory"},
                {install.Base().string(), "it is a folder"},
                {empty.string(), "no [cutting]"}};
    for (const auto& row : rows) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(MD_SetCurrentInfo(row.file.c_str(), "MC01", nullptr, nullptr), 0);
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("korvid: cannot use driver file '" +
                                                                row.file + "': " + row.reason),
                  std::string::npos);
        EXPECT_EQ(ReadFile(install.WorkingFolder() / "MD_NC_default.ini"), "");
    }
}

class SetCurrentInfoTest : public ::testing::Test {
protected:
    fs::path Current(const char* kind) const {
        return install_.WorkingFolder() / (std::string("MD_") + kind + "_default.ini");
    }
    TempInstallation install_;
};

TEST_F(SetCurrentInfoTest, InvalidArgumentsLeaveEarlierCurrentFilesAlone) {
    for (const char* kind : {"NC", "CUT", "TOOL"}) WriteFile(Current(kind), "earlier\n");
    EXPECT_EQ(MD_SetCurrentInfo(nullptr, "MC01", "SPCC", "D"), -2);
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC", "a/b"), -2);
    for (const char* kind : {"NC", "CUT", "TOOL"}) EXPECT_EQ(ReadFile(Current(kind)), "earlier\n");
}

TEST_F(SetCurrentInfoTest, CopiesSavedFilesAndGeneratesTheRest) {
    WriteFile(Current("TOOL"), "earlier\n");
    const std::string savedCut = "[MD_CUT_K]\n2_3OnOff=1\n2_3Value1=7\n[MD_CUT_L]\n2_3OnOff=0\n";
    WriteFile(install_.DataFolder() / "MD_CUT_MC01_SPCC1.6.ini", savedCut);
    ASSERT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC1.6", "DIE-A"), 0);
    EXPECT_EQ(ReadFile(Current("CUT")), savedCut);
    EXPECT_EQ(ReadFile(Current("TOOL")), ReadFile(Data("MD_TOOL_default.expected")));
    EXPECT_EQ(ReadFile(Current("NC")), ReadFile(Data("MD_NC_default.expected")));

    // Only Nc without material and die layout; a saved file is copied as it is.
    WriteFile(install_.DataFolder() / "MD_NC_MC01.ini", "100_3OnOff=1\r\n100_3Value1=9\r\n");
    ASSERT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "", nullptr), 0);
    EXPECT_EQ(ReadFile(Current("NC")), "100_3OnOff=1\r\n100_3Value1=9\r\n");
    EXPECT_FALSE(fs::exists(Current("CUT")));
    EXPECT_FALSE(fs::exists(Current("TOOL")));
}

TEST_F(SetCurrentInfoTest, SystemErrors) {
    // A current file that cannot be written (a folder of that name).
    fs::create_directory(Current("CUT"));
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC", nullptr), 999);
    EXPECT_TRUE(fs::exists(Current("NC")));  // kinds handled before stay in place
    TempInstallation noSystem({.systemRoot = false});
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", nullptr, nullptr), 999);
    TempInstallation noData({.dataRoot = false});
    EXPECT_EQ(MD_SetCurrentInfo(kDriver.c_str(), "MC01", nullptr, nullptr), 999);
}

TEST(DriverPathTest, SavedFilePaths) {
    TempInstallation install;
    const std::string folder = install.DataFolder().string();
    using K = driver::DriverSettingKind;
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
    };
    for (const auto& row : rows) {
        EXPECT_EQ(driver::BuildDriverSettingPath(row.kind, row.machine, row.name).value_or(""),
                  row.file.empty() ? "" : folder + row.file)
            << row.machine.substr(0, 20) << "|" << row.name;
    }
    // The longest machine name whose path still fits 499 characters.
    const std::size_t room = 499 - folder.size() - std::string("/MD_NC_.ini").size();
    EXPECT_EQ(driver::BuildDriverSettingPath(K::Nc, std::string(room, 'M'), "").value().size(),
              499u);
    EXPECT_FALSE(driver::BuildDriverSettingPath(K::Nc, std::string(room + 1, 'M'), ""));
    // A folder of the saved file's name is no saved file.
    WriteFile(install.DataFolder() / "MD_NC_MC01.ini", "");
    fs::create_directory(install.DataFolder() / "MD_CUT_MC01_DIR.ini");
    EXPECT_TRUE(driver::ReadSavedDriverFile(folder + "/MD_NC_MC01.ini").exists);
    EXPECT_FALSE(driver::ReadSavedDriverFile(folder + "/MD_CUT_MC01_DIR.ini").exists);
}

TEST(SectionedFileTest, WritesOneSectionKeepsTheOthersAndReadsBack) {
    TempFolder folder;
    const std::string file = (folder.Path() / "MD_CUT_MC01_SPCC.ini").string();
    const std::string before =
        "[MD_CUT_K]\n2_3OnOff=1\n; note\n2_3Value1=7\n\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n";
    WriteFile(file, before);
    const driver::DriverConditionList items{Item(1, 2, 0, 7), Item(2, 3, 2, 0, 2.9, -2.9),
                                            Item(3, 4, 1, 1, 1.5, 9)};
    auto document = platform::ProfileDocument::Load(file);
    ASSERT_TRUE(
        driver::WriteDriverSettingFile(items, driver::DriverSettingKind::Cut, document, "L"));
    EXPECT_FALSE(
        driver::WriteDriverSettingFile(items, driver::DriverSettingKind::Cut, document, ""));
    EXPECT_FALSE(driver::WriteDriverSettingFile({}, driver::DriverSettingKind::Cut, document, "M"));
    EXPECT_FALSE(
        driver::WriteDriverSettingFile(items, driver::DriverSettingKind::Nc, document, "M"));
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
        driver::DriverConditionList list{Item(1, 2, 0), Item(2, 3, 2, 1, 5, 5),
                                         Item(3, 4, 1, 0, 5)};
        driver::ReadDriverSettingFile(list, driver::DriverSettingKind::Cut, row.path, row.section);
        EXPECT_EQ(Describe(list), row.state) << row.section;
    }
}

TEST(SectionedFileTest, ToolTimingAndSwitchRules) {
    TempFolder folder;
    const auto file = folder.Path() / "tool.ini";
    WriteFile(file,
              "[MD_TOOL_3]\n1_2OnOff=-1\n1_2Timing=5\n2_2OnOff=0\n2_2Timing=-1\n3_2OnOff=5\n"
              "3_2Timing=2\n4_2OnOff=\n4_2Timing=0\n");
    driver::DriverConditionList list{Item(1, 2, 0, 1, 0, 0, 0), Item(2, 2, 0, 1, 0, 0, 0),
                                     Item(3, 2, 0, 0, 0, 0, 0), Item(4, 2, 0, 1, 0, 0, 2),
                                     Item(5, 2, 0, 1, 0, 0, 0)};
    driver::ReadDriverSettingFile(list, driver::DriverSettingKind::Tool, file.string(), "3");
    // "-1" and a missing key keep the loaded switch; a bad timing reads as 1.
    EXPECT_EQ(Describe(list), (Lines{"1/2/0/ 1 0 0 1", "2/2/0/ 0 0 0 1", "3/2/0/ 1 0 0 2",
                                     "4/2/0/ 0 0 0 0", "5/2/0/ 1 0 0 1"}));
}

TEST(PlainFileTest, ExactTextRoundTripAndFailedWrites) {
    TempFolder folder;
    const std::string file = (folder.Path() / "MD_TOOL_default.ini").string();
    ASSERT_TRUE(driver::WritePlainDriverFile(
        {Item(1, 2, 0, 1, 3, 3, 0), Item(2, 3, 2, 0, 5.7, -3.2, 1), Item(3, 4, 1, 1, 1.25, 8, 2),
         Item(4, 3, 1, 1, 1e300), Item(5, 3, 1, 0, std::nan(""))},
        driver::DriverSettingKind::Tool, file));
    // Integers are truncated, held at the int range's ends, and NaN is 0.
    EXPECT_EQ(ReadFile(file), ReadFile(Data("plain_tool.expected")));
    ASSERT_TRUE(driver::WritePlainDriverFile({}, driver::DriverSettingKind::Cut, file));
    EXPECT_EQ(ReadFile(file), "");
    const std::string unwritable = (folder.Path() / "missing" / "x.ini").string();
    EXPECT_FALSE(
        driver::WritePlainDriverFile({Item(1, 2, 0)}, driver::DriverSettingKind::Nc, unwritable));
    EXPECT_FALSE(driver::WritePlainDriverFile({Item(1, 2, 0)}, driver::DriverSettingKind::Nc, ""));

    // Nc reads the plain form: onOff and value1 come back, nothing else.
    ASSERT_TRUE(driver::WritePlainDriverFile(
        {Item(100, 3, 1, 1, 42), Item(101, 4, 2, 0, -1.5, 4), Item(102, 2, 0, 1)},
        driver::DriverSettingKind::Nc, file));
    driver::DriverConditionList loaded{Item(100, 3, 1, 0, 0, 9, 2), Item(101, 4, 2, 1, 0, 9, 0),
                                       Item(102, 2, 0, 0)};
    driver::ReadDriverSettingFile(loaded, driver::DriverSettingKind::Nc, file, "");
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
    driver::DriverConditionList list{Item(1, 3, 2), Item(2, 4, 1, 1), Item(3, 2, 0, 0, 7),
                                     Item(11, 3, 1)};
    driver::ReadPlainDriverFile(list, file.string());
    // Switch items have no value lines.
    EXPECT_EQ(Describe(list),
              (Lines{"1/3/2/ 1 12 0 1", "2/4/1/ 0 2.5 0 1", "3/2/0/ 0 7 0 1", "11/3/1/ 1 0 0 1"}));
    driver::DriverConditionList untouched{Item(1, 3, 1, 1, 5)};
    driver::ReadPlainDriverFile(untouched, (folder.Path() / "missing.ini").string());
    driver::ReadPlainDriverFile(untouched, folder.Path().string());
    EXPECT_EQ(Describe(untouched), (Lines{"1/3/1/ 1 5 0 1"}));
}
}  // namespace
}  // namespace quillet::testing
