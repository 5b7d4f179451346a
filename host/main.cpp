// quillet-host: a command-line host that loads the module and calls its
// exports, one subcommand per export and dialog, plus demo and check.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"

#ifndef QUILLET_VERSION
#define QUILLET_VERSION "1.0.0"
#endif

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
    std::printf(
        "usage: quillet-host <command> [options]\n"
        "       quillet-host help <command> | --help | --version | -V\n\ncommands:\n");
    for (const auto& c : commands) std::printf("  %-18s %s\n", c.name, c.summary);
    std::printf(
        "\n'quillet-host <command> --help' describes a command, with an example. With\n"
        "--json a command prints one JSON object, on failure too, with its \"status\".\n"
        "The installation roots come from the registry file named by QUILLET_REGISTRY\n"
        "(default /etc/quillet/registry.reg); 'quillet-host init' writes one.\n"
        "\nexit status: a command that calls an export exits with the export's status\n"
        "modulo 256: 0 done, 1 cancelled (or \"yes\" for template-cuts), 100 not set up,\n"
        "101 name too long, 231 system error (999), 255 unavailable (-1), 254 invalid\n"
        "arguments (-2); generate-nc passes the NC-data library's failure codes the same\n"
        "way. 1 also: a likely mistake refused (a PDL pair without its condition file,\n"
        "a missing pair to delete, an existing registry file) or nothing done (no NC file\n"
        "written; check found errors). 64: bad command line. 69: a dialog without a\n"
        "display (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM). 70: quillet-host itself\n"
        "failed.\n");
}

const quillet::host::Command* FindCommand(const std::vector<quillet::host::Command>& commands,
                                          const char* name) {
    for (const auto& c : commands) {
        if (std::strcmp(c.name, name) == 0) return &c;
    }
    return nullptr;
}

int UnknownCommand(const char* name) {
    quillet::host::PrintError(std::string("unknown command '") + name +
                              "' (see quillet-host --help)");
    return quillet::host::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    quillet::host::PrintInLocaleEncoding();
    const std::vector<quillet::host::Command> commands = AllCommands();
    if (argc < 2) {
        PrintUsage(commands);
        return quillet::host::kExitUsage;
    }
    const char* first = argv[1];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
        PrintUsage(commands);
        return 0;
    }
    if (std::strcmp(first, "--version") == 0 || std::strcmp(first, "-V") == 0) {
        std::printf("quillet-host %s\n", QUILLET_VERSION);
        return 0;
    }
    if (std::strcmp(first, "help") == 0) {
        if (argc == 2) {
            PrintUsage(commands);
            return 0;
        }
        const quillet::host::Command* command = FindCommand(commands, argv[2]);
        if (command == nullptr) return UnknownCommand(argv[2]);
        char helpFlag[] = "--help";
        char* helpArgs[] = {argv[2], helpFlag, nullptr};
        return command->run(2, helpArgs);
    }
    if (first[0] == '-') {
        quillet::host::PrintError(std::string("unknown option '") + first +
                                  "' (see quillet-host --help)");
        return quillet::host::kExitUsage;
    }
    const quillet::host::Command* command = FindCommand(commands, first);
    if (command == nullptr) return UnknownCommand(first);
    return command->run(argc - 1, argv + 1);
}
