// Exports of the machine-driver settings dialogs.
#include "exports/export_guard.h"
#include "frame/status.h"
#include "quillet/quillet.h"

using namespace quillet;

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacLasCutDLG(const char*, const char*, const char*,
                                                             int) {
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacToolDLG(const char*, const char*, const char*,
                                                           int) {
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}

extern "C" QUILLET_EXPORT int QUILLET_API MD_OthMacNCCreateDLG(const char*, const char*) {
    return exports::Guarded(kSystemError, [] { return kSystemError; });
}
