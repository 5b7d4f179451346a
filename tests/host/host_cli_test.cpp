// quillet-host as a program: --help of every command, one-line errors with
// exit code 64 for bad command lines, the demo end to end, the exit codes
// that carry export statuses, and well-formed --json output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_install.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using quillet::testing::ReadFile;
using quillet::testing::TempFolder;

struct HostRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs quillet-host with the arguments; `env` entries NAME=VALUE replace or
// add to this process's environment, a bare NAME removes the variable.
HostRun RunHost(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    TempFolder scratch;
    const fs::path outPath = scratch.Path() / "out";
    const fs::path errPath = scratch.Path() / "err";
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(env.begin(), env.end(), [&](const std::string& r) {
            return r.substr(0, r.find('=')) == name;
        });
        if (!replaced) environment.push_back(entry);
    }
    for (const std::string& e : env) {
        if (e.find('=') != std::string::npos) environment.push_back(e);
    }
    std::vector<std::string> words = {QUILLET_HOST_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) _exit(126);
        dup2(out, 1);
        dup2(err, 2);
        dup2(in, 0);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    HostRun run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The command names listed by quillet-host --help.
std::vector<std::string> CommandNames() {
    const HostRun run = RunHost({"--help"});
    std::vector<std::string> names;
    std::istringstream in(run.out);
    bool inList = false;
    for (std::string line; std::getline(in, line);) {
        if (line == "commands:") {
            inList = true;
        } else if (inList && line.rfind("  ", 0) == 0) {
            std::istringstream words(line);
            std::string name;
            words >> name;
            names.push_back(name);
        } else if (inList) {
            break;
        }
    }
    return names;
}

bool IsJson(const std::string& text) {
    QJsonParseError error{};
    QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    return error.error == QJsonParseError::NoError;
}

