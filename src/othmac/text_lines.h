// Line reading of the subsystem's text files: Windows text mode, fgets into a
// 500-byte buffer, each line seen as the C string it is in that buffer.
#pragma once

#include <string_view>

#include "platform/text_mode.h"

namespace quillet::othmac {

// Buffer size of the line reads: at most 499 characters of a line are seen
// at once; a longer line comes as several pieces, as fgets gives it.
inline constexpr std::size_t kLineBufferSize = 500;

// The line reader of a text in text mode (platform::ReadTextModeFile): each
// piece's cString is a line with its newline when it had one, cut at a NUL
// byte.
inline platform::FgetsReader TextLines(std::string_view text) {
    return platform::FgetsReader(text, kLineBufferSize);
}

// True when haystack contains needle.
inline bool Contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

}  // namespace quillet::othmac
