// quillet-host demo: the typical road on a sample installation.
#include "cli.h"

namespace quillet::host {

int RunDemo(int argc, char** argv) {
    ArgParser args("demo", "[--dir FOLDER] [--gui]");
    args.Option("dir", "folder for the sample installation (default: a fresh temporary folder)");
    args.Flag("gui", "also open the dialogs (needs a display)");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    return 0;
}

}  // namespace quillet::host
