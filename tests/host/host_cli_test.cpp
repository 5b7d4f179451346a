// quillet-host as administrators run it: the built program is spawned with
// its command lines; exit codes, the one-line errors with their cause, the
// one JSON object per command, the round trips of templates and tables, the
// set-up of a workstation and the demo end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace quillet::testing;
using Args = std::vector<std::string>;
using Json = nlohmann::json;

ProgramRun Host(Args args, const Args& env = {}) {
    args.insert(args.begin(), QUILLET_HOST_PATH);
    return RunProgram(args, env);
}

// A command line written as one text: words split at spaces, '~' stands for
// a space inside a word, and each {name} of places for its value.
Args Words(const std::string& line,
           const std::vector<std::pair<std::string, std::string>>& places) {
    Args words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        std::replace(word.begin(), word.end(), '~', ' ');
        for (const auto& [name, value] : places) {
            for (std::size_t at; (at = word.find("{" + name + "}")) != std::string::npos;) {
                word.replace(at, name.size() + 2, value);
            }
        }
        words.push_back(word);
    }
    return words;
}

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The one JSON object a --json run prints (invalid UTF-8 fails to parse).
Json Object(const std::string& text) {
    const Json value = Json::parse(text, nullptr, false);
    EXPECT_TRUE(value.is_object() && value.contains("status")) << text;
    return value;
}

// Checks a run against its expected exit code: --json prints one object; a
// failure with a cause prints nothing on stdout and an error line, with at
// most one line more for the cause; cause stands in them.
void ExpectRun(const ProgramRun& run, int exitCode, bool json, const std::string& cause = "") {
    EXPECT_EQ(run.exitCode, exitCode) << run.out << run.err;
    if (json) {
        const Json value = Object(run.out);
        EXPECT_TRUE(cause.empty() || value.contains("error")) << run.out;
    } else if (!cause.empty()) {
        EXPECT_EQ(run.out, "");
    }
    if (cause.empty()) return;
    const std::string own = run.err.substr(std::min(run.err.size(), run.err.find("quillet-host:")));
    EXPECT_LE(LineCount(own), exitCode == 64 ? 1 : 2) << run.err;
    EXPECT_NE(own.find(cause), std::string::npos) << run.err;
}

