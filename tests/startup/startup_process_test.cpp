// Module start-up in fresh processes: the resource set follows the locale,
// a missing libQuillet_rs.so leaves the module inert after one built-in
// message, and an inert module touches no file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_install.h"

namespace quillet::testing {
namespace {

const std::string kResourceError = "Resource load error!![libQuillet_rs.so]";
const std::string kJapanese201 = "SYSTEM ERROR:サーバーのパス名取得に失敗しました";
const std::string kEnglish201 = "SYSTEM ERROR: Failed to get the server path name.";

struct ChildResult {
    int exitCode = -1;  // -1: killed or did not finish
    std::string out;
    std::string err;
    std::string log;
};

// Runs program with exactly the given environment (nothing inherited, so no
// display and no Qt platform: messages go to standard error).
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     std::vector<std::string> env) {
    TempFolder folder;
    const std::string outPath = (folder.Path() / "out").string();
    const std::string errPath = (folder.Path() / "err").string();
    const std::string logPath = (folder.Path() / "messages.log").string();
    env.push_back("QUILLET_MESSAGE_LOG=" + logPath);
    env.push_back("HOME=" + folder.Path().string());
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    }

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ChildResult result;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << program;
        return result;
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ADD_FAILURE() << program << " did not finish";
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    if (fs::exists(logPath)) result.log = ReadFile(logPath);
    return result;
}

// Every path below root with its size, to see that nothing was touched.
std::map<std::string, std::uintmax_t> Snapshot(const fs::path& root) {
    std::map<std::string, std::uintmax_t> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        entries[entry.path().string()] = entry.is_regular_file() ? entry.file_size() : 0;
    }
    return entries;
}

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

struct ProbeCase {
    const char* name;
    const char* program;
    std::vector<std::string> env;
    int exitCode;
    std::string out;
    std::string log;  // with messages 201 and 488 asked for
};

class StartupProbeTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(StartupProbeTest, ChoosesTheResourceSetOnce) {
    const ProbeCase& row = GetParam();
    TempFolder home;
    std::vector<std::string> env = row.env;
    env.push_back("QUILLET_REGISTRY=" + (home.Path() / "none.reg").string());
    const ChildResult result = RunChild(row.program, {"201", "488"}, env);
    EXPECT_EQ(result.exitCode, row.exitCode) << result.err;
    EXPECT_EQ(result.out, row.out);
    EXPECT_EQ(result.log, row.log);
    // Headless: each message is one line on standard error as well.
    std::string expectedErr;
    std::size_t start = 0;
    for (std::size_t end; (end = row.log.find('\n', start)) != std::string::npos; start = end + 1) {
        expectedErr += "Quillet: " + row.log.substr(start, end - start + 1);
    }
    EXPECT_EQ(result.err, expectedErr);
}

const std::string kJapanese488 =
    "マシンドライバーファイル名称が異常です。\\n"
    "機械管理のNC装置情報の「ドライバーファイル名称」を確認してください。";
const std::string kEnglish488 =
    "The machine driver file name is invalid.\\n"
    "Check the \"Driver file name\" in the NC unit information of the machine management.";

INSTANTIATE_TEST_SUITE_P(
    Locales, StartupProbeTest,
    ::testing::Values(
        // Japanese: the built-in set, whether or not the resource library is there.
        ProbeCase{"JapaneseWithoutResourceLibrary",
                  QUILLET_PROBE_ALONE,
                  {"LC_ALL=ja_JP.UTF-8"},
                  0,
                  "ready\nbitmaps 8\n",
                  Lines({kJapanese201, kJapanese488})},
        ProbeCase{"JapaneseWithResourceLibrary",
                  QUILLET_PROBE,
                  {"LC_ALL=ja_JP.UTF-8"},
                  0,
                  "ready\nbitmaps 8\n",
                  Lines({kJapanese201, kJapanese488})},
        ProbeCase{"JapaneseFromLang",
                  QUILLET_PROBE_ALONE,
                  {"LC_ALL=", "LANG=ja_JP.eucJP"},
                  0,
                  "ready\nbitmaps 8\n",
                  Lines({kJapanese201, kJapanese488})},
        // Any other locale: the English library, found through the search path.
        ProbeCase{"EnglishFromRunPath",
                  QUILLET_PROBE,
                  {"LC_ALL=C"},
                  0,
                  "ready\nbitmaps 8\n",
                  Lines({kEnglish201, kEnglish488})},
        ProbeCase{"EnglishFromLibraryPath",
                  QUILLET_PROBE_ALONE,
                  {"LC_ALL=en_US.UTF-8", "LD_LIBRARY_PATH=" QUILLET_LIB_DIR},
                  0,
                  "ready\nbitmaps 8\n",
                  Lines({kEnglish201, kEnglish488})},
        ProbeCase{"LcAllBeforeLang",
                  QUILLET_PROBE,
                  {"LC_ALL=C.UTF-8", "LANG=ja_JP.UTF-8"},
                  0,
                  "ready\nbitmaps 8\n",
                  Lines({kEnglish201, kEnglish488})},
        // No resource library: one built-in message, then nothing works.
        ProbeCase{"InertWithoutResourceLibrary",
                  QUILLET_PROBE_ALONE,
                  {"LC_ALL=C"},
                  3,
                  "inert\n",
                  Lines({kResourceError})},
        ProbeCase{"InertWithoutAnyLocale",
                  QUILLET_PROBE_ALONE,
                  {},
                  3,
                  "inert\n",
                  Lines({kResourceError})}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.name); });

