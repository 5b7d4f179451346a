// Exports of the machine-driver NC generation: NC generation, special
// sequences and the current setting files.
#include "exports/export_guard.h"
#include "frame/status.h"
#include "quillet/quillet.h"

using namespace quillet;

QUILLET_EXPORT int MD_CreateNC(CString, char* const) {
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}

QUILLET_EXPORT void MD_GetSpecialSequence(CString, int, md_ssi_all_*) {}

extern "C" QUILLET_EXPORT int QUILLET_API MD_SetCurrentInfo(const char*, const char*, const char*,
                                                            const char*) {
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}
