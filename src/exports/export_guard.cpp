// Entry into the module from an export.
#include "exports/export_guard.h"

#include "frame/gui_qt.h"
#include "frame/module.h"

namespace quillet::exports {

bool EnterModule() {
    frame::InstallQtMessageBackend();
    return frame::ModuleReady();
}

}  // namespace quillet::exports
