// Loading the dialogs' library on first use, and the message boxes that
// wait for it.
#include "ui/ui_loader.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>
#include <string>

#include "frame/module.h"
#include "platform/display.h"
#include "platform/messages.h"

namespace quillet::ui {

namespace {

struct Library {
    const UiTable* table = nullptr;
    std::string error;  // why there is no table
};

// The library beside the plug-in, by its full path: never one of another
// build found through the search path. Never closed: Qt's libraries and the
// application object stay until the process ends.
Library Open() {
    const std::string path =
        frame::PathBesideLibrary(reinterpret_cast<const void*>(&Dialogs), kUiLibrary);
    if (path.empty()) return {nullptr, std::string("the plug-in's folder is unknown")};
    void* const handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = ::dlerror();
        return {nullptr, error != nullptr ? error : path + ": cannot be loaded"};
    }
    const auto entry = reinterpret_cast<UiEntry>(::dlsym(handle, kUiEntry));
    const UiTable* table = entry != nullptr ? entry() : nullptr;
    if (table == nullptr || table->version != kUiTableVersion) {
        return {nullptr, path + ": not the dialog library of this plug-in (reinstall it)"};
    }
    return {table, {}};
}

std::atomic<bool> g_opened{false};

const Library& Loaded() {
    static const Library library = [] {
        Library opened = Open();
        g_opened.store(true);
        return opened;
    }();
    return library;
}

std::string CannotLoad(const Library& library) {
    return "cannot load the dialogs: " + library.error;
}

class MessageBoxes final : public platform::MessageBackend {
public:
    bool Available() override {
        // Before the library is loaded, a box that could not be shown anyway
        // (no display and no application object, or a Qt 5 host) loads
        // nothing.
        if (!g_opened.load()) {
            if (platform::QtApplicationExists(5)) return false;
            if (!platform::QtApplicationExists(6) && !platform::DialogDisplayProblem().empty()) {
                return false;
            }
        }
        const Library& library = Loaded();
        if (library.table == nullptr) {
            static std::once_flag told;
            std::call_once(told, [&] {
                platform::ReportToHost("no message box shown: " + CannotLoad(library));
            });
            return false;
        }
        return library.table->messages->Available();
    }

    // Only after Available(), so the library is there.
    platform::MessageAnswer Show(const platform::MessageRequest& request) override {
        return Loaded().table->messages->Show(request);
    }
};

}  // namespace

const UiTable* Dialogs(const char* exportName) {
    const Library& library = Loaded();
    if (library.table == nullptr) {
        platform::ReportToHost(std::string(exportName) +
                               ": no dialog shown: " + CannotLoad(library));
    }
    return library.table;
}

void InstallMessageBoxes() {
    static std::once_flag once;
    static MessageBoxes boxes;
    std::call_once(once, [] { platform::InstallMessageBackend(&boxes); });
}

}  // namespace quillet::ui
