// Small helpers shared by the stand-in libraries: C-locale number parsing
// and formatting, "key=value" tokens of one line, and the call trace.
#pragma once

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace standin {

// Appends one line to the file named by QUILLET_STANDIN_TRACE, when it is
// set: the call as printf formats it, so that what a module hands the
// libraries, and in which order, can be read afterwards.
__attribute__((format(printf, 1, 2))) inline void Trace(const char* format, ...) {
    const char* path = std::getenv("QUILLET_STANDIN_TRACE");
    std::FILE* file = path != nullptr && path[0] != '\0' ? std::fopen(path, "a") : nullptr;
    if (file == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputc('\n', file);
    std::fclose(file);
}

// A result traced as "call -> result".
inline int Traced(const char* call, int result) {
    Trace("%s -> %d", call, result);
    return result;
}

inline std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Leading number of text (0 when none), independent of the process locale.
template <typename Number>
Number Leading(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    Number value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}
inline int ToInt(std::string_view text) { return Leading<int>(text); }
inline double ToReal(std::string_view text) { return Leading<double>(text); }

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
