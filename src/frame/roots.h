// The two installation roots and the folders below them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet::frame {

// Registry key of both values.
inline constexpr const char* kRootsKey =
    "HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation";

// The values of the two roots under that key.
inline constexpr const char* kDataRootValue = "ParentComputerRoot";
inline constexpr const char* kSystemRootValue = "VELDSystemRoot";

// The data root and the system root. nullopt when the registry file,
// key or value is missing, the value is not a string, the value with its NUL
// would not fit the 500-byte buffers of the paths, or it is empty or relative
// (see IsAbsoluteRoot).
std::optional<std::string> DataRoot();
std::optional<std::string> SystemRoot();

// True when root names a folder whatever the current folder is: it starts
// with '/'. "" and "./" are no roots.
bool IsAbsoluteRoot(std::string_view root);

// What the folders add to their roots.
inline constexpr std::string_view kDataFolderBelowRoot = "data/Othmcn";
inline constexpr std::string_view kWorkingFolderBelowRoot = "TEMP";

// Data folder: data root + "data/Othmcn". Working folder: system root +
// "TEMP". nullopt when the root is missing or the path would pass 499
// characters.
std::optional<std::string> DataFolder();
std::optional<std::string> WorkingFolder();
// The same below a root given as text (ending with '/').
std::optional<std::string> DataFolderOf(std::string_view dataRoot);
std::optional<std::string> WorkingFolderOf(std::string_view systemRoot);

}  // namespace quillet::frame
