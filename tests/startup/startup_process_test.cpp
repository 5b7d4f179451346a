// Module start-up in fresh processes: the resource set follows the locale.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_install.h"

// AddressSanitizer calls dlopen from its own runtime, so a probe program's
// run path no longer applies (the module itself also looks beside itself):
// probe rows that rely on the run path only hold in ordinary builds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kRunPathReachesDlopen = false;
#else
constexpr bool kRunPathReachesDlopen = true;
#endif

namespace quillet::testing {
namespace {

const std::string kResourceError = "Resource load error!![libQuillet_rs.so]";

// Messages 201 and 488 as the log holds them, per set ("ja", "en"; "inert"
// holds the start-up message), and as standard error shows them.
std::string Logged(const std::string& set) {
    return ReadFile(fs::path(QUILLET_STARTUP_TEST_DATA) / ("messages-" + set + ".log"));
}
std::string OnStandardError(const std::string& log) {
    std::string err;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) err += "Quillet: " + line + "\n";
    return err;
}

struct ChildResult {
    int exitCode = -1;
    std::string out, err, log;
};

// Runs program with only the given locale, display and library settings
// (none inherited, so no display and no Qt platform: messages go to
// standard error), its own home and message log.
ChildResult RunChild(const std::string& program, std::vector<std::string> args,
                     const std::vector<std::string>& env) {
    TempFolder folder;
    const fs::path log = folder.Path() / "messages.log";
    std::vector<std::string> settings = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "LC_ALL",
                                         "LC_CTYPE",        "LANG",    "LD_LIBRARY_PATH"};
    settings.insert(settings.end(), env.begin(), env.end());
    settings.push_back("QUILLET_MESSAGE_LOG=" + log.string());
    settings.push_back("HOME=" + folder.Path().string());
    args.insert(args.begin(), program);
    const ProgramRun run = RunProgram(args, settings);
    return {run.exitCode, run.out, run.err, fs::exists(log) ? ReadFile(log) : std::string()};
}

// Each start-up chooses its resource set once; headless, each message is one
// line in the log and on standard error.
TEST(StartupProbeTest, ChoosesTheResourceSetOnce) {
    const struct {
        const char* name;
        const char* program;
        std::vector<std::string> env;
        std::string set;  // "ja", "en" or "inert"
    } rows[] = {
        // Japanese: the built-in set, whether or not the resource library is there.
        {"ja without resource library", QUILLET_PROBE_ALONE, {"LC_ALL=ja_JP.UTF-8"}, "ja"},
        {"ja from LANG", QUILLET_PROBE_ALONE, {"LC_ALL=", "LANG=ja_JP.eucJP"}, "ja"},
        // Any other locale: the English library, found through the search path.
        {"en from run path", QUILLET_PROBE, {"LC_ALL=C"}, "en"},
        {"en from library path",
         QUILLET_PROBE_ALONE,
         {"LC_ALL=en_US.UTF-8", "LD_LIBRARY_PATH=" QUILLET_LIB_DIR},
         "en"},
        {"LC_ALL before LANG", QUILLET_PROBE, {"LC_ALL=C.UTF-8", "LANG=ja_JP.UTF-8"}, "en"},
        // No resource library: one built-in message, then nothing works.
        {"C without resource library", QUILLET_PROBE_ALONE, {"LC_ALL=C"}, "inert"},
    };
    TempFolder home;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const bool namesLibraryFolder = row.env.back().starts_with("LD_LIBRARY_PATH=");
        if (!kRunPathReachesDlopen && row.set == "en" && !namesLibraryFolder) continue;
        std::vector<std::string> env = row.env;
        env.push_back("QUILLET_REGISTRY=" + (home.Path() / "none.reg").string());
        const ChildResult result = RunChild(row.program, {"201", "488"}, env);
        const bool inert = row.set == "inert";
        EXPECT_EQ(result.exitCode, inert ? 3 : 0) << result.err;
        EXPECT_EQ(result.out, inert ? "inert\n" : "ready\nbitmaps 8\n");
        EXPECT_EQ(result.log, Logged(row.set));
        EXPECT_EQ(result.err, OnStandardError(Logged(row.set)));
    }
}

