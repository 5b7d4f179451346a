// Opening the closed libraries and resolving their functions.
#include "driver/driver_library.h"

#include <dlfcn.h>

#include <mutex>

namespace quillet::driver {

namespace {

// The library handles: opened once and never closed.
struct OpenLibraries {
    std::mutex mutex;
    void* korvid = nullptr;
    void* dravik = nullptr;
};

OpenLibraries& Libraries() {
    static OpenLibraries libraries;
    return libraries;
}

void* Handle(ClosedLibrary library) {
    OpenLibraries& libs = Libraries();
    std::lock_guard<std::mutex> lock(libs.mutex);
    void*& handle = library == ClosedLibrary::Korvid ? libs.korvid : libs.dravik;
    if (handle == nullptr) {
        // The unversioned name alone: LD_LIBRARY_PATH, then this object's
        // run path. A failed open is tried again by the next operation.
        handle = dlopen(library == ClosedLibrary::Korvid ? "libkorvid.so" : "libDravik.so",
                        RTLD_NOW | RTLD_GLOBAL);
    }
    return handle;
}

}  // namespace

void* ResolveClosedFunction(ClosedLibrary library, const char* name) {
    void* const handle = Handle(library);
    if (void* const global = dlsym(RTLD_DEFAULT, name); global != nullptr) return global;
    return handle != nullptr ? dlsym(handle, name) : nullptr;
}

}  // namespace quillet::driver
