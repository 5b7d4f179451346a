// quillet-host commands of the machine-driver area: NC generation of a job
// through a driver, the driver's special sequences, and the current driver
// setting files of a job.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "cli.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

namespace fs = std::filesystem;

// Jobs with at least this many records get a progress indication.
constexpr long kLargeJob = 20000;

// Counts the NC records of a stand-in job file (the lines after
// "[records]" that are neither blank nor comments); nullopt when the file
// cannot be read.
std::optional<long> CountJobRecords(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    long count = 0;
    bool inRecords = false;
    std::string line;
    while (std::getline(in, line)) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        if (!inRecords) {
            inRecords = line.compare(first, 9, "[records]") == 0;
            continue;
        }
        ++count;
    }
    return count;
}

// Prints the size of the growing NC program to stderr once a second while
// the driver writes it.
class ProgressWatcher {
public:
    ProgressWatcher(fs::path target, long records) : target_(std::move(target)) {
        std::fprintf(stderr, "generate-nc: %ld records to generate\n", records);
        thread_ = std::thread([this] { Run(); });
    }
    ~ProgressWatcher() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    void Run() {
        const auto start = std::chrono::steady_clock::now();
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) {
            std::error_code error;
            const auto size = fs::file_size(target_, error);
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
            std::fprintf(stderr, "generate-nc: %lds, %llu KiB written\n",
                         static_cast<long>(seconds),
                         error ? 0ULL : static_cast<unsigned long long>(size / 1024));
        }
    }

    fs::path target_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

