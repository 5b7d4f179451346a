// See bench_support.h.
#include "bench_support.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace quillet::bench {

namespace {

// The same disk as the data files of a real installation would use;
// QUILLET_BENCH_DIR chooses another (a network share, for instance).
testing::TempInstallation::Options BenchOptions() {
    testing::TempInstallation::Options options;
    const char* parent = std::getenv("QUILLET_BENCH_DIR");
    if (parent != nullptr && parent[0] != '\0') options.parent = parent;
    return options;
}

}  // namespace

const BenchInstallation& BenchInstallation::Get() {
    static const BenchInstallation installation;
    return installation;
}

BenchInstallation::BenchInstallation() : install_(BenchOptions()) {
    // An installation's registry file was written long before the calls
    // measured; the module keeps its answers only once it has settled.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
}

void ReportPeakMemory(benchmark::State& state) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_kb"] = static_cast<double>(usage.ru_maxrss);
}

}  // namespace quillet::bench
