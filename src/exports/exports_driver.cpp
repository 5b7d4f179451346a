// Exports of the machine-driver NC generation: NC generation, special
// sequences and the current setting files.
#include "driver/driver_operations.h"
#include "exports/export_guard.h"
#include "frame/status.h"
#include "quillet/quillet.h"

using namespace quillet;

QUILLET_EXPORT int MD_CreateNC(CString driverName, char* const target) {
    return exports::Guarded(kSystemError,
                            [&] { return driver::CreateNc(driverName.GetString(), target); });
}

// No status to carry a failure: the record is left as handed when the module
// is inert, and whatever was filled stays when something throws.
QUILLET_EXPORT void MD_GetSpecialSequence(CString driverName, int family, md_ssi_all_* result) {
    try {
        if (!exports::EnterModule() || result == nullptr) return;
        driver::GetSpecialSequences(driverName.GetString(), family, *result);
    } catch (...) {
    }
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_SetCurrentInfo(const char* driverName,
                                                            const char* machineName,
                                                            const char* laserMaterialName,
                                                            const char* dieLayoutName) {
    return exports::Guarded(kSystemError, [&] {
        return driver::SetCurrentInfo(driverName, machineName, laserMaterialName, dieLayoutName);
    });
}