int GenerateNc(int argc, char** argv) {
    ArgParser args("generate-nc", "--driver FILE [--job FILE] --target PATH [--json]");
    args.Option("driver", "machine driver file (the stand-in reads a driver definition)", true);
    args.Option("job", "job file of the stand-in NC-data library (sets QUILLET_JOB)");
    args.Option("target", "where the driver writes the NC program", true);
    args.Flag("json", "print the result as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;

    std::optional<long> records;
    if (args.Has("job")) {
        const std::string job = args.Get("job");
        records = CountJobRecords(job);
        if (!records) {
            PrintError("generate-nc: cannot read job file '" + job + "'");
            return kExitHostFailure;
        }
        setenv("QUILLET_JOB", job.c_str(), 1);
    }
    std::string target = args.Get("target");
    std::error_code error;
    const fs::path where = fs::absolute(target, error);

    int status = 0;
    const auto start = std::chrono::steady_clock::now();
    {
        std::optional<ProgressWatcher> progress;
        if (records && *records >= kLargeJob) progress.emplace(where, *records);
        status = MD_CreateNC(args.Get("driver").c_str(), target.data());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool written = fs::is_regular_file(where, error);

    if (args.Has("json")) {
        std::printf("{\"status\": %d, \"target\": %s, \"written\": %s", status,
                    JsonString(where.string()).c_str(), written ? "true" : "false");
        if (records) std::printf(", \"records\": %ld", *records);
        std::printf(", \"seconds\": %.3f}\n", seconds);
    } else if (status != 0) {
        std::string hint;
        if (!args.Has("job") && std::getenv("QUILLET_JOB") == nullptr) {
            hint = " (no job named: pass --job FILE or set QUILLET_JOB)";
        }
        PrintStatusError("generate-nc", "MD_CreateNC", status, hint);
    } else if (written) {
        std::printf("NC program written to %s", where.string().c_str());
        if (records) std::printf(" (%ld records)", *records);
        std::printf("\n");
    } else {
        std::printf("MD_CreateNC returned 0, but the driver wrote no file at %s\n",
                    where.string().c_str());
    }
    return ExitCodeForStatus(status);
}

int SpecialSequences(int argc, char** argv) {
    ArgParser args("special-sequences", "--driver FILE --family cutting|punching|1|2 [--json]");
    args.Option("driver", "machine driver file", true);
    args.Option("family", "cutting (1) or punching (2); other numbers list nothing", true);
    args.Flag("json", "print the list as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::string familyText = args.Get("family");
    int family = 0;
    if (familyText == "cutting") {
        family = 1;
    } else if (familyText == "punching") {
        family = 2;
    } else {
        const std::optional<int> number = args.GetInt("family", 0);
        if (!number) return kExitUsage;
        family = *number;
    }

    md_ssi_all_ result{};
    result.count = 0;
    MD_GetSpecialSequence(args.Get("driver").c_str(), family, &result);
    const int count = result.count < 0 ? 0 : (result.count > 99 ? 99 : result.count);
    if (args.Has("json")) {
        std::printf("[");
        for (int i = 0; i < count; ++i) {
            const md_ssi_& e = result.entries[i];
            std::printf("%s{\"id\": %d, \"name\": %s, \"valueType\": %d, \"valueCount\": %d}",
                        i == 0 ? "\n  " : ",\n  ", e.id, JsonString(e.name.GetString()).c_str(),
                        e.valueType, e.valueCount);
        }
        std::printf(count == 0 ? "]\n" : "\n]\n");
        return 0;
    }
    std::printf("%d special sequence(s)\n", count);
    if (count > 0) std::printf("%8s %5s %6s  %s\n", "id", "type", "values", "name");
    for (int i = 0; i < count; ++i) {
        const md_ssi_& e = result.entries[i];
        std::printf("%8d %5d %6d  %s\n", e.id, e.valueType, e.valueCount, e.name.GetString());
    }
    return 0;
}

int SetCurrent(int argc, char** argv) {
    ArgParser args("set-current",
                   "--driver FILE --machine NAME [--material NAME] [--die-layout NAME] [--json]");
    args.Option("driver", "machine driver file", true);
    args.Option("machine", "machine name of the saved setting files", true);
    args.Option("material", "laser material: lays down the Cut current file");
    args.Option("die-layout", "die layout: lays down the Tool current file");
    args.Flag("json", "print the result as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::string material = args.Get("material");
    const std::string dieLayout = args.Get("die-layout");
    const int status = MD_SetCurrentInfo(args.Get("driver").c_str(), args.Get("machine").c_str(),
                                         args.Has("material") ? material.c_str() : nullptr,
                                         args.Has("die-layout") ? dieLayout.c_str() : nullptr);

    struct Current {
        const char* kind;
        fs::path path;
        bool exists;
        bool sectioned;
    };
    std::vector<Current> files;
    if (const std::optional<std::string> root = RegistryRoot("VELDSystemRoot")) {
        for (const char* kind : {"NC", "CUT", "TOOL"}) {
            Current c{kind, fs::path(*root + "TEMP/MD_" + kind + "_default.ini"), false, false};
            std::error_code error;
            c.exists = fs::is_regular_file(c.path, error);
            if (c.exists) {
                std::ifstream in(c.path);
                std::string first;
                std::getline(in, first);
                c.sectioned = !first.empty() && first[0] == '[';
            }
            files.push_back(c);
        }
    }
    if (args.Has("json")) {
        std::printf("{\"status\": %d, \"current\": [", status);
        bool firstEntry = true;
        for (const Current& c : files) {
            if (!c.exists) continue;
            std::printf("%s{\"kind\": %s, \"path\": %s, \"form\": %s}", firstEntry ? "" : ", ",
                        JsonString(c.kind).c_str(), JsonString(c.path.string()).c_str(),
                        c.sectioned ? "\"sectioned\"" : "\"plain\"");
            firstEntry = false;
        }
        std::printf("]}\n");
        return ExitCodeForStatus(status);
    }
    if (status != 0) PrintStatusError("set-current", "MD_SetCurrentInfo", status);
    for (const Current& c : files) {
        if (c.exists) {
            std::printf("%-4s %s (%s)\n", c.kind, c.path.string().c_str(),
                        c.sectioned ? "sectioned" : "plain lines");
        }
    }
    return ExitCodeForStatus(status);
}

}  // namespace

std::vector<Command> DriverCommands() {
    return {
        {"generate-nc", "generate the NC program of a job through a machine driver (MD_CreateNC)",
         GenerateNc},
        {"special-sequences", "list a driver's special sequences (MD_GetSpecialSequence)",
         SpecialSequences},
        {"set-current", "lay down the current driver setting files (MD_SetCurrentInfo)",
         SetCurrent},
    };
}

}  // namespace quillet::host
