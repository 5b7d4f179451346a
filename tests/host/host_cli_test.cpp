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
    EXPECT_LE(LineCount(own), 2) << run.err;
    EXPECT_NE(own.find(cause), std::string::npos) << run.err;
}

// The command names listed under "commands:" by quillet-host --help.
std::vector<std::string> CommandNames(const std::string& help) {
    std::vector<std::string> names;
    std::istringstream in(help);
    std::string line;
    while (std::getline(in, line) && line != "commands:") {
    }
    while (std::getline(in, line) && line.rfind("  ", 0) == 0) {
        std::istringstream words(line);
        names.emplace_back();
        words >> names.back();
    }
    return names;
}

TEST(HostCli, EveryCommandHasHelpWithAnExampleAndRefusesBadLinesInOneLine) {
    const ProgramRun run = Host({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("69: a dialog without a"), std::string::npos);
    const std::vector<std::string> names = CommandNames(run.out);
    EXPECT_EQ(names.size(), 23u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const ProgramRun help = Host({"help", name});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.rfind("usage: quillet-host " + name + " ", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("example:\n  quillet-host " + name), std::string::npos);
        const ProgramRun bad = Host({name, "--no-such-option=1"});
        EXPECT_EQ(bad.exitCode, 64);
        EXPECT_EQ(bad.out, "");
        EXPECT_EQ(LineCount(bad.err), 1) << bad.err;
        const ProgramRun json = Host({name, "--json", "--no-such-option"});
        EXPECT_EQ(json.exitCode, 64);
        EXPECT_EQ(Object(json.out).value("status", 0), 64);
    }
}

TEST(HostCli, BadProgramCommandLinesExit64WithOneErrorLine) {
    const Args rows[] = {
        {"no-such-command"},
        {"--no-such-option"},
        {"help", "no-such-command"},
        {"template-path", "--machine", "MC01", "--material", "X"},  // --type missing
        {"template-path", "--type", "x1", "--machine", "MC01", "--material", "X"},
        {"pdl-type", "--type"},  // value missing
        {"pdl-type", "--type", "1", "--json=yes"},
        {"template-cuts", "a", "--path", "b"},
        {"laser-dialog", "--driver", "d", "--machine", "m", "--material", "x", "--condition", "Q"},
        {"pdl-table", "--machine", "m", "--material", "x", "--type", "1", "--table", "K", "--csv",
         "--json"},
        {"demo", "--samples", "/no/such/folder"},
    };
    for (const Args& args : rows) {
        const ProgramRun run = Host(args);
        EXPECT_EQ(run.exitCode, 64) << args.front();
        EXPECT_EQ(LineCount(run.err), 1) << args.front() << ": " << run.err;
    }
    EXPECT_EQ(Host({}).exitCode, 64);  // usage on stdout
    for (const char* flag : {"--version", "-V"}) {
        const ProgramRun version = Host({flag});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out.rfind("quillet-host ", 0), 0u);
    }
}

