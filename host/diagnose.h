// Why an export's call failed: after a failure quillet-host looks at what
// the call needed (the registry file, the roots, the folders, the files and
// their permissions) and names the first thing missing, with what to do.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillet::host {

struct Needs {
    Needs(bool data = false, bool writeData = false, bool working = false,
          std::vector<std::filesystem::path> read = {},
          std::vector<std::filesystem::path> write = {})
        : dataFolder(data),
          writeDataFolder(writeData),
          workingFolder(working),
          readFiles(std::move(read)),
          writeFiles(std::move(write)) {}
    bool dataFolder;                                // the data root and its data/Othmcn folder
    bool writeDataFolder;                           // ... writable
    bool workingFolder;                             // the system root and its writable TEMP folder
    std::vector<std::filesystem::path> readFiles;   // must exist and be readable
    std::vector<std::filesystem::path> writeFiles;  // must be writable or creatable
};

// The first thing missing as one line "what is wrong: what to do"; empty
// when everything the call needed is in place.
std::string Diagnose(const Needs& needs);

// The same for single files: "" when path can be read (written).
std::string ReadProblem(const std::filesystem::path& path);
std::string WriteProblem(const std::filesystem::path& path);

}  // namespace quillet::host
