// The two installation roots and the folders below them.
#pragma once

#include <optional>
#include <string>

namespace quillet::frame {

// Registry key of both values.
inline constexpr const char* kRootsKey =
    "HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation";

// Reads ParentComputerRoot into buffer (500 bytes). Returns 1 with the value
// and its NUL at the start of buffer; 0, buffer untouched, when the registry
// file, key or value is missing, the value is not a string, or the value
// with its NUL would not fit in 500 bytes.
int ReadDataRoot(char* buffer);
// The same for VELDSystemRoot.
int ReadSystemRoot(char* buffer);

// The same as strings; nullopt where the above give 0.
std::optional<std::string> DataRoot();
std::optional<std::string> SystemRoot();

// Data folder: data root + "data/Othmcn". Working folder: system root +
// "TEMP". nullopt when the root is missing or the path would pass 499
// characters.
std::optional<std::string> DataFolder();
std::optional<std::string> WorkingFolder();

}  // namespace quillet::frame
