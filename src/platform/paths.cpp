// Path composition and checked buffer copies.
#include "platform/paths.h"

#include <cstring>

#include "platform/code_page.h"

namespace quillet::platform {

std::optional<std::string> ComposePath(std::string_view root,
                                       std::initializer_list<std::string_view> pieces) {
    std::size_t length = root.size();
    for (std::string_view piece : pieces) length += piece.size();
    if (length > kMaxPathLength) return std::nullopt;
    std::string path;
    path.reserve(length);
    path.append(root);
    for (std::string_view piece : pieces) path.append(piece);
    return path;
}

bool CopyToBuffer(std::string_view text, char* buffer, std::size_t size) {
    if (buffer == nullptr || text.size() + 1 > size) return false;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return true;
}

std::size_t BoundedLength(const char* text, std::size_t limit) {
    if (text == nullptr) return 0;
    std::size_t n = 0;
    while (n <= limit && text[n] != '\0') ++n;
    return n;
}

bool NameHoldsSeparator(std::string_view name) {
    if (name.find('/') != std::string_view::npos) return true;
    if (name.find('\\') == std::string_view::npos) return false;
    if (DetectEncoding(name) == TextEncoding::Utf8) return true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == '\\') return true;
        if (IsShiftJisLeadByte(c) && i + 1 < name.size()) ++i;
    }
    return false;
}

bool IsSingleFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && !NameHoldsSeparator(name);
}

}  // namespace quillet::platform
