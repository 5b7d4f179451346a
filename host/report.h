// The report of a quillet-host command (plain lines or one JSON document),
// its error lines and the exit codes.
//
// Exit codes: a command that calls an export exits with the export's status
// modulo 256 (0 done, 1 cancelled or "yes", 100, 101, 231 for 999, 255 for
// -1, 254 for -2; NC-data failure codes of generate-nc likewise). 1 also
// when quillet-host refused a likely mistake or the call did not do what was
// asked. 64: bad command line. 69: a dialog was asked for without a display.
// 70: the host itself failed (for example a file it had to write).
#pragma once

#include <filesystem>
#include <string>

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

// Prints "quillet-host: <text>" as one line to stderr.
void PrintError(const std::string& text);

// A short English name of an export status for error lines ("system error"
// for 999, "unavailable" for -1 ...); empty for other numbers.
std::string StatusText(int status);

}  // namespace quillet::host
