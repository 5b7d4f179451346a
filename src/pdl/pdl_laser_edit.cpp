// Opening, editing and saving one PDL table for dialog 129.
#include "pdl/pdl_laser_edit.h"

#include "frame/resources.h"
#include "frame/setting_values.h"
#include "pdl/pdl_files.h"

namespace quillet::pdl {

namespace {

// The value box is read through a 50-byte buffer.
constexpr std::size_t kValueBoxBytes = 49;

float AtofOf(std::string_view text) {
    return static_cast<float>(frame::CLocaleAtof(std::string(text).c_str()));
}

// Runs a file operation where nothing may be thrown (the dialog's slots):
// true when it gave 0.
template <typename Operation>
bool Succeeds(Operation&& operation) noexcept {
    try {
        return operation() == 0;
    } catch (...) {
        return false;
    }
}

}  // namespace

PdlLaserEdit::PdlLaserEdit(std::string machine, int machineId, std::string material,
                           PdlCutTable table)
    : machine_(std::move(machine)),
      machineId_(machineId),
      material_(std::move(material)),
      table_(table) {}

int PdlLaserEdit::Open() {
    result_ = 0;
    currentRow_ = 0;
    Succeeds([&] { return LoadPdlSaveOptions(saveOptions_); });
    PdlCutCondition record;
    tableLoaded_ = Succeeds([&] { return ReadPdlCutTable(machine_, material_, table_, record); });
    if (!tableLoaded_ ||
        !Succeeds([&] { return LoadMachineParamList(machineId_, table_, record, rows_); })) {
        result_ = -1;
        rows_.shown.count = 0;
    }
    return result_;
}

std::string PdlLaserEdit::Description(int row) const {
    return std::string(frame::ResourceString(kPdlDescriptionStringBase + Shown(row).slot));
}

bool PdlLaserEdit::SelectRow(int row) {
    if (row < 0 || row >= ShownCount()) return false;
    currentRow_ = row;
    return true;
}

bool PdlLaserEdit::Apply(std::string_view text) {
    if (currentRow_ >= ShownCount()) return false;
    rows_.shown.rows[currentRow_].value = AtofOf(text.substr(0, kValueBoxBytes));
    return true;
}

bool PdlLaserEdit::EditInPlace(int row, std::string_view text) {
    if (row < 0 || row >= ShownCount()) return false;
    rows_.shown.rows[row].value = AtofOf(text);
    return true;
}

int PdlLaserEdit::Save(const PdlSaveOptions& options) {
    result_ = 0;
    for (int i = 0; i < ShownCount(); ++i) {
        rows_.all[rows_.shown.rows[i].slot].value = rows_.shown.rows[i].value;
    }
    PdlCutCondition record;
    for (int slot = 0; slot < kPdlSlotCount; ++slot) record.slot[slot] = rows_.all[slot].value;
    // A table that was never read would be written from empty rows.
    const bool written =
        tableLoaded_ && Succeeds([&] {
            return WritePdlCutTables(machine_, material_, record, PdlSaveTargets(table_, options));
        });
    if (!written) {
        result_ = -1;
        return result_;
    }
    Succeeds([&] { return SavePdlSaveOptions(options); });
    return result_;
}

}  // namespace quillet::pdl
