// Path composition and checked buffer copies.
#include "platform/paths.h"

#include <cstring>

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

}  // namespace quillet::platform
