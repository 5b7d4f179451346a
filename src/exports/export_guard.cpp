// Entry into the module from an export.
#include "exports/export_guard.h"

#include "frame/module.h"
#include "ui/ui_loader.h"

namespace quillet::exports {

bool EnterModule() {
    ui::InstallMessageBoxes();
    return frame::ModuleReady();
}

}  // namespace quillet::exports
