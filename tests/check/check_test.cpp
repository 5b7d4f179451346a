// The audit on damaged data folders: each case writes a few files and expects
// exactly the findings (code, file, line) the module's readers would run into.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "check/check.h"
#include "support/temp_install.h"

namespace {

namespace fs = std::filesystem;
using quillet::check::CheckDataFolder;
using quillet::check::CheckOptions;
using quillet::check::CheckResult;
using quillet::check::Severity;
using quillet::testing::TempFolder;
using quillet::testing::WriteFile;

using Found = std::tuple<std::string, std::string, int>;  // code, file, line

std::string MachineRecord(int number, const std::string& name, const std::string& list) {
    char text[400];
    std::snprintf(text, sizeof text, "[QM700]%3d%-50s%-100s\n", number, name.c_str(), list.c_str());
    return text;
}

std::string MaterialRecord(const std::string& name, const std::string& file) {
    char text[400];
    std::snprintf(text, sizeof text, "[QM700]%-50s%-100s\n", name.c_str(), file.c_str());
    return text;
}

// A written template: every tag with its ###END; content per tag.
std::string Template(const std::map<std::string, std::string>& content = {}) {
    std::string out;
    for (const char* tag : {"###NCSTART",   "###NCSTARTG92",   "###NCEND",      "###CUTSTART-K",
                            "###CUTEND-K",  "###CUTSTART-K-S", "###CUTEND-K-S", "###CUTSTART-L",
                            "###CUTEND-L",  "###CUTSTART-L-S", "###CUTEND-L-S", "###CUTSTART-M",
                            "###CUTEND-M",  "###CUTSTART-M-S", "###CUTEND-M-S", "###CUTSTART-H",
                            "###CUTEND-H",  "###CUTSTART-H-S", "###CUTEND-H-S", "###CUTCOND-K",
                            "###CUTCOND-L", "###CUTCOND-M",    "###CUTCOND-H",  "###MAC-STOP",
                            "###CUTMODAL",  "###CUTCOND-POS",  "###OFFSET-POS"}) {
        out += std::string(tag) + "\n";
        if (const auto it = content.find(tag); it != content.end()) out += it->second;
        out += "###END\n";
    }
    return out;
}

class CheckTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& text) {
        WriteFile(dir_.Path() / name, text);
    }

    CheckResult Check() { return CheckDataFolder(CheckOptions{dir_.Path(), std::nullopt}); }

    // The findings other than notes, as (code, file, line).
    std::vector<Found> Problems() {
        std::vector<Found> out;
        for (const auto& f : Check().findings) {
            if (f.severity != Severity::Info) out.emplace_back(f.code, f.file, f.line);
        }
        return out;
    }
    std::vector<Found> All() {
        std::vector<Found> out;
        for (const auto& f : Check().findings) out.emplace_back(f.code, f.file, f.line);
        return out;
    }
    // A registered machine MC01 (135) with material SPCC and its template.
    void WriteStore() {
        Write("Othmcn.dat", MachineRecord(135, "MC01", "MC01.__1"));
        Write("MC01.__1", MaterialRecord("SPCC", "MC01-SPCC.CUT"));
        Write("MC01-SPCC.CUT", Template());
    }

    TempFolder dir_;
};

