// The machine-type alias (PDL_MACTYPE_ALIAS.ini: machine type -> machine ID)
// and the machine parameter list (machine.ini: which parameters a machine ID
// uses), with the parameter rows the PDL dialog shows.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "pdl/pdl_table.h"

namespace quillet::pdl {

inline constexpr std::string_view kPdlAliasFile = "PDL_MACTYPE_ALIAS.ini";
inline constexpr std::string_view kPdlAliasSection = "MAC_ALIAS";
inline constexpr std::string_view kMachineListFile = "machine.ini";

// machine.ini: [Header] with MachineCount=N, and [Machine1] ... [MachineN],
// each with the machine's ID and the flags of the parameters it uses in
// the tables of the first group (CCUsed) and of the second (PCUsed).
inline constexpr std::string_view kMachineListHeader = "Header";
inline constexpr std::string_view kMachineCountKey = "MachineCount";
inline constexpr std::string_view kMachineSectionPrefix = "Machine";
inline constexpr std::string_view kMachineIdKey = "ID";
inline constexpr std::array<std::string_view, 2> kUsedFlagsKeys = {"CCUsed", "PCUsed"};
inline std::string MachineSectionName(int n) {
    return std::string(kMachineSectionPrefix) + std::to_string(n);
}
inline std::string_view UsedFlagsKey(PdlCutTable table) {
    return kUsedFlagsKeys[table >= frame::kSecondGroupFirstIndex ? 1 : 0];
}

// One built-in alias: the 76 defaults written, in this order, into a new
// alias file.
struct PdlAliasDefault {
    int machineType;
    int machineId;
};
extern const std::array<PdlAliasDefault, 76> kPdlAliasDefaults;

// The ID a machine without one reads as: a missing key reads -1.
inline constexpr int kNoMachineId = -1;

// The machine ID of machineType (the work of SddPDLOthMacTypeGet). Creates
// the alias file with the defaults when it does not exist. nullopt when the
// data root cannot be read (message 201 is shown first), the file cannot be
// created, or the key is missing or holds -1; 0 for a value that is not a
// number.
std::optional<int> PdlMachineTypeGet(int machineType);

// One row of the parameter list: the label (string 206 + slot), the value
// being edited and the record slot the row belongs to.
struct PdlParamRow {
    std::string label;
    float value = 0.0f;
    int slot = 0;
};

// The shown rows, count of them in use, in slot order.
struct PdlShownParamRows {
    std::array<PdlParamRow, kPdlSlotCount> rows{};
    int count = 0;
};

// The parameter rows of one edit of a table: one row per record slot, and
// the rows the list shows. Each dialog keeps its own.
struct PdlParamRows {
    std::array<PdlParamRow, kPdlSlotCount> all{};
    PdlShownParamRows shown;
};

// Refills rows.all from values (labels of slots 0-87, every value and slot),
// then builds rows.shown from the flags text of machineId in machine.ini
// (CCUsed for tables 0-9, PCUsed for 10-12): character i "1" shows parameter
// i, for i up to 87 or the end of the text. False when the data root cannot
// be read or machine.ini does not exist; rows.shown is then left as it was.
bool LoadMachineParams(int machineId, PdlCutTable tableIndex, const PdlCutCondition& values,
                       PdlParamRows& rows);

}  // namespace quillet::pdl
