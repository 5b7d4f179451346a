// Line reading of the subsystem's text files.
#include "othmac/text_lines.h"

#include "platform/file_ops.h"

namespace quillet::othmac {

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path) {
    if (!platform::CanOpenForReading(path)) return std::nullopt;
    const std::optional<std::string> raw = platform::ReadWholeFile(path);
    if (!raw) return std::nullopt;
    const std::string text = platform::TextModeBytes(*raw);
    platform::FgetsReader reader(text, kLineBufferSize);
    std::vector<std::string> lines;
    while (const std::optional<std::string_view> chunk = reader.Next()) {
        // A NUL byte ends the string that fgets leaves in its buffer.
        lines.emplace_back(chunk->substr(0, chunk->find('\0')));
    }
    return lines;
}

}  // namespace quillet::othmac
