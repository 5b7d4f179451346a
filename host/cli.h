// Command-line conventions of quillet-host shared by every subcommand:
// option parsing, --help, the report of a command (plain lines or one JSON
// document) and the exit codes.
//
// Exit codes: a command that calls an export exits with the export's status
// modulo 256 (0 done, 1 cancelled or "yes", 100, 101, 231 for 999, 255 for
// -1, 254 for -2; NC-data failure codes of generate-nc likewise). 1 also
// when quillet-host refused a likely mistake or the call did not do what was
// asked. 64: bad command line. 69: a dialog was asked for without a display.
// 70: the host itself failed (for example a file it had to write).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "text.h"

namespace quillet::host {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

inline constexpr int kExitNotDone = 1;
inline constexpr int kExitUsage = 64;
inline constexpr int kExitNoDisplay = 69;
inline constexpr int kExitHostFailure = 70;

// Exit code that carries an export's status.
inline int ExitCodeForStatus(int status) { return status & 0xFF; }

// What one command prints: plain lines, or with --json exactly one JSON
// object on standard output, success or failure, each with its "status"
// (the export's status, or for a failure of quillet-host itself its exit
// code). Errors also go to standard error as "quillet-host: <command>: ...".
class Report {
public:
    Report(std::string command, bool json) : command_(std::move(command)), json_(json) {}
    const std::string& Command() const { return command_; }
    bool Json() const { return json_; }

    // Success with an export status (0 without one): prints data with
    // "status" first when --json; returns the exit code for status.
    int Done(int status, const ::quillet::host::Json& data = {}) const;
    // A failure: one error line and, when known, one line with the cause and
    // the fix; with --json the object {"status", "error", "cause"} and data.
    int Fail(int exitCode, int status, const std::string& error, const std::string& cause = "",
             const ::quillet::host::Json& data = {}) const;
    // A failed export call: "<export> returned <status> (<meaning>)".
    int FailStatus(const std::string& exportName, int status, const std::string& cause = "",
                   const ::quillet::host::Json& data = {}) const;
    // A bad command line (exit 64) or a failure of quillet-host (exit 70).
    int Usage(const std::string& error) const { return Fail(kExitUsage, kExitUsage, error); }
    int HostFailure(const std::string& error, const std::string& cause = "") const {
        return Fail(kExitHostFailure, kExitHostFailure, error, cause);
    }

private:
    std::string command_;
    bool json_;
};

// A small option parser: --name VALUE, --name=VALUE and flags.
class ArgParser {
public:
    ArgParser(std::string command, std::string usage, std::string example = "")
        : command_(std::move(command)), usage_(std::move(usage)), example_(std::move(example)) {}

    // Declares an option that takes a value.
    void Option(const std::string& name, const std::string& help, bool required = false);
    // Declares a flag.
    void Flag(const std::string& name, const std::string& help);
    // A paragraph --help prints after the options (lines broken by the caller).
    void Note(const std::string& text) { note_ = text; }
    // Declares --name as another name of the option target (declared first).
    void Alias(const std::string& name, const std::string& target);
    // Accepts up to `count` arguments that are not options; without this
    // call an argument that is not an option is a bad command line.
    void AllowPositional(const std::string& name, const std::string& help, int count = 1);

    // Parses args (after the subcommand). On --help prints help and returns
    // false with exitCode 0; on a bad command line reports it (as JSON too
    // when --json stands on the line) and returns false with kExitUsage.
    bool Parse(int argc, char** argv, int& exitCode);

    bool Has(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& fallback = "") const;
    // Integer value; on a malformed number reports it and returns nullopt.
    std::optional<int> GetInt(const std::string& name, int fallback) const;
    const std::vector<std::string>& Positional() const { return positional_; }
    // The report of this command, plain or JSON as --json asks.
    ::quillet::host::Report MakeReport() const { return {command_, Has("json")}; }

    void PrintHelp() const;

private:
    struct OptionInfo {
        std::string help;
        bool takesValue;
        bool required;
    };
    int Bad(bool json, const std::string& text) const;

