// A machine-driver library that lacks MD_GetDefaultSetting and
// MD_EndDriverNcGeneratioin: one cutting item (id 1, integer, one value), no
// tool item, no default setting.
#include "standin_text.h"

#define PARTIAL_API extern "C" __attribute__((visibility("default")))

PARTIAL_API void MD_LoadMachineDriver(char* name) {
    standin::Trace("MD_LoadMachineDriver(%s)", name);
}
PARTIAL_API int MD_GetNumberOfCuttingCondition() { return 1; }
PARTIAL_API int MD_GetNumberOfToolCondition() { return 0; }
PARTIAL_API int MD_GetNumberOfDefaultSetting() { return 0; }
PARTIAL_API void MD_GetCuttingCondition(int, int* id, int* type, int* count, char* name) {
    *id = 1, *type = 3, *count = 1, name[0] = '\0';
}
PARTIAL_API void MD_GetToolCondition(int, int*, int*, int*, char*) {}
