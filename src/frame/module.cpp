// Module start-up, the resource library it holds, and the messages that come
// from the resource set.
#include "frame/module.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

#include "frame/resources.h"
#include "platform/code_page.h"
#include "platform/file_lock.h"
#include "resource_set.h"

namespace quillet::frame {

namespace {

constexpr const char* kResourceLibrary = "libQuillet_rs.so";

// The loaded resource library. It is freed when the module itself is
// unloaded (or the process ends); lookups then fall back to the built-in set.
class ResourceLibrary {
public:
    ResourceLibrary() = default;
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;
    ~ResourceLibrary() {
        if (handle_ == nullptr) return;
        UseResourceSet(nullptr);
        ::dlclose(handle_);
    }

    // Loads the library through the ordinary search path and returns its set;
    // null when it cannot be loaded or is not a resource library.
    const QuilletResourceSet* Load() {
        handle_ = ::dlopen(kResourceLibrary, RTLD_NOW | RTLD_LOCAL);
        // Beside the module, as a run path of $ORIGIN finds it. Needed where
        // dlopen does not see the module as its caller (a sanitizer's
        // interceptor calls it from its own runtime).
        if (handle_ == nullptr) {
            const std::string beside =
                PathBesideLibrary(reinterpret_cast<const void*>(&ModuleReady), kResourceLibrary);
            if (!beside.empty()) handle_ = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
        }
        if (handle_ == nullptr) return nullptr;
        using SetFunction = const QuilletResourceSet* (*)();
        auto function = reinterpret_cast<SetFunction>(::dlsym(handle_, "QuilletGetResourceSet"));
        const QuilletResourceSet* set = function != nullptr ? function() : nullptr;
        if (set == nullptr) {
            ::dlclose(handle_);
            handle_ = nullptr;
        }
        return set;
    }

private:
    void* handle_ = nullptr;
};

bool StartUp() {
    if (platform::ActiveCodePageIs932()) {
        UseResourceSet(BuiltinResourceSet());
        return true;
    }
    static ResourceLibrary library;
    const QuilletResourceSet* set = library.Load();
    if (set == nullptr) {
        ShowBuiltinMessage(std::string("Resource load error!![") + kResourceLibrary + "]");
        return false;
    }
    UseResourceSet(set);
    return true;
}

}  // namespace

std::string PathBesideLibrary(const void* address, std::string_view fileName) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return "";
    const std::string_view library = info.dli_fname;
    const std::size_t slash = library.rfind('/');
    if (slash == std::string_view::npos) return "";
    return std::string(library.substr(0, slash + 1)).append(fileName);
}

bool ModuleReady() {
    static std::once_flag once;
    static bool ready = false;
    // An export called from inside the start-up message box (a host timer
    // firing in its event loop) finds the module not ready instead of
    // waiting on itself.
    thread_local bool starting = false;
    if (starting) return false;
    std::call_once(once, [] {
        struct Flag {
            Flag() { starting = true; }
            ~Flag() { starting = false; }
        } flag;
        ready = StartUp();
    });
    return ready;
}

platform::MessageAnswer ShowStringMessage(int id, platform::MessageButtons buttons) {
    return platform::ShowMessage(
        platform::MessageRequest{std::string(ResourceString(id)), std::to_string(id), buttons});
}

void ShowBuiltinMessage(const std::string& text) {
    platform::ShowMessage(platform::MessageRequest{text, "builtin", platform::MessageButtons::Ok});
}

bool ShowBusyFileMessage(const std::string& file) {
    if (!platform::LockedElsewhere(file)) return false;
    std::string text(ResourceText("file.busy"));
    if (const std::size_t at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, platform::DisplayText(file));
    }
    platform::ShowMessage(
        platform::MessageRequest{text, "file.busy", platform::MessageButtons::Ok});
    return true;
}

}  // namespace quillet::frame
