// Stand-in NC-data library (libDravik.so). It serves the job named by the
// environment variable QUILLET_JOB: a text file with the machine record and
// the NC records (docs/STANDINS.md). Open, Read and Close walk the records
// like a file cursor; the job file may ask for failure codes for testing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "quillet/quillet.h"
#include "standin_text.h"

#define DRAVIK_API extern "C" __attribute__((visibility("default")))

namespace {

// Result codes of the stand-in (a job may set its own through fail-...).
constexpr int kNoJobNamed = 2;
constexpr int kJobUnreadable = 3;
constexpr int kNotOpen = 4;
constexpr int kEndOfRecords = 1;

struct Job {
    std::string path;
    bool readable = false;
    int failReadMachine = 0, failCheck = 0, failOpen = 0, failClose = 0;
    int endCode = kEndOfRecords;
};

struct Cursor {
    std::FILE* file = nullptr;
    char line[1024];
};

Cursor g_cursor;

const char* JobPath() {
    const char* path = std::getenv("QUILLET_JOB");
    return path != nullptr && path[0] != '\0' ? path : nullptr;
}

void ReadPair(std::string_view text, double (&pair)[2]) {
    text = standin::Trim(text);
    const auto blank = text.find_first_of(" \t");
    pair[0] = standin::ToReal(text.substr(0, blank));
    pair[1] = blank == std::string_view::npos ? 0.0 : standin::ToReal(text.substr(blank));
}

// Reads the head of the job file (everything before [records]); fills
// machine when given.
Job ReadJob(md_machine_inf_* machine) {
    Job job;
    const char* path = JobPath();
    if (path == nullptr) return job;
    job.path = path;
    std::ifstream in(job.path);
    if (!in) return job;
    job.readable = true;
    std::string raw;
    while (std::getline(in, raw)) {
        const std::string_view line = standin::Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line == "[records]") break;
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = standin::Trim(line.substr(0, eq));
        const std::string_view value = standin::Trim(line.substr(eq + 1));
        if (key == "fail-read-machine") job.failReadMachine = standin::ToInt(value);
        if (key == "fail-check") job.failCheck = standin::ToInt(value);
        if (key == "fail-open") job.failOpen = standin::ToInt(value);
        if (key == "fail-close") job.failClose = standin::ToInt(value);
        if (key == "end-code") job.endCode = standin::ToInt(value);
        if (machine == nullptr) continue;
        if (key == "sheet") {
            const std::size_t n = std::min(value.size(), sizeof machine->sheetName - 1);
            std::memcpy(machine->sheetName, value.data(), n);
            machine->sheetName[n] = '\0';
        }
        if (key == "machine-type") machine->machineType = standin::ToInt(value);
        if (key == "unit-mode") machine->unitMode = standin::ToInt(value);
        if (key == "clamps") machine->clampCount = standin::ToInt(value);
        if (key == "clamp-locations") {
            std::string_view rest = value;
            for (double& location : machine->clampLocations) {
                rest = standin::Trim(rest);
                if (rest.empty()) break;
                const auto blank = rest.find_first_of(" \t");
                location = standin::ToReal(rest.substr(0, blank));
                rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank);
            }
        }
        if (key == "table-size") ReadPair(value, machine->tableSize);
        if (key == "sheet-size") ReadPair(value, machine->sheetSize);
        if (key == "thickness") machine->sheetThickness = standin::ToReal(value);
        if (key == "offset") ReadPair(value, machine->programmedOffset);
        if (key == "parts") machine->partCount = standin::ToInt(value);
    }
    return job;
}

void CloseCursor() {
    if (g_cursor.file != nullptr) std::fclose(g_cursor.file);
    g_cursor.file = nullptr;
}

int ReadMachine(md_machine_inf_* machine) {
    if (machine == nullptr) return kNoJobNamed;
    *machine = md_machine_inf_{};
    const Job job = ReadJob(machine);
    return job.failReadMachine;
}

int Check() {
    const Job job = ReadJob(nullptr);
    if (job.path.empty()) return kNoJobNamed;
    if (!job.readable) return kJobUnreadable;
    return job.failCheck;
}

int Open() {
    CloseCursor();
    const Job job = ReadJob(nullptr);
    if (job.path.empty()) return kNoJobNamed;
    if (job.failOpen != 0) return job.failOpen;
    g_cursor.file = std::fopen(job.path.c_str(), "r");
    if (g_cursor.file == nullptr) return kJobUnreadable;
    static char buffer[1 << 16];
    std::setvbuf(g_cursor.file, buffer, _IOFBF, sizeof buffer);
    // Position the cursor after the [records] line.
    while (std::fgets(g_cursor.line, sizeof g_cursor.line, g_cursor.file) != nullptr) {
        if (standin::Trim(g_cursor.line) == "[records]") return 0;
    }
    return 0;  // a job without records: the first read ends the loop
}

// Each record line: four integers, then up to 30 reals, separated by blanks.
int Read(md_ncg_dat_* record) {
    if (g_cursor.file == nullptr || record == nullptr) return kNotOpen;
    while (std::fgets(g_cursor.line, sizeof g_cursor.line, g_cursor.file) != nullptr) {
        const char* p = g_cursor.line;
        const char* const end = p + std::strlen(p);
        while (p < end && (*p == ' ' || *p == '\t')) ++p;
        if (p == end || *p == '\n' || *p == '\r' || *p == '#') continue;
        *record = md_ncg_dat_{};
        int field = 0;
        while (p < end && field < 34) {
            while (p < end && (*p == ' ' || *p == '\t' || *p == '+')) ++p;
            if (p == end || *p == '\n' || *p == '\r') break;
            std::from_chars_result r{};
            if (field < 4) {
                r = std::from_chars(p, end, record->codes[field]);
            } else {
                r = std::from_chars(p, end, record->values[field - 4]);
            }
            if (r.ec != std::errc()) break;
            p = r.ptr;
            ++field;
        }
        return 0;
    }
    return ReadJob(nullptr).endCode;
}

int Close() {
    const bool wasOpen = g_cursor.file != nullptr;
    CloseCursor();
    if (!wasOpen) return kNotOpen;
    return ReadJob(nullptr).failClose;
}

}  // namespace

// Each call is traced with its result.
DRAVIK_API int MD_Param_Read_Machine(md_machine_inf_* machine) {
    return standin::Traced("MD_Param_Read_Machine()", ReadMachine(machine));
}
DRAVIK_API int MD_Data_File_check() { return standin::Traced("MD_Data_File_check()", Check()); }
DRAVIK_API int MD_Data_File_Open() { return standin::Traced("MD_Data_File_Open()", Open()); }
DRAVIK_API int MD_Data_File_Read(md_ncg_dat_* record) {
    return standin::Traced("MD_Data_File_Read()", Read(record));
}
DRAVIK_API int MD_Data_File_Close() { return standin::Traced("MD_Data_File_Close()", Close()); }
