// See bench_support.h.
#include "bench_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

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

int RunProgram(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace quillet::bench
