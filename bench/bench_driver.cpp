// Machine-driver NC generation: MD_CreateNC feeding 1,000,000 records to a
// driver that does nothing, and MD_SetCurrentInfo laying down saved files of
// 13 sections of 99 items.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench_support.h"
#include "quillet/quillet.h"

namespace quillet::bench {

namespace {

// ------------------------------------------------------------ MD_CreateNC

constexpr int kRecordCount = 1000000;

void* OpenNoop(const char* library) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_GLOBAL);
    if (handle == nullptr || ::dlsym(handle, "QuilletBenchNoopDravik") == nullptr) {
        // Only the Dravik carries the marker; korvid comes from the same folder.
        if (std::strcmp(library, "libDravik.so") == 0) return nullptr;
    }
    return handle;
}

bool NoopLibrariesInPlace(benchmark::State& state) {
    if (OpenNoop("libDravik.so") != nullptr && OpenNoop("libkorvid.so") != nullptr) return true;
    state.SkipWithError("run with LD_LIBRARY_PATH=" QUILLET_BENCH_NOOP_DIR);
    return false;
}

template <typename Fn>
Fn Symbol(void* handle, const char* name) {
    return reinterpret_cast<Fn>(::dlsym(handle, name));
}

// The same library calls as MD_CreateNC makes, bound by dlsym and called in
// a plain loop.
void BM_CreateNc_Baseline(benchmark::State& state) {
    if (!NoopLibrariesInPlace(state)) return;
    void* const k = ::dlopen("libkorvid.so", RTLD_NOW | RTLD_GLOBAL);
    void* const d = ::dlopen("libDravik.so", RTLD_NOW | RTLD_GLOBAL);
    const auto load = Symbol<void (*)(char*)>(k, "MD_LoadMachineDriver");
    const auto setSheetName = Symbol<void (*)(char*)>(k, "MD_SetSheetName");
    const auto setMachineType = Symbol<void (*)(int)>(k, "MD_SetMachineType");
    const auto setUnitMode = Symbol<void (*)(int)>(k, "MD_SetUnitMode");
    const auto setClamps = Symbol<void (*)(int)>(k, "MD_SetNumberOfClamps");
    const auto setClamp = Symbol<void (*)(int, double)>(k, "MD_SetClampLocation");
    const auto setTable = Symbol<void (*)(double, double)>(k, "MD_SetTableSize");
    const auto setSheet = Symbol<void (*)(double, double)>(k, "MD_SetSheetSize");
    const auto setThickness = Symbol<void (*)(double)>(k, "MD_SetSheetThickness");
    const auto setOffset = Symbol<void (*)(double, double)>(k, "MD_SetProgrammedOffset");
    const auto setParts = Symbol<void (*)(int)>(k, "MD_SetNumberOfPartOnSheet");
    const auto initial = Symbol<void (*)(char*)>(k, "MD_InitialDriverNcGeneration");
    const auto generate =
        Symbol<void (*)(int, int, int, int, double* const)>(k, "MD_DriverNcCodeGeneration");
    const auto end = Symbol<void (*)()>(k, "MD_EndDriverNcGeneratioin");
    const auto readMachine = Symbol<int (*)(md_machine_inf_*)>(d, "MD_Param_Read_Machine");
    const auto check = Symbol<int (*)()>(d, "MD_Data_File_check");
    const auto open = Symbol<int (*)()>(d, "MD_Data_File_Open");
    const auto read = Symbol<int (*)(md_ncg_dat_*)>(d, "MD_Data_File_Read");
    const auto close = Symbol<int (*)()>(d, "MD_Data_File_Close");
    char driver[256] = "BENCH";
    char target[256] = "/dev/null";
    for (auto _ : state) {
        load(driver);
        md_machine_inf_ machine{};
        readMachine(&machine);
        setSheetName(machine.sheetName);
        setMachineType(machine.machineType);
        setUnitMode(machine.unitMode);
        setClamps(machine.clampCount);
        for (int c = 1; c <= machine.clampCount && c <= 5; ++c) {
            setClamp(c, machine.clampLocations[c - 1]);
        }
        setTable(machine.tableSize[0], machine.tableSize[1]);
        setSheet(machine.sheetSize[0], machine.sheetSize[1]);
        setThickness(machine.sheetThickness);
        setOffset(machine.programmedOffset[0], machine.programmedOffset[1]);
        setParts(machine.partCount);
        check();
        open();
        initial(target);
        md_ncg_dat_ record{};
        while (read(&record) == 0) {
            generate(record.codes[0], record.codes[1], record.codes[2], record.codes[3],
                     record.values);
        }
        end();
        benchmark::DoNotOptimize(close());
    }
    state.SetItemsProcessed(state.iterations() * kRecordCount);
    ReportPeakMemory(state);
}

