// The thirteen cutting conditions: they name the sections of the driver Cut
// files and the PDL tables.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quillet::frame {

inline constexpr int kCuttingConditionCount = 13;

inline constexpr std::array<std::string_view, kCuttingConditionCount> kCuttingConditionNames = {
    "K", "L", "M", "H", "U", "U1", "U2", "U3", "U4", "U5", "P101", "P102", "P103"};

// Conditions 0-9 (K to U5) form the first group, 10-12 (P101 to P103) the
// second.
inline constexpr int kSecondGroupFirstIndex = 10;

inline constexpr bool IsCuttingConditionIndex(int index) {
    return index >= 0 && index < kCuttingConditionCount;
}

// First index of the group that holds index.
inline constexpr int GroupBegin(int index) { return index >= kSecondGroupFirstIndex ? 10 : 0; }

// The simultaneous save of the laser dialogs (driver dialog 130, PDL dialog
// 129): the switch "OnOff_SaveOpt" turns it on, and "OnOff_SaveOpt_<name>"
// marks each condition that receives the edited values. Only the conditions
// of the edited condition's group take part, and with the switch off none.
inline constexpr std::string_view kSaveOptionSwitchKey = "OnOff_SaveOpt";
inline std::string SaveOptionKey(int index) {
    return std::string(kSaveOptionSwitchKey) + "_" +
           std::string(kCuttingConditionNames[static_cast<std::size_t>(index)]);
}
inline constexpr bool TakesPartInSave(bool switchOn, int edited, int index) {
    return switchOn && IsCuttingConditionIndex(index) && GroupBegin(edited) == GroupBegin(index);
}

}  // namespace quillet::frame
