// The benchmarks' installation (the tests' temporary installation, made once
// per process) and the peak memory counter every benchmark reports.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_install.h"

namespace quillet::bench {

namespace fs = std::filesystem;

using testing::WriteFile;

class BenchInstallation {
public:
    // The process's installation, created on first use and removed at exit.
    static const BenchInstallation& Get();

    fs::path Base() const { return install_.Base(); }
    fs::path DataFolder() const { return install_.DataFolder(); }
    fs::path WorkingFolder() const { return install_.WorkingFolder(); }
    fs::path RegistryFile() const { return install_.RegistryFile(); }

private:
    BenchInstallation();
    testing::TempInstallation install_;
};

// Sets the "peak_rss_kb" counter: the process's peak resident set so far.
// Each benchmark runs in a process of its own (scripts/bench.sh), so this is
// the peak of that benchmark.
void ReportPeakMemory(benchmark::State& state);
// Runs argv[0] with the benchmark's environment, its standard input and
// output on /dev/null, and waits for it: its exit status, -1 when it could
// not be started or a signal ended it. (Its peak memory is not reported:
// a child's ru_maxrss includes the pages of the benchmark it was forked from.)
int RunProgram(const std::vector<std::string>& argv);

}  // namespace quillet::bench
