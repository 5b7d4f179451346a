// quillet-host commands of the driver settings dialogs: each opens one of
// the three grid dialogs for a machine (MD_OthMacLasCutDLG,
// MD_OthMacToolDLG, MD_OthMacNCCreateDLG) and exits with its status.
#include <strings.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "cli.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

constexpr std::array<const char*, 13> kConditionNames = {
    "K", "L", "M", "H", "U", "U1", "U2", "U3", "U4", "U5", "P101", "P102", "P103"};

// A condition by name (K .. P103, any case) or as a number; numbers outside
// 0 to 12 go through so that the export's own check answers them.
std::optional<int> ParseCondition(const std::string& text) {
    for (std::size_t i = 0; i < kConditionNames.size(); ++i) {
        if (strcasecmp(text.c_str(), kConditionNames[i]) == 0) return static_cast<int>(i);
    }
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size()) return value;
    } catch (...) {
    }
    return std::nullopt;
}

int Report(const ArgParser& args, const char* command, const char* exportName, int status) {
    if (args.Has("json")) {
        std::printf("{\"status\": %d}\n", status);
    } else if (status != 0) {
        PrintStatusError(command, exportName, status);
    }
    return ExitCodeForStatus(status);
}

int LaserDialog(int argc, char** argv) {
    ArgParser args("laser-dialog",
                   "--driver FILE --machine NAME --material NAME --condition K|L|..|P103|0-12 "
                   "[--json]");
    args.Option("driver", "machine driver file", true);
    args.Option("machine", "machine name", true);
    args.Option("material", "laser material name", true);
    args.Option("condition", "cutting condition: name K..P103 or index 0-12", true);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::optional<int> condition = ParseCondition(args.Get("condition"));
    if (!condition) {
        PrintError("laser-dialog: unknown cutting condition '" + args.Get("condition") + "'");
        return kExitUsage;
    }
    const std::string driver = args.Get("driver");
    const std::string machine = args.Get("machine");
    const std::string material = args.Get("material");
    return Report(
        args, "laser-dialog", "MD_OthMacLasCutDLG",
        MD_OthMacLasCutDLG(driver.c_str(), machine.c_str(), material.c_str(), *condition));
}

int ToolDialog(int argc, char** argv) {
    ArgParser args("tool-dialog",
                   "--driver FILE --machine NAME --die-layout NAME --tool N [--json]");
    args.Option("driver", "machine driver file", true);
    args.Option("machine", "machine name", true);
    args.Option("die-layout", "die layout name", true);
    args.Option("tool", "T number (0 or more)", true);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::optional<int> tool = args.GetInt("tool", 0);
    if (!tool) return kExitUsage;
    const std::string driver = args.Get("driver");
    const std::string machine = args.Get("machine");
    const std::string layout = args.Get("die-layout");
    return Report(args, "tool-dialog", "MD_OthMacToolDLG",
                  MD_OthMacToolDLG(driver.c_str(), machine.c_str(), layout.c_str(), *tool));
}

int NcDialog(int argc, char** argv) {
    ArgParser args("nc-dialog", "--driver FILE --machine NAME [--json]");
    args.Option("driver", "machine driver file", true);
    args.Option("machine", "machine name", true);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::string driver = args.Get("driver");
    const std::string machine = args.Get("machine");
    return Report(args, "nc-dialog", "MD_OthMacNCCreateDLG",
                  MD_OthMacNCCreateDLG(driver.c_str(), machine.c_str()));
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
