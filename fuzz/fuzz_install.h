// A private installation for the file-reading fuzz targets: a data root and
// a system root under a fresh folder (in /dev/shm when there is one), named
// by a registry file that QUILLET_REGISTRY points to. Made once per process.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace quillet::fuzz {

namespace fs = std::filesystem;

struct FuzzInstallation {
    fs::path base;
    fs::path dataFolder;

    static const FuzzInstallation& Get() {
        static const FuzzInstallation install;
        return install;
    }

    // Replaces the files the last input left with a clean data folder.
    void Reset() const {
        fs::remove_all(dataFolder);
        fs::create_directories(dataFolder);
    }

    // True when no file exists below base outside the data folder and the
    // registry file: nothing the input named escaped.
    bool NothingOutside() const {
        for (const auto& entry : fs::recursive_directory_iterator(base)) {
            if (!entry.is_regular_file()) continue;
            const std::string path = entry.path().string();
            if (path.rfind(dataFolder.string() + "/", 0) == 0) continue;
            if (entry.path() == base / "registry.reg") continue;
            return false;
        }
        return true;
    }

private:
    FuzzInstallation() {
        std::string pattern =
            (fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
            "quillet-fuzz-XXXXXX";
        base = ::mkdtemp(pattern.data());
        dataFolder = base / "root" / "data" / "Othmcn";
        fs::create_directories(dataFolder);
        fs::create_directories(base / "system" / "TEMP");
        std::ofstream(base / "registry.reg")
            << "Windows Registry Editor Version 5.00\n\n"
            << "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n"
            << "\"ParentComputerRoot\"=\"" << (base / "root").string() << "/\"\n"
            << "\"VELDSystemRoot\"=\"" << (base / "system").string() << "/\"\n";
        ::setenv("QUILLET_REGISTRY", (base / "registry.reg").c_str(), 1);
        ::setenv("QUILLET_MESSAGE_LOG", "/dev/null", 1);
    }
};

inline void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace quillet::fuzz
