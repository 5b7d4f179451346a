// Opening, editing and saving one PDL table for dialog 129.
#include "pdl/pdl_laser_edit.h"

#include "frame/resources.h"
#include "pdl/pdl_files.h"

namespace quillet::pdl {

namespace {

// Runs a file operation where nothing may be thrown (the dialog's slots):
// what it gave, or false when it threw.
template <typename Operation>
bool Succeeds(Operation&& operation) noexcept {
    try {
        return operation();
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

bool PdlLaserEdit::Open() {
    failed_ = false;
    currentRow_ = 0;
    Succeeds([&] {
        saveOptions_ = LoadPdlSaveOptions().value_or(PdlSaveOptions{});
        return true;
    });
    PdlCutCondition record;
    tableLoaded_ = Succeeds([&] {
        const std::optional<PdlCutCondition> read = ReadPdlTable(machine_, material_, table_);
        if (read) record = *read;
        return read.has_value();
    });
    if (!tableLoaded_ ||
        !Succeeds([&] { return LoadMachineParams(machineId_, table_, record, rows_); })) {
        failed_ = true;
        rows_.shown.count = 0;
    }
    return !failed_;
}

std::string PdlLaserEdit::Description(int row) const {
    return std::string(frame::ResourceString(kPdlDescriptionStringBase + Shown(row).slot));
}

bool PdlLaserEdit::SelectRow(int row) {
    if (row < 0 || row >= ShownCount()) return false;
    currentRow_ = row;
    return true;
}

frame::NumberEntry PdlLaserEdit::CheckValue(std::string_view text) {
    return frame::CheckEnteredNumber(text, kValueRule);
}

bool PdlLaserEdit::Apply(std::string_view text) { return EditInPlace(currentRow_, text); }

bool PdlLaserEdit::EditInPlace(int row, std::string_view text) {
    if (row < 0 || row >= ShownCount()) return false;
    const frame::NumberEntry entry = CheckValue(text);
    if (entry.check != frame::EntryCheck::Taken) return false;
    rows_.shown.rows[row].value = static_cast<float>(entry.value);
    return true;
}

bool PdlLaserEdit::Save(const PdlSaveOptions& options) {
    for (int i = 0; i < ShownCount(); ++i) {
        rows_.all[rows_.shown.rows[i].slot].value = rows_.shown.rows[i].value;
    }
    PdlCutCondition record;
    for (int slot = 0; slot < kPdlSlotCount; ++slot) record.slot[slot] = rows_.all[slot].value;
    // A table that was never read would be written from empty rows.
    failed_ = !tableLoaded_ || !Succeeds([&] {
        std::vector<PdlTableWrite> writes;
        for (const int table : PdlSaveTargets(table_, options)) writes.push_back({table, record});
        return SavePdlTables(machine_, material_, writes);
    });
    if (!failed_) Succeeds([&] { return SavePdlSaveOptions(options); });
    return !failed_;
}

}  // namespace quillet::pdl