void BM_CreateNc(benchmark::State& state) {
    if (!NoopLibrariesInPlace(state)) return;
    BenchInstallation::Get();
    char target[] = "/dev/null";
    const CString driver("BENCH");
    for (auto _ : state) {
        if (MD_CreateNC(driver, target) != 0) {
            state.SkipWithError("MD_CreateNC failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRecordCount);
    ReportPeakMemory(state);
}

// ------------------------------------------------------------ MD_SetCurrentInfo

constexpr int kSections = 13;
constexpr int kItems = 99;

// A saved setting file of 13 sections of 99 items (switch and two values).
std::string SavedSettingText(const char* sectionPrefix) {
    std::string text;
    char line[128];
    for (int s = 1; s <= kSections; ++s) {
        std::snprintf(line, sizeof line, "[%s%02d]\n", sectionPrefix, s);
        text += line;
        for (int id = 1; id <= kItems; ++id) {
            std::snprintf(line, sizeof line, "%d_4OnOff=1\n%d_4Value1=%lf\n%d_4Value2=%lf\n", id,
                          id, 0.5 * id, id, 1.25 * id);
            text += line;
        }
    }
    return text;
}

struct CurrentFiles {
    fs::path saved[3];
    fs::path current[3];
};

const CurrentFiles& SettingFiles() {
    static const CurrentFiles files = [] {
        const BenchInstallation& install = BenchInstallation::Get();
        CurrentFiles f;
        const char* saved[3] = {"MD_NC_LC3015.ini", "MD_CUT_LC3015_SPCC1.6.ini",
                                "MD_TOOL_LC3015_DIE1.ini"};
        const char* current[3] = {"MD_NC_default.ini", "MD_CUT_default.ini", "MD_TOOL_default.ini"};
        const char* sections[3] = {"MD_NC_S", "MD_CUT_SPCC1.6_S", "MD_TOOL_DIE1_S"};
        for (int n = 0; n < 3; ++n) {
            f.saved[n] = install.DataFolder() / saved[n];
            f.current[n] = install.WorkingFolder() / current[n];
            WriteFile(f.saved[n], SavedSettingText(sections[n]));
        }
        return f;
    }();
    return files;
}

void BM_SetCurrentInfo_Baseline(benchmark::State& state) {
    const CurrentFiles& files = SettingFiles();
    for (auto _ : state) {
        // The current files are replaced, not rewritten in place, as the
        // operation does (a truncate-and-rewrite costs a flush on ext4).
        for (int n = 0; n < 3; ++n) {
            ::unlink(files.current[n].c_str());
            if (!fs::copy_file(files.saved[n], files.current[n])) {
                state.SkipWithError("copy failed");
                break;
            }
        }
    }
    ReportPeakMemory(state);
}

void BM_SetCurrentInfo(benchmark::State& state) {
    const CurrentFiles& files = SettingFiles();
    for (auto _ : state) {
        if (MD_SetCurrentInfo("BENCH", "LC3015", "SPCC1.6", "DIE1") != 0) {
            state.SkipWithError("MD_SetCurrentInfo failed");
            break;
        }
    }
    if (fs::file_size(files.current[1]) != fs::file_size(files.saved[1])) {
        state.SkipWithError("current file differs from the saved one");
    }
    ReportPeakMemory(state);
}

}  // namespace

BENCHMARK(BM_CreateNc_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateNc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetCurrentInfo_Baseline);
BENCHMARK(BM_SetCurrentInfo);

}  // namespace quillet::bench
