// The edit behind dialog 129, free of any window: opening one PDL table of a
// machine and laser material with the parameters the machine uses, the value
// box, in-place edits and the save with its save options.
#pragma once

#include <limits>
#include <string>
#include <string_view>

#include "frame/number_entry.h"
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
    // What a value takes: a number in the one form of number_entry.h that a
    // float holds (a value is stored as a float). Anything else ("0,8",
    // "abc", "1e39", "nan", "0x20", forty digits) is refused, where atof
    // would have stored 0 or an infinity.
    static constexpr frame::NumberRule kValueRule{false, -std::numeric_limits<float>::max(),
                                                  std::numeric_limits<float>::max(), -1};
    static frame::NumberEntry CheckValue(std::string_view text);
    // Apply: the value box's text becomes the value of the current row.
    // False, nothing changed, when no row is shown or CheckValue refuses it.
    bool Apply(std::string_view text);
    // The in-place edit of row's value, checked as Apply checks. False,
    // nothing changed, for a row that is not shown or a refused text.
    bool EditInPlace(int row, std::string_view text);

    // The save: the shown values over the values read at opening go into
    // the tables options pick (PdlSaveTargets, never none), in one rewrite of the
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
