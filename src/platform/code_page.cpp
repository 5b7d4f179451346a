// Active code page detection from the locale environment.
#include "platform/code_page.h"

#include <cstdlib>
#include <cstring>

namespace quillet::platform {

bool ActiveCodePageIs932() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return std::strncmp(value, "ja", 2) == 0;
    }
    return false;
}

namespace {
bool IsShiftJisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
}  // namespace

bool HasPathSeparator(std::string_view name) {
    const bool doubleByte = ActiveCodePageIs932();
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == '/' || c == '\\') return true;
        if (doubleByte && IsShiftJisLeadByte(c) && i + 1 < name.size()) ++i;
    }
    return false;
}

}  // namespace quillet::platform
