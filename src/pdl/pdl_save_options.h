// Save options of the PDL laser-condition dialog: a master switch and one
// flag per table, kept installation-wide in PDL_CUT_SAVEOPT.ini, and the rule
// that picks the tables a save writes.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "pdl/pdl_table.h"

namespace quillet::pdl {

inline constexpr std::string_view kPdlSaveOptionFile = "/PDL_CUT_SAVEOPT.ini";
inline constexpr std::string_view kPdlSaveOptionSection = "PDL_CUT_SAVEOPT";
// Keys in file order: the master switch, then the tables K to P103.
inline constexpr std::string_view kPdlSaveOptionSwitchKey = "OnOff_SaveOpt";
inline constexpr std::array<std::string_view, kPdlTableCount> kPdlSaveOptionTableKeys = {
    "OnOff_SaveOpt_K",   "OnOff_SaveOpt_L",  "OnOff_SaveOpt_M",    "OnOff_SaveOpt_H",
    "OnOff_SaveOpt_U",   "OnOff_SaveOpt_U1", "OnOff_SaveOpt_U2",   "OnOff_SaveOpt_U3",
    "OnOff_SaveOpt_U4",  "OnOff_SaveOpt_U5", "OnOff_SaveOpt_P101", "OnOff_SaveOpt_P102",
    "OnOff_SaveOpt_P103"};

// The fourteen check-box states (0 off, 1 on; a key missing from the file
// reads as -1).
struct PdlSaveOptions {
    int saveSwitch = 0;
    std::array<int, kPdlTableCount> tables{};
};

// Reads the options from the save-option file. 0 done; -1 (options
// untouched) when the data root is missing or the file does not exist.
int LoadPdlSaveOptions(PdlSaveOptions& options);

// Writes the fourteen states as "%d" into the existing save-option file,
// one rewrite. -1, nothing written, when the data root is missing or the
// file does not exist: the file is never created here.
int SavePdlSaveOptions(const PdlSaveOptions& options);

// Whether the box of table is shown: none when the switch is 0; with the
// switch in any other state, the boxes of the edited table's group.
bool PdlSaveOptionBoxShown(int saveSwitch, PdlCutTable editedTable, PdlCutTable table);

// The tables a save of editedTable writes, in index order: the edited table
// alone when the switch is 0; otherwise every table of its group whose state
// is exactly 1 (possibly none, possibly without the edited table).
std::vector<int> PdlSaveTargets(PdlCutTable editedTable, const PdlSaveOptions& options);

}  // namespace quillet::pdl
