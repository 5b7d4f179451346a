// Line reading of the subsystem's text files.
#include "othmac/text_lines.h"

#include "platform/file_ops.h"

namespace quillet::othmac {

void ToTextMode(std::string& bytes) {
    // CR LF becomes LF in place (as TextModeBytes does, without a copy of a
    // large index file).
    std::size_t out = bytes.find("\r\n");
    if (out == std::string::npos) return;
    for (std::size_t in = out; in < bytes.size(); ++in) {
        if (bytes[in] == '\r' && in + 1 < bytes.size() && bytes[in + 1] == '\n') continue;
        bytes[out++] = bytes[in];
    }
    bytes.resize(out);
}

std::optional<std::string> ReadTextModeFile(const std::filesystem::path& path) {
    std::optional<std::string> text = platform::ReadWholeFile(path);
    if (text) ToTextMode(*text);
    return text;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path) {
    const std::optional<std::string> text = ReadTextModeFile(path);
    if (!text) return std::nullopt;
    TextLineCursor cursor(*text);
    std::vector<std::string> lines;
    // A NUL byte ends the string that fgets leaves in its buffer.
    while (const std::optional<std::string_view> line = cursor.Next()) lines.emplace_back(*line);
    return lines;
}

}  // namespace quillet::othmac
