// Command-line conventions of quillet-host shared by every subcommand:
// option parsing, --help, --json output and the exit codes.
//
// Exit codes: a command that calls an export exits with the export's status
// modulo 256 (0 done, 1 cancelled or "yes", 100, 101, 231 for 999, 255 for
// -1, 254 for -2; NC-data failure codes of generate-nc likewise). 64: bad
// command line. 70: the host itself failed (for example a file it had to
// write).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillet::host {

inline constexpr int kExitUsage = 64;
inline constexpr int kExitHostFailure = 70;

// Exit code that carries an export's status.
inline int ExitCodeForStatus(int status) { return status & 0xFF; }

// A small option parser: --name VALUE, --name=VALUE and flags.
class ArgParser {
public:
    ArgParser(std::string command, std::string usage)
        : command_(std::move(command)), usage_(std::move(usage)) {}

    // Declares an option that takes a value.
    void Option(const std::string& name, const std::string& help, bool required = false);
    // Declares a flag.
    void Flag(const std::string& name, const std::string& help);
    // Accepts up to `count` arguments that are not options; without this
    // call an argument that is not an option is a bad command line.
    void AllowPositional(const std::string& name, const std::string& help, int count = 1);

    // Parses args (after the subcommand). On --help prints help and returns
    // false with exitCode 0; on a bad command line prints one line to stderr
    // and returns false with exitCode kExitUsage.
    bool Parse(int argc, char** argv, int& exitCode);

    bool Has(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& fallback = "") const;
    // Integer value; on a malformed number prints an error and returns nullopt.
    std::optional<int> GetInt(const std::string& name, int fallback) const;
    const std::vector<std::string>& Positional() const { return positional_; }

    void PrintHelp() const;

private:
    struct OptionInfo {
        std::string help;
        bool takesValue;
        bool required;
    };
    std::string command_;
    std::string usage_;
    std::vector<std::pair<std::string, OptionInfo>> options_;
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
std::vector<Command> ToolCommands();  // demo, check

// JSON string literal of text (quotes and escapes included).
std::string JsonString(const std::string& text);

// Prints "quillet-host: <text>" as one line to stderr.
void PrintError(const std::string& text);

// A short English name of an export status for error lines ("system error"
// for 999, "unavailable" for -1 ...); empty for other numbers.
std::string StatusText(int status);

// Prints the one error line of a command whose export returned a failure:
// "quillet-host: <command>: <export> returned <status> (<meaning>)<hint>".
void PrintStatusError(const std::string& command, const std::string& exportName, int status,
                      const std::string& hint = "");

// The sample installation files (drivers/, jobs/, pdl/): the folder given,
// else share/quillet/samples next to the installed program, else the source
// tree's samples/ folder; nullopt when none of them exists.
std::optional<std::filesystem::path> FindSamples(const std::string& given = "");

// A root from the registry file the module reads, read by the module's own
// reader: the string value valueName ("ParentComputerRoot",
// "VELDSystemRoot") of the system information key; nullopt when it is
// missing. A host knows its own installation: the commands use it to show
// the files an export wrote.
std::optional<std::string> RegistryRoot(const std::string& valueName);

// Writes a whole file through the module's atomic-replace helper, so a
// reader never sees half of it; false when it cannot.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& contents);

}  // namespace quillet::host
