// quillet-host as a program: --help of every command, one-line errors with
// exit code 64 for bad command lines, the demo end to end, the exit codes
// that carry export statuses, and well-formed --json output.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace quillet::testing;
using Args = std::vector<std::string>;

ProgramRun Host(Args args, const Args& env = {}) {
    args.insert(args.begin(), QUILLET_HOST_PATH);
    return RunProgram(args, env);
}

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

bool IsJson(const std::string& text) {
    QJsonParseError error{};
    QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    return error.error == QJsonParseError::NoError;
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

TEST(HostCli, EveryCommandHasHelpAndRejectsBadCommandLinesInOneLine) {
    const ProgramRun run = Host({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("exit status"), std::string::npos);
    const std::vector<std::string> names = CommandNames(run.out);
    for (const char* expected :
         {"template-path", "template-cuts", "template-dialog", "generate-nc", "special-sequences",
          "set-current", "laser-dialog", "tool-dialog", "nc-dialog", "pdl-table", "pdl-copy",
          "pdl-delete", "pdl-type", "pdl-dialog", "demo", "check"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (const Args& args : {Args{name, "--help"}, Args{"help", name}}) {
            const ProgramRun help = Host(args);
            EXPECT_EQ(help.exitCode, 0);
            EXPECT_EQ(help.out.rfind("usage: quillet-host " + name + " ", 0), 0u) << help.out;
            EXPECT_NE(help.out.find("--help"), std::string::npos);
            EXPECT_EQ(help.err, "");
        }
        for (const Args& bad : {Args{name, "--no-such-option"}, Args{name, "--no-such-option=1"},
                                Args{name, "--help=1", "stray", "words"}}) {
            const ProgramRun run = Host(bad);
            EXPECT_EQ(run.exitCode, 64) << bad[1];
            EXPECT_EQ(LineCount(run.err), 1) << run.err;
            EXPECT_EQ(run.err.rfind("quillet-host: ", 0), 0u) << run.err;
            EXPECT_EQ(run.out, "");
        }
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
        {"template-cuts"},
        {"template-cuts", "a", "b"},
        {"template-cuts", "a", "--path", "b"},
        {"laser-dialog", "--driver", "d", "--machine", "m", "--material", "x", "--condition", "Q"},
        {"demo", "--samples", "/no/such/folder"},
    };
    for (const Args& args : rows) {
        const ProgramRun run = Host(args);
        EXPECT_EQ(run.exitCode, 64) << args.front();
        EXPECT_EQ(LineCount(run.err), 1) << args.front() << ": " << run.err;
    }
    EXPECT_EQ(Host({}).exitCode, 64);  // usage on stdout
    const ProgramRun version = Host({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("quillet-host ", 0), 0u);
    EXPECT_EQ(LineCount(version.out), 1);
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
    static Args Pdl(const Args& tail) {
        Args args = {"pdl-table", "--machine", "MC01",  "--material",
                     "SPCC1.6",   "--type",    "13300", "--table"};
        args.insert(args.end(), tail.begin(), tail.end());
        return args;
    }
    static std::string Registry() {
        return "QUILLET_REGISTRY=" + (Base() / "registry.reg").string();
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
    const std::string program = ReadFile(Base() / "nc" / "sample.nc");
    EXPECT_EQ(program.rfind("%\n", 0), 0u);
    EXPECT_NE(program.find("M30"), std::string::npos);
    EXPECT_NE(ReadFile(Base() / "registry.reg").find(Base().string() + "/data/"),
              std::string::npos);
    for (const char* text : {"[install]", "[template]", "[current]", "[nc]", "[pdl]",
                             "machine ID 60", "Power", "QUILLET_REGISTRY"}) {
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
    EXPECT_NE(current.out.find((Temp() / "MD_TOOL_default.ini").string()), std::string::npos)
        << current.out;
    EXPECT_NE(current.out.find((Temp() / "MD_NC_default.ini").string()), std::string::npos);
    EXPECT_EQ(current.out.find("MD_CUT_default.ini"), std::string::npos);

    // Machine ID 60 uses eleven parameters of table K (samples/pdl/machine.ini).
    const ProgramRun table = Host(Pdl({"K", "--used-only"}), env);
    EXPECT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(LineCount(table.out), 2 + 11) << table.out;
}

// --json rows print one JSON document; the others fail with one error line
// and nothing on stdout. Both carry the export status in the exit code.
TEST_F(HostDemo, ExitCodesCarryTheStatusAndJsonIsWellFormed) {
    const std::string cut = (Data() / "MC01-SPCC1.6.CUT").string();
    const struct {
        Args args;
        int exitCode;
        bool json = true;
    } rows[] = {
        {{"template-path", "--type", "130", "--machine", "MC01", "--material", "SPCC1.6"}, 0},
        {{"template-path", "--type", "130", "--machine", "MC09", "--material", "SPCC1.6"}, 100},
        {{"template-cuts", cut}, 1},
        {{"template-cuts", "--path", (Data() / "none.CUT").string()}, 231},
        {{"special-sequences", "--driver", Driver(), "--family", "cutting"}, 0},
        {{"special-sequences", "--driver", Driver(), "--family", "7"}, 0},
        {{"set-current", "--driver", Driver(), "--machine", "MC01", "--material", "SPCC1.6"}, 0},
        {{"set-current", "--driver", "", "--machine", "MC01"}, 254},
        {{"generate-nc", "--driver", Driver(), "--job", (Base() / "jobs" / "sample.job").string(),
          "--target", (Base() / "nc" / "json.nc").string()},
         0},
        {{"pdl-type", "--type", "13300"}, 0},
        {{"pdl-type", "--type", "1"}, 255},
        {Pdl({"P101", "--used-only"}), 0},
        {Pdl({"l"}), 0},
        {{"pdl-copy", "--from-machine", "MC01", "--from-material", "SPCC1.6", "--to-machine",
          "MC02", "--to-material", "SPCC1.6"},
         0},
        {{"pdl-delete", "--machine", "MC02", "--material", "SPCC1.6"}, 0},
        {{"pdl-delete", "--machine", "", "--material", "SPCC1.6"}, 254},
        {{"check"}, 0},  // the demo leaves a data folder the audit finds nothing wrong with
        {{"template-path", "--type", "999", "--machine", "MC01", "--material", "SPCC1.6"},
         231,
         false},
        {{"template-cuts", (Data() / "none.CUT").string()}, 231, false},
        {{"generate-nc", "--driver", Driver(), "--target", (Base() / "x.nc").string()}, 2, false},
        {{"pdl-type", "--type", "1"}, 255, false},
        {Pdl({"Z"}), 254, false},
    };
    for (const auto& row : rows) {
        Args args = row.args;
        if (row.json) args.push_back("--json");
        // generate-nc without --job must not find a job in the environment;
        // headless, the module's own messages go to stderr instead of a box.
        const ProgramRun run = Host(
            args, {Registry(), "QUILLET_JOB=", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
        SCOPED_TRACE(row.args.front() + " " + row.args.back());
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        if (row.json) {
            EXPECT_TRUE(IsJson(run.out)) << run.out;
        } else {
            EXPECT_EQ(run.out, "");
            const std::string own =
                run.err.substr(std::min(run.err.size(), run.err.find("quillet-host:")));
            EXPECT_EQ(LineCount(own), 1) << run.err;
        }
    }
    EXPECT_TRUE(fs::exists(Base() / "nc" / "json.nc"));
    EXPECT_FALSE(fs::exists(Data() / "PDL_CUT_MC02_SPCC1.6.ini"));
}

}  // namespace
