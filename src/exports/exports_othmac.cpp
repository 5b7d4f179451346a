// Exports of the other-machine NC data: template lookup, cutting-condition
// test and the template dialog.
#include "exports/export_guard.h"
#include "frame/status.h"
#include "quillet/quillet.h"

using namespace quillet;

extern "C" QUILLET_EXPORT int QUILLET_API SddGetOthMacCondPath(int, int, int, const char*,
                                                               const char*, const char*, int, int,
                                                               char* outPath) {
    if (outPath != nullptr) outPath[0] = '\0';
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddGetOthCutInf(const char*) {
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddOthMacCondDLG(int, int, int, const char*, const char*,
                                                           const char*, int, int, char* buffer) {
    if (buffer != nullptr) buffer[0] = '\0';
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}