// Every command has help with an example and refuses a bad line with exit
// 64, one error line and, with --json, one object (more bad lines are rows
// of data/exit_codes.txt).
TEST(HostCli, HelpForEveryCommandAndBadCommandLinesExit64InOneLine) {
    const ProgramRun run = Host({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("69: a dialog without a"), std::string::npos);
    std::istringstream help(run.out.substr(run.out.find("commands:\n") + 10));
    int commands = 0;
    for (std::string line; std::getline(help, line) && line.rfind("  ", 0) == 0; ++commands) {
        const std::string name = Words(line, {}).front();
        SCOPED_TRACE(name);
        const ProgramRun usage = Host({"help", name});
        EXPECT_EQ(usage.exitCode, 0);
        EXPECT_EQ(usage.out.rfind("usage: quillet-host " + name + " ", 0), 0u) << usage.out;
        EXPECT_NE(usage.out.find("example:\n  quillet-host " + name), std::string::npos);
        const ProgramRun bad = Host({name, "--json", "--no-such-option"});
        EXPECT_EQ(bad.exitCode, 64);
        EXPECT_EQ(Object(bad.out).value("status", 0), 64);
        EXPECT_EQ(LineCount(bad.err), 1) << bad.err;
    }
    EXPECT_EQ(commands, 23);
    EXPECT_EQ(Host({}).exitCode, 64);  // usage on stdout
    for (const char* flag : {"--version", "-V"}) {
        EXPECT_EQ(Host({flag}).out.rfind("quillet-host ", 0), 0u);
    }
}

// A broken installation: the failing export's error line is followed by
// the cause and what to do.
TEST(HostCli, ErrorsNameTheCause) {
    TempInstallation install;
    const std::string root = install.DataRoot();
    const std::string key =
        "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n";
    const std::string path = "template-path --type 130 --machine MC01 --material X";
    auto data = [&](const std::string& value) {
        return key + "\"ParentComputerRoot\"=\"" + value + "\"\n";
    };
    const struct {
        std::string registryBody;  // empty: no registry file at all
        std::string line;
        int exitCode;
        std::string cause;
    } rows[] = {
        {"", path, 231, "no registry file " + install.RegistryFile().string() + " (named by"},
        {key, path, 231, "has no string value ParentComputerRoot"},
        {data(root.substr(0, root.size() - 1)), path, 100, "does not end with '/'"},
        {data(install.SystemRoot()), path, 100,
         "the data folder " + install.SystemRoot() + "data/Othmcn does not exist"},
        {data(root), path, 100, "Othmcn.dat does not exist"},
        {data(root), "set-current --driver {host} --machine MC01 --json", 1,
         "lists no setting item"},
        {data(root), "pdl-table --machine MC01 --material X --type 13300 --table K --create", 255,
         "has no string value VELDSystemRoot"},
        {data(root), path + " --create", 231, "Othmcn.dat is a folder, not a file"},
        // Listings of a data folder that is not there fail with the cause.
        {data(root.substr(0, root.size() - 1)), "templates", 100, "does not end with '/'"},
        {data(root + "none/"), "pdl-list --json", 255, "correct ParentComputerRoot in"},
        {data(install.SystemRoot()), "templates", 100, "or mount the share"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cause);
        fs::remove(install.RegistryFile());
        if (!row.registryBody.empty()) install.WriteRegistry(row.registryBody);
        // The row of --create: a folder stands where the index belongs.
        if (row.exitCode == 231 && row.line != path) {
            fs::create_directories(install.DataFolder() / "Othmcn.dat");
        }
        const Args args = Words(row.line, {{"host", QUILLET_HOST_PATH}});
        ExpectRun(Host(args), row.exitCode, args.back() == "--json", row.cause);
    }
}

// One demo installation shared by the tests that use it.
class HostDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder();
        demo_ = new ProgramRun(Host({"demo", "--dir", Base().string()}));
        demoFiles_ = new std::set<fs::path>();  // the files as the demo left them
        for (const auto& entry : fs::recursive_directory_iterator(Base())) {
            if (entry.is_regular_file()) demoFiles_->insert(entry.path());
        }
    }
    static void TearDownTestSuite() {
        delete demoFiles_;
        delete demo_;
        delete folder_;
    }
    void SetUp() override { ASSERT_EQ(demo_->exitCode, 0) << demo_->out << demo_->err; }
    static fs::path Base() { return folder_->Path() / "inst"; }
    static fs::path Data() { return Base() / "data" / "data" / "Othmcn"; }
    static fs::path Temp() { return Base() / "system" / "TEMP"; }
    // A command line with the demo's places: {base}, {data}, {driver},
    // {job}, {samples} (the check fixtures), {scratch}; {pdl} begins
    // pdl-table of MC01 / SPCC1.6, machine type 13300.
    static Args Line(const std::string& line) {
        std::string text = line;
        if (text.rfind("{pdl}", 0) == 0) {
            text.replace(0, 5, "pdl-table --machine MC01 --material SPCC1.6 --type 13300 --table");
        }
        return Words(text, {{"base", Base().string()},
                            {"data", Data().string()},
                            {"driver", (Base() / "drivers" / "laser.drv").string()},
                            {"job", (Base() / "jobs" / "sample.job").string()},
                            {"samples", QUILLET_CHECK_DATA},
                            {"scratch", folder_->Path().string()}});
    }
    // Runs with the demo's registry, headless, without a job in the
    // environment.
    static ProgramRun Run(const std::string& line) {
        return Host(Line(line), {"QUILLET_REGISTRY=" + (Base() / "registry.reg").string(),
                                 "QUILLET_JOB=", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
    }

    static TempFolder* folder_;
    static ProgramRun* demo_;
    static std::set<fs::path>* demoFiles_;
};
TempFolder* HostDemo::folder_ = nullptr;
ProgramRun* HostDemo::demo_ = nullptr;
std::set<fs::path>* HostDemo::demoFiles_ = nullptr;

TEST_F(HostDemo, RunsEndToEndAndAgainOverItsOwnInstallation) {
    EXPECT_EQ(demo_->err, "");
    for (const fs::path& file :
         {Base() / "registry.reg", Data() / "Othmcn.dat", Data() / "MC01.__1",
          Data() / "MC01-SPCC1.6.CUT", Data() / "PDL_CUT_MASTER.ini", Data() / "machine.ini",
          Data() / "PDL_MACTYPE_ALIAS.ini", Data() / "PDL_CUT_MC01_SPCC1.6.ini",
          Temp() / "MD_CUT_default.ini", Temp() / "MD_TOOL_default.ini",
          Temp() / "MD_NC_default.ini", Base() / "nc" / "sample.nc"}) {
        EXPECT_EQ(demoFiles_->count(file), 1u) << file;
    }
    // Working copies exist only during one operation.
    for (const char* name :
         {"PDL_CUT_TEMP.ini", "MD_CUT_TEMP.ini", "MD_TOOL_TEMP.ini", "MD_NC_TEMP.ini"}) {
        EXPECT_EQ(demoFiles_->count(Temp() / name), 0u) << name;
    }
    EXPECT_NE(ReadFile(Base() / "nc" / "sample.nc").find("M30"), std::string::npos);
    for (const char* text : {"[install]", "[template]", "[current]", "[nc]", "[pdl]",
                             "machine ID 60", "Power", QUILLET_HOST_PATH " templates"}) {
        EXPECT_NE(demo_->out.find(text), std::string::npos) << text;
    }
    const ProgramRun again = Host({"demo", "--dir", Base().string()});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("kept the existing template"), std::string::npos);
    const ProgramRun pdlDemo = Host({"pdl-demo"});
    EXPECT_EQ(pdlDemo.exitCode, 0) << pdlDemo.err;
    EXPECT_EQ(LineCount(pdlDemo.out), 2 + 11) << pdlDemo.out;
}

