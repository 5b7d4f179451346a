// Start-up probe: prints "ready" and "bitmaps N" (pictures 157-164), then shows
// each string id given, exit 0; or prints "inert", exit 3.
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
