// Exports of the PDL laser cutting-condition tables.
#include "exports/export_guard.h"
#include "frame/status.h"
#include "quillet/quillet.h"

using namespace quillet;

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutDLG(const char*, int, const char*,
                                                                int) {
    return exports::Guarded(kPdlUnavailable, [] { return kPdlUnavailable; });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutGetInf(const char*, int, const char*,
                                                                   int, float*) {
    return exports::Guarded(kPdlUnavailable, [] { return kPdlUnavailable; });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutFileDelete(const char*, const char*) {
    return exports::Guarded(kPdlUnavailable, [] { return kPdlUnavailable; });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacLasCutFileCopy(const char*, const char*,
                                                                     const char*, const char*) {
    return exports::Guarded(kPdlUnavailable, [] { return kPdlUnavailable; });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddPDLOthMacTypeGet(int) {
    return exports::Guarded(kPdlUnavailable, [] { return kPdlUnavailable; });
}
