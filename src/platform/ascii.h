// ASCII-only text rules shared by the readers of the module's files: names
// compare without regard to ASCII letter case (never by locale), and the
// profile functions' white space.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::platform {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// text with every ASCII capital made small; other bytes stay.
inline std::string AsciiFolded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = AsciiLower(c);
    return folded;
}

// Space, tab, CR, VT, FF and Ctrl-Z, as the profile functions trim (not 0xA0).
constexpr bool IsProfileSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

constexpr std::string_view TrimProfileSpace(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace quillet::platform