TEST_F(CheckTest, MachineIndexRecordsThatReadWrongOrNeverMatch) {
    Write("Othmcn.dat", MachineRecord(135, "MC01", "MC01.__1") +                  // 1 fine
                            "   135MC02" + std::string(47, ' ') + "MC02.__1\n" +  // 2 no marker
                            MachineRecord(135, "MC 03", "MC 03.__1") +            // 3 space
                            MachineRecord(135, "mc01", "MC01.__1") +              // 4 duplicate
                            MachineRecord(99, "MC04", "MC04.__1") +      // 5 type, list missing
                            MachineRecord(135, "", "X.__1") +            // 6 empty name
                            MachineRecord(136, "MC05", "") +             // 7 no list name
                            MachineRecord(136, "MC06", "../MC06.__1") +  // 8 unsafe
                            MachineRecord(137, std::string(52, 'A'), "A.__1") +  // 9 too wide
                            "\n");                                               // 10 blank (note)
    Write("MC01.__1", "");
    const std::vector<Found> expected = {
        {"missing-marker", "Othmcn.dat", 2},   {"name-with-space", "Othmcn.dat", 3},
        {"duplicate-record", "Othmcn.dat", 4}, {"bad-type-number", "Othmcn.dat", 5},
        {"list-missing", "Othmcn.dat", 5},     {"empty-name", "Othmcn.dat", 6},
        {"empty-file-name", "Othmcn.dat", 7},  {"unsafe-file-name", "Othmcn.dat", 8},
        {"record-too-wide", "Othmcn.dat", 9}};
    EXPECT_EQ(Problems(), expected);
    const CheckResult result = Check();
    EXPECT_EQ(quillet::check::ExitCodeFor(result), 1);
    ASSERT_FALSE(result.findings.empty());
    EXPECT_EQ(result.findings.back().code, "blank-line");
}

TEST_F(CheckTest, OldFormatFilesAreCheckedAsTheConversionWillReadThem) {
    // Old index: number 1-3, name 4-11, list 12-23; the empty name on line 3
    // ends the table, so the conversion drops line 4.
    Write(
        "Othmcn.dat",
        "135MC01    MC01.__1    \n135MC02    MC02.__1    \n135        \n136MC03    MC03.__1    \n");
    // Old list: name 1-8, thickness 9-13, template 14-25.
    Write("MC01.__1", "SPCC    1.6  MC01SPCC.CUT\nSPCC    1.60 MC01SPC2.CUT\n");
    Write("MC01SPCC.CUT", Template());
    Write("MC02.__1", MaterialRecord("SUS", "MC02-SUS.CUT"));
    Write("MC02-SUS.CUT", Template());
    // SPCC with 1.6 and 1.60 both become SPCC1.6: the second is never used.
    EXPECT_EQ(Problems(), (std::vector<Found>{{"old-format", "MC01.__1", 1},
                                              {"duplicate-record", "MC01.__1", 2},
                                              {"old-format", "Othmcn.dat", 1},
                                              {"old-record-dropped", "Othmcn.dat", 3}}));
}

TEST_F(CheckTest, MarkerOnlyOnLaterLinesIsAnError) {
    Write("Othmcn.dat", "\n" + MachineRecord(135, "MC01", "MC01.__1"));
    EXPECT_EQ(Problems(), (std::vector<Found>{{"marker-not-first", "Othmcn.dat", 1}}));
}

TEST_F(CheckTest, MaterialListsTemplatesAndOrphans) {
    Write("Othmcn.dat", MachineRecord(135, "MC01", "MC01.__1"));
    Write("MC01.__1", MaterialRecord("SPCC", "MC01-SPCC.CUT") +
                          MaterialRecord("SUS", "MC01-SUS.CUT") + MaterialRecord("AL", "OLD.CUT") +
                          MaterialRecord("CU", std::string(101, 'c')) +
                          MaterialRecord("spcc", "x.CUT"));
    Write("MC01-SPCC.CUT", Template());
    Write("OLD.CUT", Template());
    Write("STRAY.CUT", Template());
    Write("OTHER.__1", "");
    EXPECT_EQ(All(), (std::vector<Found>{{"template-missing", "MC01.__1", 2},
                                         {"template-name-unusual", "MC01.__1", 3},
                                         {"record-too-wide", "MC01.__1", 4},
                                         {"duplicate-record", "MC01.__1", 5},
                                         {"orphan-list", "OTHER.__1", 0},
                                         {"orphan-template", "STRAY.CUT", 0}}));
}

