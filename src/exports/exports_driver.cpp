// Exports of the machine-driver NC generation: NC generation, special
// sequences and the current setting files.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "driver/driver_operations.h"
#include "exports/export_guard.h"
#include "exports/status.h"
#include "quillet/quillet.h"

using namespace quillet;
using namespace quillet::exports;

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

namespace {

// md_ssi_ as a C host declares it: a malloc'ed text (or NULL) in place of the
// string object, at the same place.
struct CSequenceSlot {
    int id;
    char* name;
    int valueType;
    int valueCount;
};
static_assert(sizeof(CSequenceSlot) == sizeof(md_ssi_) &&
              offsetof(CSequenceSlot, name) == offsetof(md_ssi_, name) &&
              offsetof(CSequenceSlot, valueType) == offsetof(md_ssi_, valueType) &&
              offsetof(CSequenceSlot, valueCount) == offsetof(md_ssi_, valueCount));

// A slot of a C++ host: its string object takes a copy of the name.
void Fill(md_ssi_& slot, const driver::SpecialSequence& sequence) {
    slot.id = sequence.id;
    slot.name = sequence.name.c_str();
    slot.valueType = sequence.valueType;
    slot.valueCount = sequence.valueCount;
}

// A slot of a C host: its old text is freed and replaced by a malloc'ed copy.
// The slot is written through its bytes, as the C declaration lays it out.
void FillC(md_ssi_& slot, const driver::SpecialSequence& sequence) {
    const std::size_t size = sequence.name.size() + 1;
    char* const copy = static_cast<char*>(std::malloc(size));
    if (copy == nullptr) throw std::bad_alloc();
    std::memcpy(copy, sequence.name.c_str(), size);
    const CSequenceSlot filled{sequence.id, copy, sequence.valueType, sequence.valueCount};
    auto* const bytes = reinterpret_cast<unsigned char*>(&slot);
    char* old = nullptr;
    std::memcpy(&old, bytes + offsetof(CSequenceSlot, name), sizeof old);
    std::free(old);
    std::memcpy(bytes, &filled, sizeof filled);
}

// The body of both special-sequence entry points: count is 0 first, then
// each sequence fills the next slot. No status to carry a failure: the record
// is left as handed when the module is inert, and whatever was filled stays
// when something throws.
template <typename FillSlot>
void GetSpecialSequence(const char* driverName, int family, md_ssi_all_* result,
                        FillSlot fill) noexcept {
    try {
        if (!exports::EnterModule() || result == nullptr) return;
        result->count = 0;
        for (const driver::SpecialSequence& sequence :
             driver::ListSpecialSequences(driverName != nullptr ? driverName : "", family)) {
            fill(result->entries[result->count], sequence);
            ++result->count;
        }
    } catch (...) {
    }
}

// The NC-data library's own status passes through unchanged.
int CreateNc(const char* driverName, char* target) noexcept {
    return exports::Guarded(kSystemError, [&] {
        return driver::CreateNc(driverName != nullptr ? driverName : "", target)
            .value_or(kSystemError);
    });
}

}  // namespace

int exports::StatusOf(driver::Outcome outcome) {
    switch (outcome) {
        case driver::Outcome::Done:
            return kDone;
        case driver::Outcome::InvalidArguments:
            return kInvalidArguments;
        case driver::Outcome::Failed:
            break;
    }
    return kSystemError;
}

QUILLET_EXPORT int MD_CreateNC(CString driverName, char* const target) {
    return CreateNc(driverName.GetString(), target);
}

QUILLET_EXPORT void MD_GetSpecialSequence(CString driverName, int family, md_ssi_all_* result) {
    GetSpecialSequence(driverName.GetString(), family, result, Fill);
}

extern "C" QUILLET_EXPORT int QuilletCreateNC(const char* driverName, char* target) {
    return CreateNc(driverName, target);
}

extern "C" QUILLET_EXPORT void QuilletGetSpecialSequence(const char* driverName, int family,
                                                         md_ssi_all_* result) {
    GetSpecialSequence(driverName, family, result, FillC);
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_SetCurrentInfo(const char* driverName,
                                                            const char* machineName,
                                                            const char* laserMaterialName,
                                                            const char* dieLayoutName) {
    return exports::Guarded(kSystemError, [&] {
        return StatusOf(
            driver::SetCurrentInfo(driverName, machineName, laserMaterialName, dieLayoutName));
    });
}
