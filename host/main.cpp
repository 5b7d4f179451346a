// quillet-host: a command-line host that loads the module and calls its
// exports.
#include <cstdio>
#include <cstring>

#include "quillet/quillet.h"

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::puts("usage: quillet-host <command> [options]");
        return argc < 2 ? 2 : 0;
    }
    std::fprintf(stderr, "quillet-host: unknown command '%s'\n", argv[1]);
    return 2;
}
