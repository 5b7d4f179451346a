// The in-memory sheet.
#include "driver_ui/memory_sheet.h"

namespace quillet::driver_ui {

CMemorySheet::CMemorySheet(int columns, int rows) : columns_(columns), rows_(rows) {}

void CMemorySheet::SetFont(const std::string& name, float points) {
    fontName_ = name;
    fontPoints_ = points;
}

const CMemorySheet::Cell* CMemorySheet::Find(int column, int row) const {
    auto it = cells_.find({column, row});
    return it == cells_.end() ? nullptr : &it->second;
}

int CMemorySheet::CellTypeAt(int column, int row) const {
    const Cell* cell = Find(column, row);
    return cell != nullptr ? cell->type : kCellEdit;
}

void CMemorySheet::SetCellType(int column, int row, int type) { At(column, row).type = type; }

bool CMemorySheet::Locked(int column, int row) const {
    const Cell* cell = Find(column, row);
    return cell != nullptr && cell->hasLock ? cell->locked : sheetLocked_;
}

void CMemorySheet::SetLocked(int column, int row, bool locked) {
    if (column == -1 && row == -1) {
        sheetLocked_ = locked;
        for (auto& entry : cells_) entry.second.hasLock = false;
        return;
    }
    Cell& cell = At(column, row);
    cell.hasLock = true;
    cell.locked = locked;
}

void CMemorySheet::SetIntegerRange(int column, int row, int minimum, int maximum) {
    Cell& cell = At(column, row);
    cell.integerMin = minimum;
    cell.integerMax = maximum;
}

void CMemorySheet::SetRealRange(int column, int row, short decimals, double minimum,
                                double maximum) {
    Cell& cell = At(column, row);
    cell.decimals = decimals;
    cell.realMin = minimum;
    cell.realMax = maximum;
}

std::string CMemorySheet::Value(int column, int row) const {
    const Cell* cell = Find(column, row);
    return cell != nullptr ? cell->value : std::string();
}

void CMemorySheet::SetValue(int column, int row, const std::string& value) {
    At(column, row).value = value;
}

bool CMemorySheet::LoadPicture(int bitmapId) {
    if (failingPictures_.count(bitmapId) != 0) return false;
    ++picturesLoaded_;
    return true;
}

void CMemorySheet::SetCheckPictures(int column, int row, int style, bool centred,
                                    const CellPictures& pictures) {
    Cell& cell = At(column, row);
    cell.checkStyle = style;
    cell.centred = centred;
    cell.pictures = pictures;
}

void CMemorySheet::SetScrollBars(bool onlyWhenNeeded, int which) {
    scrollOnlyWhenNeeded_ = onlyWhenNeeded;
    scrollBars_ = which;
}

double CMemorySheet::Width(int column) const {
    auto it = widths_.find(column);
    return it == widths_.end() ? 0.0 : it->second;
}

}  // namespace quillet::driver_ui
