// The forms of typed names. See names.h.
#include "names.h"

namespace quillet::host {

void NoteNameForm(const Report& report, const std::string& what, const std::string& typed,
                  const std::string& form, bool matched) {
    if (form == typed) return;
    PrintError(report.Command() + ": note: " + what + " '" + typed + "' " +
               (matched ? "matched" : "is written") +
               " in its CP932 form, as Windows workstations write names");
}

std::optional<int> ResolveFileNames(
    const Report& report, const std::vector<TypedName>& names,
    const std::function<bool(const std::vector<std::string>&)>& exists, bool creating,
    Json& nameForms) {
    std::vector<std::vector<std::string>> forms;
    forms.reserve(names.size());
    for (const TypedName& name : names) forms.push_back(NameForms(*name.name));
    // Every combination of forms, as typed first: an odometer over them.
    std::vector<std::size_t> at(names.size(), 0);
    auto chosen = [&] {
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < names.size(); ++i) texts.push_back(forms[i][at[i]]);
        return texts;
    };
    bool matched = false;
    for (;;) {
        if ((matched = exists(chosen()))) break;
        std::size_t i = 0;
        while (i < at.size() && ++at[i] == forms[i].size()) at[i++] = 0;
        if (i == at.size()) break;
    }
    if (!matched) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string unheld;
            if (creating && !Cp932Form(*names[i].name, unheld)) {
                return report.Usage(std::string("the ") + names[i].what + " name '" +
                                    *names[i].name + "' holds " + unheld +
                                    ", which code page 932 cannot hold: Windows workstations "
                                    "could not use it");
            }
            at[i] = creating ? forms[i].size() - 1 : 0;
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        NoteNameForm(report, names[i].what, *names[i].name, forms[i][at[i]], matched);
        nameForms[names[i].what] = at[i] == 0 ? "as typed" : "CP932";
        *names[i].name = forms[i][at[i]];
    }
    return std::nullopt;
}

}  // namespace quillet::host
