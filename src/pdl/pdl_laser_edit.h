// The edit behind dialog 129, free of any window: opening one PDL table of a
// machine and laser material with the parameters the machine uses, the value
// box, in-place edits and the save with its save options.
#pragma once

#include <string>
#include <string_view>

#include "pdl/pdl_machine.h"
#include "pdl/pdl_save_options.h"
#include "pdl/pdl_table.h"

namespace quillet::pdl {

class PdlLaserEdit {
public:
    // machine and material are the host's bytes, used as they are for every
    // file; machineId selects the parameter list; table is 0-12.
    PdlLaserEdit(std::string machine, int machineId, std::string material, PdlCutTable table);

    // The opening: the save options (as the file holds them; all off when
    // it is missing), the table and the parameter list. False when the table
    // or the list could not be read (nothing is shown then). Never throws.
    bool Open();

    // True after a failed opening or save: the export then reports -1.
    bool Failed() const { return failed_; }
    const std::string& Machine() const { return machine_; }
    const std::string& Material() const { return material_; }
    PdlCutTable Table() const { return table_; }
    const PdlSaveOptions& LoadedSaveOptions() const { return saveOptions_; }

    int ShownCount() const { return rows_.shown.count; }
    const PdlParamRow& Shown(int row) const { return rows_.shown.rows[row]; }
    // FormatPdlValue of a shown row's value.
    std::string ValueText(int row) const { return FormatPdlValue(Shown(row).value); }
    // The description of a shown row (string 400 + slot).
    std::string Description(int row) const;

    // The item change: row becomes the current row. False (nothing changes)
    // for a row that is not shown.
    bool SelectRow(int row);
    int CurrentRow() const { return currentRow_; }
    // Apply: up to 49 bytes of text, converted as atof converts (no number
    // gives 0), become the value of the current row. False when no row is
    // shown.
    bool Apply(std::string_view text);
    // The in-place edit of row's value: atof of text. False for a row that
    // is not shown.
    bool EditInPlace(int row, std::string_view text);

    // The save: the shown values over the values read at opening go into
    // the tables options pick (PdlSaveTargets), in one rewrite of the
    // condition file, then the options into the save-option file. False
    // (nothing written) when the table was never read or the condition file
    // could not be prepared or written. Never throws.
    bool Save(const PdlSaveOptions& options);

private:
    std::string machine_;
    int machineId_;
    std::string material_;
    PdlCutTable table_;
    bool failed_ = false;
    int currentRow_ = 0;
    bool tableLoaded_ = false;
    PdlSaveOptions saveOptions_;
    PdlParamRows rows_;
};

}  // namespace quillet::pdl
