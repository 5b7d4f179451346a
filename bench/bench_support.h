// The benchmarks' installation (the tests' temporary installation, made once
// per process) and the peak memory counter every benchmark reports.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>

#include "support/temp_install.h"

namespace quillet::bench {

namespace fs = std::filesystem;

using testing::WriteFile;

class BenchInstallation {
public:
    // The process's installation, created on first use and removed at exit.
    static const BenchInstallation& Get();

    fs::path DataFolder() const { return install_.DataFolder(); }
    fs::path WorkingFolder() const { return install_.WorkingFolder(); }

private:
    BenchInstallation();
    testing::TempInstallation install_;
};

// Sets the "peak_rss_kb" counter: the process's peak resident set so far.
// Each benchmark runs in a process of its own (scripts/bench.sh), so this is
// the peak of that benchmark.
void ReportPeakMemory(benchmark::State& state);

}  // namespace quillet::bench
