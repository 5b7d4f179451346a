// The installation of the file-reading fuzz targets: the tests' temporary
// installation (tests/support), made once per process, in /dev/shm when
// there is one, with messages sent nowhere.
#pragma once

#include <stdlib.h>

#include "support/temp_install.h"

namespace quillet::fuzz {

namespace fs = std::filesystem;

using testing::WriteFile;

struct FuzzInstallation {
    const testing::TempInstallation& install;
    fs::path dataFolder;

    static const FuzzInstallation& Get() {
        static const FuzzInstallation fuzz = [] {
            if (fs::exists("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
            ::setenv("QUILLET_MESSAGE_LOG", "/dev/null", 1);
            static const testing::TempInstallation install;
            return FuzzInstallation{install, install.DataFolder()};
        }();
        return fuzz;
    }

    // Replaces the files the last input left with a clean data folder.
    void Reset() const {
        fs::remove_all(dataFolder);
        fs::create_directories(dataFolder);
    }

    // True when no file exists outside the data folder but the registry
    // file: nothing the input named escaped.
    bool NothingOutside() const {
        for (const auto& entry : fs::recursive_directory_iterator(install.Base())) {
            if (!entry.is_regular_file() || entry.path() == install.RegistryFile()) continue;
            if (entry.path().string().rfind(dataFolder.string() + "/", 0) != 0) return false;
        }
        return true;
    }
};

inline void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace quillet::fuzz
