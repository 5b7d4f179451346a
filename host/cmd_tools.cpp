// quillet-host commands that are not a single export: the demo, the
// data-folder audit and the set-up of a workstation.
#include "cli.h"

namespace quillet::host {

int RunDemo(int argc, char** argv);   // cmd_demo.cpp
int RunCheck(int argc, char** argv);  // cmd_check.cpp
int RunInit(int argc, char** argv);   // cmd_init.cpp

std::vector<Command> ToolCommands() {
    return {
        {"demo", "run the typical road on a sample installation", RunDemo},
        {"check", "audit a data folder read-only and report what is wrong", RunCheck},
        {"init", "set up a workstation: create the folders, write the registry file", RunInit},
    };
}

}  // namespace quillet::host
