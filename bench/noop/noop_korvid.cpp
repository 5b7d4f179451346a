// A machine driver that does nothing: the cost of MD_CreateNC measured with
// it is the module's own cost of feeding the driver.
#include "quillet/quillet.h"

#define NOOP_EXPORT extern "C" __attribute__((visibility("default")))

NOOP_EXPORT void MD_LoadMachineDriver(char*) {}
NOOP_EXPORT void MD_SetSheetName(char*) {}
NOOP_EXPORT void MD_SetMachineType(int) {}
NOOP_EXPORT void MD_SetUnitMode(int) {}
NOOP_EXPORT void MD_SetNumberOfClamps(int) {}
NOOP_EXPORT void MD_SetClampLocation(int, double) {}
NOOP_EXPORT void MD_SetTableSize(double, double) {}
NOOP_EXPORT void MD_SetSheetSize(double, double) {}
NOOP_EXPORT void MD_SetSheetThickness(double) {}
NOOP_EXPORT void MD_SetProgrammedOffset(double, double) {}
NOOP_EXPORT void MD_SetNumberOfPartOnSheet(int) {}
NOOP_EXPORT void MD_InitialDriverNcGeneration(char*) {}
NOOP_EXPORT void MD_DriverNcCodeGeneration(int, int, int, int, double* const) {}
NOOP_EXPORT void MD_EndDriverNcGeneratioin() {}
