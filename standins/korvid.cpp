// Stand-in machine-driver library (libkorvid.so). MD_LoadMachineDriver reads
// a driver definition file (docs/STANDINS.md) listing cutting conditions,
// tool conditions, default settings and special sequences; NC generation
// writes a readable NC program to the target path: a program head from the
// sheet and machine data, one block per record, and the program end.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "standin_text.h"

#define KORVID_API extern "C" __attribute__((visibility("default")))

namespace {

struct Entry {
    int id = 0;
    int valueType = 0;
    int valueCount = 0;
    int integer = 0;
    double real = 0.0;
    std::string name;
};

struct Driver {
    std::string file;
    std::vector<Entry> cutting, tool, defaults, specialCutting, specialPunching;
};

struct Machine {
    std::string sheetName;
    int machineType = 0, unitMode = 0, clamps = 0, parts = 0;
    double clampLocations[8] = {};
    double table[2] = {}, sheet[2] = {}, offset[2] = {};
    double thickness = 0.0;
};

struct Generation {
    std::FILE* out = nullptr;
    std::string block;
    long sequence = 0;
};

Driver g_driver;
Machine g_machine;
Generation g_generation;

std::vector<Entry>* Section(std::string_view name) {
    if (name == "cutting") return &g_driver.cutting;
    if (name == "tool") return &g_driver.tool;
    if (name == "default") return &g_driver.defaults;
    if (name == "special-cutting") return &g_driver.specialCutting;
    if (name == "special-punching") return &g_driver.specialPunching;
    return nullptr;
}

void CopyName(const std::string& name, char* out, std::size_t size) {
    if (out == nullptr) return;
    const std::size_t length = std::min(name.size(), size - 1);
    std::memcpy(out, name.data(), length);
    out[length] = '\0';
}

const Entry* At(const std::vector<Entry>& entries, int n) {
    if (n < 1 || n > static_cast<int>(entries.size())) return nullptr;
    return &entries[static_cast<std::size_t>(n - 1)];
}

// Traces the call with what the caller handed in, then fills entry n.
void FillEntry(const char* call, const std::vector<Entry>& entries, int n, int* id, int* type,
               int* count, char* name, std::size_t nameSize) {
    standin::Trace("%s(%d,%d,%d,%d,%s)", call, n, id ? *id : 0, type ? *type : 0,
                   count ? *count : 0, name ? name : "");
    const Entry* e = At(entries, n);
    if (e == nullptr) return;
    if (id) *id = e->id;
    if (type) *type = e->valueType;
    if (count) *count = e->valueCount;
    CopyName(e->name, name, nameSize);
}

void Put(std::string_view text) {
    if (g_generation.out != nullptr) std::fwrite(text.data(), 1, text.size(), g_generation.out);
}

// MD_LoadMachineDriver has no result: a driver file that cannot be used is
// told on standard error, one line naming the file and the reason, and
// loads as a driver without items.
void ReportUnusable(const std::string& file, const std::string& why) {
    std::fprintf(stderr, "korvid: cannot use driver file '%s': %s\n", file.c_str(), why.c_str());
}

}  // namespace

KORVID_API void MD_LoadMachineDriver(char* path) {
    standin::Trace("MD_LoadMachineDriver(%s)", path ? path : "");
    g_driver = Driver{};
    if (path == nullptr) return;
    g_driver.file = path;
    std::error_code error;
    if (std::filesystem::is_directory(g_driver.file, error)) {
        ReportUnusable(g_driver.file, "it is a folder");
        return;
    }
    std::ifstream in(g_driver.file);
    if (!in) {
        const int code = errno;
        ReportUnusable(g_driver.file, code != 0 ? std::strerror(code) : "cannot be opened");
        return;
    }
    std::vector<Entry>* section = nullptr;
    bool sectionSeen = false;
    std::string raw;
    while (std::getline(in, raw)) {
        std::string_view line = standin::Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            section =
                close == std::string_view::npos ? nullptr : Section(line.substr(1, close - 1));
            sectionSeen = sectionSeen || section != nullptr;
            continue;
        }
        if (section == nullptr) continue;
        Entry e;
        e.id = standin::ToInt(standin::Field(line, "id"));
        e.valueType = standin::ToInt(standin::Field(line, "type"));
        e.valueCount = standin::ToInt(standin::Field(line, "count"));
        e.integer = standin::ToInt(standin::Field(line, "int"));
        e.real = standin::ToReal(standin::Field(line, "real"));
        e.name = std::string(standin::Field(line, "name"));
        section->push_back(std::move(e));
    }
    if (!sectionSeen) {
        ReportUnusable(g_driver.file,
                       "no [cutting], [tool], [default], [special-cutting] or [special-punching] "
                       "section");
    }
}

