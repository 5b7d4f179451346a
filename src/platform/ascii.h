// ASCII-only text rules shared by the readers of the module's files: names
// compare without regard to ASCII letter case (never by locale), and the
// profile functions' white space.
#pragma once

#include <charconv>
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

constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
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

// White space as C's isspace sees it in the C locale.
constexpr bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// How atoi and atof of the C locale read the start of text: white space, a
// sign, then the number, which ends at end. found is false (value 0) when
// no number starts the text. An integer stops taking digits once it has
// reached cap.
struct LeadingNumber {
    double value = 0.0;
    std::size_t end = 0;
    bool found = false;
};
constexpr LeadingNumber ReadLeadingInteger(std::string_view text, long long cap) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < cap; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    if (i == digits) return {};
    return {static_cast<double>(negative ? -value : value), i, true};
}
inline LeadingNumber ReadLeadingReal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    // from_chars takes no '+'; atof takes one before the number only.
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-') ++i;
    double value = 0.0;
    const char* first = text.data() + i;
    const auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), value);
    if (ec == std::errc::invalid_argument || ptr == first) return {};
    // Out of range, the number reads as 0.
    return {value, static_cast<std::size_t>(ptr - text.data()), true};
}

}  // namespace quillet::platform