// A UTF-16LE registry file with BOM names the same roots for the host as
// for the module, so the files it lists are those the export wrote.
TEST_F(HostDemo, ReadsAUtf16RegistryFileLikeTheModule) {
    std::string utf16 = "\xFF\xFE";
    for (char c : ReadFile(Base() / "registry.reg")) utf16 += std::string{c, '\0'};
    const fs::path registry = folder_->Path() / "utf16.reg";
    WriteFile(registry, utf16);
    const Args env = {"QUILLET_REGISTRY=" + registry.string()};
    const ProgramRun current =
        Host(Line("set-current --driver {driver} --machine MC01 --die-layout DIE01"), env);
    EXPECT_EQ(current.exitCode, 0) << current.err;
    EXPECT_NE(current.out.find((Temp() / "MD_TOOL_default.ini").string()), std::string::npos);
    EXPECT_NE(current.out.find((Temp() / "MD_NC_default.ini").string()), std::string::npos);
    EXPECT_EQ(current.out.find("MD_CUT_default.ini"), std::string::npos);
    EXPECT_NE(current.out.find("no saved settings MD_TOOL_MC01_DIE01.ini"), std::string::npos);
    // Machine ID 60 uses eleven parameters of table K (samples/pdl/machine.ini).
    const ProgramRun table = Host(Line("{pdl} K --used-only"), env);
    EXPECT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(LineCount(table.out), 2 + 11) << table.out;
}

