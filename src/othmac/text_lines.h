// Line reading of the subsystem's text files: Windows text mode, fgets into a
// 500-byte buffer, each line seen as the C string it is in that buffer.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillet::othmac {

// Buffer size of the line reads: at most 499 characters of a line are seen
// at once; a longer line comes as several chunks, as fgets gives it.
inline constexpr std::size_t kLineBufferSize = 500;

// The lines of path, each with its newline when it had one and cut at a NUL
// byte. nullopt when the file cannot be opened for reading (a folder never
// can).
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path);

// True when haystack contains needle.
inline bool Contains(const std::string& haystack, const char* needle) {
    return haystack.find(needle) != std::string::npos;
}

}  // namespace quillet::othmac
