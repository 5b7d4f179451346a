// The installation roots and the registry file. See registry_roots.h.
#include "registry_roots.h"

#include "diagnose.h"
#include "frame/roots.h"
#include "platform/file_ops.h"
#include "platform/registry.h"

namespace quillet::host {

std::optional<fs::path> DataFolder() {
    const std::optional<std::string> folder = frame::DataFolder();
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

std::optional<fs::path> WorkingFolder() {
    const std::optional<std::string> folder = frame::WorkingFolder();
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

std::optional<fs::path> DataFolderToList(const Report& report, int status, int& exitCode) {
    const std::string cause = Diagnose({true});
    std::optional<fs::path> folder = DataFolder();
    if (cause.empty() && folder) return folder;
    exitCode = report.Fail(ExitCodeForStatus(status), status, "no data folder to list", cause);
    return std::nullopt;
}

std::optional<fs::path> DataFolderOf(const fs::path& dataRoot) {
    const std::optional<std::string> folder = frame::DataFolderOf((dataRoot / "").string());
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

std::optional<fs::path> WorkingFolderOf(const fs::path& systemRoot) {
    const std::optional<std::string> folder = frame::WorkingFolderOf((systemRoot / "").string());
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

bool WriteRegistryFile(const fs::path& file, const fs::path& dataRoot, const fs::path& systemRoot) {
    // A root is written with its trailing '/'.
    auto value = [](const fs::path& root) {
        std::string path = root.string();
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return path == "/" ? path : path + '/';
    };
    return platform::AtomicReplace(
        file, platform::FormatRegistryFile(frame::kRootsKey,
                                           {{frame::kDataRootValue, value(dataRoot)},
                                            {frame::kSystemRootValue, value(systemRoot)}}));
}

}  // namespace quillet::host