TEST_F(CheckTest, TemplateFiles) {
    WriteStore();
    const std::string good = Template({{"###CUTSTART-K", "M103(ON)\nG04P1\n"},
                                       {"###CUTCOND-H", "M100(CUT-H)\n"},
                                       {"###OFFSET-POS", "G92(OFFSET)\n"}});
    Write("MC01-SPCC.CUT", good);
    EXPECT_TRUE(Problems().empty());

    Write("MC01-SPCC.CUT",
          "stray\n"                  // 1 outside any section
          "###NCEND\nM30\n###END\n"  // 2-4
          "###NCSTART\n"             // 5 out of order, not closed
          "###FOO\n"                 // 6 no tag: read as content
          "G00X0(ON)\n"              // 7 marker in a section without one
          "###CUTSTART-K\n"          // 8
          "M103(ON)\nG04(ON)\n"      // 9 own marker; 10 marker on a later line
          "###END\n"                 // 11
          "###NCEND\n"               // 12 again
          "M30");                    // 13 no newline, section not closed
    EXPECT_EQ(Problems(), (std::vector<Found>{{"outside-section", "MC01-SPCC.CUT", 1},
                                              {"tag-order", "MC01-SPCC.CUT", 5},
                                              {"unclosed-section", "MC01-SPCC.CUT", 5},
                                              {"unknown-tag", "MC01-SPCC.CUT", 6},
                                              {"content-marker", "MC01-SPCC.CUT", 7},
                                              {"content-marker", "MC01-SPCC.CUT", 10},
                                              {"duplicate-tag", "MC01-SPCC.CUT", 12},
                                              {"unclosed-section", "MC01-SPCC.CUT", 12},
                                              {"no-final-newline", "MC01-SPCC.CUT", 13}}));
}

std::string PdlSection(const std::string& name, const std::string& extra = "") {
    // Every key of the table, 1.0 each, after the extra lines.
    static const char* const kKeys[] = {"Power",
                                        "Frequency",
                                        "DutyCycle",
                                        "Feedrate",
                                        "GasType",
                                        "GasPressure",
                                        "BeamOffsetNo",
                                        "BeamOffsetWidth",
                                        "PulseType",
                                        "NCPage",
                                        "NCTool",
                                        "SubProgramNo",
                                        "BeamStandOff",
                                        "InnerApproach",
                                        "OuterApproach",
                                        "InnerEscape",
                                        "OuterEscape",
                                        "DwellTime",
                                        "PPMDutyCycle",
                                        "EdgeCtrlLen",
                                        "MinEdgeCtrlLen",
                                        "MinLoopbackLen",
                                        "DwellTime2",
                                        "AngleMax",
                                        "EndCutSubProgramNo",
                                        "NCDubleTool",
                                        "PierceCoolTime",
                                        "HighSpeedPierce",
                                        "Acceleration",
                                        "NCToolSub",
                                        "ApproachFeedrate",
                                        "PriCut",
                                        "ApproachContourSub",
                                        "InOutUsage",
                                        "Ampere",
                                        "NonZupSubProgramNo",
                                        "InitialConditionNo",
                                        "BeamOnType",
                                        "PochSubProgramNo",
                                        "HpccMode",
                                        "ZOrgHeight",
                                        "ApproachZHeght",
                                        "ZapproachFeedrate",
                                        "Amperei1",
                                        "Amperei2",
                                        "AmpereWide",
                                        "RepeatNum",
                                        "Pierce1stShotNum",
                                        "Pierce2ndRepeatNum",
                                        "Pierce2ndShotNum",
                                        "Pierce3rdRepeatNum",
                                        "Pierce3rdShotNum",
                                        "GasTypeNo",
                                        "HightControll",
                                        "GasPressureChangeDwell",
                                        "LaserChangeDwell",
                                        "FocusPoint",
                                        "NozzleDiameter",
                                        "PonchNCTool",
                                        "AfterPierceStopZhight",
                                        "HeightControlMode",
                                        "LeadOutOrLeadIn",
                                        "NCMaterialNo",
                                        "NCThicknessNo",
                                        "PulseOnTime",
                                        "PulseOffTime",
                                        "UseSwitchBack",
                                        "SpotLeftTNo",
                                        "SpotRightTNo",
                                        "SpotRLFeed",
                                        "NCToolMcode",
                                        "UseOpePaneCondition",
                                        "NCCutTypeMcode",
                                        "NCPulseMcode",
                                        "PurgeTime",
                                        "EdgeData",
                                        "ApproachData",
                                        "IncrementFreq",
                                        "IncrementCycle",
                                        "RecoverDist",
                                        "RecoverFeedrate",
                                        "RecoverFreq",
                                        "RecoverDuty",
                                        "PowerPierceSub",
                                        "LaserType",
                                        "PierceMode",
                                        "CutingMode",
                                        "TechTableNO"};
    static_assert(sizeof kKeys / sizeof kKeys[0] == 88);
    std::string out = "[" + name + "]\n" + extra;
    for (const char* key : kKeys) out += std::string(key) + "=1.000000\n";
    return out;
}

