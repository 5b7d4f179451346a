// quillet-host commands of the driver settings dialogs: each opens one of
// the three grid dialogs for a machine (MD_OthMacLasCutDLG,
// MD_OthMacToolDLG, MD_OthMacNCCreateDLG) and exits with its status.
#include <cstdio>
#include <optional>
#include <string>

#include "cli.h"
#include "diagnose.h"
#include "driver/driver_settings.h"
#include "platform/file_ops.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

// Runs a dialog export when a display is there; the exit code carries its
// status. The names (machine, and the material or die layout of kind) are
// taken in the form whose saved file exists, else in their CP932 form, in
// which OK saves a new one.
template <typename Open>
int RunDialog(const ArgParser& args, const char* exportName, driver::DriverSettingKind kind,
              const char* what, Open open) {
    const Report report = args.MakeReport();
    if (const std::optional<int> refused = RefuseWithoutDisplay(report)) return *refused;
    std::string machine = args.Get("machine");
    std::string name = what != nullptr ? args.Get(what) : "";
    std::vector<TypedName> names = {{"machine", &machine}};
    if (what != nullptr) names.push_back({what, &name});
    Json nameForms = Json::object();
    if (const std::optional<int> refused = ResolveFileNames(
            report, names,
            [&](const std::vector<std::string>& forms) {
                const std::optional<std::string> saved = driver::BuildDriverSettingPath(
                    kind, forms[0], forms.size() > 1 ? forms[1] : "");
                return saved && platform::FileExists(*saved);
            },
            true, nameForms)) {
        return *refused;
    }
    const int status = open(machine, name);
    if (status != 0) {
        return report.FailStatus(
            exportName, status, status == QUILLET_SYSTEM_ERROR ? Diagnose({true, true, true}) : "");
    }
    return report.Done(status);
}

void DeclareDriverAndMachine(ArgParser& args) {
    args.Option("driver", "machine driver file", true);
    args.Option("machine", "machine name", true);
}

int LaserDialog(int argc, char** argv) {
    ArgParser args("laser-dialog",
                   "--driver FILE --machine NAME --material NAME --condition K|L|..|P103|0-12 "
                   "[--json]",
                   "laser-dialog --driver laser.drv --machine MC01 --material SPCC1.6 "
                   "--condition L");
    DeclareDriverAndMachine(args);
    args.Option("material", "laser material name", true);
    DeclareTable(args, "condition", "cutting condition");
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::optional<int> condition = TableArg(args, exitCode);
    if (!condition) return exitCode;
    return RunDialog(args, "MD_OthMacLasCutDLG", driver::DriverSettingKind::Cut, "material",
                     [&](const std::string& machine, const std::string& material) {
                         return MD_OthMacLasCutDLG(args.Get("driver").c_str(), machine.c_str(),
                                                   material.c_str(), *condition);
                     });
}

int ToolDialog(int argc, char** argv) {
    ArgParser args("tool-dialog",
                   "--driver FILE --machine NAME --die-layout NAME --tool N [--json]",
                   "tool-dialog --driver laser.drv --machine MC01 --die-layout DIE01 --tool 1");
    DeclareDriverAndMachine(args);
    args.Option("die-layout", "die layout name", true);
    args.Option("tool", "T number (0 or more)", true);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::optional<int> tool = args.GetInt("tool", 0);
    if (!tool) return kExitUsage;
    return RunDialog(args, "MD_OthMacToolDLG", driver::DriverSettingKind::Tool, "die-layout",
                     [&](const std::string& machine, const std::string& dieLayout) {
                         return MD_OthMacToolDLG(args.Get("driver").c_str(), machine.c_str(),
                                                 dieLayout.c_str(), *tool);
                     });
}

int NcDialog(int argc, char** argv) {
    ArgParser args("nc-dialog", "--driver FILE --machine NAME [--json]",
                   "nc-dialog --driver laser.drv --machine MC01");
    DeclareDriverAndMachine(args);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    return RunDialog(args, "MD_OthMacNCCreateDLG", driver::DriverSettingKind::Nc, nullptr,
                     [&](const std::string& machine, const std::string&) {
                         return MD_OthMacNCCreateDLG(args.Get("driver").c_str(), machine.c_str());
                     });
}

}  // namespace

std::vector<Command> DriverUiCommands() {
    return {
        {"laser-dialog", "open the driver laser-condition dialog (MD_OthMacLasCutDLG)",
         LaserDialog},
        {"tool-dialog", "open the driver tool-condition dialog (MD_OthMacToolDLG)", ToolDialog},
        {"nc-dialog", "open the driver NC-creation dialog (MD_OthMacNCCreateDLG)", NcDialog},
    };
}

}  // namespace quillet::host
