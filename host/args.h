// The options of a quillet-host command: --name VALUE, --name=VALUE, flags,
// --help, and the one table or cutting condition a command works on.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "report.h"

namespace quillet::host {

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

// A cutting condition or PDL table: a name K .. P103 (any case) or an
// index 0 to 12; nullopt for anything else.
std::optional<int> ParseCondition(const std::string& text);
// Declares the one table or cutting condition a command works on as
// --name (--table or --condition), the other name its synonym.
void DeclareTable(ArgParser& args, const std::string& name, const std::string& help);
// The value of --table or --condition; anything but K..P103 or 0-12 is a bad command line,
// reported (exit 64) with exitCode set.
std::optional<int> TableArg(const ArgParser& args, int& exitCode);

}  // namespace quillet::host
