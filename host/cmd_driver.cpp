// quillet-host commands of the machine-driver area: NC generation of a job
// through a driver, the driver's special sequences, and the current driver
// setting files of a job.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "cli.h"
#include "diagnose.h"
#include "driver/driver_settings.h"
#include "platform/file_ops.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

// Jobs with at least this many records get a progress indication.
constexpr long kLargeJob = 20000;

// Counts the NC records of a stand-in job file (the lines after
// "[records]" that are neither blank nor comments); nullopt when the file
// cannot be read.
std::optional<long> CountJobRecords(const std::string& path) {
    const std::optional<std::string> text = platform::ReadWholeFile(fs::path(path));
    if (!text) return std::nullopt;
    long count = 0;
    bool inRecords = false;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        const std::string_view line(text->data() + start, end - start);
        start = end + 1;
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#') continue;
        if (inRecords) {
            ++count;
        } else {
            inRecords = line.substr(first, 9) == "[records]";
        }
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
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
            std::fprintf(stderr, "generate-nc: %lds, %llu KiB written\n",
                         static_cast<long>(seconds),
                         static_cast<unsigned long long>(StampOf(target_).size / 1024));
        }
    }

    fs::path target_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

// A driver file the module would hand to the driver unread: refused before
// the export runs. Returns the exit code, or nullopt when it can be read.
std::optional<int> RefuseUnreadableDriver(const Report& report, const std::string& driver) {
    const std::string problem = ReadProblem(driver);
    if (problem.empty()) return std::nullopt;
    return report.Fail(kExitNotDone, kExitNotDone, "cannot use --driver: " + problem);
}

