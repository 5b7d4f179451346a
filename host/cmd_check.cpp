// quillet-host check: a read-only audit of a data folder.
#include <cstdio>
#include <filesystem>

#include "check/check.h"
#include "cli.h"
#include "frame/roots.h"
#include "platform/paths.h"

namespace quillet::host {

int RunCheck(int argc, char** argv) {
    ArgParser args("check", "[--data-root FOLDER] [--system-root FOLDER] [--json]");
    args.Option("data-root",
                "data root to check (its data/Othmcn folder); default: the registry's data root");
    args.Option("system-root",
                "also look for working copies left in this system root's TEMP folder "
                "(default: the registry's, when --data-root is not given)");
    args.Flag("json", "print the findings as a JSON array");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;

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
        PrintError("check: no data root: give --data-root or configure ParentComputerRoot");
        return kExitHostFailure;
    }

    check::CheckOptions options;
    const std::optional<std::string> dataFolder = platform::ComposePath(*dataRoot, {"data/Othmcn"});
    if (!dataFolder) {
        PrintError("check: the data folder path is longer than 499 characters");
        return kExitHostFailure;
    }
    options.dataFolder = *dataFolder;
    if (systemRoot) options.workingFolder = std::filesystem::path(*systemRoot + "TEMP");

    const check::CheckResult result = check::CheckDataFolder(options);
    if (!result.readable) {
        PrintError("check: " + result.failure);
        return kExitHostFailure;
    }
    const std::string text =
        args.Has("json") ? check::FormatJson(result) : check::FormatPlain(result);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return check::ExitCodeFor(result);
}

}  // namespace quillet::host