// A broken installation: the failing export's error line is followed by
// the cause and what to do.
TEST(HostCli, ErrorsNameTheCause) {
    TempInstallation install;
    const std::string root = install.DataRoot();
    const std::string key =
        "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n";
    const Args path = {"template-path", "--type", "130", "--machine", "MC01", "--material", "X"};
    const struct {
        std::string registryBody;  // empty: no registry file at all
        Args args;
        int exitCode;
        std::string cause;
    } rows[] = {
        {"", path, 231, "no registry file " + install.RegistryFile().string() + " (named by"},
        {key, path, 231, "has no string value ParentComputerRoot"},
        {key + "\"ParentComputerRoot\"=\"" + root.substr(0, root.size() - 1) + "\"\n", path, 100,
         "does not end with '/'"},
        {key + "\"ParentComputerRoot\"=\"" + install.SystemRoot() + "\"\n", path, 100,
         "the data folder " + install.SystemRoot() + "data/Othmcn does not exist"},
        {key + "\"ParentComputerRoot\"=\"" + root + "\"\n", path, 100, "Othmcn.dat does not exist"},
        {key + "\"ParentComputerRoot\"=\"" + root + "\"\n",
         {"set-current", "--driver", QUILLET_HOST_PATH, "--machine", "MC01", "--json"},
         1,
         "lists no setting item"},
        {key + "\"ParentComputerRoot\"=\"" + root + "\"\n",
         {"pdl-table", "--machine", "MC01", "--material", "X", "--type", "13300", "--table", "K",
          "--create"},
         255,
         "has no string value VELDSystemRoot"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cause);
        fs::remove(install.RegistryFile());
        if (!row.registryBody.empty()) install.WriteRegistry(row.registryBody);
        ExpectRun(Host(row.args), row.exitCode, row.args.back() == "--json", row.cause);
    }
    // The data folder is there, but a folder stands where the index belongs.
    install.WriteRegistry(key + "\"ParentComputerRoot\"=\"" + root + "\"\n");
    fs::create_directories(install.DataFolder() / "Othmcn.dat");
    Args create = path;
    create.push_back("--create");
    ExpectRun(Host(create), 231, false, "Othmcn.dat is a folder, not a file");
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
    static std::string Driver() { return (Base() / "drivers" / "laser.drv").string(); }
    static Args Pdl(const Args& tail, const std::string& machine = "MC01") {
        Args args = {"pdl-table", "--machine", machine, "--material",
                     "SPCC1.6",   "--type",    "13300", "--table"};
        args.insert(args.end(), tail.begin(), tail.end());
        return args;
    }
    static Args Lookup(const std::string& command, const std::string& machine,
                       const std::string& material) {
        return {command, "--type", "130", "--machine", machine, "--material", material};
    }
    // Runs with the demo's registry, headless, without a job in the
    // environment.
    static ProgramRun Run(const Args& args) {
        return Host(args, {"QUILLET_REGISTRY=" + (Base() / "registry.reg").string(),
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
}

// A UTF-16LE registry file with BOM names the same roots for the host as
// for the module, so the files it lists are those the export wrote.
TEST_F(HostDemo, ReadsAUtf16RegistryFileLikeTheModule) {
    std::string utf16 = "\xFF\xFE";
    for (char c : ReadFile(Base() / "registry.reg")) utf16 += std::string{c, '\0'};
    const fs::path registry = folder_->Path() / "utf16.reg";
    WriteFile(registry, utf16);
    const Args env = {"QUILLET_REGISTRY=" + registry.string()};

    const ProgramRun current = Host(
        {"set-current", "--driver", Driver(), "--machine", "MC01", "--die-layout", "DIE01"}, env);
    EXPECT_EQ(current.exitCode, 0) << current.err;
    EXPECT_NE(current.out.find((Temp() / "MD_TOOL_default.ini").string()), std::string::npos);
    EXPECT_NE(current.out.find((Temp() / "MD_NC_default.ini").string()), std::string::npos);
    EXPECT_EQ(current.out.find("MD_CUT_default.ini"), std::string::npos);

    // Machine ID 60 uses eleven parameters of table K (samples/pdl/machine.ini).
    const ProgramRun table = Host(Pdl({"K", "--used-only"}), env);
    EXPECT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(LineCount(table.out), 2 + 11) << table.out;
}

// Each row runs plain or with --json; the exit code carries the status, a
// likely mistake is refused with exit 1, and failures name their cause.
TEST_F(HostDemo, ExitCodesCarryTheStatusAndFailuresTheirCause) {
    const std::string cut = (Data() / "MC01-SPCC1.6.CUT").string();
    const std::string job = (Base() / "jobs" / "sample.job").string();
    const std::string samples = QUILLET_CHECK_DATA;
    const Args copy = {"pdl-copy", "--from-machine", "MC01", "--from-material",
                       "SPCC1.6",  "--to-machine",   "MC02", "--to-material",
                       "SPCC1.6"};
    Args copyFromMissing = copy;
    copyFromMissing[2] = "MC0";
    const struct {
        Args args;
        int exitCode;
        bool json = false;
        std::string cause = "";
    } rows[] = {
        {Lookup("template-path", "MC01", "SPCC1.6"), 0, true},
        {Lookup("template-path", "MC09", "SPCC1.6"), 100, true, "MC09 of type 130 is not regist"},
        {Lookup("template-path", "MC01", "SS400"), 100, false, "SS400 is not registered for"},
        {{"template-path", "--type", "999", "--machine", "M", "--material", "X"},
         231,
         false,
         "outside 130 to 139"},
        {{"template-path", "--type", "130", "--machine", "MC 1", "--material", "X", "--create"},
         64,
         false,
         "holds a space"},
        {{"template-path", "--type", "130", "--machine", "M", "--material", std::string(51, 'x'),
          "--create"},
         64,
         true,
         "wider than its 50-byte field"},
        {{"template-cuts", cut}, 1, true},
        {{"template-cuts", "--path", (Data() / "none.CUT").string()},
         231,
         false,
         "none.CUT does not exist"},
        {{"templates"}, 0, true},
        {{"templates", "--machine", "MC09"}, 1, false, "is not registered"},
        {Lookup("template-show", "MC01", "SPCC1.6"), 0, true},
        {{"special-sequences", "--driver", Driver(), "--family", "cutting"}, 0, true},
        {{"special-sequences", "--driver", "/no/driver", "--family", "1"}, 1, true},
        {{"set-current", "--driver", Driver(), "--machine", "MC01", "--material", "SPCC1.6"},
         0,
         true},
        {{"set-current", "--driver", "/no/driver", "--machine", "MC01"},
         1,
         false,
         "/no/driver does not exist"},
        {{"set-current", "--driver", "", "--machine", "MC01"}, 254, true},
        {{"generate-nc", "--driver", Driver(), "--job", job, "--target",
          (Base() / "nc" / "json.nc").string()},
         0,
         true},
        {{"generate-nc", "--driver", Driver(), "--job", job, "--target",
          (Base() / "none" / "x.nc").string()},
         1,
         false,
         "none does not exist"},
        {{"generate-nc", "--driver", Driver(), "--job", job, "--target", Base().string()},
         1,
         true,
         "is a folder"},
        {{"generate-nc", "--driver", Driver(), "--target", (Base() / "x.nc").string()},
         2,
         false,
         "no job named"},
        {{"pdl-type", "--type", "13300"}, 0, true},
        {{"pdl-type", "--type", "1"}, 255, false, "has no machine ID for 1"},
        {Pdl({"P101", "--used-only"}), 0, true},
        {Pdl({"l"}, "MC0"), 1, false, "--create to make it from PDL_CUT_MASTER.ini"},
        {Pdl({"Z"}), 254, false},
        {{"pdl-list"}, 0, true},
        {copyFromMissing, 1, false, "--from-master"},
        {copy, 0, true},
        {{"pdl-delete", "--machine", "MC02", "--material", "SPCC1.6"}, 0, true},
        {{"pdl-delete", "--machine", "MC02", "--material", "SPCC1.6"},
         1,
         true,
         "nothing was deleted"},
        {{"pdl-delete", "--machine", "", "--material", "SPCC1.6"}, 254, true},
        {{"nc-dialog", "--driver", Driver(), "--machine", "MC01"}, 69, false, "DISPLAY"},
        {Pdl({"K"}), 0, false},
        {{"pdl-dialog", "--machine", "MC01", "--material", "SPCC1.6", "--type", "13300", "--table",
          "K"},
         69,
         true,
         "QT_QPA_PLATFORM"},
        {{"check"}, 0, true},  // the demo leaves a data folder the audit finds nothing wrong in
        {{"check", "--data-root", samples + "/damaged"}, 1, false},
        {{"check", "--data-root", samples + "/damaged", "--json"}, 1, false},
        {{"check", "--data-root", folder_->Path().string()}, 70, false, "cannot read the data"},
        {{"init", "--data-root", "d", "--system-root", "s", "--registry",
          (Base() / "registry.reg").string()},
         1,
         false,
         "give --replace"},
    };
    for (const auto& row : rows) {
        Args args = row.args;
        if (row.json) args.push_back("--json");
        SCOPED_TRACE(row.args.front() + " " + row.args.back());
        ExpectRun(Run(args), row.exitCode, row.json || args.back() == "--json", row.cause);
    }
    EXPECT_FALSE(fs::exists(Data() / "PDL_CUT_MC02_SPCC1.6.ini"));
    EXPECT_FALSE(fs::exists(Data() / "PDL_CUT_MC0_SPCC1.6.ini"));
}

// Template text and PDL tables make exact round trips through the host:
// print, edit, write back, print again.
TEST_F(HostDemo, TemplateAndCsvRoundTripsAreExact) {
    const fs::path text = folder_->Path() / "template.txt";
    const Args show = Lookup("template-show", "MC01", "SPCC1.6");
    std::string shown = Run(show).out;
    ASSERT_NE(shown.find("O1000"), std::string::npos);
    shown.replace(shown.find("O1000"), 5, "O2000 \x83\x65\x83\x58\x83\x67");  // Shift-JIS bytes
    WriteFile(text, shown);
    Args write = Lookup("template-write", "MC01", "SPCC1.6");
    write.insert(write.end(), {"--file", text.string()});
    EXPECT_EQ(Run(write).exitCode, 0);
    EXPECT_EQ(Run(show).out, shown);
    Args json = show;
    json.push_back("--json");
    EXPECT_NE(Object(Run(json).out)["text"].get<std::string>().find("O2000 テスト"),
              std::string::npos);
    WriteFile(text, "G00 X0\n");  // no tag line: refused, the template stays
    EXPECT_EQ(Run(write).exitCode, 64);
    EXPECT_EQ(Run(show).out, shown);

    // One table written, with the save options asking for the whole group.
    WriteFile(Data() / "PDL_CUT_SAVEOPT.ini",
              "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_K=1\nOnOff_SaveOpt_L=1\n");
    const fs::path file = Data() / "PDL_CUT_MC01_SPCC1.6.ini";
    const std::string before = ReadFile(file);
    std::string csv = Run(Pdl({"K", "--csv"})).out;
    ASSERT_EQ(csv.rfind("slot,key,label,value\n0,Power,", 0), 0u) << csv;
    const std::size_t power = csv.find('\n', csv.find("0,Power,"));
    csv.replace(csv.rfind(',', power) + 1, power - csv.rfind(',', power) - 1, "2150.25");
    WriteFile(folder_->Path() / "k.csv", csv);
    const Args import = {"pdl-import", "--machine", "MC01",
                         "--material", "SPCC1.6",   "--table",
                         "K",          "--csv",     (folder_->Path() / "k.csv").string()};
    EXPECT_EQ(Run(import).exitCode, 0);
    EXPECT_EQ(Run(Pdl({"K", "--csv"})).out, csv);
    const std::string after = ReadFile(file);
    EXPECT_NE(after.find("Power=2150.250000"), std::string::npos);
    EXPECT_EQ(after.substr(after.find("[PDL_CUT_L]")), before.substr(before.find("[PDL_CUT_L]")));
    for (const char* bad : {"key,value\nPower,2,000\n", "key,value\nPowr,1\n", "key,value\n"}) {
        WriteFile(folder_->Path() / "k.csv", bad);
        EXPECT_EQ(Run(import).exitCode, 64) << bad;
    }
    EXPECT_EQ(ReadFile(file), after);
}

// init sets up a workstation a registration can use at once; names that
// are not UTF-8 come out of --json decoded as code page 932.
TEST(HostCli, InitSetsUpAWorkstationAndJsonIsAlwaysUtf8) {
    TempFolder folder;
    const std::string registry = (folder.Path() / "etc" / "registry.reg").string();
    const Args init = {"init",
                       "--data-root",
                       (folder.Path() / "shared").string(),
                       "--system-root",
                       (folder.Path() / "local").string(),
                       "--registry",
                       registry};
    ExpectRun(Host(init), 0, false);
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
    const Args path = {
        "template-path", "--type",  "130",     "--machine", "\x83\x65\x83\x58\x83\x67",
        "--material",    "SPCC1.6", "--create"};
    ExpectRun(Host(path, env), 0, false);
    const Json listing = Object(Host({"templates", "--json"}, env).out);
    EXPECT_EQ(listing["machines"][0]["name"], "テスト");
    EXPECT_EQ(Host({"templates"}, env).out.rfind("130 テスト (material list ", 0), 0u);
}

}  // namespace
