// Module start-up and the messages that come from the resource set.
#include "frame/module.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

#include "frame/resources.h"
#include "platform/code_page.h"
#include "resource_set.h"

namespace quillet::frame {

namespace {

constexpr const char* kResourceLibrary = "libQuillet_rs.so";

bool StartUp() {
    if (platform::ActiveCodePageIs932()) {
        UseResourceSet(BuiltinResourceSet());
        return true;
    }
    // Resolved through the library search path, like any other library.
    void* library = ::dlopen(kResourceLibrary, RTLD_NOW | RTLD_LOCAL);
    using SetFunction = const QuilletResourceSet* (*)();
    auto function = library != nullptr
                        ? reinterpret_cast<SetFunction>(::dlsym(library, "QuilletGetResourceSet"))
                        : nullptr;
    const QuilletResourceSet* set = function != nullptr ? function() : nullptr;
    if (set == nullptr) {
        ShowBuiltinMessage(std::string("Resource load error!![") + kResourceLibrary + "]");
        return false;
    }
    // The library stays loaded for the life of the process.
    UseResourceSet(set);
    return true;
}

}  // namespace

bool ModuleReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = StartUp(); });
    return ready;
}

platform::MessageAnswer ShowStringMessage(int id, platform::MessageButtons buttons) {
    return platform::ShowMessage(
        platform::MessageRequest{std::string(ResourceString(id)), std::to_string(id), buttons});
}

void ShowBuiltinMessage(const std::string& text) {
    platform::ShowMessage(platform::MessageRequest{text, "builtin", platform::MessageButtons::Ok});
}

}  // namespace quillet::frame
