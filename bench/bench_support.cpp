// See bench_support.h.
#include "bench_support.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace quillet::bench {

const BenchInstallation& BenchInstallation::Get() {
    static const BenchInstallation installation;
    return installation;
}

BenchInstallation::BenchInstallation() {
    // The same disk as the data files of a real installation would use;
    // QUILLET_BENCH_DIR chooses another (a network share, for instance).
    const char* parent = std::getenv("QUILLET_BENCH_DIR");
    std::string pattern =
        (parent != nullptr && parent[0] != '\0' ? fs::path(parent) : fs::temp_directory_path()) /
        "quillet-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    base_ = pattern;
    fs::create_directories(DataFolder());
    fs::create_directories(WorkingFolder());
    const fs::path registry = base_ / "registry.reg";
    WriteText(registry,
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\r\n"
              "\"ParentComputerRoot\"=\"" +
                  (base_ / "data").string() +
                  "/\"\r\n"
                  "\"VELDSystemRoot\"=\"" +
                  (base_ / "system").string() + "/\"\r\n");
    ::setenv("QUILLET_REGISTRY", registry.c_str(), 1);
    // An installation's registry file was written long before the calls
    // measured; the module keeps its answers only once it has settled.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
}

BenchInstallation::~BenchInstallation() {
    std::error_code ignored;
    fs::remove_all(base_, ignored);
}

void WriteText(const fs::path& path, std::string_view contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void ReportPeakMemory(benchmark::State& state) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_kb"] = static_cast<double>(usage.ru_maxrss);
}

}  // namespace quillet::bench
