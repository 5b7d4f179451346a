// A minimal host: startup_host MODULE SddGetOthMacCondPath MACHINE MATERIAL,
// MODULE SddPDLOthMacTypeGet TYPE or MODULE MD_OthMacNCCreateDLG DRIVER
// MACHINE prints the status, then each Qt library mapped into the process
// ("mapped PATH"); 64 bad usage, 70 no module.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

int main(int argc, char** argv) {
    const std::string name = argc > 2 ? argv[2] : "";
    const bool path = name == "SddGetOthMacCondPath" && argc == 5;
    const bool dialog = name == "MD_OthMacNCCreateDLG" && argc == 5;
    if (!path && !dialog && !(name == "SddPDLOthMacTypeGet" && argc == 4)) return 64;
    void* module = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    void* symbol = module != nullptr ? ::dlsym(module, name.c_str()) : nullptr;
    if (symbol == nullptr) {
        std::fprintf(stderr, "startup_host: %s\n", ::dlerror());
        return 70;
    }
    int status = 0;
    if (path) {
        using Function =
            int (*)(int, int, int, const char*, const char*, const char*, int, int, char*);
        char buffer[500] = "untouched";
        status = reinterpret_cast<Function>(symbol)(1, 1, 0, argv[3], argv[4], "", 0, 0, buffer);
        std::printf("path %s\n", buffer);
    } else if (dialog) {
        status = reinterpret_cast<int (*)(const char*, const char*)>(symbol)(argv[3], argv[4]);
    } else {
        status = reinterpret_cast<int (*)(int)>(symbol)(std::atoi(argv[3]));
    }
    std::printf("status %d\n", status);
    std::ifstream maps("/proc/self/maps");
    std::set<std::string> qt;
    for (std::string line; std::getline(maps, line);) {
        if (line.find("/libQt") != std::string::npos) qt.insert(line.substr(line.find('/')));
    }
    for (const std::string& library : qt) std::printf("mapped %s\n", library.c_str());
    return 0;
}