std::string PdlFile(const std::string& replaceK = "") {
    std::string out;
    for (const char* c :
         {"K", "L", "M", "H", "U", "U1", "U2", "U3", "U4", "U5", "P101", "P102", "P103"}) {
        const std::string section = std::string("PDL_CUT_") + c;
        out += (c == std::string("K") && !replaceK.empty()) ? replaceK : PdlSection(section);
    }
    return out;
}

TEST_F(CheckTest, PdlConditionFiles) {
    Write("PDL_CUT_MASTER.ini", PdlFile());
    Write("PDL_CUT_EMPTY_X.ini", "");
    EXPECT_EQ(Problems(), (std::vector<Found>{{"section-missing", "PDL_CUT_EMPTY_X.ini", 0}}));

    // K: values first (lines 2-6), then the 88 keys; the first Power wins,
    // so the Power=1.0 later is a duplicate.
    std::string k =
        PdlSection("PDL_CUT_K", "Power=abc\nGasType=12.5mm\nCuttingMode=3\nNoValue\n=\n");
    k.replace(k.find("Frequency=1.000000\n"), 19, "");  // a key missing
    std::string file = PdlFile(k);
    file.replace(file.find("[PDL_CUT_U3]"), 12, "[PDL_CUT_X3]");  // a table missing
    Write("PDL_CUT_MASTER.ini", file);
    const std::vector<Found> got = Problems();
    const std::vector<Found> expected = {
        {"section-missing", "PDL_CUT_EMPTY_X.ini", 0},
        {"section-missing", "PDL_CUT_MASTER.ini", 0},
        {"key-missing", "PDL_CUT_MASTER.ini", 1},
        {"not-numeric", "PDL_CUT_MASTER.ini", 2},
        {"trailing-text", "PDL_CUT_MASTER.ini", 3},
        {"unknown-key", "PDL_CUT_MASTER.ini", 4},
        {"key-without-value", "PDL_CUT_MASTER.ini", 5},
        {"unknown-key", "PDL_CUT_MASTER.ini", 6},
        {"duplicate-key", "PDL_CUT_MASTER.ini", 7},   // Power again
        {"duplicate-key", "PDL_CUT_MASTER.ini", 10},  // GasType again
    };
    EXPECT_EQ(got, expected);
}

TEST_F(CheckTest, SaveOptionsAndAlias) {
    Write("PDL_CUT_SAVEOPT.ini", "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=2\nOnOff_SaveOpt_K=x\n");
    Write("PDL_MACTYPE_ALIAS.ini",
          "[MAC_ALIAS]\n13300=60\n013301=61\n13302=abc\n13303=6 1\nfoo=1\n-5=3\n13300=99\n");
    EXPECT_EQ(Problems(), (std::vector<Found>{{"key-missing", "PDL_CUT_SAVEOPT.ini", 1},
                                              {"switch-value", "PDL_CUT_SAVEOPT.ini", 2},
                                              {"not-numeric", "PDL_CUT_SAVEOPT.ini", 3},
                                              {"alias-key", "PDL_MACTYPE_ALIAS.ini", 3},
                                              {"not-numeric", "PDL_MACTYPE_ALIAS.ini", 4},
                                              {"trailing-text", "PDL_MACTYPE_ALIAS.ini", 5},
                                              {"alias-key", "PDL_MACTYPE_ALIAS.ini", 6},
                                              {"duplicate-key", "PDL_MACTYPE_ALIAS.ini", 8}}));
    Write("PDL_MACTYPE_ALIAS.ini", "[OTHER]\n1=2\n");
    Write("PDL_CUT_SAVEOPT.ini", "");
    EXPECT_EQ(Problems(), (std::vector<Found>{{"section-missing", "PDL_CUT_SAVEOPT.ini", 0},
                                              {"section-missing", "PDL_MACTYPE_ALIAS.ini", 0}}));
}