int GenerateNc(int argc, char** argv) {
    ArgParser args("generate-nc", "--driver FILE [--job FILE] --target PATH [--json]",
                   "generate-nc --driver laser.drv --job sample.job --target nc/sample.nc");
    args.Option("driver", "machine driver file (the stand-in reads a driver definition)", true);
    args.Option("job", "job file of the stand-in NC-data library (sets QUILLET_JOB)");
    args.Option("target", "where the driver writes the NC program", true);
    args.Flag("json", "print the result as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    if (const std::optional<int> refused = RefuseUnreadableDriver(report, args.Get("driver"))) {
        return *refused;
    }
    std::optional<long> records;
    if (args.Has("job")) {
        const std::string job = args.Get("job");
        records = CountJobRecords(job);
        // Refused as an unreadable driver is.
        if (!records) {
            return report.Fail(kExitNotDone, kExitNotDone, "cannot use --job: " + ReadProblem(job));
        }
        setenv("QUILLET_JOB", job.c_str(), 1);
    }
    std::string target = args.Get("target");
    std::error_code error;
    const fs::path where = fs::absolute(target, error);
    const FileStamp before = StampOf(where);

    int status = 0;
    const auto start = std::chrono::steady_clock::now();
    {
        std::optional<ProgressWatcher> progress;
        if (records && *records >= kLargeJob) progress.emplace(where, *records);
        status = MD_CreateNC(args.Get("driver").c_str(), target.data());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool written = platform::FileExists(where) && StampOf(where) != before;
    Json data = {{"target", DisplayText(where.string())}, {"written", written}};
    if (records) data["records"] = *records;
    data["seconds"] = seconds;
    if (status != 0) {
        const char* job = std::getenv("QUILLET_JOB");
        return report.FailStatus("MD_CreateNC", status,
                                 job == nullptr || job[0] == '\0'
                                     ? "no job named: pass --job FILE or set QUILLET_JOB"
                                     : "",
                                 data);
    }
    if (!written) {
        std::string cause = WriteProblem(where);
        return report.Fail(
            kExitNotDone, status,
            "MD_CreateNC returned 0, but the driver wrote no NC program at " + where.string(),
            cause.empty() ? "the driver wrote nothing there: check --target" : cause, data);
    }
    if (!report.Json()) {
        std::printf("NC program written to %s", DisplayText(where.string()).c_str());
        if (records) std::printf(" (%ld records)", *records);
        std::printf("\n");
    }
    return report.Done(status, data);
}

int SpecialSequences(int argc, char** argv) {
    ArgParser args("special-sequences", "--driver FILE --family cutting|punching|1|2 [--json]",
                   "special-sequences --driver laser.drv --family punching --json");
    args.Option("driver", "machine driver file", true);
    args.Option("family", "cutting (1) or punching (2); other numbers list nothing", true);
    args.Flag("json", "print the list as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
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
    if (const std::optional<int> refused = RefuseUnreadableDriver(report, args.Get("driver"))) {
        return *refused;
    }

    md_ssi_all_ result{};
    result.count = 0;
    MD_GetSpecialSequence(args.Get("driver").c_str(), family, &result);
    const int count = result.count < 0 ? 0 : (result.count > 99 ? 99 : result.count);
    Json list = Json::array();
    for (int i = 0; i < count; ++i) {
        const md_ssi_& e = result.entries[i];
        list.push_back({{"id", e.id},
                        {"name", DisplayText(e.name.GetString())},
                        {"valueType", e.valueType},
                        {"valueCount", e.valueCount}});
    }
    if (!report.Json()) {
        std::printf("%d special sequence(s)\n", count);
        if (count > 0) std::printf("%8s %5s %6s  %s\n", "id", "type", "values", "name");
        for (const Json& e : list) {
            std::printf("%8d %5d %6d  %s\n", e["id"].get<int>(), e["valueType"].get<int>(),
                        e["valueCount"].get<int>(), e["name"].get<std::string>().c_str());
        }
    }
    return report.Done(0, {{"family", family}, {"sequences", list}});
}

// The driver lists no item of any kind: no driver definition at all, or one
// the library could not parse. nullopt when the library cannot be reached
// (the export then reports that itself).
std::optional<bool> DriverListsNothing(const std::string& driver) {
    std::size_t items = 0;
    for (const driver::DriverSettingKind kind :
         {driver::DriverSettingKind::Cut, driver::DriverSettingKind::Tool,
          driver::DriverSettingKind::Nc}) {
        const std::optional<driver::DriverConditionList> list =
            driver::LoadDriverConditions(driver, kind, driver::kNoItemLimit);
        if (!list) return std::nullopt;
        items += list->size();
    }
    return items == 0;
}

int SetCurrent(int argc, char** argv) {
    ArgParser args("set-current",
                   "--driver FILE --machine NAME [--material NAME] [--die-layout NAME] [--json]",
                   "set-current --driver laser.drv --machine MC01 --material SPCC1.6");
    args.Option("driver", "machine driver file", true);
    args.Option("machine", "machine name of the saved setting files", true);
    args.Option("material", "laser material: lays down the Cut current file");
    args.Option("die-layout", "die layout: lays down the Tool current file");
    args.Flag("json", "print the result as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::string driverFile = args.Get("driver");
    if (!driverFile.empty() && !args.Get("machine").empty()) {
        if (const std::optional<int> refused = RefuseUnreadableDriver(report, driverFile)) {
            return *refused;
        }
        if (DriverListsNothing(driverFile).value_or(false)) {
            return report.Fail(kExitNotDone, kExitNotDone,
                               "the driver " + driverFile +
                                   " lists no setting item: it is no driver definition the "
                                   "machine-driver library can read");
        }
    }

    struct Current {
        driver::DriverSettingKind kind;
        std::string path;
        FileStamp before;
        std::string saved;  // the saved file of the pair
        bool savedExists;
    };
    std::string machine = args.Get("machine");
    std::string material = args.Get("material");
    std::string dieLayout = args.Get("die-layout");
    // The names in the form whose saved files exist (as typed, or CP932).
    std::vector<TypedName> names = {{"machine", &machine}};
    if (args.Has("material")) names.push_back({"material", &material});
    if (args.Has("die-layout")) names.push_back({"die-layout", &dieLayout});
    Json nameForms = Json::object();
    ResolveFileNames(
        report, names,
        [&](const std::vector<std::string>& forms) {
            for (std::size_t i = 0; i < forms.size(); ++i) {
                const driver::DriverSettingKind kind =
                    i == 0 ? driver::DriverSettingKind::Nc
                           : (names[i].name == &material ? driver::DriverSettingKind::Cut
                                                         : driver::DriverSettingKind::Tool);
                const std::optional<std::string> saved =
                    driver::BuildDriverSettingPath(kind, forms[0], i == 0 ? "" : forms[i]);
                if (saved && platform::FileExists(*saved)) return true;
            }
            return false;
        },
        false, nameForms);
    std::vector<Current> files;
    for (const driver::DriverSettingKind kind :
         {driver::DriverSettingKind::Nc, driver::DriverSettingKind::Cut,
          driver::DriverSettingKind::Tool}) {
        if (std::optional<std::string> path = driver::BuildDriverDefaultPath(kind)) {
            const std::string name = kind == driver::DriverSettingKind::Cut    ? material
                                     : kind == driver::DriverSettingKind::Tool ? dieLayout
                                                                               : "";
            const std::optional<std::string> saved =
                driver::BuildDriverSettingPath(kind, machine, name);
            files.push_back({kind, *path, StampOf(*path), saved.value_or(""),
                             saved && platform::FileExists(*saved)});
        }
    }
    const int status = MD_SetCurrentInfo(driverFile.c_str(), machine.c_str(),
                                         args.Has("material") ? material.c_str() : nullptr,
                                         args.Has("die-layout") ? dieLayout.c_str() : nullptr);

    // Only the files this call laid down.
    Json current = Json::array();
    std::string text;
    for (const Current& c : files) {
        const FileStamp after = StampOf(c.path);
        if (!after.exists || after == c.before) continue;
        const std::optional<std::string> bytes = platform::ReadWholeFile(fs::path(c.path));
        const bool sectioned = bytes && !bytes->empty() && (*bytes)[0] == '[';
        const std::string kind(driver::KindName(c.kind));
        // A pair without saved settings gets the driver's defaults: said, as
        // it may be a mistyped name.
        const std::string from = c.savedExists
                                     ? "from " + DisplayText(c.saved)
                                     : "the driver's defaults: no saved settings " +
                                           DisplayText(fs::path(c.saved).filename().string());
        text += kind + std::string(5 - kind.size(), ' ') + DisplayText(c.path) +
                (sectioned ? " (sectioned, " : " (plain lines, ") + from + ")\n";
        current.push_back(
            {{"kind", kind},
             {"path", DisplayText(c.path)},
             {"form", sectioned ? "sectioned" : "plain"},
             {"saved", c.saved.empty() ? Json(nullptr) : Json(DisplayText(c.saved))}});
    }
    if (status != 0) {
        std::string cause = status == QUILLET_INVALID_ARGUMENTS
                                ? "--driver and --machine must not be empty"
                                : Diagnose({true, false, true});
        if (cause.empty() &&
            !driver::CanLoadDriverConditions(driverFile, driver::DriverSettingKind::Nc)) {
            cause =
                "the machine-driver library libkorvid.so or one of its functions cannot be "
                "found: install it where the library search path (LD_LIBRARY_PATH) finds it";
        }
        return report.FailStatus("MD_SetCurrentInfo", status, cause, {{"current", current}});
    }
    if (!report.Json()) std::fputs(text.c_str(), stdout);
    return report.Done(status, {{"current", current}});
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
