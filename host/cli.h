// Command-line conventions of quillet-host shared by every subcommand:
// option parsing, --help, --json output and the exit codes.
//
// Exit codes: a command that calls an export exits with the export's status
// modulo 256 (0 done, 1 cancelled or "yes", 100, 101, 231 for 999, 255 for
// -1, 254 for -2; NC-data failure codes of generate-nc likewise). 64: bad
// command line. 70: the host itself failed (for example a file it had to
// write).
#pragma once

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
    struct Spec {
        std::string help;
        bool takesValue;
        bool required;
    };
    std::string command_;
    std::string usage_;
    std::vector<std::pair<std::string, Spec>> specs_;
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

// Prints "error: <text>" as one line to stderr with the program name.
void PrintError(const std::string& text);

}  // namespace quillet::host
