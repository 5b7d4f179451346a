// quillet-host commands of the other-machine NC data: look up or register a
// template path, list the registered templates, print and write a template
// as text, ask whether a template defines cutting conditions, open the
// template dialog.
#include <cstdio>
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
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

using platform::EqualsIgnoringAsciiCase;

// The arguments shared by the commands that look a template up.
struct LookupArgs {
    int create = 0;
    int showMessages = 0;
    int type = 0;
    std::string machine;
    std::string material;
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
            othmac::ReadTextModeFile(*folder / machine.listFile);
        if (!list) continue;
        othmac::TextLineCursor lines(*list);
        while (const std::optional<std::string_view> line = lines.Next()) {
            if (EqualsIgnoringAsciiCase(othmac::ReadRecord(*line, othmac::kListRecord).name,
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
    const std::string file =
        args.machine + "-" + args.material + std::string(othmac::kTemplateSuffix);
    if (file.size() > othmac::kFileFieldWidth && args.machine.size() <= othmac::kNameFieldWidth &&
        !MaterialListed(args)) {
        return "the template file name " + file + " is " + std::to_string(file.size()) +
               " characters, wider than its 100-character field";
    }
    return "";
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
    if (const std::string problem = out.create ? UnfindableName(out) : ""; !problem.empty()) {
        exitCode = args.MakeReport().Usage(problem);
        return false;
    }
    return true;
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
        return Diagnose({false,
                         false,
                         false,
                         {},
                         {index, *folder / (args.machine + std::string(othmac::kListSuffix))}});
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
                   " is not written yet: write it with template-write --file FILE or "
                   "template-dialog";
        }
        return "material " + args.material + " is not registered for machine " + machine.name +
               " (see quillet-host templates --machine " + machine.name + ")" + fix;
    }
    return "machine " + args.machine + " of type " + std::to_string(args.type) +
           " is not registered in " + index.string() + " (see quillet-host templates)" + fix;
}

// Looks the template up through the export; the path, or nullopt after the
// failure was reported (exitCode set).
std::optional<std::string> LookUp(const Report& report, const LookupArgs& args, int& exitCode) {
    char path[QUILLET_PATH_BUFFER_SIZE] = {};
    const int status =
        SddGetOthMacCondPath(args.create, args.showMessages, args.type, args.machine.c_str(),
                             args.material.c_str(), "", 0, 0, path);
    if (status == 0) return std::string(path);
    exitCode = report.FailStatus("SddGetOthMacCondPath", status, LookupCause(args, status));
    return std::nullopt;
}

// Parses the command line of a command on one template and looks its path
// up; nullopt (exitCode set) on --help, a bad line or a failed look-up.
std::optional<std::string> ParseAndLookUp(ArgParser& args, int argc, char** argv, int& exitCode) {
    LookupArgs lookup;
    if (!ParseLookup(args, argc, argv, lookup, exitCode)) return std::nullopt;
    return LookUp(args.MakeReport(), lookup, exitCode);
}

int TemplatePath(int argc, char** argv) {
    ArgParser args("template-path", "--type N --machine M --material X [--create] [--json]",
                   "template-path --type 130 --machine MC01 --material SPCC1.6 --create");
    DeclareLookup(args, true);
    int exitCode = 0;
    const std::optional<std::string> path = ParseAndLookUp(args, argc, argv, exitCode);
    if (!path) return exitCode;
    const Report report = args.MakeReport();
    if (!report.Json()) std::printf("%s\n", DisplayText(*path).c_str());
    return report.Done(0, {{"path", DisplayText(*path)}});
}

int Templates(int argc, char** argv) {
    ArgParser args("templates", "[--machine NAME] [--json]", "templates --machine MC01 --json");
    args.Option("machine", "only this machine (letter case ignored)");
    args.Flag("json", "print a JSON object");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<fs::path> folder = DataFolder();
    if (!folder) {
        return report.HostFailure("the data folder cannot be formed", Diagnose({true}));
    }
    Json machines = Json::array();
    std::string text;
    for (const check::RegisteredMachine& machine : check::ReadRecordStore(*folder)) {
        if (args.Has("machine") && !EqualsIgnoringAsciiCase(machine.name, args.Get("machine"))) {
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
    const std::optional<std::string> path = ParseAndLookUp(args, argc, argv, exitCode);
    if (!path) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<othmac::NcTemplateTexts> texts = othmac::ReadNcTemplate(*path);
    if (!texts) return report.HostFailure("cannot read the template", ReadProblem(*path));
    const std::string text = othmac::FormatNcTemplate(*texts);
    if (!report.Json()) std::fwrite(text.data(), 1, text.size(), stdout);
    return report.Done(0, {{"path", DisplayText(*path)}, {"text", DisplayText(text)}});
}

int TemplateWrite(int argc, char** argv) {
    ArgParser args("template-write",
                   "--type N --machine M --material X --file F [--create] [--json]",
                   "template-write --type 130 --machine MC01 --material SPCC1.6 --file mc01.txt");
    DeclareLookup(args, true);
    args.Option("file", "template text as template-show prints it", true);
    LookupArgs lookup;
    int exitCode = 0;
    if (!ParseLookup(args, argc, argv, lookup, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::string file = args.Get("file");
    const std::optional<std::string> bytes = platform::ReadWholeFile(fs::path(file));
    if (!bytes) return report.Usage("cannot use --file: " + ReadProblem(file));
    if (bytes->find("###") == std::string::npos) {
        return report.Usage(file +
                            " holds no ### tag line: it is no template text (template-show "
                            "prints one)");
    }
    const std::optional<othmac::NcTemplateTexts> texts = othmac::ReadNcTemplate(file);
    if (!texts) return report.Usage("cannot use --file: " + ReadProblem(file));
    if (const std::optional<std::size_t> overlong = othmac::FirstOverlongText(*texts)) {
        return report.Usage("text " + std::to_string(*overlong + 1) + " of 17 in " + file +
                            " is longer than 499 bytes");
    }
    const std::optional<std::string> path = LookUp(report, lookup, exitCode);
    if (!path) return exitCode;
    if (!othmac::WriteNcTemplate(*texts, *path)) {
        return report.HostFailure("cannot write the template " + *path, WriteProblem(*path));
    }
    if (!report.Json()) std::printf("wrote %s\n", DisplayText(*path).c_str());
    return report.Done(0, {{"path", DisplayText(*path)}});
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
    if (!DisplayAvailable()) return NoDisplay(report);
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
