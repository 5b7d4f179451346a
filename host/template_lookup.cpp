// The template look-up of the template commands. See template_lookup.h.
#include "template_lookup.h"

#include <algorithm>
#include <functional>

#include "check/check.h"
#include "diagnose.h"
#include "othmac/record_layout.h"
#include "othmac/record_store.h"
#include "platform/ascii.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/text_mode.h"
#include "quillet/quillet.h"

namespace quillet::host {

using platform::EqualsIgnoringAsciiCase;

namespace {

// The data folder and the machines of names its record store holds (see
// check::ReadRecordStore); no machines without a data folder.
struct Store {
    std::optional<fs::path> folder;
    std::vector<check::RegisteredMachine> machines;
};

Store ReadStore(const std::vector<std::string>& names) {
    Store store{DataFolder(), {}};
    if (store.folder) store.machines = check::ReadRecordStore(*store.folder, names);
    return store;
}

// True when the machine's material list (under any of its type numbers)
// holds the material already, read as the look-up reads it: a registration
// then writes no material record.
bool MaterialListed(const LookupArgs& args, const Store& store) {
    for (const check::RegisteredMachine& machine : store.machines) {
        if (!EqualsIgnoringAsciiCase(machine.name, args.machine)) continue;
        const std::optional<std::string> list =
            platform::ReadTextModeFile(*store.folder / machine.listFile);
        if (list && othmac::FindMaterialRecord(*list, args.material)) return true;
    }
    return false;
}

// A registration the stored format can never find again: the index reads a
// name up to its first space and only from its field.
std::string UnfindableName(const LookupArgs& args, const Store& store) {
    for (const auto& [what, name] :
         {std::pair{"machine", &args.machine}, std::pair{"material", &args.material}}) {
        if (name->find(' ') != std::string::npos) {
            return std::string("the ") + what + " name '" + *name +
                   "' holds a space: the index reads a name up to its first space, so the "
                   "record could never be found again; choose a name without spaces";
        }
    }
    if (args.material.size() > othmac::kNameFieldWidth) {
        return "the material name is " + std::to_string(args.material.size()) +
               " bytes, wider than its 50-byte field: the record could never be found again";
    }
    const std::string file = othmac::TemplateFileName(args.machine, args.material);
    if (file.size() > othmac::kFileFieldWidth && args.machine.size() <= othmac::kNameFieldWidth &&
        !MaterialListed(args, store)) {
        return "the template file name " + file + " is " + std::to_string(file.size()) +
               " characters, wider than its 100-character field";
    }
    return "";
}

// The registered machine of type and name (letter case ignored), or
// nullptr.
const check::RegisteredMachine* FindMachine(const std::vector<check::RegisteredMachine>& store,
                                            int type, const std::string& name) {
    for (const check::RegisteredMachine& machine : store) {
        if (machine.type == type && EqualsIgnoringAsciiCase(machine.name, name)) return &machine;
    }
    return nullptr;
}

// Names typed on the command line are text in the locale's encoding, the
// data folder's names CP932: each name is looked up as typed and in its
// CP932 form, and a new one is registered in its CP932 form. Says on
// standard error (and in nameForms) when the CP932 form is the one used.
// Returns why a new name cannot be registered ("" when it can).
std::string ResolveNames(const Report& report, LookupArgs& args, const Store& store) {
    const check::RegisteredMachine* machine = nullptr;
    // One name: the form registered, else for a registration the CP932 form.
    auto resolve = [&](const char* what, std::string& name,
                       const std::function<bool(const std::string&)>& registered) {
        const std::vector<std::string> forms = NameForms(name);
        std::size_t used = 0;
        while (used < forms.size() && !registered(forms[used])) ++used;
        std::string unheld;
        const std::optional<std::string> cp932 = Cp932Form(name, unheld);
        if (used == forms.size()) {
            if (args.create && !cp932) {
                return std::string("the ") + what + " name '" + name + "' holds " + unheld +
                       ", which code page 932 cannot hold: Windows workstations could not use "
                       "it; choose another name";
            }
            used = args.create ? forms.size() - 1 : 0;
        }
        args.nameForms[what] = used == 0 ? "as typed" : "CP932";
        NoteNameForm(report, what, name, forms[used], registered(forms[used]));
        name = forms[used];
        return std::string();
    };
    std::string problem = resolve("machine", args.machine, [&](const std::string& form) {
        return (machine = FindMachine(store.machines, args.type, form)) != nullptr;
    });
    if (!problem.empty()) return problem;
    return resolve("material", args.material, [&](const std::string& form) {
        if (machine == nullptr) return false;
        for (const check::RegisteredMaterial& material : machine->materials) {
            if (EqualsIgnoringAsciiCase(material.name, form)) return true;
        }
        return false;
    });
}

// The pair is registered in the store read.
bool Registered(const LookupArgs& args, const Store& store) {
    const check::RegisteredMachine* machine = FindMachine(store.machines, args.type, args.machine);
    return machine != nullptr &&
           std::any_of(machine->materials.begin(), machine->materials.end(),
                       [&](const check::RegisteredMaterial& material) {
                           return EqualsIgnoringAsciiCase(material.name, args.material);
                       });
}

// The cause of a failed look-up (see LookupCause), from the record store
// already read when read is given.
std::string Cause(const LookupArgs& args, int status, const Store* read) {
    if (status == QUILLET_NAME_TOO_LONG) {
        return "the machine name is " + std::to_string(args.machine.size()) +
               " bytes; a machine name holds at most 50";
    }
    if (status == QUILLET_SYSTEM_ERROR &&
        (args.type < othmac::kMinMachineTypeNo || args.type > othmac::kMaxMachineTypeNo)) {
        return "machine type " + std::to_string(args.type) + " is outside 130 to 139";
    }
    for (const auto& [what, name] :
         {std::pair{"machine", &args.machine}, std::pair{"material", &args.material}}) {
        if (status == QUILLET_SYSTEM_ERROR && platform::NameHoldsSeparator(*name)) {
            return std::string("the ") + what + " name '" + DisplayText(*name) +
                   "' holds a path separator: it can never name a file; choose another name";
        }
    }
    if (std::string problem = Diagnose({true, args.create == 1, false, {}, {}}); !problem.empty()) {
        return problem;
    }
    const std::optional<fs::path> folder = read ? read->folder : DataFolder();
    if (!folder) return "";
    const fs::path index = *folder / othmac::kIndexFileName;
    if (status == QUILLET_SYSTEM_ERROR) {
        return Diagnose(
            {false, false, false, {}, {index, *folder / othmac::MaterialListName(args.machine)}});
    }
    if (status != QUILLET_NOT_SET_UP) return "";
    const std::string fix = args.create ? "" : ", or give --create to register it";
    if (!platform::FileExists(index)) {
        return "no machine is registered: " + index.string() + " does not exist" + fix;
    }
    const Store own = read ? Store() : ReadStore({args.machine});
    for (const check::RegisteredMachine& machine : (read ? *read : own).machines) {
        if (machine.type != args.type) continue;
        if (!machine.listed) {
            return "the material list " + (*folder / machine.listFile).string() + " of machine " +
                   machine.name + " cannot be read" + fix;
        }
        for (const check::RegisteredMaterial& material : machine.materials) {
            if (!EqualsIgnoringAsciiCase(material.name, args.material)) continue;
            return "the template file " + (*folder / material.templateFile).string() +
                   " is not written yet: template-write --file FILE or template-dialog writes "
                   "it";
        }
        return "material " + args.material + " is not registered for machine " + machine.name +
               " (see quillet-host templates --machine " + machine.name + ")" + fix;
    }
    return "machine " + args.machine + " of type " + std::to_string(args.type) +
           " is not registered in " + index.string() + " (see quillet-host templates)" + fix;
}

}  // namespace

void DeclareLookup(ArgParser& args, bool create) {
    args.Option("type", "machine type number (130 to 139)", true);
    args.Option("machine", "machine name", true);
    args.Option("material", "laser material name", true);
    if (create) args.Flag("create", "register a missing machine or material");
    args.Flag("show-messages", "show the lookup's messages");
    args.Flag("json", "print a JSON object");
}

bool ParseLookup(ArgParser& args, int argc, char** argv, LookupArgs& out, int& exitCode) {
    if (!args.Parse(argc, argv, exitCode)) return false;
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) {
        exitCode = kExitUsage;
        return false;
    }
    out = LookupArgs{args.Has("create") ? 1 : 0, args.Has("show-messages") ? 1 : 0, *type,
                     args.Get("machine"), args.Get("material")};
    // Every form of the machine name typed: the one resolved is among them.
    const Store store = ReadStore(NameForms(out.machine));
    if (const std::string problem = ResolveNames(args.MakeReport(), out, store); !problem.empty()) {
        exitCode = args.MakeReport().Usage(problem);
        return false;
    }
    if (const std::string problem = out.create ? UnfindableName(out, store) : "";
        !problem.empty()) {
        exitCode = args.MakeReport().Usage(problem);
        return false;
    }
    return true;
}

bool IsRegistered(const LookupArgs& args) { return Registered(args, ReadStore({args.machine})); }

std::string LookupCause(const LookupArgs& args, int status) { return Cause(args, status, nullptr); }

std::optional<std::string> LookUp(const Report& report, const LookupArgs& args, int& exitCode,
                                  bool quietIfUnwritten) {
    char path[QUILLET_PATH_BUFFER_SIZE] = {};
    const int status =
        SddGetOthMacCondPath(args.create, args.showMessages, args.type, args.machine.c_str(),
                             args.material.c_str(), "", 0, 0, path);
    if (status == 0) return std::string(path);
    // Read once for both the registration and the cause.
    std::optional<Store> store;
    if (quietIfUnwritten && status == QUILLET_NOT_SET_UP) {
        store = ReadStore({args.machine});
        if (Registered(args, *store)) return std::nullopt;
    }
    exitCode = report.FailStatus("SddGetOthMacCondPath", status,
                                 Cause(args, status, store ? &*store : nullptr));
    return std::nullopt;
}

}  // namespace quillet::host
