// Exports of the PDL laser cutting-condition tables: argument checks, then
// the pdl subsystem, its outcome mapped to the export status here.
#include <cstring>
#include <optional>
#include <string_view>

#include "exports/export_guard.h"
#include "exports/status.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_laser_dialog.h"
#include "pdl/pdl_machine.h"
#include "platform/paths.h"
#include "quillet/quillet.h"

using namespace quillet;
using namespace quillet::exports;

namespace {

bool ValidMachineType(int machineType) { return machineType >= 12000 && machineType < 13999; }

// A name that cannot fit a 499-character path at all is measured without
// reading past that limit; such a pair has no condition file (-1).
bool Fits(const char* name) {
    return platform::BoundedLength(name, platform::kMaxPathLength) <= platform::kMaxPathLength;
}

// The one place where the file operations' and the dialog's outcomes become
// export statuses: done, or the pair's condition file could not be had (-1).
int StatusOf(bool done) { return done ? kDone : kPdlUnavailable; }

}  // namespace

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutDLG(const char* machineName,
                                                                int machineType,
                                                                const char* laserMaterialName,
                                                                int tableIndex) {
    return exports::Guarded(kPdlUnavailable, [&] {
        if (!pdl::IsValidPdlName(machineName) || !pdl::IsValidPdlName(laserMaterialName) ||
            !pdl::IsPdlTable(tableIndex) || !ValidMachineType(machineType)) {
            return kInvalidArguments;
        }
        if (!Fits(machineName) || !Fits(laserMaterialName)) return kPdlUnavailable;
        return StatusOf(
            pdl::RunPdlLaserCondDialog(machineName, machineType, laserMaterialName, tableIndex));
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutGetInf(const char* machineName,
                                                                   int machineType,
                                                                   const char* laserMaterialName,
                                                                   int tableIndex, float* block) {
    return exports::Guarded(kPdlUnavailable, [&] {
        if (!pdl::IsValidPdlName(machineName) || !pdl::IsValidPdlName(laserMaterialName) ||
            !pdl::IsPdlTable(tableIndex) || !ValidMachineType(machineType) || block == nullptr) {
            return kInvalidArguments;
        }
        if (!Fits(machineName) || !Fits(laserMaterialName)) return kPdlUnavailable;
        const std::optional<pdl::PdlCutCondition> record =
            pdl::ReadPdlTable(machineName, laserMaterialName, tableIndex);
        if (record) std::memcpy(block, record->slot.data(), sizeof record->slot);
        return StatusOf(record.has_value());
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API
SddPDLOthMacLasCutFileDelete(const char* machineName, const char* laserMaterialName) {
    return exports::Guarded(kPdlUnavailable, [&] {
        if (!pdl::IsValidPdlName(machineName) || !pdl::IsValidPdlName(laserMaterialName)) {
            return kInvalidArguments;
        }
        if (!Fits(machineName) || !Fits(laserMaterialName)) return kPdlUnavailable;
        return StatusOf(pdl::DeletePdlFile(machineName, laserMaterialName));
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutFileCopy(const char* srcMachine,
                                                                     const char* srcMaterial,
                                                                     const char* dstMachine,
                                                                     const char* dstMaterial) {
    return exports::Guarded(kPdlUnavailable, [&] {
        if (!pdl::IsValidPdlName(srcMachine) || !pdl::IsValidPdlName(srcMaterial) ||
            !pdl::IsValidPdlName(dstMachine) || !pdl::IsValidPdlName(dstMaterial)) {
            return kInvalidArguments;
        }
        if (!Fits(srcMachine) || !Fits(srcMaterial) || !Fits(dstMachine) || !Fits(dstMaterial)) {
            return kPdlUnavailable;
        }
        return StatusOf(pdl::CopyPdlFile(srcMachine, srcMaterial, dstMachine, dstMaterial));
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacTypeGet(int machineType) {
    return exports::Guarded(kPdlUnavailable, [&] {
        return pdl::PdlMachineTypeGet(machineType).value_or(kPdlUnavailable);
    });
}
