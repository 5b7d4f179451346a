// A minimal host: loads the module named on the command line and calls one
// export, as a CAM host would, then prints its status.
//   startup_host MODULE SddGetOthMacCondPath MACHINE MATERIAL
//   startup_host MODULE SddPDLOthMacTypeGet TYPE
// Exit 0 after the call (status on standard output), 64 for bad usage, 70
// when the module or the export cannot be found.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void* Export(void* module, const char* name) {
    void* symbol = ::dlsym(module, name);
    if (symbol == nullptr) {
        std::fprintf(stderr, "startup_host: no export %s\n", name);
        std::exit(70);
    }
    return symbol;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 64;
    void* module = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "startup_host: %s\n", ::dlerror());
        return 70;
    }
    int status = 0;
    if (std::strcmp(argv[2], "SddGetOthMacCondPath") == 0 && argc == 5) {
        using Function =
            int (*)(int, int, int, const char*, const char*, const char*, int, int, char*);
        auto function = reinterpret_cast<Function>(Export(module, argv[2]));
        char path[500] = "untouched";
        status = function(1, 1, 0, argv[3], argv[4], "", 0, 0, path);
        std::printf("path %s\n", path);
    } else if (std::strcmp(argv[2], "SddPDLOthMacTypeGet") == 0 && argc == 4) {
        auto function = reinterpret_cast<int (*)(int)>(Export(module, argv[2]));
        status = function(std::atoi(argv[3]));
    } else {
        return 64;
    }
    std::printf("status %d\n", status);
    return 0;
}
