// A temporary installation for one test: data root, system root with its
// TEMP folder, and a registry file naming both, pointed to by
// QUILLET_REGISTRY for the life of the object.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::testing {

namespace fs = std::filesystem;

class TempInstallation {
public:
    struct Options {
        bool dataRoot = true;       // write ParentComputerRoot
        bool systemRoot = true;     // write VELDSystemRoot
        bool dataFolder = true;     // create data root + data/Othmcn
        bool workingFolder = true;  // create system root + TEMP
        fs::path parent{};          // where to make it; empty: the system temp folder
    };
    TempInstallation();
    explicit TempInstallation(const Options& options);
    ~TempInstallation();
    TempInstallation(const TempInstallation&) = delete;
    TempInstallation& operator=(const TempInstallation&) = delete;

    const fs::path& Base() const { return base_; }
    // Roots as written into the registry file (ending with '/').
    std::string DataRoot() const;
    std::string SystemRoot() const;
    fs::path DataFolder() const { return base_ / "data" / "data" / "Othmcn"; }
    fs::path WorkingFolder() const { return base_ / "system" / "TEMP"; }
    fs::path RegistryFile() const { return base_ / "registry.reg"; }

    // Rewrites the registry file with the given body lines after the header.
    void WriteRegistry(std::string_view bodyAfterHeader) const;

private:
    fs::path base_;
    std::string previousRegistry_;
    bool hadRegistry_ = false;
};

// Sets (or with nullptr removes) environment variables for the life of the
// object, as a test of a locale or a variable needs.
class ScopedEnv {
public:
    ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> values);
    ScopedEnv(const std::string& name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// True when nobody holds the lock of a shared file (platform::FileLock) or,
// for a folder, of the TEMP folder (platform::FolderLock); probed without
// waiting.
bool LockFree(const fs::path& path);

// File helpers for tests.
std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, std::string_view contents);

// The rows of a table fixture: one row a line, fields split at " | ", each
// with the C escapes \n \r \t \0 \xHH and \\ decoded; blank lines and
// lines starting with '#' are skipped.
std::vector<std::vector<std::string>> FixtureRows(const fs::path& path);

// A fresh empty folder under the system temporary folder, removed by the
// destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace quillet::testing
