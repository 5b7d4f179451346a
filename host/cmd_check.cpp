// quillet-host check: a read-only audit of a data folder.
#include "cli.h"

namespace quillet::host {

int RunCheck(int argc, char** argv) {
    ArgParser args("check", "[--data-root FOLDER] [--json]");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    return 0;
}

}  // namespace quillet::host
