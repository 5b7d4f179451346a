// A throw-away installation for the benchmarks (data root, system root with
// its TEMP folder, registry file named by QUILLET_REGISTRY) and the peak
// memory counter every benchmark reports.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace quillet::bench {

namespace fs = std::filesystem;

class BenchInstallation {
public:
    // The process's installation, created on first use and removed at exit.
    static const BenchInstallation& Get();

    fs::path DataFolder() const { return base_ / "data" / "data" / "Othmcn"; }
    fs::path WorkingFolder() const { return base_ / "system" / "TEMP"; }

    BenchInstallation();
    ~BenchInstallation();
    BenchInstallation(const BenchInstallation&) = delete;
    BenchInstallation& operator=(const BenchInstallation&) = delete;

private:
    fs::path base_;
};

void WriteText(const fs::path& path, std::string_view contents);

// Sets the "peak_rss_kb" counter: the process's peak resident set so far.
// Each benchmark runs in a process of its own (scripts/bench.sh), so this is
// the peak of that benchmark.
void ReportPeakMemory(benchmark::State& state);

}  // namespace quillet::bench
