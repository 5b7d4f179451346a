// The sample files and a sample installation laid down from them, for the
// demos.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quillet::host {

namespace fs = std::filesystem;

// True when the program runs from its build tree (build/bin), not installed.
bool RunsFromBuildTree();
// The sample installation files (drivers/, jobs/, pdl/): the folder given,
// else share/quillet/samples below the installed program's prefix, or the
// source tree's samples/ for the program run from its build tree; nullopt
// when that does not exist.
std::optional<fs::path> FindSamples(const std::string& given = "");
// The folder of the stand-in driver libraries (libkorvid.so, libDravik.so):
// the private folder below the installed program's prefix, or the build's
// library folder; nullopt when they are missing. Only the demo names it to
// the module (QUILLET_DRIVER_DIR): a host never loads them otherwise.
std::optional<fs::path> FindStandinDrivers();
// What to do when the samples or the stand-ins are missing: the package that
// installs them.
std::string StandinsMissing(const std::string& what);

// The running quillet-host's own path.
std::string SelfPath();

// A sample installation in one folder: data root data/, system root
// system/, the registry file naming them, the sample driver and job.
struct SampleInstallation {
    fs::path base;
    fs::path registry;
    fs::path dataRoot;
    fs::path systemRoot;
    fs::path dataFolder;
    fs::path workingFolder;
    fs::path driver;
    fs::path job;
    fs::path ncProgram;
};
SampleInstallation SampleInstallationIn(const fs::path& base);
// Creates the installation's folders, copies PDL_CUT_MASTER.ini and
// machine.ini from pdlSamples into the data folder (and, when given, the
// sample driver and job from the samples folder), writes the registry file
// and names it in QUILLET_REGISTRY for this process. Empty when done, else
// what failed.
std::string LayDownSampleInstallation(const SampleInstallation& at, const fs::path& pdlSamples,
                                      const std::optional<fs::path>& samples);
// A fresh folder <prefix>-XXXXXX in the system's temporary folder.
std::optional<fs::path> MakeTemporaryFolder(const std::string& prefix);

}  // namespace quillet::host
