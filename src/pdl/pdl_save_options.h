// Save options of the PDL laser-condition dialog: a master switch and one
// flag per table, kept installation-wide in PDL_CUT_SAVEOPT.ini, and the rule
// that picks the tables a save writes.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "pdl/pdl_table.h"

namespace quillet::pdl {

inline constexpr std::string_view kPdlSaveOptionFile = "PDL_CUT_SAVEOPT.ini";
inline constexpr std::string_view kPdlSaveOptionSection = "PDL_CUT_SAVEOPT";

// The fourteen check-box states in file order: the switch
// "OnOff_SaveOpt", then the tables K to P103 ("OnOff_SaveOpt_K" ...).
struct PdlSaveOptions {
    bool saveSwitch = false;
    std::array<bool, kPdlTableCount> tables{};
};

// The options as the save-option file holds them: only the value 1 is on, so
// a missing key (read as -1) or any other number is off. nullopt when the
// data root is missing or the file does not exist.
std::optional<PdlSaveOptions> LoadPdlSaveOptions();

// Writes the fourteen states as 1 or 0 into the existing save-option file,
// one rewrite, only when one of them changes. False, nothing written, when
// the data root is missing or the file does not exist (it is never created
// here), or the rewrite failed.
bool SavePdlSaveOptions(const PdlSaveOptions& options);

// Whether the box of table is shown: with the switch on, the boxes of the
// edited table's group; none otherwise.
bool PdlSaveOptionBoxShown(bool saveSwitch, PdlCutTable editedTable, PdlCutTable table);

// The tables a save of editedTable writes, in index order: with the switch
// on, every table of its group that is on (possibly without the edited
// table); the edited table alone when the switch is off or no table of the
// group is on, so that a save always writes.
std::vector<int> PdlSaveTargets(PdlCutTable editedTable, const PdlSaveOptions& options);

}  // namespace quillet::pdl
