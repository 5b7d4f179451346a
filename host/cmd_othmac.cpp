// quillet-host commands of the other-machine NC data: look up or register a
// template path, list the registered templates, print and write a template
// as text, ask whether a template defines cutting conditions, open the
// template dialog.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "check/check.h"
#include "cli.h"
#include "diagnose.h"
#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "othmac/text_lines.h"
#include "platform/ascii.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/text_mode.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

using platform::EqualsIgnoringAsciiCase;

// The arguments shared by the commands that look a template up.
struct LookupArgs {
    int create = 0;
    int showMessages = 0;
    int type = 0;
    std::string machine;   // the names in the form the data folder holds
    std::string material;  // (see ResolveNames)
    Json nameForms = Json::object();
};

void DeclareLookup(ArgParser& args, bool create) {
    args.Option("type", "machine type number (130 to 139)", true);
    args.Option("machine", "machine name", true);
    args.Option("material", "laser material name", true);
    if (create) args.Flag("create", "register a missing machine or material");
    args.Flag("show-messages", "show the lookup's messages");
    args.Flag("json", "print a JSON object");
}

// True when the machine's material list (under any of its type numbers)
// holds the material already, read as the look-up reads it: a registration
// then writes no material record.
bool MaterialListed(const LookupArgs& args) {
    const std::optional<fs::path> folder = DataFolder();
    if (!folder) return false;
    for (const check::RegisteredMachine& machine : check::ReadRecordStore(*folder)) {
        if (!EqualsIgnoringAsciiCase(machine.name, args.machine)) continue;
        const std::optional<std::string> list =
            platform::ReadTextModeFile(*folder / machine.listFile);
        if (!list) continue;
        platform::FgetsReader lines = othmac::TextLines(*list);
        while (const std::optional<platform::FgetsPiece> line = lines.Next()) {
            if (EqualsIgnoringAsciiCase(othmac::ReadRecord(line->cString, othmac::kListRecord).name,
                                        args.material)) {
                return true;
            }
        }
    }
    return false;
}

