// Line reading of the subsystem's text files: Windows text mode, fgets into a
// 500-byte buffer, each line seen as the C string it is in that buffer.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_ops.h"

namespace quillet::othmac {

// Buffer size of the line reads: at most 499 characters of a line are seen
// at once; a longer line comes as several chunks, as fgets gives it.
inline constexpr std::size_t kLineBufferSize = 500;

// The lines of path, each with its newline when it had one and cut at a NUL
// byte. nullopt when the file cannot be opened for reading (a folder never
// can).
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path);

// Converts bytes to what Windows text mode reads (CR LF as LF), in place.
void ToTextMode(std::string& bytes);

// The bytes of path as Windows text mode reads them (CR LF as LF), for
// callers that walk the lines in place with TextLineCursor instead of
// copying each one; one open of the file. nullopt when the file cannot be
// opened for reading.
std::optional<std::string> ReadTextModeFile(const std::filesystem::path& path);

// The lines of a text as ReadTextLines gives them, as views into the text.
class TextLineCursor {
public:
    explicit TextLineCursor(std::string_view text)
        : text_(text), firstNul_(text.find('\0')), reader_(text, kLineBufferSize) {}
    // The next line (with its newline when it had one, cut at a NUL byte),
    // or nullopt at the end.
    std::optional<std::string_view> Next() {
        const std::optional<std::string_view> chunk = reader_.Next();
        if (!chunk) return std::nullopt;
        // Lines before the first NUL byte of the text need no search.
        const std::size_t end =
            static_cast<std::size_t>(chunk->data() - text_.data()) + chunk->size();
        if (firstNul_ == std::string_view::npos || end <= firstNul_) return chunk;
        return chunk->substr(0, chunk->find('\0'));
    }

private:
    std::string_view text_;
    std::size_t firstNul_;
    platform::FgetsReader reader_;
};

// True when haystack contains needle.
inline bool Contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string::npos;
}

}  // namespace quillet::othmac
