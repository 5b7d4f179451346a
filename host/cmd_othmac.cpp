// quillet-host commands of the other-machine NC data: look up or register a
// template path, list the registered templates, print and write a template
// as text, ask whether a template defines cutting conditions, open the
// template dialog.
#include <algorithm>
#include <cstdio>
#include <string>

#include "check/check.h"
#include "cli.h"
#include "diagnose.h"
#include "othmac/nc_template.h"
#include "othmac/record_layout.h"
#include "platform/ascii.h"
#include "platform/file_ops.h"
#include "platform/text_mode.h"
#include "quillet/quillet.h"
#include "template_lookup.h"

namespace quillet::host {

namespace {

using platform::EqualsIgnoringAsciiCase;

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
    const std::optional<std::vector<std::string>> only =
        args.Has("machine") ? std::optional(forms) : std::nullopt;
    for (const check::RegisteredMachine& machine : check::ReadRecordStore(*folder, only)) {
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
