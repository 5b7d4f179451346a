// Numbers as operators type them. See number_entry.h.
#include "frame/number_entry.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quillet::frame {

std::optional<double> ParseEnteredNumber(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+') text.remove_prefix(1);
    // Digits with at most one point, and at least one digit.
    std::size_t digits = 0, points = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.') {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1) return std::nullopt;
    double number = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), number, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        number = std::numeric_limits<double>::infinity();
    } else if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -number : number;
}

NumberEntry CheckNumber(double number, const NumberRule& rule) {
    if (std::isnan(number)) return {EntryCheck::NotANumber, 0.0};
    if (rule.integer && std::isfinite(number) && number != std::trunc(number)) {
        return {EntryCheck::NotAnInteger, 0.0};
    }
    if (rule.decimals >= 0 && std::isfinite(number)) {
        const double scale = std::pow(10.0, rule.decimals);
        number = std::round(number * scale) / scale;
    }
    if (!(number >= rule.minimum && number <= rule.maximum)) {
        return {EntryCheck::OutOfRange, 0.0};
    }
    return {EntryCheck::Taken, number};
}

NumberEntry CheckEnteredNumber(std::string_view text, const NumberRule& rule) {
    const std::optional<double> number = ParseEnteredNumber(text);
    if (!number) return {EntryCheck::NotANumber, 0.0};
    return CheckNumber(*number, rule);
}

std::string FormatEnteredNumber(double number) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

}  // namespace quillet::frame
