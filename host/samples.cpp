// Sample files and the sample installation. See samples.h.
#include "samples.h"

#include <stdlib.h>

#include <system_error>
#include <utility>
#include <vector>

#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "platform/file_ops.h"
#include "registry_roots.h"

namespace quillet::host {

bool RunsFromBuildTree() {
    std::error_code error;
    const fs::path self = SelfPath();
    return !self.empty() && fs::equivalent(self.parent_path(), QUILLET_BUILD_PROGRAM_DIR, error);
}

namespace {

// A folder of the installation the program belongs to: below its prefix (the
// folder above bin/), or the given build-tree folder.
fs::path InstalledOrBuilt(const fs::path& belowPrefix, const fs::path& inBuildTree) {
    const fs::path self = SelfPath();
    if (self.empty()) return fs::path();
    return RunsFromBuildTree() ? inBuildTree : self.parent_path().parent_path() / belowPrefix;
}

}  // namespace

std::optional<fs::path> FindSamples(const std::string& given) {
    std::error_code error;
    const fs::path folder =
        given.empty() ? InstalledOrBuilt(QUILLET_INSTALLED_SAMPLES, QUILLET_SOURCE_SAMPLES)
                      : fs::path(given);
    if (!folder.empty() && fs::is_directory(folder, error)) return folder;
    return std::nullopt;
}

std::optional<fs::path> FindStandinDrivers() {
    std::error_code error;
    const fs::path folder = InstalledOrBuilt(QUILLET_INSTALLED_STANDINS, QUILLET_BUILD_STANDINS);
    if (folder.empty()) return std::nullopt;
    for (const char* library : {"libkorvid.so", "libDravik.so"}) {
        if (!fs::is_regular_file(folder / library, error)) return std::nullopt;
    }
    return folder;
}

std::string StandinsMissing(const std::string& what) {
    return what + " are not installed: install the package " QUILLET_STANDIN_PACKAGE
                  " (apt install " QUILLET_STANDIN_PACKAGE ")";
}

std::string SelfPath() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

SampleInstallation SampleInstallationIn(const fs::path& base) {
    SampleInstallation i;
    i.base = base;
    i.registry = base / "registry.reg";
    i.dataRoot = base / "data";
    i.systemRoot = base / "system";
    i.dataFolder = DataFolderOf(i.dataRoot).value_or(fs::path());
    i.workingFolder = WorkingFolderOf(i.systemRoot).value_or(fs::path());
    i.driver = base / "drivers" / "laser.drv";
    i.job = base / "jobs" / "sample.job";
    i.ncProgram = base / "nc" / "sample.nc";
    return i;
}

std::string LayDownSampleInstallation(const SampleInstallation& at, const fs::path& pdlSamples,
                                      const std::optional<fs::path>& samples) {
    if (at.dataFolder.empty() || at.workingFolder.empty()) {
        return "the folder " + at.base.string() + " is too deep for paths of 499 characters";
    }
    std::vector<fs::path> folders = {at.dataFolder, at.workingFolder};
    std::vector<std::pair<fs::path, fs::path>> copies = {
        {pdlSamples / pdl::kPdlMasterFile, at.dataFolder / pdl::kPdlMasterFile},
        {pdlSamples / pdl::kMachineListFile, at.dataFolder / pdl::kMachineListFile},
    };
    if (samples) {
        folders.insert(folders.end(),
                       {at.driver.parent_path(), at.job.parent_path(), at.ncProgram.parent_path()});
        copies.insert(copies.begin(), {{*samples / "drivers" / "laser.drv", at.driver},
                                       {*samples / "jobs" / "sample.job", at.job}});
    }
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) return "cannot create " + folder.string() + ": " + error.message();
    }
    for (const auto& [from, to] : copies) {
        if (!platform::CopyFileOver(from, to)) return "cannot copy " + from.string();
    }
    if (!WriteRegistryFile(at.registry, at.dataRoot, at.systemRoot)) {
        return "cannot write " + at.registry.string();
    }
    ::setenv("QUILLET_REGISTRY", at.registry.c_str(), 1);
    return "";
}

std::optional<fs::path> MakeTemporaryFolder(const std::string& prefix) {
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / (prefix + "-XXXXXX")).string();
    if (error || ::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
    return fs::path(pattern);
}

}  // namespace quillet::host
