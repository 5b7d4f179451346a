// The subcommands of quillet-host and what every command uses: its options
// (args.h), its report (report.h), typed names (names.h), the installation
// roots (registry_roots.h) and the samples (samples.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "args.h"
#include "names.h"
#include "registry_roots.h"
#include "report.h"
#include "samples.h"

namespace quillet::host {

// One subcommand.
struct Command {
    const char* name;
    const char* summary;
    std::function<int(int argc, char** argv)> run;  // argv[0] is the command name
};

// The subcommands of each area; main() lists them all.
std::vector<Command> OthmacCommands();
std::vector<Command> DriverCommands();
std::vector<Command> DriverUiCommands();
std::vector<Command> PdlCommands();
std::vector<Command> ToolCommands();  // demo, check, init

// Runs pdl-table with these words (the command name first).
int RunPdlTableCommand(const std::vector<std::string>& words);

// Runs a dialog command's export when the module can show a dialog (the
// module's own rule: the display the Qt platform plug-in would use can be
// reached); otherwise reports why (exit 69) and returns that exit code.
std::optional<int> RefuseWithoutDisplay(const Report& report);

// What a file is now, to tell whether a call replaced or created it.
struct FileStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::int64_t inode = 0;
    std::int64_t modified = 0;  // nanoseconds
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const fs::path& path);

}  // namespace quillet::host
