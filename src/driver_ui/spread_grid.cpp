// The grid's cells, option groups and user entries.
#include "driver_ui/spread_grid.h"

#include <cstdio>

#include "frame/resources.h"
#include "frame/setting_values.h"

namespace quillet::driver_ui {

std::array<int, 4> CellPictureIds(CheckLook look) {
    if (look == CheckLook::Square) return {161, 162, 163, 164};
    return {157, 158, 159, 160};
}

void CSpreadGrid::Changed(int column, int row) {
    if (observer_ != nullptr) observer_->CellsChanged(column, row, column, row);
}

void CSpreadGrid::UseRow(int row) {
    if (row > highestRow_) highestRow_ = row;
}

void CSpreadGrid::SetValue(int column, int row, std::string value) {
    At(column, row).value = std::move(value);
    Changed(column, row);
}

void CSpreadGrid::SetColumnHeader(int column, const std::string& text) {
    headers_[column] = text;
    headersShown_ = true;
    if (observer_ != nullptr) observer_->HeaderChanged(column);
}

void CSpreadGrid::SetColumnWidth(int column, double width) {
    widths_[column] = width;
    if (observer_ != nullptr) observer_->HeaderChanged(column);
}

void CSpreadGrid::SetRowCount(int rows) {
    if (highestRow_ > rows) highestRow_ = rows;
    const int count = highestRow_ < 0 ? 0 : highestRow_;
    if (count == rows_) return;
    if (observer_ != nullptr) observer_->RowCountChanging(rows_, count);
    rows_ = count;
    if (observer_ != nullptr) observer_->RowCountChanged();
}

void CSpreadGrid::LockAllCells(bool on) {
    sheetLocked_ = on;
    for (auto& entry : cells_) entry.second.locked.reset();
    if (observer_ != nullptr && rows_ > 0 && columns_ > 0) {
        observer_->CellsChanged(1, 1, columns_, rows_);
    }
}

void CSpreadGrid::SetIntegerCell(int column, int row, int minimum, int maximum, int value) {
    GridCell& cell = At(column, row);
    cell.kind = CellKind::Integer;
    cell.integerMin = minimum;
    cell.integerMax = maximum;
    if (value < minimum || value > maximum) value = minimum;
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    SetValue(column, row, text);
    UseRow(row);
}

void CSpreadGrid::SetRealCell(int column, int row, short decimals, double minimum, double maximum,
                              double value) {
    GridCell& cell = At(column, row);
    cell.kind = CellKind::Real;
    cell.decimals = decimals;
    cell.realMin = minimum;
    cell.realMax = maximum;
    // Written so that a NaN counts as outside the range too.
    if (!(value >= minimum && value <= maximum)) value = minimum;
    SetValue(column, row, frame::FormatReal(value));
    UseRow(row);
}

bool CSpreadGrid::SetPictureCell(int column, int row, bool checked, CheckLook look) {
    At(column, row).kind = CellKind::Check;
    for (const int id : CellPictureIds(look)) {
        if (!frame::ResourceBitmap(id)) {
            Changed(column, row);
            return false;
        }
    }
    At(column, row).look = look;
    SetValue(column, row, checked ? "1" : "0");
    UseRow(row);
    return true;
}

bool CSpreadGrid::SetCheckCell(int column, int row, bool checked) {
    return SetPictureCell(column, row, checked, CheckLook::Square);
}

bool CSpreadGrid::SetOptionCell(int column, int row, bool checked) {
    return SetPictureCell(column, row, checked, CheckLook::Round);
}

void CSpreadGrid::SetTextCell(int column, int row, const std::string& text, bool editable) {
    GridCell& cell = At(column, row);
    if (editable) {
        cell.kind = CellKind::Text;
    } else {
        cell.kind = CellKind::Static;
        cell.locked = true;
    }
    SetValue(column, row, text);
    UseRow(row);
}

void CSpreadGrid::SetBlankCell(int column, int row) {
    GridCell& cell = At(column, row);
    cell.kind = CellKind::Static;
    cell.locked = true;
    SetValue(column, row, "");
    UseRow(row);
}

bool CSpreadGrid::AddOptionGroup(int firstColumn, int lastColumn, int defaultColumn) {
    if (defaultColumn > 0 && (defaultColumn < firstColumn || defaultColumn > lastColumn)) {
        return false;
    }
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (KindAt(column, 1) != CellKind::Check) return false;
    }
    for (const GridOptionGroup& group : groups_) {
        if (group.firstColumn == firstColumn || group.lastColumn == lastColumn) return false;
    }
    groups_.push_back({firstColumn, lastColumn, defaultColumn});
    if (defaultColumn >= 1) {
        for (int row = 1; row <= highestRow_; ++row) {
            for (int column = firstColumn; column <= lastColumn; ++column) {
                SetValue(column, row, column == defaultColumn ? "1" : "0");
            }
        }
    }
    return true;
}

