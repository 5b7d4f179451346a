// The audit on damaged data folders: each row writes a few files and expects
// exactly the findings (code, file, line) the module's readers would run into.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "check/check.h"
#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "pdl/pdl_table.h"
#include "support/temp_install.h"

namespace {

namespace fs = std::filesystem;
using namespace quillet::check;
using quillet::othmac::MachineRecord;
using quillet::othmac::MaterialRecord;
using quillet::testing::TempFolder;
using quillet::testing::WriteFile;

using Found = std::tuple<std::string, std::string, int>;  // code, file, line

std::vector<Found> Findings(const CheckResult& result) {
    std::vector<Found> out;
    for (const auto& f : result.findings) out.emplace_back(f.code, f.file, f.line);
    return out;
}

// A template as the module writes it, with cutting-condition code.
std::string GoodTemplate() {
    using quillet::othmac::NcText;
    quillet::othmac::NcTemplateTexts texts;
    texts[NcText::CutStartK] = "M103\r\nG04P1\r\n";
    texts[NcText::CutCondH] = "M100\r\n";
    texts[NcText::OffsetPos] = "G92\r\n";
    return quillet::othmac::FormatNcTemplate(texts);
}

// One table section with every key at 1.0, after the extra lines.
std::string PdlSection(std::string_view name, const std::string& extra = "") {
    std::string out = "[" + std::string(name) + "]\n" + extra;
    for (const auto key : quillet::pdl::kPdlParamKeys) out += std::string(key) + "=1.000000\n";
    return out;
}

// A condition file with all thirteen tables; table K may be replaced.
std::string PdlFile(const std::string& tableK = "") {
    std::string out;
    for (const auto section : quillet::pdl::kPdlTableSections) {
        out += (section == "PDL_CUT_K" && !tableK.empty()) ? tableK : PdlSection(section);
    }
    return out;
}

// Table K with values first (lines 2-6) and Frequency missing; the first
// Power wins, so the later Power=1.0 is a duplicate. Table U3 is missing.
std::string DamagedPdlFile() {
    std::string k =
        PdlSection("PDL_CUT_K", "Power=abc\nGasType=12.5mm\nCuttingMode=3\nNoValue\n=\n");
    k.erase(k.find("Frequency=1.000000\n"), 19);
    std::string file = PdlFile(k);
    file.replace(file.find("[PDL_CUT_U3]"), 12, "[PDL_CUT_X3]");
    return file;
}

const std::string kFlags(88, '1');
const std::string kStore = MachineRecord(135, "MC01", "MC01.__1");

struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<Found> expected;  // every finding, notes included, in report order
};

