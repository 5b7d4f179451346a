// Typed values in INI-style setting files: the one place where integers,
// reals and switches get their text form. Each function has two forms: on a
// file path (the file is read, and for writes rewritten, once per call) and
// on an open ProfileDocument (for callers that handle many keys of one file
// and save once).
#pragma once

#include <optional>
#include <string>

#include "platform/profile.h"

namespace quillet::frame {

enum class SettingValueKind : int { Text = 0, Integer = 1, Real = 2, Switch = 3 };

// Forms the text of the value: Text the text itself; Integer "%d"; Real
// "%lf" (1.5 -> 1.500000); Switch "%d" of 1 or 0. Kinds outside 0..3 write
// text. Numbers are formatted in the C locale whatever the process locale.
void WriteSettingValue(int kind, int switchValue, const std::string& text, int integer, double real,
                       const std::string& file, const std::string& section, const std::string& key);
void WriteSettingValue(int kind, int switchValue, const std::string& text, int integer, double real,
                       platform::ProfileDocument& document, const std::string& section,
                       const std::string& key);

// Clears the outputs, reads the text with default "-1" (a missing key reads
// as Integer -1, Real -1.0, Switch on, Text "-1") and converts it as atoi /
// atof do in the C locale. At most 255 characters are read.
void ReadSettingValue(int kind, int& switchValue, std::string& text, int& integer, double& real,
                      const std::string& file, const std::string& section, const std::string& key);
void ReadSettingValue(int kind, int& switchValue, std::string& text, int& integer, double& real,
                      const platform::ProfileDocument& document, const std::string& section,
                      const std::string& key);

// The outputs of ReadSettingValue as one value, for callers that want one
// slot of it: ReadSetting(SettingValueKind::Integer, document, s, k).integer.
struct SettingValue {
    int switchValue = 0;
    std::string text;
    int integer = 0;
    double real = 0.0;
};
SettingValue ReadSetting(SettingValueKind kind, const platform::ProfileDocument& document,
                         const std::string& section, const std::string& key);

// Like ReadSettingValue with a default formed from defaultValue (Integer and
// Switch "%d" of the value truncated toward zero, Real "%lf", else empty).
// Returns 1, except for Switch: 0 (switch left 0) when the text read equals
// the default text byte for byte, i.e. the key is missing or holds exactly
// the default.
int ReadSettingValueOr(int kind, int& switchValue, std::string& text, int& integer, double& real,
                       const std::string& file, const std::string& section, const std::string& key,
                       double defaultValue);
int ReadSettingValueOr(int kind, int& switchValue, std::string& text, int& integer, double& real,
                       const platform::ProfileDocument& document, const std::string& section,
                       const std::string& key, double defaultValue);

// ReadSettingValueOr as one value: nullopt where it returns 0 (a switch whose
// key is missing or holds exactly the default text).
std::optional<SettingValue> ReadSettingOr(SettingValueKind kind,
                                          const platform::ProfileDocument& document,
                                          const std::string& section, const std::string& key,
                                          double defaultValue);
// WriteSettingValue of one Switch, Integer or Real value.
void WriteSwitch(platform::ProfileDocument& document, const std::string& section,
                 const std::string& key, int on);
void WriteInteger(platform::ProfileDocument& document, const std::string& section,
                  const std::string& key, int value);
void WriteReal(platform::ProfileDocument& document, const std::string& section,
               const std::string& key, double value);

// A double as an int, truncated toward zero: values beyond the int range are
// held at its ends, and NaN gives 0. Integer values kept as doubles are
// written through it, so that no value becomes a number it is not near.
int TruncateToInt(double value);

// atoi and atof of the C locale, independent of the process locale.
int CLocaleAtoi(const char* text);
double CLocaleAtof(const char* text);
// "%d" and "%lf" of the C locale.
std::string FormatInteger(int value);
std::string FormatReal(double value);

}  // namespace quillet::frame
