// quillet-host commands that are not a single export: the demo and the
// data-folder audit.
#include "cli.h"

namespace quillet::host {

int RunDemo(int argc, char** argv);   // cmd_demo.cpp
int RunCheck(int argc, char** argv);  // cmd_check.cpp

std::vector<Command> ToolCommands() {
    return {
        {"demo", "run the typical road on a sample installation", RunDemo},
        {"check", "audit a data folder read-only and report what is wrong", RunCheck},
    };
}

}  // namespace quillet::host
