// quillet-host check: a read-only audit of a data folder.
#include <cstdio>

#include "check/check.h"
#include "cli.h"
#include "diagnose.h"
#include "frame/roots.h"

namespace quillet::host {

int RunCheck(int argc, char** argv) {
    ArgParser args("check", "[--data-root FOLDER] [--system-root FOLDER] [--json]",
                   "check --data-root /srv/quillet/data --json");
    args.Option("data-root",
                "data root to check (its data/Othmcn folder); default: the registry's data root");
    args.Option("system-root",
                "also check this system root's TEMP folder (default: the registry's, when "
                "--data-root is not given)");
    args.Flag("json", "print the findings as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();

    // Roots end with a separator; a folder given without one gets it here.
    auto withSeparator = [](std::string root) {
        if (!root.empty() && root.back() != '/') root += '/';
        return root;
    };
    std::optional<std::string> dataRoot;
    std::optional<std::string> systemRoot;
    if (args.Has("data-root")) {
        dataRoot = withSeparator(args.Get("data-root"));
    } else {
        dataRoot = frame::DataRoot();
        if (!args.Has("system-root")) systemRoot = frame::SystemRoot();
    }
    if (args.Has("system-root")) systemRoot = withSeparator(args.Get("system-root"));
    if (!dataRoot || dataRoot->empty()) {
        return report.HostFailure("no data root: give --data-root or configure ParentComputerRoot",
                                  Diagnose({true}));
    }

    check::CheckOptions options;
    const std::optional<std::string> dataFolder = frame::DataFolderOf(*dataRoot);
    if (!dataFolder) {
        return report.HostFailure("the data folder path is longer than 499 characters");
    }
    options.dataFolder = *dataFolder;
    if (systemRoot) {
        const std::optional<std::string> workingFolder = frame::WorkingFolderOf(*systemRoot);
        if (!workingFolder) {
            return report.HostFailure("the working folder path is longer than 499 characters");
        }
        options.workingFolder = *workingFolder;
    }

    const check::CheckResult result = check::CheckDataFolder(options);
    if (!result.readable) {
        return report.HostFailure(result.failure,
                                  args.Has("data-root") ? "" : Diagnose({true, false, false}));
    }
    if (report.Json()) {
        PrintJson(check::ToJson(result).dump(2, ' ', false, Json::error_handler_t::replace));
    } else {
        const std::string text = check::FormatPlain(result);
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return check::ExitCodeFor(result);
}

}  // namespace quillet::host