TEST(HostCli, ProgramHelpListsEveryCommandAndTheExitCodeRule) {
    const HostRun run = RunHost({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("exit status"), std::string::npos);
    const std::vector<std::string> names = CommandNames();
    for (const char* expected :
         {"template-path", "template-cuts", "template-dialog", "generate-nc", "special-sequences",
          "set-current", "laser-dialog", "tool-dialog", "nc-dialog", "pdl-table", "pdl-copy",
          "pdl-delete", "pdl-type", "pdl-dialog", "demo", "check"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
}

TEST(HostCli, EveryCommandHasHelpAndRejectsBadCommandLinesInOneLine) {
    const std::vector<std::string> names = CommandNames();
    ASSERT_GE(names.size(), 16u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (const std::vector<std::string>& helpArgs :
             {std::vector<std::string>{name, "--help"}, std::vector<std::string>{"help", name}}) {
            const HostRun help = RunHost(helpArgs);
            EXPECT_EQ(help.exitCode, 0);
            EXPECT_EQ(help.out.rfind("usage: quillet-host " + name + " ", 0), 0u) << help.out;
            EXPECT_NE(help.out.find("--help"), std::string::npos);
            EXPECT_EQ(help.err, "");
        }
        for (const std::vector<std::string>& bad :
             {std::vector<std::string>{name, "--no-such-option"},
              std::vector<std::string>{name, "--no-such-option=1"},
              std::vector<std::string>{name, "--help=1", "stray", "words"}}) {
            const HostRun run = RunHost(bad);
            EXPECT_EQ(run.exitCode, 64) << bad[1];
            EXPECT_EQ(LineCount(run.err), 1) << run.err;
            EXPECT_EQ(run.err.rfind("quillet-host: ", 0), 0u) << run.err;
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST(HostCli, BadProgramCommandLinesExit64) {
    struct Row {
        std::vector<std::string> args;
        bool oneErrorLine;
    };
    const Row rows[] = {
        {{}, false},  // usage on stdout
        {{"no-such-command"}, true},
        {{"--no-such-option"}, true},
        {{"help", "no-such-command"}, true},
        {{"template-path", "--machine", "MC01", "--material", "X"}, true},  // --type missing
        {{"template-path", "--type", "x1", "--machine", "MC01", "--material", "X"}, true},
        {{"pdl-type", "--type"}, true},  // value missing
        {{"pdl-type", "--type", "1", "--json=yes"}, true},
        {{"template-cuts"}, true},
        {{"template-cuts", "a", "b"}, true},
        {{"template-cuts", "a", "--path", "b"}, true},
        {{"laser-dialog", "--driver", "d", "--machine", "m", "--material", "x", "--condition", "Q"},
         true},
        {{"demo", "--samples", "/no/such/folder"}, true},
    };
    for (const Row& row : rows) {
        const HostRun run = RunHost(row.args);
        SCOPED_TRACE(row.args.empty() ? "(none)" : row.args.front());
        EXPECT_EQ(run.exitCode, 64);
        if (row.oneErrorLine) {
            EXPECT_EQ(LineCount(run.err), 1) << run.err;
        }
    }
}

TEST(HostCli, VersionPrintsOneLine) {
    const HostRun run = RunHost({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("quillet-host ", 0), 0u);
    EXPECT_EQ(LineCount(run.out), 1);
}

// One demo installation shared by the tests that use it.
class HostDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder();
        demo_ = new HostRun(RunHost({"demo", "--dir", (folder_->Path() / "inst").string()}));
        // The files as the demo left them; other tests go on with the
        // installation.
        demoFiles_ = new std::set<fs::path>();
        for (const auto& entry : fs::recursive_directory_iterator(Base())) {
            if (entry.is_regular_file()) demoFiles_->insert(entry.path());
        }
    }
    static void TearDownTestSuite() {
        delete demoFiles_;
        delete demo_;
        delete folder_;
    }
    static fs::path Base() { return folder_->Path() / "inst"; }
    static fs::path Data() { return Base() / "data" / "data" / "Othmcn"; }
    static fs::path Temp() { return Base() / "system" / "TEMP"; }
    static std::string Driver() { return (Base() / "drivers" / "laser.drv").string(); }
    static HostRun Host(const std::vector<std::string>& args) {
        return RunHost(args, {"QUILLET_REGISTRY=" + (Base() / "registry.reg").string()});
    }

    static TempFolder* folder_;
    static HostRun* demo_;
    static std::set<fs::path>* demoFiles_;
};
TempFolder* HostDemo::folder_ = nullptr;
HostRun* HostDemo::demo_ = nullptr;
std::set<fs::path>* HostDemo::demoFiles_ = nullptr;

TEST_F(HostDemo, RunsEndToEndAndLeavesTheInstallationFiles) {
    ASSERT_EQ(demo_->exitCode, 0) << demo_->out << demo_->err;
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
    // Each step names what it did; the laser table is printed.
    for (const char* text : {"[install]", "[template]", "[current]", "[nc]", "[pdl]",
                             "machine ID 60", "Power", "QUILLET_REGISTRY"}) {
        EXPECT_NE(demo_->out.find(text), std::string::npos) << text;
    }
}

TEST_F(HostDemo, RunsAgainOverItsOwnInstallation) {
    ASSERT_EQ(demo_->exitCode, 0);
    const HostRun again = RunHost({"demo", "--dir", Base().string()});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("kept the existing template"), std::string::npos);
}

TEST_F(HostDemo, JsonOutputsAreWellFormed) {
    ASSERT_EQ(demo_->exitCode, 0);
    struct Row {
        std::vector<std::string> args;
        int exitCode;
    };
    const std::string cut = (Data() / "MC01-SPCC1.6.CUT").string();
    const Row rows[] = {
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
        {{"pdl-table", "--machine", "MC01", "--material", "SPCC1.6", "--type", "13300", "--table",
          "P101", "--used-only"},
         0},
        {{"pdl-table", "--machine", "MC01", "--material", "SPCC1.6", "--type", "13300", "--table",
          "l"},
         0},
        {{"pdl-copy", "--from-machine", "MC01", "--from-material", "SPCC1.6", "--to-machine",
          "MC02", "--to-material", "SPCC1.6"},
         0},
        {{"pdl-delete", "--machine", "MC02", "--material", "SPCC1.6"}, 0},
        {{"pdl-delete", "--machine", "", "--material", "SPCC1.6"}, 254},
        // The demo leaves a data folder the audit finds nothing wrong with.
        {{"check"}, 0},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = row.args;
        args.push_back("--json");
        const HostRun run = Host(args);
        SCOPED_TRACE(row.args.front() + " " + row.args.back());
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        EXPECT_TRUE(IsJson(run.out)) << run.out;
    }
    EXPECT_TRUE(fs::exists(Base() / "nc" / "json.nc"));
    EXPECT_FALSE(fs::exists(Data() / "PDL_CUT_MC02_SPCC1.6.ini"));
}

// The host reads the registry file as the module does: a UTF-16LE file with
// BOM names the same roots, so the files it lists are those the export wrote.
TEST_F(HostDemo, ReadsAUtf16RegistryFileLikeTheModule) {
    ASSERT_EQ(demo_->exitCode, 0);
    const std::string utf8 = ReadFile(Base() / "registry.reg");
    std::string utf16 = "\xFF\xFE";
    for (char c : utf8) {
        utf16 += c;
        utf16 += '\0';
    }
    const fs::path registry = folder_->Path() / "utf16.reg";
    quillet::testing::WriteFile(registry, utf16);
    const std::vector<std::string> env = {"QUILLET_REGISTRY=" + registry.string()};

    const HostRun current = RunHost(
        {"set-current", "--driver", Driver(), "--machine", "MC01", "--die-layout", "DIE01"}, env);
    EXPECT_EQ(current.exitCode, 0) << current.err;
    EXPECT_NE(current.out.find((Temp() / "MD_TOOL_default.ini").string()), std::string::npos)
        << current.out;
    EXPECT_NE(current.out.find((Temp() / "MD_NC_default.ini").string()), std::string::npos);
    EXPECT_EQ(current.out.find("MD_CUT_default.ini"), std::string::npos);

    // Machine ID 60 uses eleven parameters of table K (samples/pdl/machine.ini).
    const HostRun table = RunHost({"pdl-table", "--machine", "MC01", "--material", "SPCC1.6",
                                   "--type", "13300", "--table", "K", "--used-only"},
                                  env);
    EXPECT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(LineCount(table.out), 2 + 11) << table.out;
}

TEST_F(HostDemo, FailuresPrintOneErrorLineAndCarryTheStatus) {
    ASSERT_EQ(demo_->exitCode, 0);
    struct Row {
        std::vector<std::string> args;
        int exitCode;
    };
    const Row rows[] = {
        {{"template-path", "--type", "999", "--machine", "MC01", "--material", "SPCC1.6"}, 231},
        {{"template-cuts", (Data() / "none.CUT").string()}, 231},
        {{"generate-nc", "--driver", Driver(), "--target", (Base() / "x.nc").string()}, 2},
        {{"pdl-type", "--type", "1"}, 255},
        {{"pdl-table", "--machine", "MC01", "--material", "SPCC1.6", "--type", "13300", "--table",
          "Z"},
         254},
    };
    for (const Row& row : rows) {
        // generate-nc without --job must not find a job in the environment;
        // headless, the module's own messages go to stderr instead of a box.
        const HostRun run =
            RunHost(row.args, {"QUILLET_REGISTRY=" + (Base() / "registry.reg").string(),
                               "QUILLET_JOB=", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
        SCOPED_TRACE(row.args.front());
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LineCount(run.err) - LineCount(run.err.substr(0, run.err.find("quillet-host:"))),
                  1)
            << run.err;
    }
}

}  // namespace