#define KORVID_COUNT(function, list)                   \
    KORVID_API int function() {                        \
        standin::Trace(#function "()");                \
        return static_cast<int>(g_driver.list.size()); \
    }
KORVID_COUNT(MD_GetNumberOfCuttingCondition, cutting)
KORVID_COUNT(MD_GetNumberOfToolCondition, tool)
KORVID_COUNT(MD_GetNumberOfDefaultSetting, defaults)
KORVID_COUNT(MD_GetSpecialSequenceNumberOfCutting, specialCutting)
KORVID_COUNT(MD_GetSpecialSequenceNumberOfPunching, specialPunching)

// Item names are at most 128 characters, special-sequence names 255.
#define KORVID_ENTRY(function, list, nameSize)                                    \
    KORVID_API void function(int n, int* id, int* type, int* count, char* name) { \
        FillEntry(#function, g_driver.list, n, id, type, count, name, nameSize);  \
    }
KORVID_ENTRY(MD_GetCuttingCondition, cutting, 129)
KORVID_ENTRY(MD_GetToolCondition, tool, 129)
KORVID_ENTRY(MD_GetSpecialSequenceOfCutting, specialCutting, 256)
KORVID_ENTRY(MD_GetSpecialSequenceOfPunching, specialPunching, 256)
KORVID_API void MD_GetDefaultSetting(int n, int* id, char* name, int* type, double* real,
                                     int* integer) {
    standin::Trace("MD_GetDefaultSetting(%d)", n);
    const Entry* e = At(g_driver.defaults, n);
    if (e == nullptr) return;
    if (id) *id = e->id;
    if (type) *type = e->valueType;
    if (real) *real = e->real;
    if (integer) *integer = e->integer;
    CopyName(e->name, name, 129);
}

KORVID_API void MD_SetSheetName(char* name) {
    standin::Trace("MD_SetSheetName(%s)", name ? name : "");
    g_machine.sheetName = name ? name : "";
}
#define KORVID_SET(function, type, format, field)        \
    KORVID_API void function(type value) {               \
        standin::Trace(#function "(" format ")", value); \
        g_machine.field = value;                         \
    }
#define KORVID_SET_PAIR(function, field)           \
    KORVID_API void function(double x, double y) { \
        standin::Trace(#function "(%g,%g)", x, y); \
        g_machine.field[0] = x;                    \
        g_machine.field[1] = y;                    \
    }
KORVID_SET(MD_SetMachineType, int, "%d", machineType)
KORVID_SET(MD_SetUnitMode, int, "%d", unitMode)
KORVID_SET(MD_SetNumberOfClamps, int, "%d", clamps)
KORVID_SET(MD_SetSheetThickness, double, "%g", thickness)
KORVID_SET(MD_SetNumberOfPartOnSheet, int, "%d", parts)
KORVID_SET_PAIR(MD_SetTableSize, table)
KORVID_SET_PAIR(MD_SetSheetSize, sheet)
KORVID_SET_PAIR(MD_SetProgrammedOffset, offset)
KORVID_API void MD_SetClampLocation(int k, double location) {
    standin::Trace("MD_SetClampLocation(%d,%g)", k, location);
    if (k >= 1 && k <= 8) g_machine.clampLocations[k - 1] = location;
}

KORVID_API void MD_InitialDriverNcGeneration(char* target) {
    standin::Trace("MD_InitialDriverNcGeneration(%s)", target ? target : "");
    if (g_generation.out != nullptr) std::fclose(g_generation.out);
    g_generation = Generation{};
    if (target == nullptr || target[0] == '\0') return;
    g_generation.out = std::fopen(target, "w");
    if (g_generation.out == nullptr) return;
    static char buffer[1 << 16];
    std::setvbuf(g_generation.out, buffer, _IOFBF, sizeof buffer);

    const Machine& m = g_machine;
    std::string head = "%\nO0001 (QUILLET STAND-IN DRIVER PROGRAM)\n(DRIVER ";
    head += g_driver.file + ")\n(SHEET " + m.sheetName + ")\n(MACHINE TYPE ";
    standin::AppendInt(head, m.machineType);
    head += m.unitMode == 1 ? " UNIT INCH)\n" : " UNIT MM)\n";
    head += "(CLAMPS ";
    standin::AppendInt(head, m.clamps);
    for (int k = 0; k < m.clamps && k < 8; ++k) {
        head += k == 0 ? ": " : " ";
        standin::AppendFixed(head, m.clampLocations[k]);
    }
    head += ")\n(TABLE ";
    standin::AppendFixed(head, m.table[0]);
    head += " X ";
    standin::AppendFixed(head, m.table[1]);
    head += ")\n(SHEET SIZE ";
    standin::AppendFixed(head, m.sheet[0]);
    head += " X ";
    standin::AppendFixed(head, m.sheet[1]);
    head += ")\n(THICKNESS ";
    standin::AppendFixed(head, m.thickness);
    head += ")\n(PARTS ";
    standin::AppendInt(head, m.parts);
    head += ")\n";
    head += m.unitMode == 1 ? "G20 G90\n" : "G21 G90\n";
    head += "G92 X";
    standin::AppendFixed(head, m.offset[0]);
    head += " Y";
    standin::AppendFixed(head, m.offset[1]);
    head += '\n';
    Put(head);
}

// One block per record: codes[0] the G code (0 rapid, 1 line, 2/3 arc with
// the centre in values 2 and 3), codes[1] an M code (0: none), codes[2] the
// cutting condition or tool (0: none), codes[3] how many values the record
// carries beyond X and Y (appended as Q words).
KORVID_API void MD_DriverNcCodeGeneration(int g, int m, int condition, int extra,
                                          double* const values) {
    standin::Trace("MD_DriverNcCodeGeneration(%d,%d,%d,%d,%g,%g)", g, m, condition, extra,
                   values ? values[0] : 0.0, values ? values[1] : 0.0);
    if (g_generation.out == nullptr) return;
    std::string& b = g_generation.block;
    b.clear();
    b += 'N';
    standin::AppendInt(b, ++g_generation.sequence);
    b += " G";
    if (g >= 0 && g < 10) b += '0';
    standin::AppendInt(b, g);
    if (values != nullptr) {
        b += " X";
        standin::AppendFixed(b, values[0]);
        b += " Y";
        standin::AppendFixed(b, values[1]);
        if (g == 2 || g == 3) {
            b += " I";
            standin::AppendFixed(b, values[2]);
            b += " J";
            standin::AppendFixed(b, values[3]);
        }
        const int first = (g == 2 || g == 3) ? 4 : 2;
        for (int i = 0; i < extra && first + i < 30; ++i) {
            b += " Q";
            standin::AppendFixed(b, values[first + i]);
        }
    }
    if (condition > 0) {
        b += " T";
        standin::AppendInt(b, condition);
    }
    if (m > 0) {
        b += " M";
        standin::AppendInt(b, m);
    }
    b += '\n';
    Put(b);
}

KORVID_API void MD_EndDriverNcGeneratioin() {
    standin::Trace("MD_EndDriverNcGeneratioin()");
    if (g_generation.out == nullptr) return;
    std::string tail = "(BLOCKS ";
    standin::AppendInt(tail, g_generation.sequence);
    tail += ")\nM30\n%\n";
    Put(tail);
    std::fclose(g_generation.out);
    g_generation.out = nullptr;
}
