// Text-mode reading and the fgets line reader. See text_mode.h.
#include "platform/text_mode.h"

#include <algorithm>
#include <cstring>

#include "platform/file_ops.h"

namespace quillet::platform {

std::string TextModeBytes(std::string bytes) {
    std::size_t out = bytes.find("\r\n");
    if (out == std::string::npos) return bytes;
    for (std::size_t in = out; in < bytes.size(); ++in) {
        if (bytes[in] == '\r' && in + 1 < bytes.size() && bytes[in + 1] == '\n') continue;
        bytes[out++] = bytes[in];
    }
    bytes.resize(out);
    return bytes;
}

std::optional<std::string> ReadTextModeFile(const std::filesystem::path& path) {
    std::optional<std::string> text = ReadWholeFile(path);
    if (text) *text = TextModeBytes(std::move(*text));
    return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::optional<FgetsPiece> FgetsReader::Next() {
    if (pos_ >= text_.size() || bufferSize_ < 2) return std::nullopt;
    const std::size_t window = std::min(bufferSize_ - 1, text_.size() - pos_);
    const void* const newline = std::memchr(text_.data() + pos_, '\n', window);
    const std::size_t end =
        newline != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(newline) - text_.data()) + 1
            : pos_ + window;
    FgetsPiece piece;
    piece.chunk = text_.substr(pos_, end - pos_);
    piece.cString = firstNul_ == std::string_view::npos || end <= firstNul_
                        ? piece.chunk
                        : piece.chunk.substr(0, piece.chunk.find('\0'));
    piece.line = line_;
    piece.newline = newline != nullptr;
    piece.last = end == text_.size();
    pos_ = end;
    if (piece.newline) ++line_;
    return piece;
}

}  // namespace quillet::platform
