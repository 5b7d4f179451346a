// A recording test double of the closed libraries, built twice: as
// libkorvid.so (RECORDING_KORVID) and as libDravik.so (RECORDING_DRAVIK).
// Every call is appended, with its arguments, as one line to the file named
// by QUILLET_DOUBLE_LOG; results, the machine record, NC records and driver
// entries come from the script file named by QUILLET_DOUBLE_SCRIPT, read
// again by MD_LoadMachineDriver and MD_Param_Read_Machine. Script lines:
//   read-machine=N  check=N  open=N  close=N  read-end=N   results (0, 1 for read-end)
//   sheet=TEXT  clamps=N                                    machine record
//   record=C0 C1 C2 C3 V0 V1 ...                            one NC record
//   cutting= / tool= / special-cutting= / special-punching=ID TYPE COUNT NAME
//   default=ID TYPE REAL INT NAME
//   many-special-cutting=N    N entries id 1..N, type 3, one value, name "S<id>"
// RECORDING_PARTIAL leaves out MD_EndDriverNcGeneratioin and
// MD_GetDefaultSetting, to show that a missing function is reported.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "quillet/quillet.h"

#define DOUBLE_API extern "C" __attribute__((visibility("default")))

namespace {

struct Entry {
    int id = 0, type = 0, count = 0, integer = 0;
    double real = 0.0;
    std::string name;
};

struct Script {
    int readMachine = 0, check = 0, open = 0, close = 0, readEnd = 1, clamps = 0;
    std::string sheet = "SHEET";
    std::vector<md_ncg_dat_> records;
    std::vector<Entry> cutting, tool, defaults, specialCutting, specialPunching;
};

[[maybe_unused]] Script g_script;
[[maybe_unused]] std::size_t g_nextRecord = 0;

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    const char* path = std::getenv("QUILLET_DOUBLE_LOG");
    if (path == nullptr || path[0] == '\0') return;
    std::FILE* f = std::fopen(path, "a");
    if (f == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

Entry ParseEntry(std::istringstream& in, bool isDefault) {
    Entry e;
    if (isDefault) {
        in >> e.id >> e.type >> e.real >> e.integer;
    } else {
        in >> e.id >> e.type >> e.count;
    }
    std::getline(in >> std::ws, e.name);
    return e;
}

[[maybe_unused]] void LoadScript() {
    g_script = Script{};
    const char* path = std::getenv("QUILLET_DOUBLE_SCRIPT");
    if (path == nullptr) return;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        std::istringstream in(line.substr(eq + 1));
        if (key == "read-machine") in >> g_script.readMachine;
        if (key == "check") in >> g_script.check;
        if (key == "open") in >> g_script.open;
        if (key == "close") in >> g_script.close;
        if (key == "read-end") in >> g_script.readEnd;
        if (key == "clamps") in >> g_script.clamps;
        if (key == "sheet") std::getline(in, g_script.sheet);
        if (key == "record") {
            md_ncg_dat_ r{};
            for (int& c : r.codes) in >> c;
            for (double& v : r.values) {
                if (!(in >> v)) break;
            }
            g_script.records.push_back(r);
        }
        if (key == "cutting") g_script.cutting.push_back(ParseEntry(in, false));
        if (key == "tool") g_script.tool.push_back(ParseEntry(in, false));
        if (key == "default") g_script.defaults.push_back(ParseEntry(in, true));
        if (key == "special-cutting") g_script.specialCutting.push_back(ParseEntry(in, false));
        if (key == "special-punching") g_script.specialPunching.push_back(ParseEntry(in, false));
        if (key == "many-special-cutting") {
            int n = 0;
            in >> n;
            for (int i = 1; i <= n; ++i) {
                g_script.specialCutting.push_back({i, 3, 1, 0, 0.0, "S" + std::to_string(i)});
            }
        }
    }
}

[[maybe_unused]] void Fill(const std::vector<Entry>& list, int n, int* id, int* type, int* count,
                           char* name) {
    if (n < 1 || n > static_cast<int>(list.size())) return;
    const Entry& e = list[static_cast<std::size_t>(n - 1)];
    *id = e.id;
    *type = e.type;
    *count = e.count;
    std::snprintf(name, 256, "%s", e.name.c_str());
}

}  // namespace

