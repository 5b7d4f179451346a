// A machine and material typed on the command line of a PDL command: the
// forms of their names, their condition file, the refusal of a pair that
// has none, and the cause of a failed PDL export.
#pragma once

#include <optional>
#include <string>

#include "cli.h"

namespace quillet::host {

// A machine and material as the data folder names their condition file.
struct PdlPair {
    std::string machine;
    std::string material;
    Json nameForms = Json::object();
};

// The condition file of a pair, as the module names it; nullopt when the
// data folder or the path cannot be formed (the export then reports it).
std::optional<fs::path> ConditionFile(const std::string& machine, const std::string& material);

// The pair in the forms of its names whose condition file exists, else
// for a file to be made their CP932 forms (see ResolveFileNames).
std::optional<int> ResolvePair(const Report& report, PdlPair& pair, bool creating);

// A pair without a condition file is most likely a mistyped name: the
// export would quietly make one from the master. Refused unless the flag
// says so; nullopt when the call may go ahead.
std::optional<int> RefuseMissingPair(const Report& report, const PdlPair& pair, bool allowed,
                                     const std::string& fix);

// ResolvePair, then RefuseMissingPair unless create: the pair of a command
// whose --create makes a missing condition file.
std::optional<int> TakePair(const Report& report, PdlPair& pair, bool create);

// What the PDL exports need (and the condition file a call writes, when
// given); the cause of their failure.
std::string PdlCause(int status, const std::optional<fs::path>& written = std::nullopt);

}  // namespace quillet::host
