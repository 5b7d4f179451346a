// Exports of the machine-driver settings dialogs, run by the dialogs'
// library.
#include "exports/export_guard.h"
#include "exports/status.h"
#include "quillet/quillet.h"
#include "ui/ui_loader.h"

using namespace quillet;
using namespace quillet::exports;

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacLasCutDLG(const char* driverFile,
                                                             const char* machineName,
                                                             const char* laserMaterialName,
                                                             int conditionIndex) {
    return exports::Guarded(kSystemError, [&] {
        const ui::UiTable* dialogs = ui::Dialogs("MD_OthMacLasCutDLG");
        if (dialogs == nullptr) return kSystemError;
        return StatusOf(
            dialogs->laserDialog(driverFile, machineName, laserMaterialName, conditionIndex));
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacToolDLG(const char* driverFile,
                                                           const char* machineName,
                                                           const char* dieLayoutName,
                                                           int toolNumber) {
    return exports::Guarded(kSystemError, [&] {
        const ui::UiTable* dialogs = ui::Dialogs("MD_OthMacToolDLG");
        if (dialogs == nullptr) return kSystemError;
        return StatusOf(dialogs->toolDialog(driverFile, machineName, dieLayoutName, toolNumber));
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacNCCreateDLG(const char* driverFile,
                                                               const char* machineName) {
    return exports::Guarded(kSystemError, [&] {
        const ui::UiTable* dialogs = ui::Dialogs("MD_OthMacNCCreateDLG");
        if (dialogs == nullptr) return kSystemError;
        return StatusOf(dialogs->ncDialog(driverFile, machineName));
    });
}
