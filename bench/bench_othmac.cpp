// Other-machine NC data: the template look-up in a machine index of 10,000
// machines and a material list of 500 materials, as a call and as a
// quillet-host command in a process of its own.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "quillet/quillet.h"

namespace quillet::bench {

namespace {

constexpr int kMachineCount = 10000;
constexpr int kMaterialCount = 500;

std::string Record(const std::string& head, const std::string& name, const std::string& file) {
    char line[256];
    std::snprintf(line, sizeof line, "[QM700]%s%-50s%-100s\n", head.c_str(), name.c_str(),
                  file.c_str());
    return line;
}

std::string MachineName(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "MAC%05d", n);
    return name;
}

int MachineType(int n) { return 130 + n % 10; }

struct LookupFiles {
    fs::path index;
    fs::path list;
    fs::path cut;
    std::string machine;
    std::string material;
    int machineType = 0;
};

// The machine looked for is the last of the index and its material the last
// of its list: the look-up reads both files to the end.
const LookupFiles& Files() {
    static const LookupFiles files = [] {
        const BenchInstallation& install = BenchInstallation::Get();
        LookupFiles f;
        const int last = kMachineCount - 1;
        f.machine = MachineName(last);
        f.machineType = MachineType(last);
        f.index = install.DataFolder() / "Othmcn.dat";
        f.list = install.DataFolder() / (f.machine + ".__1");
        std::string index;
        for (int n = 0; n < kMachineCount; ++n) {
            char number[8];
            std::snprintf(number, sizeof number, "%3d", MachineType(n));
            index += Record(number, MachineName(n), MachineName(n) + ".__1");
        }
        WriteFile(f.index, index);
        std::string list;
        for (int m = 0; m < kMaterialCount; ++m) {
            char material[16];
            std::snprintf(material, sizeof material, "MAT%03d", m);
            list += Record("", material, f.machine + "-" + material + ".CUT");
            f.material = material;
        }
        WriteFile(f.list, list);
        f.cut = install.DataFolder() / (f.machine + "-" + f.material + ".CUT");
        WriteFile(f.cut, "O0001\n");
        return f;
    }();
    return files;
}

// Reads both files line by line, as fgets with the look-up's 500-byte
// buffer does, and nothing else.
void BM_OthMacLookup_Baseline(benchmark::State& state) {
    const LookupFiles& files = Files();
    char line[500];
    for (auto _ : state) {
        long lines = 0;
        for (const fs::path& path : {files.index, files.list}) {
            std::FILE* file = std::fopen(path.c_str(), "r");
            if (file == nullptr) {
                state.SkipWithError("cannot open");
                break;
            }
            while (std::fgets(line, sizeof line, file) != nullptr) ++lines;
            std::fclose(file);
        }
        benchmark::DoNotOptimize(lines);
    }
    ReportPeakMemory(state);
}

void BM_OthMacLookup(benchmark::State& state) {
    const LookupFiles& files = Files();
    char path[QUILLET_PATH_BUFFER_SIZE];
    for (auto _ : state) {
        if (SddGetOthMacCondPath(0, 0, files.machineType, files.machine.c_str(),
                                 files.material.c_str(), "", 0, 0, path) != 0) {
            state.SkipWithError("SddGetOthMacCondPath failed");
            break;
        }
        benchmark::DoNotOptimize(path);
    }
    ReportPeakMemory(state);
}

// The start-up of a command that shows no dialog: a fresh process that
// reads the registry file, the index, the list and the template, against one
// that reads the same files and does nothing else.
void RunEachIteration(benchmark::State& state, const std::vector<std::string>& argv) {
    for (auto _ : state) {
        if (RunProgram(argv) != 0) {
            state.SkipWithError((argv[0] + " failed").c_str());
            break;
        }
    }
}

void BM_HostTemplatePath_Baseline(benchmark::State& state) {
    const LookupFiles& files = Files();
    RunEachIteration(state, {QUILLET_BENCH_READER, BenchInstallation::Get().RegistryFile(),
                             files.index, files.list, files.cut});
}

void BM_HostTemplatePath(benchmark::State& state) {
    const LookupFiles& files = Files();
    RunEachIteration(
        state, {QUILLET_HOST_PROGRAM, "template-path", "--type", std::to_string(files.machineType),
                "--machine", files.machine, "--material", files.material});
}

}  // namespace

BENCHMARK(BM_OthMacLookup_Baseline);
BENCHMARK(BM_OthMacLookup);
BENCHMARK(BM_HostTemplatePath_Baseline)->UseRealTime();
BENCHMARK(BM_HostTemplatePath)->UseRealTime();

}  // namespace quillet::bench
