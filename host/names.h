// Names typed on the command line and the forms they take in the data
// folder, whose names are code page 932.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "report.h"

namespace quillet::host {

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

}  // namespace quillet::host