CSpreadGrid::OptionClick CSpreadGrid::OnOptionClicked(int column, int row, bool checked) {
    if (KindAt(column, row) != CellKind::Check) return OptionClick::Ignored;
    const GridOptionGroup* found = nullptr;
    for (const GridOptionGroup& group : groups_) {
        if (column >= group.firstColumn && column <= group.lastColumn) {
            found = &group;
            break;
        }
    }
    if (found == nullptr) return OptionClick::Ignored;
    if (checked) {
        for (int other = found->firstColumn; other <= found->lastColumn; ++other) {
            if (other != column) SetValue(other, row, "0");
        }
        return OptionClick::Done;
    }
    for (int other = found->firstColumn; other <= found->lastColumn; ++other) {
        if (other != column && CellValue(other, row) == "1") return OptionClick::Done;
    }
    SetValue(column, row, "1");
    return OptionClick::Rechecked;
}

bool CSpreadGrid::Click(int column, int row, bool checked) {
    if (Locked(column, row) || KindAt(column, row) != CellKind::Check) return false;
    SetValue(column, row, checked ? "1" : "0");
    OnOptionClicked(column, row, checked);
    return true;
}

bool CSpreadGrid::Take(int column, int row, const frame::NumberEntry& entry) {
    if (entry.check != frame::EntryCheck::Taken) return false;
    SetValue(column, row,
             KindAt(column, row) == CellKind::Integer
                 ? frame::FormatInteger(static_cast<int>(entry.value))
                 : frame::FormatReal(entry.value));
    return true;
}

bool CSpreadGrid::EnterText(int column, int row, const std::string& text) {
    if (Locked(column, row)) return false;
    if (const std::optional<frame::NumberRule> rule = RuleOf(column, row)) {
        return Take(column, row, frame::CheckEnteredNumber(text, *rule));
    }
    if (KindAt(column, row) != CellKind::Text) return false;
    SetValue(column, row, text);
    return true;
}

bool CSpreadGrid::EnterNumber(int column, int row, double number) {
    const std::optional<frame::NumberRule> rule = RuleOf(column, row);
    if (Locked(column, row) || !rule) return false;
    return Take(column, row, frame::CheckNumber(number, *rule));
}

const GridCell* CSpreadGrid::Find(int column, int row) const {
    const auto it = cells_.find({column, row});
    return it == cells_.end() ? nullptr : &it->second;
}

CellKind CSpreadGrid::KindAt(int column, int row) const {
    const GridCell* cell = Find(column, row);
    return cell != nullptr ? cell->kind : CellKind::Text;
}

std::string CSpreadGrid::CellValue(int column, int row) const {
    const GridCell* cell = Find(column, row);
    return cell != nullptr ? cell->value : std::string();
}

bool CSpreadGrid::Locked(int column, int row) const {
    const GridCell* cell = Find(column, row);
    return cell != nullptr && cell->locked ? *cell->locked : sheetLocked_;
}

std::optional<frame::NumberRule> CSpreadGrid::RuleOf(int column, int row) const {
    const GridCell* cell = Find(column, row);
    if (cell == nullptr) return std::nullopt;
    if (cell->kind == CellKind::Integer) {
        return frame::NumberRule{true, double(cell->integerMin), double(cell->integerMax), 0};
    }
    if (cell->kind == CellKind::Real) {
        return frame::NumberRule{false, cell->realMin, cell->realMax, cell->decimals};
    }
    return std::nullopt;
}

std::string CSpreadGrid::ColumnHeader(int column) const {
    const auto it = headers_.find(column);
    return it == headers_.end() ? std::string() : it->second;
}

double CSpreadGrid::ColumnWidth(int column) const {
    const auto it = widths_.find(column);
    return it == widths_.end() ? 0.0 : it->second;
}

}  // namespace quillet::driver_ui
