// PDL laser cutting-condition tables: reading one table of a 13-table
// condition file, the dialog's save path (one table; every table of a group)
// and the machine-type alias.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "frame/cutting_conditions.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "pdl/pdl_save_options.h"
#include "pdl/pdl_table.h"
#include "platform/file_ops.h"
#include "platform/profile.h"
#include "quillet/quillet.h"

namespace quillet::bench {

namespace {

constexpr const char* kMachine = "LC3015";
constexpr const char* kMaterial = "SPCC1.6";
constexpr int kMachineType = 13300;

// A condition file holding all 13 tables, every key with a value, as the
// profile engine writes them (about 35 KB).
std::string ConditionFileText() {
    std::string text;
    for (int table = 0; table < pdl::kPdlTableCount; ++table) {
        text.append("[").append(pdl::kPdlTableSections[table]).append("]\n");
        for (int slot = 0; slot < pdl::kPdlParamCount; ++slot) {
            char value[64];
            std::snprintf(value, sizeof value, "%lf", 100.0 * table + slot + 0.25);
            text.append(pdl::kPdlParamKeys[slot]).append("=").append(value).append("\n");
        }
    }
    return text;
}

struct PdlFiles {
    fs::path condition;
    fs::path saveOptions;
    fs::path alias;
};

// The condition file of kMachine and kMaterial and the alias file as
// SddPDLOthMacTypeGet creates it.
const PdlFiles& Files() {
    static const PdlFiles files = [&] {
        const BenchInstallation& install = BenchInstallation::Get();
        PdlFiles f;
        f.condition =
            install.DataFolder() / (std::string("PDL_CUT_") + kMachine + "_" + kMaterial + ".ini");
        f.saveOptions = install.DataFolder() / pdl::kPdlSaveOptionFile;
        f.alias = install.DataFolder() / pdl::kPdlAliasFile;
        WriteFile(f.condition, ConditionFileText());
        // The module writes the alias file with its defaults on first use.
        if (SddPDLOthMacTypeGet(kMachineType) < 0) std::abort();
        return f;
    }();
    return files;
}

// The save-option file holding options, as the dialog found it on opening.
void WriteSaveOptions(const PdlFiles& f, const pdl::PdlSaveOptions& options) {
    std::string saveText;
    saveText.append("[").append(pdl::kPdlSaveOptionSection).append("]\n");
    saveText.append(frame::kSaveOptionSwitchKey)
        .append("=")
        .append(options.saveSwitch ? "1" : "0")
        .append("\n");
    for (int k = 0; k < pdl::kPdlTableCount; ++k) {
        saveText.append(frame::SaveOptionKey(k))
            .append("=")
            .append(options.tables[k] ? "1" : "0")
            .append("\n");
    }
    WriteFile(f.saveOptions, saveText);
}

pdl::PdlSaveOptions SingleTableOptions() { return pdl::PdlSaveOptions{}; }

pdl::PdlSaveOptions WholeGroupOptions() {
    pdl::PdlSaveOptions options;
    options.saveSwitch = true;
    options.tables.fill(true);
    return options;
}

// ------------------------------------------------------------ table read

void BM_PdlGetInf_Baseline(benchmark::State& state) {
    const PdlFiles& files = Files();
    for (auto _ : state) {
        platform::ProfileDocument document = platform::ProfileDocument::Load(files.condition);
        benchmark::DoNotOptimize(document);
    }
    ReportPeakMemory(state);
}

void BM_PdlGetInf(benchmark::State& state) {
    Files();
    float block[QUILLET_PDL_SLOTS];
    for (auto _ : state) {
        if (SddPDLOthMacLasCutGetInf(kMachine, kMachineType, kMaterial, 12, block) != 0) {
            state.SkipWithError("SddPDLOthMacLasCutGetInf failed");
            break;
        }
        benchmark::DoNotOptimize(block);
    }
    ReportPeakMemory(state);
}

// ------------------------------------------------------------ dialog save

// One parse and one atomic rewrite of the condition file.
void SaveBaseline(benchmark::State& state, const pdl::PdlSaveOptions& options) {
    const PdlFiles& files = Files();
    WriteSaveOptions(files, options);
    for (auto _ : state) {
        const platform::ProfileDocument document = platform::ProfileDocument::Load(files.condition);
        if (!platform::AtomicReplace(files.condition, document.Serialize())) {
            state.SkipWithError("AtomicReplace failed");
            break;
        }
    }
    ReportPeakMemory(state);
}

// What the dialog's OK does once the rows are collected: write the record
// into the tables the save options pick, then store the options. Every
// iteration saves another value, so every save rewrites the file.
void SaveOperation(benchmark::State& state, const pdl::PdlSaveOptions& options) {
    WriteSaveOptions(Files(), options);
    pdl::PdlCutCondition record;
    for (int slot = 0; slot < pdl::kPdlParamCount; ++slot) record.slot[slot] = 1.5f * slot;
    const std::vector<int> targets = pdl::PdlSaveTargets(0, options);
    state.counters["tables"] = static_cast<double>(targets.size());
    int edit = 0;
    for (auto _ : state) {
        record.slot[0] = static_cast<float>(++edit % 4096);
        std::vector<pdl::PdlTableWrite> writes;
        for (const int table : pdl::PdlSaveTargets(0, options)) writes.push_back({table, record});
        if (!pdl::SavePdlTables(kMachine, kMaterial, writes) || !pdl::SavePdlSaveOptions(options)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    ReportPeakMemory(state);
}

void BM_PdlSaveOne_Baseline(benchmark::State& state) { SaveBaseline(state, SingleTableOptions()); }
void BM_PdlSaveOne(benchmark::State& state) { SaveOperation(state, SingleTableOptions()); }
void BM_PdlSaveGroup_Baseline(benchmark::State& state) { SaveBaseline(state, WholeGroupOptions()); }
void BM_PdlSaveGroup(benchmark::State& state) { SaveOperation(state, WholeGroupOptions()); }

// ------------------------------------------------------------ alias

void BM_PdlTypeGet_Baseline(benchmark::State& state) {
    const PdlFiles& files = Files();
    for (auto _ : state) {
        std::optional<std::string> bytes = platform::ReadWholeFile(files.alias);
        benchmark::DoNotOptimize(bytes);
    }
    ReportPeakMemory(state);
}

void BM_PdlTypeGet(benchmark::State& state) {
    Files();
    for (auto _ : state) {
        const int id = SddPDLOthMacTypeGet(kMachineType);
        if (id != 60) {
            state.SkipWithError("SddPDLOthMacTypeGet gave an unexpected machine ID");
            break;
        }
        benchmark::DoNotOptimize(id);
    }
    ReportPeakMemory(state);
}

}  // namespace

BENCHMARK(BM_PdlGetInf_Baseline);
BENCHMARK(BM_PdlGetInf);
BENCHMARK(BM_PdlSaveOne_Baseline);
BENCHMARK(BM_PdlSaveOne);
BENCHMARK(BM_PdlSaveGroup_Baseline);
BENCHMARK(BM_PdlSaveGroup);
BENCHMARK(BM_PdlTypeGet_Baseline);
BENCHMARK(BM_PdlTypeGet);

}  // namespace quillet::bench
