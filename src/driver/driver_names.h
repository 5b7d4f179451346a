// The names of the driver setting files, their sections and their keys,
// built and parsed in one place: the module writes and reads them from here,
// and so do quillet-host and the audit of a data folder.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::driver {

enum class DriverSettingKind : int { Cut = 0, Tool = 1, Nc = 2 };

// How an item is set: on or off only, or with integer or real values. The
// numbers are the driver's codes, which also stand in the file keys.
enum class DriverValueType : int { Switch = 2, Integer = 3, Real = 4 };

// Cut and Tool files hold one section per condition or T number; Nc files
// have none.
inline bool HasSections(DriverSettingKind kind) {
    return kind == DriverSettingKind::Cut || kind == DriverSettingKind::Tool;
}

// The kind's word in file and section names: "CUT", "TOOL", "NC"; empty for
// any other value.
std::string_view KindName(DriverSettingKind kind);

// The saved file of a kind in the data folder: "MD_CUT_<machine>_<name>.ini"
// (name: the material), "MD_TOOL_<machine>_<name>.ini" (the die layout),
// "MD_NC_<machine>.ini".
std::string DriverSettingFileName(DriverSettingKind kind, std::string_view machine,
                                  std::string_view name);
// The kind of a saved file's name and what stands between "MD_<KIND>_" and
// ".ini": the machine for Nc, machine and name joined by '_' for Cut and
// Tool (which no split tells apart surely). nullopt for any other name.
struct DriverFileNames {
    DriverSettingKind kind = DriverSettingKind::Nc;
    std::string_view names;
};
std::optional<DriverFileNames> ParseDriverSettingFileName(std::string_view fileName);

// The working copy "MD_<KIND>_TEMP.ini" and the current file
// "MD_<KIND>_default.ini" of a kind in the working folder.
std::string DriverWorkingFileName(DriverSettingKind kind);
std::string DriverCurrentFileName(DriverSettingKind kind);

// The section of a condition (Cut: K ... P103) or a T number (Tool):
// "MD_<KIND>_<name>"; empty for Nc, whose files have no sections.
std::string BuildDriverSectionName(DriverSettingKind kind, std::string_view name);
// The name of such a section (its prefix matched without regard to ASCII
// case, as section names are); nullopt for another section.
std::optional<std::string_view> ParseDriverSectionName(DriverSettingKind kind,
                                                       std::string_view section);
// The laser dialog's save options in the Cut file.
inline constexpr const char* kLaserSaveOptionSection = "MD_CUT_SAVEOPT";

// Keys of an item's values: "%d_%d%s" of its id, its value type and a
// suffix, as in 12_4OnOff.
enum class DriverKeySuffix { OnOff, Value1, Value2, Timing };
std::string DriverKey(int id, DriverValueType valueType, DriverKeySuffix suffix);
// The parts of such a key, its suffix matched without regard to ASCII case
// as keys are; nullopt for a key of another form. valueType is the number
// written, whether or not a value type has it.
struct DriverKeyParts {
    int id = 0;
    int valueType = 0;
    DriverKeySuffix suffix = DriverKeySuffix::OnOff;
};
std::optional<DriverKeyParts> ParseDriverKey(std::string_view key);

// The plain file form is read line by line through a buffer of this size.
inline constexpr std::size_t kPlainLineBuffer = 256;

// The values the grid edits, and an Nc default the driver gives is kept in.
inline constexpr int kDriverIntegerMin = -99999;
inline constexpr int kDriverIntegerMax = 99999;
inline constexpr double kDriverRealMin = -99999.9999;
inline constexpr double kDriverRealMax = 99999.9999;

}  // namespace quillet::driver