const Case kCases[] = {
    {"machine index records that read wrong or never match",
     {{"Othmcn.dat", MachineRecord(135, "MC01", "MC01.__1") +                        // 1 fine
                         "   135MC02" + std::string(47, ' ') + "MC02.__1\n" +        // 2 no marker
                         MachineRecord(135, "MC 03", "MC 03.__1") +                  // 3 space
                         MachineRecord(135, "mc01", "MC01.__1") +                    // 4 duplicate
                         MachineRecord(99, "MC04", "MC04.__1") +                     // 5 type, list
                         MachineRecord(135, "", "X.__1") +                           // 6 empty name
                         MachineRecord(136, "MC05", "") +                            // 7 no list
                         MachineRecord(136, "MC06", "../MC06.__1") +                 // 8 unsafe
                         MachineRecord(137, std::string(52, 'A'), "A.__1") + "\n"},  // 9, 10
      {"MC01.__1", ""}},
     {{"missing-marker", "Othmcn.dat", 2},
      {"name-with-space", "Othmcn.dat", 3},
      {"duplicate-record", "Othmcn.dat", 4},
      {"bad-type-number", "Othmcn.dat", 5},
      {"list-missing", "Othmcn.dat", 5},
      {"empty-name", "Othmcn.dat", 6},
      {"empty-file-name", "Othmcn.dat", 7},
      {"unsafe-file-name", "Othmcn.dat", 8},
      {"record-too-wide", "Othmcn.dat", 9},
      {"blank-line", "Othmcn.dat", 10}}},
    // Old index: number 1-3, name 4-11, list 12-23; the empty name on line 3
    // ends the table for the conversion. Old list: name 1-8, thickness 9-13,
    // template 14-25; 1.6 and 1.60 both become SPCC1.6.
    {"old-format files as the conversion will read them",
     {{"Othmcn.dat",
       "135MC01    MC01.__1    \n135MC02    MC02.__1    \n135        \n136MC03    MC03.__1    \n"},
      {"MC01.__1", "SPCC    1.6  MC01SPCC.CUT\nSPCC    1.60 MC01SPC2.CUT\n"},
      {"MC01SPCC.CUT", GoodTemplate()},
      {"MC02.__1", MaterialRecord("SUS", "MC02-SUS.CUT")},
      {"MC02-SUS.CUT", GoodTemplate()}},
     {{"old-format", "MC01.__1", 1},
      {"template-name-unusual", "MC01.__1", 1},
      {"duplicate-record", "MC01.__1", 2},
      {"old-format", "Othmcn.dat", 1},
      {"old-record-dropped", "Othmcn.dat", 3}}},
    {"marker only on later lines",
     {{"Othmcn.dat", "\n" + kStore}},
     {{"marker-not-first", "Othmcn.dat", 1}}},
    {"material lists, templates and orphans",
     {{"Othmcn.dat", kStore},
      {"MC01.__1", MaterialRecord("SPCC", "MC01-SPCC.CUT") + MaterialRecord("SUS", "MC01-SUS.CUT") +
                       MaterialRecord("AL", "OLD.CUT") +
                       MaterialRecord("CU", std::string(101, 'c')) +
                       MaterialRecord("spcc", "x.CUT")},
      {"MC01-SPCC.CUT", GoodTemplate()},
      {"OLD.CUT", GoodTemplate()},
      {"STRAY.CUT", GoodTemplate()},
      {"OTHER.__1", ""}},
     {{"template-missing", "MC01.__1", 2},
      {"template-name-unusual", "MC01.__1", 3},
      {"record-too-wide", "MC01.__1", 4},
      {"duplicate-record", "MC01.__1", 5},
      {"orphan-list", "OTHER.__1", 0},
      {"orphan-template", "STRAY.CUT", 0}}},
    {"a template as the module writes it",
     {{"Othmcn.dat", kStore},
      {"MC01.__1", MaterialRecord("SPCC", "MC01-SPCC.CUT")},
      {"MC01-SPCC.CUT", GoodTemplate()}},
     {}},
    {"damaged template",
     {{"Othmcn.dat", kStore},
      {"MC01.__1", MaterialRecord("SPCC", "MC01-SPCC.CUT")},
      {"MC01-SPCC.CUT",
       "stray\n"                  // 1 outside any section
       "###NCEND\nM30\n###END\n"  // 2-4
       "###NCSTART\n"             // 5 out of order, not closed
       "###FOO\n"                 // 6 no tag: read as content
       "G00X0(ON)\n"              // 7 marker in a section without one
       "###CUTSTART-K\n"          // 8
       "M103(ON)\nG04(ON)\n"      // 9 own marker; 10 marker on a later line
       "###END\n"                 // 11
       "###NCEND\n"               // 12 again
       "M30"}},                   // 13 no newline, section not closed
     {{"outside-section", "MC01-SPCC.CUT", 1},
      {"tag-order", "MC01-SPCC.CUT", 5},
      {"unclosed-section", "MC01-SPCC.CUT", 5},
      {"unknown-tag", "MC01-SPCC.CUT", 6},
      {"content-marker", "MC01-SPCC.CUT", 7},
      {"content-marker", "MC01-SPCC.CUT", 10},
      {"duplicate-tag", "MC01-SPCC.CUT", 12},
      {"unclosed-section", "MC01-SPCC.CUT", 12},
      {"no-final-newline", "MC01-SPCC.CUT", 13}}},
    {"PDL condition files",
     {{"PDL_CUT_MASTER.ini", DamagedPdlFile()}, {"PDL_CUT_EMPTY_X.ini", ""}},
     {{"section-missing", "PDL_CUT_EMPTY_X.ini", 0},
      {"section-missing", "PDL_CUT_MASTER.ini", 0},
      {"key-missing", "PDL_CUT_MASTER.ini", 1},
      {"not-numeric", "PDL_CUT_MASTER.ini", 2},
      {"trailing-text", "PDL_CUT_MASTER.ini", 3},
      {"unknown-key", "PDL_CUT_MASTER.ini", 4},
      {"key-without-value", "PDL_CUT_MASTER.ini", 5},
      {"unknown-key", "PDL_CUT_MASTER.ini", 6},
      {"duplicate-key", "PDL_CUT_MASTER.ini", 7},
      {"duplicate-key", "PDL_CUT_MASTER.ini", 10}}},
    {"save options and machine type alias",
     {{"PDL_CUT_SAVEOPT.ini", "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=2\nOnOff_SaveOpt_K=x\n"},
      {"PDL_MACTYPE_ALIAS.ini",
       "[MAC_ALIAS]\n13300=60\n013301=61\n13302=abc\n13303=6 1\nfoo=1\n-5=3\n13300=99\n"}},
     {{"key-missing", "PDL_CUT_SAVEOPT.ini", 1},
      {"switch-value", "PDL_CUT_SAVEOPT.ini", 2},
      {"not-numeric", "PDL_CUT_SAVEOPT.ini", 3},
      {"alias-key", "PDL_MACTYPE_ALIAS.ini", 3},
      {"not-numeric", "PDL_MACTYPE_ALIAS.ini", 4},
      {"trailing-text", "PDL_MACTYPE_ALIAS.ini", 5},
      {"alias-key", "PDL_MACTYPE_ALIAS.ini", 6},
      {"duplicate-key", "PDL_MACTYPE_ALIAS.ini", 8}}},
    {"save options and alias without their sections",
     {{"PDL_MACTYPE_ALIAS.ini", "[OTHER]\n1=2\n"}, {"PDL_CUT_SAVEOPT.ini", ""}},
     {{"section-missing", "PDL_CUT_SAVEOPT.ini", 0},
      {"section-missing", "PDL_MACTYPE_ALIAS.ini", 0}}},
    {"machine.ini sections, IDs and flags",
     {{"PDL_CUT_MASTER.ini", PdlFile()},
      {"machine.ini",
       "[Header]\nMachineCount=4\n"  // 1-2
       "[Machine1]\nID=60\nCCUsed=" +
           kFlags + "\nPCUsed=" + kFlags +                        // 3-6
           "\n[Machine2]\nID=60\nCCUsed=1x1\nPCUsed=" + kFlags +  // 7-10
           "1\n[Machine5]\nID=70\n"                               // 11-12
           "[Machine04]\nID=1\n"}},                               // 13-14
     {{"machine-section-missing", "machine.ini", 2},
      {"duplicate-id", "machine.ini", 8},
      {"flags-chars", "machine.ini", 9},
      {"flags-length", "machine.ini", 9},
      {"flags-length", "machine.ini", 10},
      {"machine-section-extra", "machine.ini", 11},
      {"machine-section-name", "machine.ini", 13}}},
    {"machine.ini count not a number",
     {{"PDL_CUT_MASTER.ini", PdlFile()},
      {"machine.ini", "[Header]\nMachineCount=two\n[Machine1]\nCCUsed=1\n"}},
     {{"not-numeric", "machine.ini", 2}, {"machine-section-extra", "machine.ini", 3}}},
    {"machine.ini without flags, section twice",
     {{"PDL_CUT_MASTER.ini", PdlFile()},
      {"machine.ini", "[Machine1]\nID=1\n[Header]\nMachineCount=1\n[Machine1]\nID=2\n"}},
     {{"flags-missing", "machine.ini", 1},
      {"flags-missing", "machine.ini", 1},
      {"duplicate-section", "machine.ini", 5}}},
    {"machine.ini without count",
     {{"PDL_CUT_MASTER.ini", PdlFile()}, {"machine.ini", "[Header]\n"}},
     {{"machine-count", "machine.ini", 0}}},
    {"driver setting files",
     {{"MD_CUT_MC01_SPCC.ini",
       "[MD_CUT_K]\n12_4OnOff=1\n12_4Value1=abc\n7_3Value1=1.5\n7_3OnOff=5\nfoo=1\n"  // 1-6
       "[MD_CUT_Z]\n1_3OnOff=1\n"                                                     // 7-8
       "[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_Q=1\n"                       // 9-11
       "[md_cut_l]\n3_2Value1=1\n3_9OnOff=1\n"},                                      // 12-14
      {"MD_TOOL_MC01_D1.ini", "[MD_TOOL_5]\n1_3Timing=3\n1_3OnOff=-1\n[MD_TOOL_x]\n"},
      {"MD_NC_MC01.ini",
       "1_3OnOff=1\n1_3Value1=12abc\ngarbage\n2_4Value1=x\n" + std::string(300, '9') + "\n"}},
     {{"not-numeric", "MD_CUT_MC01_SPCC.ini", 3},
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
      {"unknown-section", "MD_TOOL_MC01_D1.ini", 4}}},
};

