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
#include <functional>

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

bool IsKnownKind(int kind) { return kind >= 0 && kind <= 3; }

// The text a write stores for the value slots of kind.
std::string TextOf(int kind, int switchValue, const std::string& text, int integer, double real) {
    switch (static_cast<SettingValueKind>(kind)) {
        case SettingValueKind::Integer:
            return FormatInteger(integer);
        case SettingValueKind::Real:
            return FormatReal(real);
        case SettingValueKind::Switch:
            return FormatInteger(switchValue != 0 ? 1 : 0);
        default:
            return text;  // Text, and any unknown kind
    }
}

void ClearOutputs(int& switchValue, std::string& text, int& integer, double& real) {
    switchValue = 0;
    text.clear();
    integer = 0;
    real = 0.0;
}

// Puts the text read into the output slot of kind.
void Convert(int kind, const std::string& read, int& switchValue, std::string& text, int& integer,
             double& real) {
    switch (static_cast<SettingValueKind>(kind)) {
        case SettingValueKind::Text:
            text = read;
            break;
        case SettingValueKind::Integer:
            integer = CLocaleAtoi(read.c_str());
            break;
        case SettingValueKind::Real:
            real = CLocaleAtof(read.c_str());
            break;
        case SettingValueKind::Switch:
            switchValue = CLocaleAtoi(read.c_str()) != 0 ? 1 : 0;
            break;
    }
}

using TextReader = std::function<std::string(const std::string& defaultText)>;

void ReadWith(const TextReader& readText, int kind, int& switchValue, std::string& text,
              int& integer, double& real) {
    ClearOutputs(switchValue, text, integer, real);
    if (!IsKnownKind(kind)) return;
    Convert(kind, readText("-1"), switchValue, text, integer, real);
}

int ReadOrWith(const TextReader& readText, int kind, int& switchValue, std::string& text,
               int& integer, double& real, double defaultValue) {
    ClearOutputs(switchValue, text, integer, real);
    std::string defaultText;
    if (kind == static_cast<int>(SettingValueKind::Integer) ||
        kind == static_cast<int>(SettingValueKind::Switch)) {
        defaultText = FormatInteger(TruncateToInt(defaultValue));
    } else if (kind == static_cast<int>(SettingValueKind::Real)) {
        defaultText = FormatReal(defaultValue);
    }
    const std::string read = readText(defaultText);
    if (!IsKnownKind(kind)) return 1;
    // For a switch the default text marks a value that is not set.
    if (kind == static_cast<int>(SettingValueKind::Switch) && read == defaultText) return 0;
    Convert(kind, read, switchValue, text, integer, real);
    return 1;
}

TextReader FileReader(const std::string& file, const std::string& section, const std::string& key) {
    return [&](const std::string& defaultText) {
        return platform::GetPrivateProfileString(section, key, defaultText, kValueBufferSize, file);
    };
}

TextReader DocumentReader(const platform::ProfileDocument& document, const std::string& section,
                          const std::string& key) {
    return [&](const std::string& defaultText) {
        return document.GetString(section, key, defaultText, kValueBufferSize);
    };
}

}  // namespace

void WriteSettingValue(int kind, int switchValue, const std::string& text, int integer, double real,
                       const std::string& file, const std::string& section,
                       const std::string& key) {
    // A failed write is silent, as the profile function's result is not examined.
    platform::WritePrivateProfileString(section, key,
                                        TextOf(kind, switchValue, text, integer, real), file);
}

void WriteSettingValue(int kind, int switchValue, const std::string& text, int integer, double real,
                       platform::ProfileDocument& document, const std::string& section,
                       const std::string& key) {
    document.SetString(section, key, TextOf(kind, switchValue, text, integer, real));
}

void ReadSettingValue(int kind, int& switchValue, std::string& text, int& integer, double& real,
                      const std::string& file, const std::string& section, const std::string& key) {
    ReadWith(FileReader(file, section, key), kind, switchValue, text, integer, real);
}

void ReadSettingValue(int kind, int& switchValue, std::string& text, int& integer, double& real,
                      const platform::ProfileDocument& document, const std::string& section,
                      const std::string& key) {
    ReadWith(DocumentReader(document, section, key), kind, switchValue, text, integer, real);
}

SettingValue ReadSetting(SettingValueKind kind, const platform::ProfileDocument& document,
                         const std::string& section, const std::string& key) {
    SettingValue value;
    ReadSettingValue(static_cast<int>(kind), value.switchValue, value.text, value.integer,
                     value.real, document, section, key);
    return value;
}

int ReadSettingValueOr(int kind, int& switchValue, std::string& text, int& integer, double& real,
                       const std::string& file, const std::string& section, const std::string& key,
                       double defaultValue) {
    return ReadOrWith(FileReader(file, section, key), kind, switchValue, text, integer, real,
                      defaultValue);
}

int ReadSettingValueOr(int kind, int& switchValue, std::string& text, int& integer, double& real,
                       const platform::ProfileDocument& document, const std::string& section,
                       const std::string& key, double defaultValue) {
    return ReadOrWith(DocumentReader(document, section, key), kind, switchValue, text, integer,
                      real, defaultValue);
}

std::optional<SettingValue> ReadSettingOr(SettingValueKind kind,
                                          const platform::ProfileDocument& document,
                                          const std::string& section, const std::string& key,
                                          double defaultValue) {
    SettingValue value;
    if (ReadSettingValueOr(static_cast<int>(kind), value.switchValue, value.text, value.integer,
                           value.real, document, section, key, defaultValue) == 0) {
        return std::nullopt;
    }
    return value;
}

void WriteSwitch(platform::ProfileDocument& document, const std::string& section,
                 const std::string& key, int on) {
    WriteSettingValue(static_cast<int>(SettingValueKind::Switch), on, {}, 0, 0.0, document, section,
                      key);
}

void WriteInteger(platform::ProfileDocument& document, const std::string& section,
                  const std::string& key, int value) {
    WriteSettingValue(static_cast<int>(SettingValueKind::Integer), 0, {}, value, 0.0, document,
                      section, key);
}

void WriteReal(platform::ProfileDocument& document, const std::string& section,
               const std::string& key, double value) {
    WriteSettingValue(static_cast<int>(SettingValueKind::Real), 0, {}, 0, value, document, section,
                      key);
}

int TruncateToInt(double value) {
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
