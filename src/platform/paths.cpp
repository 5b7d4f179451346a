// Path composition and checked buffer copies.
#include "platform/paths.h"

#include <cstdlib>
#include <cstring>

#include "platform/ascii.h"
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

bool LocaleCharsetIsShiftJis() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || value[0] == '\0') continue;
        std::string_view codeSet(value);
        const std::size_t dot = codeSet.find('.');
        if (dot == std::string_view::npos) return false;
        codeSet = codeSet.substr(dot + 1);
        codeSet = codeSet.substr(0, codeSet.find('@'));
        std::string folded;
        for (char c : codeSet) {
            if (c != '-' && c != '_') folded.push_back(AsciiLower(c));
        }
        for (std::string_view name :
             {"sjis", "shiftjis", "cp932", "windows31j", "mskanji", "ms932", "csshiftjis"}) {
            if (folded == name) return true;
        }
        return false;
    }
    return false;
}

bool NameHoldsSeparator(std::string_view name) {
    if (name.find('/') != std::string_view::npos) return true;
    const std::size_t backslash = name.find('\\');
    if (backslash == std::string_view::npos) return false;
    if (!LocaleCharsetIsShiftJis()) return true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == '\\') return true;
        if (IsShiftJisLeadByte(c) && i + 1 < name.size()) ++i;
    }
    return false;
}

}  // namespace quillet::platform
