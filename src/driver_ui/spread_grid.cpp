// The grid model on its sheet.
#include "driver_ui/spread_grid.h"

#include <cstdio>

#include "frame/setting_values.h"
#include "platform/code_page.h"

namespace quillet::driver_ui {

void CSpreadGrid::UseRow(int row) {
    if (row > highestRow_) highestRow_ = row;
}

void CSpreadGrid::SetColumnHeader(int column, const std::string& text) {
    sheet_.SetText(column, 0, text);
    if (!sheet_.ColumnHeadersShown()) sheet_.SetColumnHeadersShown(true);
}

void CSpreadGrid::SetColumnWidth(int column, double width) { sheet_.SetColumnWidth(column, width); }

void CSpreadGrid::SetRowCount(int rows) {
    if (highestRow_ > rows) highestRow_ = rows;
    sheet_.SetRowCount(highestRow_);
}

void CSpreadGrid::SetSheetFont() {
    sheet_.SetFont(platform::ActiveCodePageIs932() ? "ＭＳ ゴシック" : "Arial", 9.0f);
}

void CSpreadGrid::LockAllCells(bool on) { sheet_.SetLocked(-1, -1, on); }

void CSpreadGrid::SetIntegerCell(int column, int row, int minimum, int maximum, int value) {
    sheet_.SetCellType(column, row, kCellInteger);
    sheet_.SetIntegerRange(column, row, minimum, maximum);
    if (value < minimum || value > maximum) value = minimum;
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    sheet_.SetValue(column, row, text);
    UseRow(row);
}

void CSpreadGrid::SetRealCell(int column, int row, short decimals, double minimum, double maximum,
                              double value) {
    sheet_.SetCellType(column, row, kCellReal);
    sheet_.SetRealRange(column, row, decimals, minimum, maximum);
    // Written so that a NaN counts as outside the range too.
    if (!(value >= minimum && value <= maximum)) value = minimum;
    sheet_.SetValue(column, row, frame::FormatReal(value));
    UseRow(row);
}

bool CSpreadGrid::SetPictureCell(int column, int row, int checked, const CellPictures& pictures,
                                 std::array<bool, 4>& loaded) {
    sheet_.SetCellType(column, row, kCellCheck);
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        if (loaded[i]) continue;
        if (!sheet_.LoadPicture(pictures[i])) return false;
        loaded[i] = true;
    }
    sheet_.SetCheckPictures(column, row, 0, true, pictures);
    sheet_.SetValue(column, row, checked == 1 ? "1" : "0");
    UseRow(row);
    return true;
}

bool CSpreadGrid::SetCheckCell(int column, int row, int checked) {
    return SetPictureCell(column, row, checked, kCheckPictures, checkLoaded_);
}

bool CSpreadGrid::SetOptionCell(int column, int row, int checked) {
    return SetPictureCell(column, row, checked, kOptionPictures, optionLoaded_);
}

void CSpreadGrid::SetTextCell(int column, int row, const std::string& text, int editable) {
    sheet_.SetText(column, row, text);
    if (editable == 0) {
        sheet_.SetCellType(column, row, kCellStatic);
        if (!sheet_.Locked(column, row)) sheet_.SetLocked(column, row, true);
    } else {
        sheet_.SetCellType(column, row, kCellEdit);
    }
    UseRow(row);
}

void CSpreadGrid::SetBlankCell(int column, int row) {
    sheet_.SetCellType(column, row, kCellStatic);
    sheet_.SetLocked(column, row, true);
    sheet_.SetText(column, row, "");
    UseRow(row);
}

bool CSpreadGrid::AddOptionGroup(int firstColumn, int lastColumn, int defaultColumn) {
    if (defaultColumn > 0 && (defaultColumn < firstColumn || defaultColumn > lastColumn)) {
        return false;
    }
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (sheet_.CellTypeAt(column, 1) != kCellCheck) return false;
    }
    for (const GridOptionGroup& group : groups_) {
        if (group.firstColumn == firstColumn || group.lastColumn == lastColumn) return false;
    }
    groups_.push_back({firstColumn, lastColumn, defaultColumn});
    if (defaultColumn >= 1) {
        for (int row = 1; row <= highestRow_; ++row) {
            for (int column = firstColumn; column <= lastColumn; ++column) {
                sheet_.SetValue(column, row, column == defaultColumn ? "1" : "0");
            }
        }
    }
    return true;
}

CSpreadGrid::OptionClick CSpreadGrid::OnOptionClicked(int column, int row, int buttonDown) {
    if (sheet_.CellTypeAt(column, row) != kCellCheck) return OptionClick::Ignored;
    const GridOptionGroup* found = nullptr;
    for (const GridOptionGroup& group : groups_) {
        if (column >= group.firstColumn && column <= group.lastColumn) {
            found = &group;
            break;
        }
    }
    if (found == nullptr) return OptionClick::Ignored;
    if (buttonDown == 1) {
        for (int other = found->firstColumn; other <= found->lastColumn; ++other) {
            if (other != column) sheet_.SetValue(other, row, "0");
        }
        return OptionClick::Done;
    }
    for (int other = found->firstColumn; other <= found->lastColumn; ++other) {
        if (other != column && sheet_.Value(other, row) == "1") return OptionClick::Done;
    }
    sheet_.SetValue(column, row, "1");
    return OptionClick::Rechecked;
}

void CSpreadGrid::ResetScrollBarPages() {
    sheet_.SetScrollBarPagesToOne();
    sheet_.Refresh();
}

}  // namespace quillet::driver_ui