TEST_F(CheckTest, MachineIni) {
    const std::string flags(88, '1');
    Write("PDL_CUT_MASTER.ini", PdlFile());
    Write("machine.ini",
          "[Header]\nMachineCount=4\n"  // 1-2
          "[Machine1]\nID=60\nCCUsed=" +
              flags + "\nPCUsed=" + flags +
              "\n"  // 3-6
              "[Machine2]\nID=60\nCCUsed=1x1\nPCUsed=" +
              flags +
              "1\n"                    // 7-10
              "[Machine5]\nID=70\n"    // 11-12
              "[Machine04]\nID=1\n");  // 13-14
    EXPECT_EQ(Problems(), (std::vector<Found>{{"machine-section-missing", "machine.ini", 2},
                                              {"duplicate-id", "machine.ini", 8},
                                              {"flags-chars", "machine.ini", 9},
                                              {"flags-length", "machine.ini", 9},
                                              {"flags-length", "machine.ini", 10},
                                              {"machine-section-extra", "machine.ini", 11},
                                              {"machine-section-name", "machine.ini", 13}}));
    Write("machine.ini", "[Header]\nMachineCount=two\n[Machine1]\nCCUsed=1\n");
    EXPECT_EQ(Problems(), (std::vector<Found>{{"not-numeric", "machine.ini", 2},
                                              {"machine-section-extra", "machine.ini", 3}}));
    Write("machine.ini", "[Machine1]\nID=1\n[Header]\nMachineCount=1\n[Machine1]\nID=2\n");
    EXPECT_EQ(Problems(), (std::vector<Found>{{"flags-missing", "machine.ini", 1},
                                              {"flags-missing", "machine.ini", 1},
                                              {"duplicate-section", "machine.ini", 5}}));
    Write("machine.ini", "[Header]\n");
    EXPECT_EQ(Problems(), (std::vector<Found>{{"machine-count", "machine.ini", 0}}));
}

TEST_F(CheckTest, DriverSettingFiles) {
    Write("MD_CUT_MC01_SPCC.ini",
          "[MD_CUT_K]\n12_4OnOff=1\n12_4Value1=abc\n7_3Value1=1.5\n7_3OnOff=5\nfoo=1\n"  // 1-6
          "[MD_CUT_Z]\n1_3OnOff=1\n"                                                     // 7-8
          "[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_Q=1\n"                       // 9-11
          "[md_cut_l]\n3_2Value1=1\n3_9OnOff=1\n");                                      // 12-14
    Write("MD_TOOL_MC01_D1.ini", "[MD_TOOL_5]\n1_3Timing=3\n1_3OnOff=-1\n[MD_TOOL_x]\n");
    Write("MD_NC_MC01.ini",
          "1_3OnOff=1\n1_3Value1=12abc\ngarbage\n2_4Value1=x\n" + std::string(300, '9') + "\n");
    EXPECT_EQ(Problems(), (std::vector<Found>{{"not-numeric", "MD_CUT_MC01_SPCC.ini", 3},
                                              {"trailing-text", "MD_CUT_MC01_SPCC.ini", 4},
                                              {"switch-value", "MD_CUT_MC01_SPCC.ini", 5},
                                              {"bad-key", "MD_CUT_MC01_SPCC.ini", 6},
                                              {"unknown-section", "MD_CUT_MC01_SPCC.ini", 7},
                                              {"unknown-key", "MD_CUT_MC01_SPCC.ini", 11},
                                              {"bad-key", "MD_CUT_MC01_SPCC.ini", 13},
                                              {"bad-key", "MD_CUT_MC01_SPCC.ini", 14},
                                              {"trailing-text", "MD_NC_MC01.ini", 2},
                                              {"bad-line", "MD_NC_MC01.ini", 3},
                                              {"not-numeric", "MD_NC_MC01.ini", 4},
                                              {"long-line", "MD_NC_MC01.ini", 5},
                                              {"bad-line", "MD_NC_MC01.ini", 5},
                                              {"timing-value", "MD_TOOL_MC01_D1.ini", 2},
                                              {"switch-value", "MD_TOOL_MC01_D1.ini", 3},
                                              {"unknown-section", "MD_TOOL_MC01_D1.ini", 4}}));
}

