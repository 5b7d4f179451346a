// Recording double of libkorvid.so/libDravik.so: each call is one line in
// $QUILLET_DOUBLE_LOG; results and data come from $QUILLET_DOUBLE_SCRIPT, lines
//   read-machine= check= open= close= read-end= clamps=  record=C0..C3 V0 V1..
//   cutting= tool= special-cutting= special-punching=ID TYPE COUNT NAME
//   many-special-cutting=N (ids 1..N, type 3); no Nc defaults
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
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
    std::map<std::string, int> result{{"read-end", 1}};
    std::vector<md_ncg_dat_> records;
    std::map<std::string, std::vector<Entry>> lists;
};

Script g_script;
[[maybe_unused]] std::size_t g_nextRecord = 0;

__attribute__((format(printf, 1, 2))) void Log(const char* format, ...) {
    const char* path = std::getenv("QUILLET_DOUBLE_LOG");
    std::FILE* f = path != nullptr && path[0] != '\0' ? std::fopen(path, "a") : nullptr;
    if (f == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

inline void LoadScript() {
    g_script = Script{};
    const char* path = std::getenv("QUILLET_DOUBLE_SCRIPT");
    std::ifstream file(path != nullptr ? path : "");
    for (std::string line; std::getline(file, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        std::istringstream in(line.substr(eq + 1));
        if (key == "record") {
            md_ncg_dat_ r{};
            for (int& c : r.codes) in >> c;
            for (double& v : r.values) {
                if (!(in >> v)) break;
            }
            g_script.records.push_back(r);
        } else if (key == "many-special-cutting") {
            int n = 0;
            in >> n;
            for (int i = 1; i <= n; ++i) {
                g_script.lists["special-cutting"].push_back(
                    {i, 3, 1, 0, 0.0, "S" + std::to_string(i)});
            }
        } else if (key == "cutting" || key == "tool" || key.starts_with("special-")) {
            Entry e;
            in >> e.id >> e.type >> e.count;
            std::getline(in >> std::ws, e.name);
            g_script.lists[key].push_back(e);
        } else {
            in >> g_script.result[key];
        }
    }
}

inline int Result(const char* key) { return g_script.result[key]; }
inline int Count(const char* list) { return static_cast<int>(g_script.lists[list].size()); }
// Entry n (from 1) of a list, or nullptr.
inline const Entry* At(const char* list, int n) {
    const auto& entries = g_script.lists[list];
    return n >= 1 && n <= static_cast<int>(entries.size()) ? &entries[n - 1] : nullptr;
}

}  // namespace

#ifdef RECORDING_KORVID
DOUBLE_API void MD_LoadMachineDriver(char* name) {
    LoadScript();
    Log("MD_LoadMachineDriver(%s)", name);
}
#define COUNT_API(function, list) \
    DOUBLE_API int function() {   \
        Log(#function "()");      \
        return Count(list);       \
    }
COUNT_API(MD_GetNumberOfCuttingCondition, "cutting")
COUNT_API(MD_GetNumberOfToolCondition, "tool")
COUNT_API(MD_GetNumberOfDefaultSetting, "none")
COUNT_API(MD_GetSpecialSequenceNumberOfCutting, "special-cutting")
COUNT_API(MD_GetSpecialSequenceNumberOfPunching, "special-punching")
// The special sequence calls (echo) also log what the caller handed in.
#define ENTRY_API(function, list, echo)                                           \
    DOUBLE_API void function(int n, int* id, int* type, int* count, char* name) { \
        echo ? Log(#function "(%d,%d,%d,%d,%s)", n, *id, *type, *count, name)     \
             : Log(#function "(%d)", n);                                          \
        if (const Entry* e = At(list, n)) {                                       \
            *id = e->id, *type = e->type, *count = e->count;                      \
            std::snprintf(name, 256, "%s", e->name.c_str());                      \
        }                                                                         \
    }
ENTRY_API(MD_GetCuttingCondition, "cutting", false)
ENTRY_API(MD_GetToolCondition, "tool", false)
ENTRY_API(MD_GetSpecialSequenceOfCutting, "special-cutting", true)
ENTRY_API(MD_GetSpecialSequenceOfPunching, "special-punching", true)
#ifndef RECORDING_PARTIAL
DOUBLE_API void MD_GetDefaultSetting(int n, int*, char*, int*, double*, int*) {
    Log("MD_GetDefaultSetting(%d)", n);
}
DOUBLE_API void MD_EndDriverNcGeneratioin() { Log("MD_EndDriverNcGeneratioin()"); }
#endif
#define SETTER_API(function, format, type) \
    DOUBLE_API void function(type v) { Log(#function "(" format ")", v); }
SETTER_API(MD_SetSheetName, "%s", char*)
SETTER_API(MD_SetMachineType, "%d", int)
SETTER_API(MD_SetUnitMode, "%d", int)
SETTER_API(MD_SetNumberOfClamps, "%d", int)
SETTER_API(MD_SetSheetThickness, "%g", double)
SETTER_API(MD_SetNumberOfPartOnSheet, "%d", int)
// The target is the host's own writable buffer: the double marks it.
DOUBLE_API void MD_InitialDriverNcGeneration(char* v) {
    Log("MD_InitialDriverNcGeneration(%s)", v);
    if (v[0] != '\0') v[0] = '#';
}
#define PAIR_API(function) \
    DOUBLE_API void function(double x, double y) { Log(#function "(%g,%g)", x, y); }
PAIR_API(MD_SetTableSize)
PAIR_API(MD_SetSheetSize)
PAIR_API(MD_SetProgrammedOffset)
DOUBLE_API void MD_SetClampLocation(int k, double v) { Log("MD_SetClampLocation(%d,%g)", k, v); }
DOUBLE_API void MD_DriverNcCodeGeneration(int a, int b, int c, int d, double* const values) {
    Log("MD_DriverNcCodeGeneration(%d,%d,%d,%d,%g,%g)", a, b, c, d, values[0], values[1]);
}
#endif  // RECORDING_KORVID

#ifdef RECORDING_DRAVIK
DOUBLE_API int MD_Param_Read_Machine(md_machine_inf_* m) {
    LoadScript();
    Log("MD_Param_Read_Machine() -> %d", Result("read-machine"));
    std::snprintf(m->sheetName, sizeof m->sheetName, "SHEET");
    m->machineType = 7;
    m->unitMode = 1;
    m->clampCount = Result("clamps");
    for (int k = 0; k < 5; ++k) m->clampLocations[k] = 10.0 * (k + 1);
    m->tableSize[0] = 1, m->tableSize[1] = 2, m->sheetSize[0] = 3, m->sheetSize[1] = 4;
    m->sheetThickness = 5;
    m->programmedOffset[0] = 6, m->programmedOffset[1] = 7;
    m->partCount = 8;
    return Result("read-machine");
}
#define STATUS_API(function, key)               \
    DOUBLE_API int function() {                 \
        Log(#function "() -> %d", Result(key)); \
        return Result(key);                     \
    }
STATUS_API(MD_Data_File_check, "check")
STATUS_API(MD_Data_File_Close, "close")
DOUBLE_API int MD_Data_File_Open() {
    g_nextRecord = 0;
    Log("MD_Data_File_Open() -> %d", Result("open"));
    return Result("open");
}
DOUBLE_API int MD_Data_File_Read(md_ncg_dat_* record) {
    const bool more = g_nextRecord < g_script.records.size();
    if (more) *record = g_script.records[g_nextRecord++];
    Log("MD_Data_File_Read() -> %d", more ? 0 : Result("read-end"));
    return more ? 0 : Result("read-end");
}
#endif  // RECORDING_DRAVIK
