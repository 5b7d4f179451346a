// Other-machine NC data: the template look-up in a machine index of 10,000
// machines and a material list of 500 materials; and the start-up of
// quillet-host template-path, a process of its own, on a small installation.
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

// An index of machines in dataFolder and a list of materials for its last
// machine, with the template of its last material: the machine looked for
// is the last of the index and its material the last of its list, so the
// look-up reads both files to the end.
LookupFiles WriteLookupFiles(const fs::path& dataFolder, int machines, int materials) {
    LookupFiles f;
    const int last = machines - 1;
    f.machine = MachineName(last);
    f.machineType = MachineType(last);
    f.index = dataFolder / "Othmcn.dat";
    f.list = dataFolder / (f.machine + ".__1");
    std::string index;
    for (int n = 0; n < machines; ++n) {
        char number[8];
        std::snprintf(number, sizeof number, "%3d", MachineType(n));
        index += Record(number, MachineName(n), MachineName(n) + ".__1");
    }
    WriteFile(f.index, index);
    std::string list;
    for (int m = 0; m < materials; ++m) {
        char material[16];
        std::snprintf(material, sizeof material, "MAT%03d", m);
        list += Record("", material, f.machine + "-" + material + ".CUT");
        f.material = material;
    }
    WriteFile(f.list, list);
    f.cut = dataFolder / (f.machine + "-" + f.material + ".CUT");
    WriteFile(f.cut, "O0001\n");
    return f;
}

const LookupFiles& Files() {
    static const LookupFiles files =
        WriteLookupFiles(BenchInstallation::Get().DataFolder(), kMachineCount, kMaterialCount);
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
// that reads the same files and does nothing else. The installation is one
// of its own, as quillet-host init makes it, with one machine and one
// material: the command's own work stays small beside its start-up.
struct StartUpFiles {
    fs::path registry;
    LookupFiles lookup;
};

const StartUpFiles& StartUp() {
    static const StartUpFiles files = [] {
        const fs::path base = BenchInstallation::Get().Base() / "start-up";
        StartUpFiles f{base / "registry.reg", {}};
        if (RunProgram({QUILLET_HOST_PROGRAM, "init", "--data-root", base / "data", "--system-root",
                        base / "system", "--registry", f.registry}) != 0) {
            return f;
        }
        f.lookup = WriteLookupFiles(base / "data" / "data" / "Othmcn", 1, 1);
        return f;
    }();
    return files;
}

// Runs argv once per iteration, with the start-up installation's registry.
void RunEachIteration(benchmark::State& state, const std::vector<std::string>& argv) {
    const testing::ScopedEnv registry("QUILLET_REGISTRY", StartUp().registry.string());
    for (auto _ : state) {
        if (StartUp().lookup.index.empty() || RunProgram(argv) != 0) {
            state.SkipWithError((argv[0] + " failed").c_str());
            break;
        }
    }
}

void BM_HostTemplatePath_Baseline(benchmark::State& state) {
    const StartUpFiles& files = StartUp();
    RunEachIteration(state, {QUILLET_BENCH_READER, files.registry, files.lookup.index,
                             files.lookup.list, files.lookup.cut});
}

void BM_HostTemplatePath(benchmark::State& state) {
    const LookupFiles& files = StartUp().lookup;
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
