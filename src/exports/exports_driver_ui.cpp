// Exports of the machine-driver settings dialogs.
#include "driver_ui/driver_dialog_run.h"
#include "exports/export_guard.h"
#include "exports/status.h"
#include "quillet/quillet.h"

using namespace quillet;
using namespace quillet::exports;

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacLasCutDLG(const char* driverFile,
                                                             const char* machineName,
                                                             const char* laserMaterialName,
                                                             int conditionIndex) {
    return exports::Guarded(kSystemError, [&] {
        return StatusOf(
            driver_ui::RunLaserDialog(driverFile, machineName, laserMaterialName, conditionIndex));
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacToolDLG(const char* driverFile,
                                                           const char* machineName,
                                                           const char* dieLayoutName,
                                                           int toolNumber) {
    return exports::Guarded(kSystemError, [&] {
        return StatusOf(
            driver_ui::RunToolDialog(driverFile, machineName, dieLayoutName, toolNumber));
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacNCCreateDLG(const char* driverFile,
                                                               const char* machineName) {
    return exports::Guarded(
        kSystemError, [&] { return StatusOf(driver_ui::RunNcDialog(driverFile, machineName)); });
}