// A registration the stored format can never find again: the index reads a
// name up to its first space and only from its field.
std::string UnfindableName(const LookupArgs& args) {
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
        !MaterialListed(args)) {
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
std::string ResolveNames(const Report& report, LookupArgs& args) {
    const std::optional<fs::path> folder = DataFolder();
    const std::vector<check::RegisteredMachine> store =
        folder ? check::ReadRecordStore(*folder) : std::vector<check::RegisteredMachine>();
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
        return (machine = FindMachine(store, args.type, form)) != nullptr;
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

// Parses the lookup arguments; false (exitCode set) on --help, a bad line or
// a registration that could never be found again.
bool ParseLookup(ArgParser& args, int argc, char** argv, LookupArgs& out, int& exitCode) {
    if (!args.Parse(argc, argv, exitCode)) return false;
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) {
        exitCode = kExitUsage;
        return false;
    }
    out = LookupArgs{args.Has("create") ? 1 : 0, args.Has("show-messages") ? 1 : 0, *type,
                     args.Get("machine"), args.Get("material")};
    if (const std::string problem = ResolveNames(args.MakeReport(), out); !problem.empty()) {
        exitCode = args.MakeReport().Usage(problem);
        return false;
    }
    if (const std::string problem = out.create ? UnfindableName(out) : ""; !problem.empty()) {
        exitCode = args.MakeReport().Usage(problem);
        return false;
    }
    return true;
}

// The pair is registered (its template file may not be written yet).
bool IsRegistered(const LookupArgs& args) {
    const std::optional<fs::path> folder = DataFolder();
    if (!folder) return false;
    const std::vector<check::RegisteredMachine> store = check::ReadRecordStore(*folder);
    const check::RegisteredMachine* machine = FindMachine(store, args.type, args.machine);
    return machine != nullptr &&
           std::any_of(machine->materials.begin(), machine->materials.end(),
                       [&](const check::RegisteredMaterial& material) {
                           return EqualsIgnoringAsciiCase(material.name, args.material);
                       });
}

// The cause of a failed lookup: the installation first, then which record
// or file is missing.
std::string LookupCause(const LookupArgs& args, int status) {
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
    const std::optional<fs::path> folder = DataFolder();
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
    for (const check::RegisteredMachine& machine : check::ReadRecordStore(*folder)) {
        if (machine.type != args.type || !EqualsIgnoringAsciiCase(machine.name, args.machine)) {
            continue;
        }
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

// Looks the template up through the export; the path, or nullopt after the
// failure was reported (exitCode set). A registered pair whose template is
// not written yet (100) is not reported when quietIfUnwritten.
std::optional<std::string> LookUp(const Report& report, const LookupArgs& args, int& exitCode,
                                  bool quietIfUnwritten = false) {
    char path[QUILLET_PATH_BUFFER_SIZE] = {};
    const int status =
        SddGetOthMacCondPath(args.create, args.showMessages, args.type, args.machine.c_str(),
                             args.material.c_str(), "", 0, 0, path);
    if (status == 0) return std::string(path);
    if (quietIfUnwritten && status == QUILLET_NOT_SET_UP && IsRegistered(args)) {
        return std::nullopt;
    }
    exitCode = report.FailStatus("SddGetOthMacCondPath", status, LookupCause(args, status));
    return std::nullopt;
}

int TemplatePath(int argc, char** argv) {
    ArgParser args("template-path", "--type N --machine M --material X [--create] [--json]",
                   "template-path --type 130 --machine MC01 --material SPCC1.6 --create");
    DeclareLookup(args, true);
    int exitCode = 0;
    LookupArgs lookup;
    if (!ParseLookup(args, argc, argv, lookup, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<std::string> path = LookUp(report, lookup, exitCode);
    if (!path) return exitCode;
    if (!report.Json()) std::printf("%s\n", DisplayText(*path).c_str());
    return report.Done(0, {{"path", DisplayText(*path)}, {"nameForms", lookup.nameForms}});
}

int Templates(int argc, char** argv) {
    ArgParser args("templates", "[--machine NAME] [--json]", "templates --machine MC01 --json");
    args.Option("machine", "only this machine (letter case ignored)");
    args.Flag("json", "print a JSON object");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<fs::path> folder = DataFolderToList(report, QUILLET_NOT_SET_UP, exitCode);
    if (!folder) return exitCode;
    const std::vector<std::string> forms = NameForms(args.Get("machine"));
    Json machines = Json::array();
    std::string text;
    for (const check::RegisteredMachine& machine : check::ReadRecordStore(*folder)) {
        if (args.Has("machine") &&
            std::none_of(forms.begin(), forms.end(), [&](const std::string& form) {
                return EqualsIgnoringAsciiCase(machine.name, form);
            })) {
            continue;
        }
        const std::string name = DisplayText(machine.name);
        text += std::to_string(machine.type) + " " + name + " (material list " +
                DisplayText(machine.listFile) + (machine.listed ? "" : ", cannot be read") + ")\n";
        Json materials = Json::array();
        for (const check::RegisteredMaterial& material : machine.materials) {
            const fs::path file = *folder / material.templateFile;
            const bool exists = platform::FileExists(file);
            text += "  " + DisplayText(material.name) + "  " + DisplayText(file.string()) +
                    (exists ? "" : " (not written yet)") + "\n";
            materials.push_back({{"name", DisplayText(material.name)},
                                 {"template", DisplayText(file.string())},
                                 {"exists", exists}});
        }
        machines.push_back({{"type", machine.type},
                            {"name", name},
                            {"list", DisplayText(machine.listFile)},
                            {"materials", materials}});
    }
    if (args.Has("machine") && machines.empty()) {
        return report.Fail(kExitNotDone, kExitNotDone,
                           "machine " + args.Get("machine") + " is not registered",
                           "quillet-host templates lists the registered machines");
    }
    if (!report.Json()) {
        std::fputs(machines.empty() ? ("no machine is registered in " +
                                       (*folder / othmac::kIndexFileName).string() + "\n")
                                          .c_str()
                                    : text.c_str(),
                   stdout);
    }
    return report.Done(0, {{"dataFolder", DisplayText(folder->string())}, {"machines", machines}});
}

int TemplateShow(int argc, char** argv) {
    ArgParser args("template-show", "--type N --machine M --material X [--json]",
                   "template-show --type 130 --machine MC01 --material SPCC1.6 > mc01.txt");
    DeclareLookup(args, false);
    int exitCode = 0;
    LookupArgs lookup;
    if (!ParseLookup(args, argc, argv, lookup, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<std::string> path = LookUp(report, lookup, exitCode);
    if (!path) return exitCode;
    const std::optional<othmac::NcTemplateTexts> texts = othmac::ReadNcTemplate(*path);
    if (!texts) return report.HostFailure("cannot read the template", ReadProblem(*path));
    // CP932 text is shown decoded; template-write stores it back byte for byte.
    const std::string text = DisplayText(othmac::FormatNcTemplate(*texts));
    if (!report.Json()) std::fwrite(text.data(), 1, text.size(), stdout);
    return report.Done(0, {{"path", DisplayText(*path)}, {"text", text}});
}

// What the template format cannot keep of a template text: the text is
// read as the module reads a template file, and each line must come back
// as it was written. "" when every line does, else what is lost first.
std::string UnkeptTemplateText(std::string_view textModeBytes) {
    std::string problem;
    othmac::ScanNcTemplate(textModeBytes, [&](const othmac::NcTemplateLine& piece) {
        if (!problem.empty()) return;
        const std::string where = "line " + std::to_string(piece.line) + " ";
        if (piece.nul) {
            problem = where + "holds a NUL byte, which ends it on reading";
        } else if (piece.tag != othmac::kNcNoTag) {
            const std::string_view tag = othmac::NcTagText(piece.tag);
            if (platform::TrimProfileSpace(piece.piece) != tag) {
                problem = where + "holds more than its tag " + std::string(tag) +
                          ": a tag line keeps nothing else";
            }
        } else if (piece.section < 0) {
            if (!platform::TrimProfileSpace(piece.piece).empty()) {
                problem = where +
                          "stands outside any section (after ###END or before the "
                          "first tag): it would be dropped";
            }
        } else if (!othmac::kNcTemplateSections[static_cast<std::size_t>(piece.section)].text) {
            problem = where + "is content of " + std::string(othmac::NcTagText(piece.section)) +
                      ", a section that keeps no text";
        } else if (piece.kept < piece.piece.size() && !piece.ownMarker) {
            const std::string_view lost = piece.piece.substr(piece.kept);
            problem = where + "holds '" + std::string(lost.substr(0, lost.find(')') + 1)) +
                      "', a marker that ends a line on reading: '" + std::string(lost) +
                      "' would be lost; reword it";
        }
    });
    if (!problem.empty()) return problem;
    // Whatever else the format cannot hold (a carriage return before a line
    // end ...): the texts must read back alike; blank ones are written empty.
    const othmac::NcTemplateTexts texts = othmac::ParseNcTemplate(textModeBytes);
    const othmac::NcTemplateTexts back =
        othmac::ParseNcTemplate(platform::TextModeBytes(othmac::FormatNcTemplate(texts)));
    for (const othmac::NcTemplateSection& section : othmac::kNcTemplateSections) {
        const std::string& text = section.text ? texts[*section.text] : std::string();
        if (text.find_first_not_of(" \r\n") != std::string::npos && text != back[*section.text]) {
            return "the text of " + std::string(section.tag) + " would not read back the same";
        }
    }
    return "";
}

int TemplateWrite(int argc, char** argv) {
    ArgParser args("template-write",
                   "--type N --machine M --material X --file F [--create] [--json]",
                   "template-write --type 130 --machine MC01 --material SPCC1.6 --file mc01.txt");
    DeclareLookup(args, true);
    args.Option("file", "template text as template-show prints it", true);
    args.Note(
        "Text in UTF-8 is stored as code page 932, text already in code page 932 as it is.\n"
        "Text the template format would not keep is refused (exit 64, naming the line): a\n"
        "marker text such as (OFF) or (CUT-K) inside a line, a line outside any section, a\n"
        "NUL byte, content of a section whose text is not kept, a text over 499 bytes. A pair\n"
        "registered without its template (template-path --create) gets it written.");
    LookupArgs lookup;
    int exitCode = 0;
    if (!ParseLookup(args, argc, argv, lookup, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::string file = args.Get("file");
    const std::optional<std::string> given = platform::ReadWholeFile(fs::path(file));
    if (!given) return report.Usage("cannot use --file: " + ReadProblem(file));
    if (given->find("###") == std::string::npos) {
        return report.Usage(file +
                            " holds no ### tag line: it is no template text (template-show "
                            "prints one)");
    }
    // UTF-8 text (from template-show or an editor) is stored as CP932.
    std::string unheld;
    const std::optional<std::string> bytes = Cp932Form(*given, unheld);
    if (!bytes) {
        int line = 1;
        for (std::size_t start = 0; start < given->size(); ++line) {
            const std::size_t end = std::min(given->find('\n', start), given->size());
            if (!Cp932Form(given->substr(start, end - start), unheld)) break;
            start = end + 1;
        }
        return report.Usage(file + ": line " + std::to_string(line) + " holds " + unheld +
                            ", which code page 932 cannot hold: the template is shared with "
                            "Windows workstations");
    }
    const std::string textMode = platform::TextModeBytes(*bytes);
    if (const std::string problem = UnkeptTemplateText(textMode); !problem.empty()) {
        return report.Usage(file + ": " + problem + " (the template would not keep it)");
    }
    const othmac::NcTemplateTexts texts = othmac::ParseNcTemplate(textMode);
    if (const std::optional<std::size_t> overlong = othmac::FirstOverlongText(texts)) {
        return report.Usage("text " + std::to_string(*overlong + 1) + " of 17 in " + file +
                            " is longer than 499 bytes");
    }
    std::optional<std::string> path = LookUp(report, lookup, exitCode, lookup.create == 0);
    if (!path && lookup.create == 0 && IsRegistered(lookup)) {
        // A registered pair without its file yet: the look-up that may
        // register finds it without writing a record, and gives its path.
        LookupArgs registered = lookup;
        registered.create = 1;
        path = LookUp(report, registered, exitCode);
    }
    if (!path) return exitCode;
    if (!othmac::WriteNcTemplate(texts, *path)) {
        const std::string cause = WriteProblem(*path);
        return report.Fail(kExitNotDone, kExitNotDone, "cannot write the template " + *path,
                           cause.empty() ? "the file system refused the write" : cause);
    }
    if (!report.Json()) std::printf("wrote %s\n", DisplayText(*path).c_str());
    return report.Done(0, {{"path", DisplayText(*path)}, {"nameForms", lookup.nameForms}});
}

int TemplateCuts(int argc, char** argv) {
    ArgParser args("template-cuts", "(--path FILE | FILE) [--json]",
                   "template-cuts /srv/quillet/data/data/Othmcn/MC01-SPCC1.6.CUT");
    args.AllowPositional("FILE", "path of an NC template file (or --path)");
    args.Option("path", "path of an NC template file");
    args.Flag("json", "print a JSON object");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    if (args.Has("path") == !args.Positional().empty()) {
        return report.Usage("give the template path once, as FILE or --path (see --help)");
    }
    const std::string path = args.Has("path") ? args.Get("path") : args.Positional().front();
    const int status = SddGetOthCutInf(path.c_str());
    if (status != 0 && status != 1) {
        return report.FailStatus("SddGetOthCutInf", status, ReadProblem(path));
    }
    const char* answer = status == 1 ? "yes" : "no";
    if (!report.Json()) std::printf("%s\n", answer);
    return report.Done(status, {{"cuttingConditions", answer}});
}

int TemplateDialog(int argc, char** argv) {
    ArgParser args("template-dialog", "--type N --machine M --material X [--create] [--json]",
                   "template-dialog --type 130 --machine MC01 --material SPCC1.6");
    DeclareLookup(args, true);
    LookupArgs lookup;
    int exitCode = 0;
    if (!ParseLookup(args, argc, argv, lookup, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    if (const std::optional<int> refused = RefuseWithoutDisplay(report)) return *refused;
    char buffer[QUILLET_PATH_BUFFER_SIZE] = {};
    const int status =
        SddOthMacCondDLG(lookup.create, lookup.showMessages, lookup.type, lookup.machine.c_str(),
                         lookup.material.c_str(), "", 0, 0, buffer);
    if (status != 0 && status != 1) {
        return report.FailStatus("SddOthMacCondDLG", status, LookupCause(lookup, status));
    }
    const char* outcome = status == 0 ? "ok" : "cancelled";
    if (!report.Json()) std::printf("%s\n", outcome);
    return report.Done(status, {{"result", outcome}});
}

}  // namespace

std::vector<Command> OthmacCommands() {
    return {
        {"template-path", "find or register an NC template path (SddGetOthMacCondPath)",
         TemplatePath},
        {"templates", "list the registered machines, materials and template files", Templates},
        {"template-show", "print an NC template as text", TemplateShow},
        {"template-write", "write an NC template from text (as template-show prints it)",
         TemplateWrite},
        {"template-cuts", "does a template define cutting conditions (SddGetOthCutInf)",
         TemplateCuts},
        {"template-dialog", "edit an NC template in dialog 102 (SddOthMacCondDLG)", TemplateDialog},
    };
}

}  // namespace quillet::host
