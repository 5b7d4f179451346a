// quillet-host commands of the other-machine NC data: look up or register a
// template path, ask whether a template defines cutting conditions, open the
// template dialog.
#include <cstdio>
#include <string>

#include "cli.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

// The arguments shared by template-path and template-dialog, parsed from
// the command line; false (with exitCode set) on --help or a bad line.
struct LookupArgs {
    int create = 0;
    int showMessages = 0;
    int type = 0;
    std::string machine;
    std::string material;
    bool json = false;
};

bool ParseLookupArgs(const char* command, int argc, char** argv, LookupArgs& out, int& exitCode) {
    ArgParser args(command, "--type N --machine M --material X [--create] [--json]");
    args.Option("type", "machine type number (130 to 139)", true);
    args.Option("machine", "machine name", true);
    args.Option("material", "laser material name", true);
    args.Flag("create", "register a missing machine or material");
    args.Flag("show-messages", "show the lookup's messages");
    args.Flag("json", "print a JSON object");
    if (!args.Parse(argc, argv, exitCode)) return false;
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) {
        exitCode = kExitUsage;
        return false;
    }
    out = LookupArgs{args.Has("create") ? 1 : 0,
                     args.Has("show-messages") ? 1 : 0,
                     *type,
                     args.Get("machine"),
                     args.Get("material"),
                     args.Has("json")};
    return true;
}

int TemplatePath(int argc, char** argv) {
    LookupArgs args;
    int exitCode = 0;
    if (!ParseLookupArgs("template-path", argc, argv, args, exitCode)) return exitCode;
    char path[500] = {};
    const int status =
        SddGetOthMacCondPath(args.create, args.showMessages, args.type, args.machine.c_str(),
                             args.material.c_str(), "", 0, 0, path);
    if (args.json) {
        std::printf("{\"status\": %d, \"path\": %s}\n", status, JsonString(path).c_str());
    } else if (status == 0) {
        std::printf("%s\n", path);
    } else {
        PrintStatusError("template-path", "SddGetOthMacCondPath", status);
    }
    return ExitCodeForStatus(status);
}

int TemplateCuts(int argc, char** argv) {
    ArgParser args("template-cuts", "(--path FILE | FILE) [--json]");
    args.AllowPositional("FILE", "path of an NC template file (or --path)");
    args.Option("path", "path of an NC template file");
    args.Flag("json", "print a JSON object");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    std::string path = args.Get("path");
    if (args.Has("path") == !args.Positional().empty()) {
        PrintError("template-cuts: give the template path once, as FILE or --path (see --help)");
        return kExitUsage;
    }
    if (!args.Has("path")) path = args.Positional().front();
    const int status = SddGetOthCutInf(path.c_str());
    const char* answer = status == 1 ? "yes" : status == 0 ? "no" : "error";
    if (args.Has("json")) {
        std::printf("{\"status\": %d, \"cuttingConditions\": %s}\n", status,
                    JsonString(answer).c_str());
    } else if (status == 0 || status == 1) {
        std::printf("%s\n", answer);
    } else {
        PrintStatusError("template-cuts", "SddGetOthCutInf", status,
                         " (empty path or file cannot be opened)");
    }
    return ExitCodeForStatus(status);
}

int TemplateDialog(int argc, char** argv) {
    LookupArgs args;
    int exitCode = 0;
    if (!ParseLookupArgs("template-dialog", argc, argv, args, exitCode)) return exitCode;
    char buffer[500] = {};
    const int status =
        SddOthMacCondDLG(args.create, args.showMessages, args.type, args.machine.c_str(),
                         args.material.c_str(), "", 0, 0, buffer);
    const char* outcome = status == 0 ? "ok" : status == 1 ? "cancelled" : "error";
    if (args.json) {
        std::printf("{\"status\": %d, \"result\": %s}\n", status, JsonString(outcome).c_str());
    } else if (status == 0 || status == 1) {
        std::printf("%s\n", outcome);
    } else {
        PrintStatusError("template-dialog", "SddOthMacCondDLG", status);
    }
    return ExitCodeForStatus(status);
}

}  // namespace

std::vector<Command> OthmacCommands() {
    return {
        {"template-path", "find or register an NC template path (SddGetOthMacCondPath)",
         TemplatePath},
        {"template-cuts", "does a template define cutting conditions (SddGetOthCutInf)",
         TemplateCuts},
        {"template-dialog", "edit an NC template in dialog 102 (SddOthMacCondDLG)", TemplateDialog},
    };
}

}  // namespace quillet::host
