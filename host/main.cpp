// quillet-host: a command-line host that loads the module and calls its
// exports, one subcommand per export and dialog, plus demo and check.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"

namespace {

std::vector<quillet::host::Command> AllCommands() {
    std::vector<quillet::host::Command> all;
    for (auto part : {quillet::host::OthmacCommands(), quillet::host::DriverCommands(),
                      quillet::host::DriverUiCommands(), quillet::host::PdlCommands(),
                      quillet::host::ToolCommands()}) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

void PrintUsage(const std::vector<quillet::host::Command>& commands) {
    std::printf("usage: quillet-host <command> [options]\n\ncommands:\n");
    for (const auto& c : commands) std::printf("  %-22s %s\n", c.name, c.summary);
    std::printf(
        "\n'quillet-host <command> --help' describes a command.\n"
        "Exit status: the export's status modulo 256 (0 done, 1 cancelled or yes, 100, 101,\n"
        "231 = 999 system error, 255 = -1, 254 = -2), 64 bad command line, 70 host failure.\n");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<quillet::host::Command> commands = AllCommands();
    if (argc < 2) {
        PrintUsage(commands);
        return quillet::host::kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        PrintUsage(commands);
        return 0;
    }
    for (const auto& c : commands) {
        if (std::strcmp(c.name, argv[1]) == 0) return c.run(argc - 1, argv + 1);
    }
    quillet::host::PrintError(std::string("unknown command '") + argv[1] +
                              "' (see quillet-host --help)");
    return quillet::host::kExitUsage;
}
