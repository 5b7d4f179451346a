// Start-up probe: runs module start-up in a fresh process and shows string
// messages, so that a test can watch which resource set was chosen.
//   startup_probe [id...]
// Prints "ready" or "inert" and, when ready, "bitmaps N" (pictures 157-164
// found) and shows each string id headless. Exit 0 when ready, 3 when inert.
#include <cstdio>
#include <cstdlib>

#include "frame/module.h"
#include "frame/resources.h"

int main(int argc, char** argv) {
    using namespace quillet::frame;
    if (!ModuleReady()) {
        std::printf("inert\n");
        return 3;
    }
    int bitmaps = 0;
    for (int id = 157; id <= 164; ++id) bitmaps += ResourceBitmap(id).has_value() ? 1 : 0;
    std::printf("ready\nbitmaps %d\n", bitmaps);
    for (int i = 1; i < argc; ++i) ShowStringMessage(std::atoi(argv[i]));
    return 0;
}