TEST(CheckTest, DamagedFoldersGiveExactlyTheirFindings) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        for (const auto& [name, text] : c.files) WriteFile(dir.Path() / name, text);
        const CheckResult result = CheckDataFolder(CheckOptions{dir.Path(), std::nullopt});
        EXPECT_EQ(Findings(result), c.expected);
        const bool errors =
            std::any_of(result.findings.begin(), result.findings.end(),
                        [](const auto& f) { return f.severity == Severity::Error; });
        EXPECT_EQ(ExitCodeFor(result), errors ? 1 : 0);
    }
}

TEST(CheckTest, StaleWorkingCopyIsAWarningAndMissingFolderCannotBeChecked) {
    TempFolder dir, temp;
    WriteFile(temp.Path() / "PDL_CUT_TEMP.ini", "");
    WriteFile(temp.Path() / "MD_CUT_default.ini", "");  // a current file: fine
    const CheckResult result = CheckDataFolder(CheckOptions{dir.Path(), temp.Path()});
    EXPECT_EQ(Findings(result),
              (std::vector<Found>{{"stale-working-copy", "TEMP/PDL_CUT_TEMP.ini", 0}}));
    EXPECT_EQ(ExitCodeFor(result), 0);

    const CheckResult missing = CheckDataFolder(CheckOptions{dir.Path() / "none", std::nullopt});
    EXPECT_FALSE(missing.readable);
    EXPECT_EQ(ExitCodeFor(missing), 70);
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

TEST(CheckSampleTest, SamplesAreReadOnlyAndTheCleanOneHasNoFindings) {
    for (const bool clean : {true, false}) {
        TempFolder copy;
        fs::copy(std::string(QUILLET_CHECK_DATA) + (clean ? "/clean" : "/damaged"), copy.Path(),
                 fs::copy_options::recursive);
        const auto before = Snapshot(copy.Path());
        const CheckResult result = CheckDataFolder(
            CheckOptions{copy.Path() / "data" / "Othmcn", copy.Path() / "system" / "TEMP"});
        if (clean) {
            for (const auto& f : result.findings)
                ADD_FAILURE() << f.file << ":" << f.line << " " << f.message;
            EXPECT_GE(result.filesChecked, 14);
        }
        EXPECT_EQ(ExitCodeFor(result), clean ? 0 : 1);
        EXPECT_EQ(Snapshot(copy.Path()), before);
    }
}

// The plain report is compared whole in check_cli_test.
TEST(CheckFormatTest, JsonEscapesTextsAndListsNothingAsEmpty) {
    CheckResult result;
    result.readable = true;
    result.filesChecked = 2;
    result.findings = {{Severity::Error, "not-numeric", "a.ini", 3, "say \"x\""},
                       {Severity::Warning, "orphan-list", "b.__1", 0, "never read"}};
    EXPECT_EQ(FormatJson(result),
              "[\n  {\"severity\": \"error\", \"code\": \"not-numeric\", \"file\": \"a.ini\", "
              "\"line\": 3, \"message\": \"say \\\"x\\\"\"},\n"
              "  {\"severity\": \"warning\", \"code\": \"orphan-list\", \"file\": \"b.__1\", "
              "\"line\": 0, \"message\": \"never read\"}\n]\n");
    result.findings.clear();
    EXPECT_EQ(FormatJson(result), "[]\n");
}

}  // namespace