#ifdef RECORDING_KORVID
DOUBLE_API void MD_LoadMachineDriver(char* name) {
    LoadScript();
    Log("MD_LoadMachineDriver(%s)", name);
}
DOUBLE_API int MD_GetNumberOfCuttingCondition() {
    Log("MD_GetNumberOfCuttingCondition()");
    return static_cast<int>(g_script.cutting.size());
}
DOUBLE_API int MD_GetNumberOfToolCondition() {
    Log("MD_GetNumberOfToolCondition()");
    return static_cast<int>(g_script.tool.size());
}
DOUBLE_API int MD_GetNumberOfDefaultSetting() {
    Log("MD_GetNumberOfDefaultSetting()");
    return static_cast<int>(g_script.defaults.size());
}
DOUBLE_API int MD_GetSpecialSequenceNumberOfCutting() {
    Log("MD_GetSpecialSequenceNumberOfCutting()");
    return static_cast<int>(g_script.specialCutting.size());
}
DOUBLE_API int MD_GetSpecialSequenceNumberOfPunching() {
    Log("MD_GetSpecialSequenceNumberOfPunching()");
    return static_cast<int>(g_script.specialPunching.size());
}
DOUBLE_API void MD_GetCuttingCondition(int n, int* id, int* type, int* count, char* name) {
    Log("MD_GetCuttingCondition(%d)", n);
    Fill(g_script.cutting, n, id, type, count, name);
}
DOUBLE_API void MD_GetToolCondition(int n, int* id, int* type, int* count, char* name) {
    Log("MD_GetToolCondition(%d)", n);
    Fill(g_script.tool, n, id, type, count, name);
}
DOUBLE_API void MD_GetSpecialSequenceOfCutting(int n, int* id, int* type, int* count, char* name) {
    Log("MD_GetSpecialSequenceOfCutting(%d,%d,%d,%d,%s)", n, *id, *type, *count, name);
    Fill(g_script.specialCutting, n, id, type, count, name);
}
DOUBLE_API void MD_GetSpecialSequenceOfPunching(int n, int* id, int* type, int* count, char* name) {
    Log("MD_GetSpecialSequenceOfPunching(%d,%d,%d,%d,%s)", n, *id, *type, *count, name);
    Fill(g_script.specialPunching, n, id, type, count, name);
}
#ifndef RECORDING_PARTIAL
DOUBLE_API void MD_GetDefaultSetting(int n, int* id, char* name, int* type, double* real,
                                     int* integer) {
    Log("MD_GetDefaultSetting(%d)", n);
    if (n < 1 || n > static_cast<int>(g_script.defaults.size())) return;
    const Entry& e = g_script.defaults[static_cast<std::size_t>(n - 1)];
    *id = e.id;
    *type = e.type;
    *real = e.real;
    *integer = e.integer;
    std::snprintf(name, 129, "%s", e.name.c_str());
}
#endif
DOUBLE_API void MD_SetSheetName(char* name) { Log("MD_SetSheetName(%s)", name); }
DOUBLE_API void MD_SetMachineType(int v) { Log("MD_SetMachineType(%d)", v); }
DOUBLE_API void MD_SetUnitMode(int v) { Log("MD_SetUnitMode(%d)", v); }
DOUBLE_API void MD_SetNumberOfClamps(int v) { Log("MD_SetNumberOfClamps(%d)", v); }
DOUBLE_API void MD_SetClampLocation(int k, double v) { Log("MD_SetClampLocation(%d,%g)", k, v); }
DOUBLE_API void MD_SetTableSize(double x, double y) { Log("MD_SetTableSize(%g,%g)", x, y); }
DOUBLE_API void MD_SetSheetSize(double x, double y) { Log("MD_SetSheetSize(%g,%g)", x, y); }
DOUBLE_API void MD_SetSheetThickness(double v) { Log("MD_SetSheetThickness(%g)", v); }
DOUBLE_API void MD_SetProgrammedOffset(double x, double y) {
    Log("MD_SetProgrammedOffset(%g,%g)", x, y);
}
DOUBLE_API void MD_SetNumberOfPartOnSheet(int v) { Log("MD_SetNumberOfPartOnSheet(%d)", v); }
DOUBLE_API void MD_InitialDriverNcGeneration(char* target) {
    Log("MD_InitialDriverNcGeneration(%s)", target);
}
DOUBLE_API void MD_DriverNcCodeGeneration(int a, int b, int c, int d, double* const values) {
    Log("MD_DriverNcCodeGeneration(%d,%d,%d,%d,%g,%g)", a, b, c, d, values[0], values[1]);
}
#ifndef RECORDING_PARTIAL
DOUBLE_API void MD_EndDriverNcGeneratioin() { Log("MD_EndDriverNcGeneratioin()"); }
#endif
#endif  // RECORDING_KORVID

#ifdef RECORDING_DRAVIK
DOUBLE_API int MD_Param_Read_Machine(md_machine_inf_* machine) {
    LoadScript();
    Log("MD_Param_Read_Machine() -> %d", g_script.readMachine);
    std::snprintf(machine->sheetName, sizeof machine->sheetName, "%s", g_script.sheet.c_str());
    machine->machineType = 7;
    machine->unitMode = 1;
    machine->clampCount = g_script.clamps;
    for (int k = 0; k < 5; ++k) machine->clampLocations[k] = 10.0 * (k + 1);
    machine->tableSize[0] = 1;
    machine->tableSize[1] = 2;
    machine->sheetSize[0] = 3;
    machine->sheetSize[1] = 4;
    machine->sheetThickness = 5;
    machine->programmedOffset[0] = 6;
    machine->programmedOffset[1] = 7;
    machine->partCount = 8;
    return g_script.readMachine;
}
DOUBLE_API int MD_Data_File_check() {
    Log("MD_Data_File_check() -> %d", g_script.check);
    return g_script.check;
}
DOUBLE_API int MD_Data_File_Open() {
    Log("MD_Data_File_Open() -> %d", g_script.open);
    g_nextRecord = 0;
    return g_script.open;
}
DOUBLE_API int MD_Data_File_Read(md_ncg_dat_* record) {
    if (g_nextRecord < g_script.records.size()) {
        *record = g_script.records[g_nextRecord++];
        Log("MD_Data_File_Read() -> 0");
        return 0;
    }
    Log("MD_Data_File_Read() -> %d", g_script.readEnd);
    return g_script.readEnd;
}
DOUBLE_API int MD_Data_File_Close() {
    Log("MD_Data_File_Close() -> %d", g_script.close);
    return g_script.close;
}
#endif  // RECORDING_DRAVIK