    std::string command_;
    std::string usage_;
    std::string example_;
    std::string note_;
    std::vector<std::pair<std::string, OptionInfo>> options_;
    std::map<std::string, std::string> aliases_;
    std::string positionalName_;
    std::string positionalHelp_;
    int positionalCount_ = 0;
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
};

// One subcommand.
struct Command {
    const char* name;
    const char* summary;
    std::function<int(int argc, char** argv)> run;  // argv[0] is the command name
};

// The subcommands of each area; main() lists them all.
std::vector<Command> OthmacCommands();
std::vector<Command> DriverCommands();
std::vector<Command> DriverUiCommands();
std::vector<Command> PdlCommands();
std::vector<Command> ToolCommands();  // demo, check, init

// Runs pdl-table with these words (the command name first).
int RunPdlTableCommand(const std::vector<std::string>& words);

// A cutting condition or PDL table: a name K .. P103 (any case) or an
// index 0 to 12; nullopt for anything else.
std::optional<int> ParseCondition(const std::string& text);
// Declares the one table or cutting condition a command works on as
// --name (--table or --condition), the other name its synonym.
void DeclareTable(ArgParser& args, const std::string& name, const std::string& help);
// The value of --table or --condition; anything but K..P103 or 0-12 is a bad command line,
// reported (exit 64) with exitCode set.
std::optional<int> TableArg(const ArgParser& args, int& exitCode);

// Prints "quillet-host: <text>" as one line to stderr.
void PrintError(const std::string& text);

// A short English name of an export status for error lines ("system error"
// for 999, "unavailable" for -1 ...); empty for other numbers.
std::string StatusText(int status);

// Says on standard error that the name typed was found (matched) or will
// be written in another form, its CP932 form, when form differs from typed.
void NoteNameForm(const Report& report, const std::string& what, const std::string& typed,
                  const std::string& form, bool matched);

// Names typed on the command line that together name a file of the data
// folder (a PDL condition file, a driver setting file). They are text in
// the locale's encoding, the data folder's names CP932: each name is taken
// in the form (NameForms) in which exists finds the file, as typed first;
// else, when a file is to be made, in its CP932 form (a name CP932 cannot
// hold is then refused, exit 64), else as typed. Each name is replaced by
// the form taken; nameForms says which ("as typed" or "CP932"), and a note
// on standard error when it is not as typed. nullopt when the call may go
// ahead.
struct TypedName {
    const char* what;  // "machine", "material" ...
    std::string* name;
};
std::optional<int> ResolveFileNames(
    const Report& report, const std::vector<TypedName>& names,
    const std::function<bool(const std::vector<std::string>&)>& exists, bool creating,
    Json& nameForms);

// Runs a dialog command's export when the module can show a dialog (the
// module's own rule: the display the Qt platform plug-in would use can be
// reached); otherwise reports why (exit 69) and returns that exit code.
std::optional<int> RefuseWithoutDisplay(const Report& report);

// True when the program runs from its build tree (build/bin), not installed.
bool RunsFromBuildTree();
// The sample installation files (drivers/, jobs/, pdl/): the folder given,
// else share/quillet/samples below the installed program's prefix, or the
// source tree's samples/ for the program run from its build tree; nullopt
// when that does not exist.
std::optional<fs::path> FindSamples(const std::string& given = "");
// The folder of the stand-in driver libraries (libkorvid.so, libDravik.so):
// the private folder below the installed program's prefix, or the build's
// library folder; nullopt when they are missing. Only the demo names it to
// the module (QUILLET_DRIVER_DIR): a host never loads them otherwise.
std::optional<fs::path> FindStandinDrivers();
// What to do when the samples or the stand-ins are missing: the package that
// installs them.
std::string StandinsMissing(const std::string& what);

// The running quillet-host's own path.
std::string SelfPath();

// A root from the registry file the module reads, read by the module's own
// reader ("ParentComputerRoot", "VELDSystemRoot"); nullopt when it is not a
// string value.
std::optional<std::string> RegistryRoot(const std::string& valueName);

// The data folder (data root + "data/Othmcn") and the working folder
// (system root + "TEMP") as the module forms them.
std::optional<fs::path> DataFolder();
std::optional<fs::path> WorkingFolder();
// The data folder of a command that lists it (templates, pdl-list): a
// missing registry, a root without its trailing '/', a missing or empty
// mount (no data folder) are failures with status, reported with their
// cause (exitCode set), never an empty listing.
std::optional<fs::path> DataFolderToList(const Report& report, int status, int& exitCode);
// The same below a root given as a folder (with or without its trailing
// '/'); nullopt when the path would pass 499 characters.
std::optional<fs::path> DataFolderOf(const fs::path& dataRoot);
std::optional<fs::path> WorkingFolderOf(const fs::path& systemRoot);

// A sample installation in one folder: data root data/, system root
// system/, the registry file naming them, the sample driver and job.
struct SampleInstallation {
    fs::path base;
    fs::path registry;
    fs::path dataRoot;
    fs::path systemRoot;
    fs::path dataFolder;
    fs::path workingFolder;
    fs::path driver;
    fs::path job;
    fs::path ncProgram;
};
SampleInstallation SampleInstallationIn(const fs::path& base);
// Creates the installation's folders, copies PDL_CUT_MASTER.ini and
// machine.ini from pdlSamples into the data folder (and, when given, the
// sample driver and job from the samples folder), writes the registry file
// and names it in QUILLET_REGISTRY for this process. Empty when done, else
// what failed.
std::string LayDownSampleInstallation(const SampleInstallation& at, const fs::path& pdlSamples,
                                      const std::optional<fs::path>& samples);
// A fresh folder <prefix>-XXXXXX in the system's temporary folder.
std::optional<fs::path> MakeTemporaryFolder(const std::string& prefix);

// Writes a registry file naming the two roots (each absolute, written with
// its trailing '/'), through the atomic-replace helper. false when it cannot.
bool WriteRegistryFile(const fs::path& file, const fs::path& dataRoot, const fs::path& systemRoot);

// What a file is now, to tell whether a call replaced or created it.
struct FileStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::int64_t inode = 0;
    std::int64_t modified = 0;  // nanoseconds
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const fs::path& path);

}  // namespace quillet::host
