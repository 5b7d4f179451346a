// Exports of the machine-driver NC generation: NC generation, special
// sequences and the current setting files.
#include <cstddef>

#include "driver/driver_operations.h"
#include "exports/export_guard.h"
#include "frame/status.h"
#include "quillet/quillet.h"

using namespace quillet;

// The records that cross the boundary keep the layout the hosts were built
// with (x86-64 natural alignment), and the host string class is one pointer.
static_assert(offsetof(md_machine_inf_, machineType) == 128 &&
              offsetof(md_machine_inf_, unitMode) == 132 &&
              offsetof(md_machine_inf_, clampCount) == 136 &&
              offsetof(md_machine_inf_, clampLocations) == 144 &&
              offsetof(md_machine_inf_, tableSize) == 184 &&
              offsetof(md_machine_inf_, sheetSize) == 200 &&
              offsetof(md_machine_inf_, sheetThickness) == 216 &&
              offsetof(md_machine_inf_, programmedOffset) == 224 &&
              offsetof(md_machine_inf_, partCount) == 240);
static_assert(sizeof(md_ncg_dat_) == 256 && offsetof(md_ncg_dat_, values) == 16);
static_assert(sizeof(CString) == sizeof(void*) && offsetof(md_ssi_, name) == 8 &&
              offsetof(md_ssi_, valueType) == 16 && offsetof(md_ssi_, valueCount) == 20 &&
              offsetof(md_ssi_all_, count) == 99 * sizeof(md_ssi_));

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