// Every path below root with its size, to see that nothing was touched.
std::map<std::string, std::uintmax_t> Snapshot(const fs::path& root) {
    std::map<std::string, std::uintmax_t> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        entries[entry.path().string()] = entry.is_regular_file() ? entry.file_size() : 0;
    }
    return entries;
}

// The module as a host loads it. An inert one returns its system error at once
// and leaves every file alone; a working one shows no start-up message and
// whatever it shows comes from the set of the locale. A call that shows
// nothing maps no Qt library; a dialog without the dialogs' library is a
// system error that names the loader's cause.
TEST(ModuleStartupTest, ExportsOfWorkingAndInertModules) {
    const std::vector<std::string> pdl{"SddPDLOthMacTypeGet", "13300"};
    const std::string noDialogLibrary =
        "MD_OthMacNCCreateDLG: no dialog shown: cannot load the dialogs: " +
        (fs::path(QUILLET_MODULE_ALONE).parent_path() / "libquillet-ui.so").string() +
        ": cannot open shared object file: No such file or directory";
    const struct {
        const char* name;
        const char* module;
        std::vector<std::string> args, env;
        std::string status, set;    // status: the end of the host's output
        std::string reported = "";  // the one line on standard error and in the log
    } rows[] = {
        {"inert NC template lookup",
         QUILLET_MODULE_ALONE,
         {"SddGetOthMacCondPath", "MC01", "SPCC1.6"},
         {"LC_ALL=C"},
         "status 999\n",
         "inert"},
        // A display that cannot be reached is no GUI: the message still goes to
        // standard error instead of ending the host.
        {"unreachable display",
         QUILLET_MODULE_ALONE,
         pdl,
         {"LC_ALL=C", "DISPLAY=:4711"},
         "status -1\n",
         "inert"},
        {"unreachable display of the platform asked for",
         QUILLET_MODULE_ALONE,
         pdl,
         {"LC_ALL=C", "QT_QPA_PLATFORM=xcb", "DISPLAY=:4711"},
         "status -1\n",
         "inert"},
        {"Japanese without resource library",
         QUILLET_MODULE_ALONE,
         pdl,
         {"LC_ALL=ja_JP.UTF-8"},
         "status -1\n",
         "ja"},
        {"English from run path", QUILLET_MODULE, pdl, {"LC_ALL=C"}, "status -1\n", "en"},
        {"dialog without the dialogs' library",
         QUILLET_MODULE_ALONE,
         {"MD_OthMacNCCreateDLG", "none.drv", "MC01"},
         {"LC_ALL=ja_JP.UTF-8", "QT_QPA_PLATFORM=offscreen"},
         "status 999\n",
         "ja",
         noDialogLibrary},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const bool inert = row.set == "inert";
        TempInstallation install;
        WriteFile(install.DataFolder() / "Othmcn.dat", "");
        const auto before = Snapshot(install.Base());
        std::vector<std::string> args = row.args, env = row.env;
        args.insert(args.begin(), row.module);
        // Working modules get no registry: a PDL export can only report the
        // missing server path.
        env.push_back("QUILLET_REGISTRY=" +
                      (inert ? install.RegistryFile() : install.Base() / "none.reg").string());
        const ChildResult result = RunChild(QUILLET_HOST, args, env);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        // (What an export leaves in an output buffer is its own business.)
        // The host lists the Qt libraries mapped after the call: none.
        EXPECT_TRUE(result.out.ends_with(row.status)) << result.out;
        EXPECT_EQ(Snapshot(install.Base()), before);
        if (!row.reported.empty()) {
            EXPECT_EQ(result.err, "Quillet: " + row.reported + "\n");
            EXPECT_EQ(result.log, row.reported + "\n");
        } else if (inert) {
            EXPECT_EQ(result.err, "Quillet: " + kResourceError + "\n");
            EXPECT_EQ(result.log, kResourceError + "\n");
        } else {
            EXPECT_EQ(result.err.find(kResourceError), std::string::npos) << result.err;
            EXPECT_TRUE(Logged(row.set).starts_with(result.log)) << result.log;
        }
    }
}

}  // namespace
}  // namespace quillet::testing
