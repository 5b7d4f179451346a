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

inline constexpr std::string_view kPdlSaveOptionFile = "/PDL_CUT_SAVEOPT.ini";
inline constexpr std::string_view kPdlSaveOptionSection = "PDL_CUT_SAVEOPT";

// The fourteen check-box states in file order: the switch
// "OnOff_SaveOpt", then the tables K to P103 ("OnOff_SaveOpt_K" ...). 0 is
// off, 1 on; a key missing from the file reads as -1.
struct PdlSaveOptions {
    int saveSwitch = 0;
    std::array<int, kPdlTableCount> tables{};
};

// The options as the save-option file holds them; nullopt when the data
// root is missing or the file does not exist.
std::optional<PdlSaveOptions> LoadPdlSaveOptions();

// Writes the fourteen states as "%d" into the existing save-option file,
// one rewrite, only when one of them changes. False, nothing written, when
// the data root is missing or the file does not exist (it is never created
// here), or the rewrite failed.
bool SavePdlSaveOptions(const PdlSaveOptions& options);

// Whether the box of table is shown: none when the switch is 0; with the
// switch in any other state, the boxes of the edited table's group.
bool PdlSaveOptionBoxShown(int saveSwitch, PdlCutTable editedTable, PdlCutTable table);

// The tables a save of editedTable writes, in index order: the edited table
// alone when the switch is 0; otherwise every table of its group whose state
// is exactly 1 (possibly none, possibly without the edited table).
std::vector<int> PdlSaveTargets(PdlCutTable editedTable, const PdlSaveOptions& options);

}  // namespace quillet::pdl
