// Typed values in INI-style setting files (see setting_values.h). Numbers are
// converted in the C locale: a Qt application adopts the user's locale, and a
// German one must still write 1.500000 and read 1.5 as one and a half.
#include "frame/setting_values.h"

#include <locale.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillet::frame {

namespace {

constexpr std::size_t kValueBufferSize = 256;

// The "C" locale object, created once and never changed.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Makes the C locale the calling thread's locale for one scope.
class ScopedCLocale {
public:
    ScopedCLocale() : previous_(CLocale() != nullptr ? uselocale(CLocale()) : nullptr) {}
    ~ScopedCLocale() {
        if (previous_ != nullptr) uselocale(previous_);
    }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t previous_;
};

bool IsKnownKind(SettingValueKind kind) {
    return kind == SettingValueKind::Text || kind == SettingValueKind::Integer ||
           kind == SettingValueKind::Real || kind == SettingValueKind::Switch;
}

// The text a write stores for the value of kind.
std::string TextOf(SettingValueKind kind, const SettingValue& value) {
    switch (kind) {
        case SettingValueKind::Integer:
            return FormatInteger(value.integer);
        case SettingValueKind::Real:
            return FormatReal(value.real);
        case SettingValueKind::Switch:
            return FormatInteger(value.switchValue ? 1 : 0);
        case SettingValueKind::Text:
            break;
    }
    return value.text;  // Text, and any unknown kind
}

// The value of kind that the text read gives.
SettingValue Convert(SettingValueKind kind, const std::string& read) {
    SettingValue value;
    switch (kind) {
        case SettingValueKind::Text:
            value.text = read;
            break;
        case SettingValueKind::Integer:
            value.integer = CLocaleAtoi(read.c_str());
            break;
        case SettingValueKind::Real:
            value.real = CLocaleAtof(read.c_str());
            break;
        case SettingValueKind::Switch:
            value.switchValue = CLocaleAtoi(read.c_str()) != 0;
            break;
    }
    return value;
}

// The text of key in section, or defaultText, as the profile functions
// read it through a 256-byte buffer.
std::string ReadText(const platform::ProfileDocument& document, const std::string& section,
                     const std::string& key, const std::string& defaultText) {
    return document.GetString(section, key, defaultText, kValueBufferSize);
}

}  // namespace

void WriteSettingValue(SettingValueKind kind, const SettingValue& value,
                       platform::ProfileDocument& document, const std::string& section,
                       const std::string& key) {
    document.SetString(section, key, TextOf(kind, value));
}

SettingValue ReadSettingValue(SettingValueKind kind, const platform::ProfileDocument& document,
                              const std::string& section, const std::string& key) {
    if (!IsKnownKind(kind)) return SettingValue{};
    return Convert(kind, ReadText(document, section, key, "-1"));
}

std::optional<SettingValue> ReadSettingValueOr(SettingValueKind kind,
                                               const platform::ProfileDocument& document,
                                               const std::string& section, const std::string& key,
                                               double defaultValue) {
    std::string defaultText;
    if (kind == SettingValueKind::Integer || kind == SettingValueKind::Switch) {
        defaultText = FormatInteger(ClampToInt(defaultValue));
    } else if (kind == SettingValueKind::Real) {
        defaultText = FormatReal(defaultValue);
    }
    const std::string read = ReadText(document, section, key, defaultText);
    if (!IsKnownKind(kind)) return SettingValue{};
    // For a switch the default text marks a value that is not set.
    if (kind == SettingValueKind::Switch && read == defaultText) return std::nullopt;
    return Convert(kind, read);
}

int ClampToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

int CLocaleAtoi(const char* text) {
    if (text == nullptr) return 0;
    // atoi is strtol cut to int.
    const long value = CLocale() != nullptr ? strtol_l(text, nullptr, 10, CLocale())
                                            : std::strtol(text, nullptr, 10);
    return static_cast<int>(value);
}

double CLocaleAtof(const char* text) {
    if (text == nullptr) return 0.0;
    return CLocale() != nullptr ? strtod_l(text, nullptr, CLocale()) : std::strtod(text, nullptr);
}

std::string FormatInteger(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatReal(double value) {
    const ScopedCLocale cLocale;
    char small[64];
    const int length = std::snprintf(small, sizeof small, "%lf", value);
    if (length < 0) return std::string();
    if (static_cast<std::size_t>(length) < sizeof small) {
        return std::string(small, static_cast<std::size_t>(length));
    }
    // Up to 309 digits before the point for the largest doubles.
    std::string large(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(large.data(), large.size(), "%lf", value);
    large.resize(static_cast<std::size_t>(length));
    return large;
}

}  // namespace quillet::frame
