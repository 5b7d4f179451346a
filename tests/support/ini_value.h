// One value of a setting file as the module reads and writes it: one load,
// and for a write at most one rewrite through the profile engine.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace quillet::testing {

// The value of key in section, or fallback when the file, section or key is
// missing.
inline std::string IniValue(const std::filesystem::path& file, std::string_view section,
                            std::string_view key, std::string_view fallback = "<missing>") {
    return platform::ProfileDocument::Load(file).Find(section, key).value_or(std::string(fallback));
}

// Sets key in section; false when the file could not be written.
inline bool SetIniValue(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    platform::ProfileDocument document = platform::ProfileDocument::Load(file);
    document.SetString(section, key, value);
    return document.Save();
}

}  // namespace quillet::testing
