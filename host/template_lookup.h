// The look-up of an NC template that the template commands share: its
// options, the names typed resolved to the forms the data folder holds, the
// registrations the stored format could never find again, and the cause of
// a failed look-up.
#pragma once

#include <optional>
#include <string>

#include "cli.h"

namespace quillet::host {

// The arguments shared by the commands that look a template up.
struct LookupArgs {
    int create = 0;
    int showMessages = 0;
    int type = 0;
    std::string machine;   // the names in the form the data folder holds
    std::string material;  // (see ResolveNames)
    Json nameForms = Json::object();
};

// Declares --type, --machine, --material (and --create), --show-messages
// and --json.
void DeclareLookup(ArgParser& args, bool create);

// Parses the lookup arguments; false (exitCode set) on --help, a bad line or
// a registration that could never be found again.
bool ParseLookup(ArgParser& args, int argc, char** argv, LookupArgs& out, int& exitCode);

// The pair is registered (its template file may not be written yet).
bool IsRegistered(const LookupArgs& args);

// The cause of a failed lookup: the installation first, then which record
// or file is missing.
std::string LookupCause(const LookupArgs& args, int status);

// Looks the template up through the export; the path, or nullopt after the
// failure was reported (exitCode set). A registered pair whose template is
// not written yet (100) is not reported when quietIfUnwritten.
std::optional<std::string> LookUp(const Report& report, const LookupArgs& args, int& exitCode,
                                  bool quietIfUnwritten = false);

}  // namespace quillet::host