// The module as a host loads it: exports of an inert module return their
// system error at once and leave every file alone.
struct ExportCase {
    const char* name;
    std::vector<std::string> args;
    std::string status;  // the last line of the host's output
    std::vector<std::string> env = {};
};

class InertModuleTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(InertModuleTest, ReturnsSystemErrorWithoutTouchingFiles) {
    const ExportCase& row = GetParam();
    TempInstallation install;
    WriteFile(install.DataFolder() / "Othmcn.dat", "");
    const auto before = Snapshot(install.Base());
    std::vector<std::string> args{QUILLET_MODULE_ALONE};
    args.insert(args.end(), row.args.begin(), row.args.end());
    std::vector<std::string> env = row.env;
    env.push_back("LC_ALL=C");
    env.push_back("QUILLET_REGISTRY=" + install.RegistryFile().string());
    const ChildResult result = RunChild(QUILLET_HOST, args, env);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // (What an export leaves in an output buffer is its own business.)
    EXPECT_TRUE(result.out.ends_with(row.status)) << result.out;
    EXPECT_EQ(result.err, "Quillet: " + kResourceError + "\n");
    EXPECT_EQ(result.log, kResourceError + "\n");
    EXPECT_EQ(Snapshot(install.Base()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Exports, InertModuleTest,
    ::testing::Values(
        ExportCase{"NcTemplateLookup", {"SddGetOthMacCondPath", "MC01", "SPCC1.6"}, "status 999\n"},
        ExportCase{"PdlMachineType", {"SddPDLOthMacTypeGet", "13300"}, "status -1\n"},
        // A display that cannot be reached is no GUI: the message still goes to
        // standard error instead of ending the host.
        ExportCase{"UnreachableDisplay",
                   {"SddPDLOthMacTypeGet", "13300"},
                   "status -1\n",
                   {"DISPLAY=:4711"}}),
    [](const ::testing::TestParamInfo<ExportCase>& info) { return std::string(info.param.name); });

// A working module shows no start-up message, and whatever it shows comes
// from the set of the locale.
struct WorkingCase {
    const char* name;
    const char* module;
    std::vector<std::string> env;
    std::string message201;
};

class WorkingModuleTest : public ::testing::TestWithParam<WorkingCase> {};

TEST_P(WorkingModuleTest, LoadsWithoutStartUpMessage) {
    const WorkingCase& row = GetParam();
    TempFolder empty;
    std::vector<std::string> env = row.env;
    // No registry: a PDL export can only report the missing server path.
    env.push_back("QUILLET_REGISTRY=" + (empty.Path() / "none.reg").string());
    const ChildResult result =
        RunChild(QUILLET_HOST, {row.module, "SddPDLOthMacTypeGet", "13300"}, env);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "status -1\n");
    EXPECT_EQ(result.err.find(kResourceError), std::string::npos) << result.err;
    if (!result.log.empty()) {
        EXPECT_EQ(result.log, row.message201 + "\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, WorkingModuleTest,
    ::testing::Values(WorkingCase{"JapaneseWithoutResourceLibrary",
                                  QUILLET_MODULE_ALONE,
                                  {"LC_ALL=ja_JP.UTF-8"},
                                  kJapanese201},
                      WorkingCase{"EnglishFromRunPath", QUILLET_MODULE, {"LC_ALL=C"}, kEnglish201},
                      WorkingCase{"EnglishFromLibraryPath",
                                  QUILLET_MODULE_ALONE,
                                  {"LC_ALL=C", "LD_LIBRARY_PATH=" QUILLET_LIB_DIR},
                                  kEnglish201}),
    [](const ::testing::TestParamInfo<WorkingCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::testing
