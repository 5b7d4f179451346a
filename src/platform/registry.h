// The registry file: a reader of the registry editor's export format (.reg)
// that stands in for the Windows registry. Only the installation roots are
// read from it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::platform {

enum class RegistryValueType {
    String,        // "..." (REG_SZ)
    ExpandString,  // hex(2):... (REG_EXPAND_SZ)
    Dword,         // dword:...
    Other,         // hex:..., hex(n):... of any other type
};

struct RegistryValue {
    RegistryValueType type = RegistryValueType::Other;
    std::string data;  // for String: the unescaped text, UTF-8
};

// The bytes of a .reg file holding one key with string values, as the
// registry editor exports it: the version 5 header, a blank line, the key,
// then one "name"="value" line per value with backslash and quote escaped.
// FindRegistryValue reads each value back as given.
std::string FormatRegistryFile(
    std::string_view keyPath,
    const std::vector<std::pair<std::string_view, std::string_view>>& strings);

// The file named by QUILLET_REGISTRY, or /etc/quillet/registry.reg when that
// is unset or empty. Read anew on every call.
std::filesystem::path RegistryFilePath();

// Looks up valueName under keyPath (for example
// "HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation") in
// the bytes of a .reg file: header "Windows Registry Editor Version 5.00" or
// "REGEDIT4"; UTF-8 with or without BOM, or UTF-16LE with BOM. Key paths and
// value names match without regard to ASCII case. nullopt when the header is
// wrong or the key or value is missing.
std::optional<RegistryValue> FindRegistryValue(std::string_view fileBytes, std::string_view keyPath,
                                               std::string_view valueName);

// The same in the file RegistryFilePath() names.
std::optional<RegistryValue> ReadRegistryValue(std::string_view keyPath,
                                               std::string_view valueName);

// The same on a file; nullopt when the file cannot be read.
std::optional<RegistryValue> ReadRegistryValue(const std::filesystem::path& file,
                                               std::string_view keyPath,
                                               std::string_view valueName);

}  // namespace quillet::platform