TEST_F(CheckTest, StaleWorkingCopiesAreWarnings) {
    TempFolder temp;
    WriteFile(temp.Path() / "PDL_CUT_TEMP.ini", "");
    WriteFile(temp.Path() / "MD_CUT_default.ini", "");  // a current file: fine
    const CheckResult result = CheckDataFolder(CheckOptions{dir_.Path(), temp.Path()});
    ASSERT_EQ(result.findings.size(), 1u);
    EXPECT_EQ(result.findings[0].code, "stale-working-copy");
    EXPECT_EQ(result.findings[0].file, "TEMP/PDL_CUT_TEMP.ini");
    EXPECT_EQ(quillet::check::ExitCodeFor(result), 0);
}

TEST_F(CheckTest, MissingFolderCannotBeChecked) {
    const CheckResult result = CheckDataFolder(CheckOptions{dir_.Path() / "none", std::nullopt});
    EXPECT_FALSE(result.readable);
    EXPECT_EQ(quillet::check::ExitCodeFor(result), 70);
}

// Every file of a folder with its bytes and modification time.
std::map<fs::path, std::pair<std::string, fs::file_time_type>> Snapshot(const fs::path& root) {
    std::map<fs::path, std::pair<std::string, fs::file_time_type>> out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        out[entry.path()] = {
            entry.is_regular_file() ? quillet::testing::ReadFile(entry.path()) : "",
            entry.last_write_time()};
    }
    return out;
}

TEST(CheckSampleTest, CleanSampleHasNoFindingsAndStaysUntouched) {
    TempFolder copy;
    fs::copy(QUILLET_CHECK_DATA "/clean", copy.Path(), fs::copy_options::recursive);
    const auto before = Snapshot(copy.Path());
    const CheckResult result = CheckDataFolder(
        CheckOptions{copy.Path() / "data" / "Othmcn", copy.Path() / "system" / "TEMP"});
    for (const auto& f : result.findings)
        ADD_FAILURE() << f.file << ":" << f.line << " " << f.message;
    EXPECT_EQ(quillet::check::ExitCodeFor(result), 0);
    EXPECT_GE(result.filesChecked, 14);
    EXPECT_EQ(Snapshot(copy.Path()), before);
}

TEST(CheckSampleTest, DamagedSampleStaysUntouched) {
    TempFolder copy;
    fs::copy(QUILLET_CHECK_DATA "/damaged", copy.Path(), fs::copy_options::recursive);
    const auto before = Snapshot(copy.Path());
    const CheckResult result =
        CheckDataFolder(CheckOptions{copy.Path() / "data" / "Othmcn", std::nullopt});
    EXPECT_EQ(quillet::check::ExitCodeFor(result), 1);
    EXPECT_EQ(Snapshot(copy.Path()), before);
}

TEST(CheckFormatTest, PlainAndJson) {
    CheckResult result;
    result.readable = true;
    result.filesChecked = 2;
    result.findings = {{Severity::Error, "not-numeric", "a.ini", 3, "say \"x\""},
                       {Severity::Warning, "orphan-list", "b.__1", 0, "never read"}};
    EXPECT_EQ(quillet::check::FormatPlain(result),
              "a.ini:3: error: say \"x\" [not-numeric]\n"
              "b.__1: warning: never read [orphan-list]\n"
              "2 files checked: 1 errors, 1 warnings, 0 notes\n");
    EXPECT_EQ(quillet::check::FormatJson(result),
              "[\n  {\"severity\": \"error\", \"code\": \"not-numeric\", \"file\": \"a.ini\", "
              "\"line\": 3, \"message\": \"say \\\"x\\\"\"},\n"
              "  {\"severity\": \"warning\", \"code\": \"orphan-list\", \"file\": \"b.__1\", "
              "\"line\": 0, \"message\": \"never read\"}\n]\n");
    result.findings.clear();
    EXPECT_EQ(quillet::check::FormatJson(result), "[]\n");
}

}  // namespace
