// Helpers of the driver dialog tests: stand-in driver files and reading
// values back from setting files.
#pragma once

#include <filesystem>
#include <string>

namespace quillet::testing {

// A driver definition file for the stand-in libkorvid.so in folder:
// cutting items 1 (switch), 2 (integer, 1 value), 3 (real, 2 values); tool
// items 10 (switch), 11 (integer, 1 value); NC defaults 100 (integer 3) and
// 101 (real 1.5).
std::filesystem::path WriteSampleDriver(const std::filesystem::path& folder);
// A driver without any items.
std::filesystem::path WriteEmptyDriver(const std::filesystem::path& folder);

// The value of key in section of an INI file, or "<missing>".
std::string IniValue(const std::filesystem::path& file, const std::string& section,
                     const std::string& key);

}  // namespace quillet::testing