// Each row of data/exit_codes.txt: the exit code carries the status, a
// likely mistake is refused with exit 1, and failures name their cause.
TEST_F(HostDemo, ExitCodesCarryTheStatusAndFailuresTheirCause) {
    for (const auto& row : FixtureRows(QUILLET_HOST_DATA "/exit_codes.txt")) {
        SCOPED_TRACE(row[0]);
        ExpectRun(Run(row[0]), std::stoi(row[1]), row[0].ends_with("--json"),
                  row.size() > 2 ? row[2] : "");
    }
    EXPECT_FALSE(fs::exists(Data() / "PDL_CUT_MC02_SPCC1.6.ini"));
    EXPECT_FALSE(fs::exists(Data() / "PDL_CUT_MC0_SPCC1.6.ini"));
    // The files a command touched, by their full paths.
    const Json copied = Object(Run("pdl-copy --from-machine MC03 --from-material X --to-machine "
                                   "MC04 --to-material X --from-master --json")
                                   .out);
    EXPECT_EQ(copied["created"][0], (Data() / "PDL_CUT_MC03_X.ini").string());
    EXPECT_EQ(copied["to"], (Data() / "PDL_CUT_MC04_X.ini").string());
    EXPECT_EQ(Object(Run("pdl-delete --machine MC04 --material X --json").out)["deleted"],
              copied["to"]);
    EXPECT_EQ(Object(Run("pdl-list --json").out)["files"][0]["file"],
              (Data() / "PDL_CUT_MC01_SPCC1.6.ini").string());
    fs::remove(Data() / "PDL_CUT_MC03_X.ini");
    // A display that cannot be reached is no display, for every dialog.
    for (const char* dialog :
         {"template-dialog --type 130 --machine MC01 --material SPCC1.6",
          "laser-dialog --driver {driver} --machine MC01 --material SPCC1.6 "
          "--condition K",
          "pdl-dialog --machine MC01 --material SPCC1.6 --type 13300 --table K"}) {
        ExpectRun(Host(Line(dialog), {"QUILLET_REGISTRY=" + (Base() / "registry.reg").string(),
                                      "DISPLAY=:93", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY"}),
                  69, false, "display :93 cannot be reached");
    }
}

// Template text and PDL tables make exact round trips through the host:
// print, edit, write back, print again; what the formats cannot keep is
// refused, naming the line.
TEST_F(HostDemo, TemplateAndCsvRoundTripsAreExact) {
    const fs::path text = folder_->Path() / "template.txt";
    const std::string pair = " --type 130 --machine MC01 --material SPCC1.6";
    std::string shown = Run("template-show" + pair).out;
    ASSERT_NE(shown.find("O1000"), std::string::npos);
    shown.replace(shown.find("O1000"), 5, "O2000 テスト");  // UTF-8, stored as CP932
    WriteFile(text, shown);
    const std::string write = "template-write" + pair + " --file " + text.string();
    EXPECT_EQ(Run(write).exitCode, 0);
    EXPECT_NE(ReadFile(Data() / "MC01-SPCC1.6.CUT").find("O2000 \x83\x65\x83\x58\x83\x67"),
              std::string::npos);
    EXPECT_EQ(Run("template-show" + pair).out, shown);
    EXPECT_NE(Object(Run("template-show" + pair + " --json").out)["text"].get<std::string>().find(
                  "O2000 テスト"),
              std::string::npos);
    for (const auto& [bad, cause] : std::vector<std::pair<std::string, std::string>>{
             {"G00 X0\n", "holds no ### tag line"},
             {"###NCSTART\nM05 (OFF) laser off first\n###END\n", "line 2 holds '(OFF)'"},
             {"###CUTCOND-K\nE1 (CUT-K) extra\n###END\n", "line 2 holds '(CUT-K)'"},
             {"###NCSTART\nG00\n###END\nM30\n", "line 4 stands outside any section"},
             {"###NCSTART\n" + std::string(500, 'X') + "\n###END\n", "longer than 499 bytes"},
             {"###NCSTART\nO1 😀\n###END\n", "line 2 holds '😀' (U+1F600)"}}) {
        WriteFile(text, bad);
        ExpectRun(Run(write), 64, false, cause);
    }
    EXPECT_EQ(Run("template-show" + pair).out, shown);
    // A pair registered without its template gets it written.
    EXPECT_EQ(Run("template-path --type 130 --machine MC01 --material AL2.0 --create").exitCode, 0);
    WriteFile(text, shown);
    EXPECT_EQ(
        Run("template-write --type 130 --machine MC01 --material AL2.0 --file " + text.string())
            .exitCode,
        0);
    EXPECT_EQ(Run("template-show --type 130 --machine MC01 --material AL2.0").out, shown);

    // One table written, with the save options asking for the whole group.
    WriteFile(Data() / "PDL_CUT_SAVEOPT.ini",
              "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_K=1\nOnOff_SaveOpt_L=1\n");
    const fs::path file = Data() / "PDL_CUT_MC01_SPCC1.6.ini";
    const std::string before = ReadFile(file);
    std::string csv = Run("{pdl} K --csv").out;
    ASSERT_EQ(csv.rfind("slot,key,label,value\n0,Power,", 0), 0u) << csv;
    const std::size_t power = csv.find('\n', csv.find("0,Power,"));
    csv.replace(csv.rfind(',', power) + 1, power - csv.rfind(',', power) - 1, "2150.25");
    WriteFile(folder_->Path() / "k.csv", csv);
    const std::string import =
        "pdl-import --machine MC01 --material SPCC1.6 --table K --csv {scratch}/k.csv";
    EXPECT_EQ(Run(import).exitCode, 0);
    EXPECT_EQ(Run("{pdl} K --csv").out, csv);
    EXPECT_NE(Run(import).out.find("nothing changed"), std::string::npos);
    const std::string after = ReadFile(file);
    EXPECT_NE(after.find("Power=2150.250000"), std::string::npos);
    EXPECT_EQ(after.substr(after.find("[PDL_CUT_L]")), before.substr(before.find("[PDL_CUT_L]")));
    for (const auto& [bad, cause] : std::vector<std::pair<std::string, std::string>>{
             {"key,value\nPower,2,000\n", "use a point as the decimal mark"},
             {"Key;Value\nPower;0,9\n", "Power=0,9 is written with a decimal comma"},
             {"key,value\nPowr,1\n", "'Powr' is no parameter key"},
             {"key,value\nPower,inf\n", ":2: Power=inf is no finite number"},
             {"key,value\nPower,nan\n", "Power=nan is no finite number"},
             {"key,value\nPower,1e40\n", "beyond what the table's float holds"},
             {"key,value\n", "holds no value rows"},
             {"slot key value\n", "names no key and value columns"}}) {
        WriteFile(folder_->Path() / "k.csv", bad);
        ExpectRun(Run(import), 64, false, cause);
    }
    EXPECT_EQ(ReadFile(file), after);
    // Spreadsheets' forms: a separator of their own, a header in any case,
    // empty rows, CR line ends, UTF-16 with its mark; a value the float
    // changes is warned of.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("key,value\r\nPower,1000\r\n")) utf16 += std::string{c, '\0'};
    for (const auto& [good, value] : std::vector<std::pair<std::string, std::string>>{
             {"Slot;Key;Label;Value\n0;Power;x;2100.5\n;;;\n", "2100.5"},
             {"KEY\tVALUE\rPower\t2000\r", "2000"},
             {utf16, "1000"},
             {"key,value\nPower,123456789.123\n", "123456792"}}) {
        WriteFile(folder_->Path() / "k.csv", good);
        const ProgramRun run = Run(import);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err.find("warning") != std::string::npos, value == "123456792") << run.err;
        const std::string table = Run("{pdl} K --csv").out;
        const std::size_t end = table.find('\n', table.find("\n0,Power,") + 1);
        EXPECT_EQ(table.substr(table.rfind(',', end) + 1, end - table.rfind(',', end) - 1), value);
    }
}

// init sets up a workstation a registration can use at once; names that
// are not UTF-8 come out of --json decoded as code page 932.
TEST(HostCli, InitSetsUpAWorkstationAndJsonIsAlwaysUtf8) {
    TempFolder folder;
    const std::string registry = (folder.Path() / "etc" / "registry.reg").string();
    const Args init =
        Words("init --data-root {f}/shared --system-root {f}/local --registry " + registry,
              {{"f", folder.Path().string()}});
    EXPECT_NE(Host(init).out.find("(new: created empty)"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(folder.Path() / "shared" / "data" / "Othmcn"));
    EXPECT_TRUE(fs::is_directory(folder.Path() / "local" / "TEMP"));
    EXPECT_NE(ReadFile(registry).find("\"VELDSystemRoot\"=\"" + (folder.Path() / "local").string() +
                                      "/\""),
              std::string::npos);
    ExpectRun(Host(init), 1, false, "exists already");
    Args replace = init;
    replace.insert(replace.end(), {"--replace", "--json"});
    ExpectRun(Host(replace), 0, true);

    const Args env = {"QUILLET_REGISTRY=" + registry};
    ExpectRun(Host(Words("template-path --type 130 --machine \x83\x65\x83\x58\x83\x67 --material "
                         "SPCC1.6 --create",
                         {}),
                   env),
              0, false);
    // Typed in UTF-8, the name Windows wrote in CP932 is found in that
    // form, and a registration does not make a second record of it.
    const Args typed = {"template-path", "--type", "130",      "--machine", "テスト",
                        "--material",    "鉄",     "--create", "--json"};
    const Json path = Object(Host(typed, env).out);
    EXPECT_EQ(path["nameForms"]["machine"], "CP932");
    EXPECT_EQ(path["nameForms"]["material"], "CP932");
    EXPECT_EQ(Host(typed, env).exitCode, 0);
    const Json listing = Object(Host({"templates", "--json", "--machine", "テスト"}, env).out);
    ASSERT_EQ(listing["machines"].size(), 1u);
    EXPECT_EQ(listing["machines"][0]["name"], "テスト");
    EXPECT_EQ(listing["machines"][0]["materials"].size(), 2u);
    EXPECT_EQ(Host({"templates"}, env).out.rfind("130 テスト (material list ", 0), 0u);
    Args second = init;
    second.back() = (folder.Path() / "second.reg").string();
    EXPECT_NE(Host(second).out.find("(existing: 1 machine, 2 materials, 0 condition files)"),
              std::string::npos);
}

}  // namespace
