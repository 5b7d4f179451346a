// Opening the closed libraries, resolving their functions, and the lock that
// keeps their call sequences whole.
#include "driver/driver_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/messages.h"

namespace quillet::driver {

namespace {

struct LibraryName {
    const char* file;
    const char* role;
};

LibraryName NameOf(ClosedLibrary library) {
    return library == ClosedLibrary::Korvid
               ? LibraryName{"libkorvid.so", "the machine-driver library"}
               : LibraryName{"libDravik.so", "the NC-data library"};
}

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

std::string LoaderError() {
    const char* text = ::dlerror();
    return text != nullptr ? text : "unknown error of the dynamic loader";
}

// A file of that name in QUILLET_DRIVER_DIR is the one asked for, whatever
// it holds; without one the unversioned name goes through the library search
// path (LD_LIBRARY_PATH, then this object's run path).
void* Open(const LibraryName& name, std::string& error) {
    const char* folder = std::getenv("QUILLET_DRIVER_DIR");
    std::string file = name.file;
    if (folder != nullptr && folder[0] != '\0') {
        const std::string inFolder = std::string(folder) + "/" + name.file;
        if (::access(inFolder.c_str(), F_OK) == 0) file = inFolder;
    }
    void* const handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (handle == nullptr) {
        error = std::string(name.role) + " cannot be loaded: " + LoaderError() +
                " (QUILLET_DRIVER_DIR, or else the library search path, must reach the host's " +
                "libkorvid.so and libDravik.so)";
    }
    return handle;
}

// The library's handle; a failed open is tried again by the next operation.
void* Handle(ClosedLibrary library, std::string& error) {
    OpenLibraries& libs = Libraries();
    std::lock_guard<std::mutex> lock(libs.mutex);
    void*& handle = library == ClosedLibrary::Korvid ? libs.korvid : libs.dravik;
    if (handle == nullptr) handle = Open(NameOf(library), error);
    return handle;
}

}  // namespace

void* ResolveClosedFunction(ClosedLibrary library, const char* name, std::string& error) {
    void* const handle = Handle(library, error);
    if (void* const global = ::dlsym(RTLD_DEFAULT, name); global != nullptr) return global;
    if (handle == nullptr) return nullptr;
    ::dlerror();
    void* const function = ::dlsym(handle, name);
    if (function == nullptr) {
        error = std::string(NameOf(library).role) + " lacks a function: " + LoaderError();
    }
    return function;
}

void FunctionBinder::ReportUnbound(const std::string& error) { platform::ReportToHost(error); }

std::unique_lock<std::recursive_mutex> LockClosedLibraries() {
    static std::recursive_mutex mutex;
    return std::unique_lock<std::recursive_mutex>(mutex);
}

}  // namespace quillet::driver
