// An NC-data library serving a job of 1,000,000 NC records from memory.
#include <cstring>

#include "quillet/quillet.h"

#define NOOP_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
constexpr int kRecordCount = 1000000;
int next = 0;
}  // namespace

NOOP_EXPORT int MD_Param_Read_Machine(md_machine_inf_* machine) {
    std::memset(machine, 0, sizeof *machine);
    std::strcpy(machine->sheetName, "BENCH");
    machine->machineType = 130;
    machine->clampCount = 2;
    machine->partCount = 1;
    return 0;
}
NOOP_EXPORT int MD_Data_File_check() { return 0; }
NOOP_EXPORT int MD_Data_File_Open() {
    next = 0;
    return 0;
}
NOOP_EXPORT int MD_Data_File_Read(md_ncg_dat_* record) {
    if (next >= kRecordCount) return 1;
    record->codes[0] = next & 7;
    record->codes[1] = next;
    record->codes[2] = 0;
    record->codes[3] = 0;
    record->values[0] = static_cast<double>(next);
    ++next;
    return 0;
}
NOOP_EXPORT int MD_Data_File_Close() { return 0; }

// Lets a benchmark tell this library from the stand-ins.
extern "C" __attribute__((visibility("default"))) const int QuilletBenchNoopDravik;
const int QuilletBenchNoopDravik = 1;
