// Typed values in INI-style setting files: the one place where integers,
// reals and switches get their text form. Every function works on an open
// ProfileDocument: callers handle the keys of one file and save once.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/profile.h"

namespace quillet::frame {

enum class SettingValueKind : int { Text = 0, Integer = 1, Real = 2, Switch = 3 };

// A value; only the slot of its kind counts.
struct SettingValue {
    bool switchValue = false;
    std::string text;
    int integer = 0;
    double real = 0.0;

    static SettingValue Switch(bool on) { return {on, {}, 0, 0.0}; }
    static SettingValue Text(std::string text) { return {false, std::move(text), 0, 0.0}; }
    static SettingValue Integer(int value) { return {false, {}, value, 0.0}; }
    static SettingValue Real(double value) { return {false, {}, 0, value}; }
};

// Writes the text form of value: Text the text itself; Integer "%d"; Real
// "%lf" (1.5 -> 1.500000); Switch 1 or 0. Kinds outside 0..3 write the text.
// Numbers are formatted in the C locale whatever the process locale.
void WriteSettingValue(SettingValueKind kind, const SettingValue& value,
                       platform::ProfileDocument& document, const std::string& section,
                       const std::string& key);

// Reads the text with default "-1" (a missing key reads as Integer -1, Real
// -1.0, Switch on, Text "-1") and converts it as atoi / atof do in the C
// locale into the slot of kind (a switch is on when atoi gives anything but
// 0); the other slots stay empty, and all of them for a kind outside 0..3.
// At most 255 characters are read.
SettingValue ReadSettingValue(SettingValueKind kind, const platform::ProfileDocument& document,
                              const std::string& section, const std::string& key);

// Like ReadSettingValue with a default formed from defaultValue (Integer and
// Switch "%d" of the value as ClampToInt gives it, so -1.7 reads as -1; Real
// "%lf", else empty). nullopt only for a Switch whose text equals the
// default text byte for byte: the key is missing or holds exactly the
// default, so the switch is not set.
std::optional<SettingValue> ReadSettingValueOr(SettingValueKind kind,
                                               const platform::ProfileDocument& document,
                                               const std::string& section, const std::string& key,
                                               double defaultValue);

// A double as an int, truncated toward zero (-1.7 -> -1); values beyond the
// int range are held at its ends, NaN gives 0.
int ClampToInt(double value);

// ReadSettingValue on a document.
inline SettingValue ReadSetting(SettingValueKind kind, const platform::ProfileDocument& document,
                                const std::string& section, const std::string& key) {
    return ReadSettingValue(kind, document, section, key);
}

// atoi and atof of the C locale, independent of the process locale.
int CLocaleAtoi(const char* text);
double CLocaleAtof(const char* text);
// "%d" and "%lf" of the C locale.
std::string FormatInteger(int value);
std::string FormatReal(double value);

}  // namespace quillet::frame
