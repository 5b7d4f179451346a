// Small text helpers shared by the stand-in libraries: C-locale number
// parsing and formatting, and "key=value" tokens of one line.
#pragma once

#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

namespace standin {

inline std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Leading integer of text (0 when none), independent of the process locale.
inline int ToInt(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Leading real of text (0 when none), independent of the process locale.
inline double ToReal(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Value of key in a line of "key=value" tokens separated by blanks. The key
// "name" takes the rest of the line. Empty when missing.
inline std::string_view Field(std::string_view line, std::string_view key) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        const std::size_t end = line.find_first_of(" \t", pos);
        const std::string_view token =
            line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (token.size() > key.size() && token.substr(0, key.size()) == key &&
            token[key.size()] == '=') {
            if (key == "name") return Trim(line.substr(pos + key.size() + 1));
            return token.substr(key.size() + 1);
        }
        if (end == std::string_view::npos) break;
        pos = end;
    }
    return {};
}

// Appends value with decimals digits after the point (C locale).
inline void AppendFixed(std::string& out, double value, int decimals = 3) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ec == std::errc() ? result.ptr : buffer);
}

inline void AppendInt(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace standin
