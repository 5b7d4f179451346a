// The installation roots in the registry file: read as the module reads
// them, written by init and the demo, and the folders below them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "report.h"

namespace quillet::host {

// The data folder (data root + "data/Othmcn") and the working folder
// (system root + "TEMP") as the module forms them.
std::optional<fs::path> DataFolder();
std::optional<fs::path> WorkingFolder();
// The data folder of a command that lists it (templates, pdl-list): a
// missing registry, a root without its trailing '/', a missing or empty
// mount (no data folder) are failures with status, reported with their
// cause (exitCode set), never an empty listing.
std::optional<fs::path> DataFolderToList(const Report& report, int status, int& exitCode);
// The same below a root given as a folder (with or without its trailing
// '/'); nullopt when the path would pass 499 characters.
std::optional<fs::path> DataFolderOf(const fs::path& dataRoot);
std::optional<fs::path> WorkingFolderOf(const fs::path& systemRoot);

// Writes a registry file naming the two roots (each absolute, written with
// its trailing '/'), through the atomic-replace helper. false when it cannot.
bool WriteRegistryFile(const fs::path& file, const fs::path& dataRoot, const fs::path& systemRoot);

}  // namespace quillet::host
