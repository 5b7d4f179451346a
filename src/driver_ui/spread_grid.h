// The grid model of the driver settings dialogs: typed cells (integer, real,
// text, blank, check box), exclusive option groups of check boxes, header
// texts, widths, the sheet font and the scroll-bar set-up, on top of any
// CSpreadSheet. Free of Qt, so the dialogs' logic runs on any sheet.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "driver_ui/spread_sheet.h"

namespace quillet::driver_ui {

// Columns first to last of one row form a group of mutually exclusive check
// boxes; default column 0 for none.
struct GridOptionGroup {
    int firstColumn;
    int lastColumn;
    int defaultColumn;
};

inline constexpr CellPictures kCheckPictures = {161, 162, 163, 164};
inline constexpr CellPictures kOptionPictures = {157, 158, 159, 160};

class CSpreadGrid {
public:
    explicit CSpreadGrid(CSpreadSheet& sheet) : sheet_(sheet) {}
    virtual ~CSpreadGrid() = default;
    CSpreadGrid(const CSpreadGrid&) = delete;
    CSpreadGrid& operator=(const CSpreadGrid&) = delete;

    // Header text of column; switches the header row on when it is off.
    void SetColumnHeader(int column, const std::string& text);
    void SetColumnWidth(int column, double width);
    // Lowers the highest row used to rows when it is above, then makes it the
    // sheet's row count: the row count never exceeds the rows set up.
    void SetRowCount(int rows);
    // "ＭＳ ゴシック" under code page 932, else "Arial"; 9 points.
    void SetSheetFont();
    void LockAllCells(bool on);

    // A value outside minimum..maximum is replaced by the minimum; the value
    // goes as "%02d".
    void SetIntegerCell(int column, int row, int minimum, int maximum, int value);
    // A value outside minimum..maximum is replaced by the minimum (not the
    // maximum); the value goes as "%lf".
    void SetRealCell(int column, int row, short decimals, double minimum, double maximum,
                     double value);
    // Check box with the square pictures; "1" when checked is 1, else "0".
    // False when the pictures cannot be created: the cell is then a check
    // box without pictures or value and the highest row used stays.
    bool SetCheckCell(int column, int row, int checked);
    // The same with the round pictures.
    bool SetOptionCell(int column, int row, int checked);
    // editable 0: static text, locked; other values: editable text, lock
    // flag as it was.
    void SetTextCell(int column, int row, const std::string& text, int editable);
    // Static, locked, no text.
    void SetBlankCell(int column, int row);

    // True when added; false when refused: a default column outside
    // first..last, a row-1 cell of the columns that is no check box, or a
    // group with the same first or last column already there. With a default
    // column every used row gets "1" there and "0" in the group's other
    // columns.
    bool AddOptionGroup(int firstColumn, int lastColumn, int defaultColumn);
    // What a click on a check box did to its option group.
    enum class OptionClick {
        Ignored,    // the cell is no check box or in no group
        Done,       // checked: the group's other boxes of the row are cleared
        Rechecked,  // unchecked the row's last box: it is checked again
    };
    // The reaction to a click on a check box (buttonDown 1: just checked).
    OptionClick OnOptionClicked(int column, int row, int buttonDown);
    // Page size 1 for the sheet's scroll bars, then a refresh.
    void ResetScrollBarPages();

    int ColumnCount() const { return sheet_.ColumnCount(); }
    int RowCount() const { return sheet_.RowCount(); }
    int ActiveColumn() const { return sheet_.ActiveColumn(); }
    int ActiveRow() const { return sheet_.ActiveRow(); }
    int CellTypeAt(int column, int row) const { return sheet_.CellTypeAt(column, row); }
    std::string CellValue(int column, int row) const { return sheet_.Value(column, row); }
    int HighestRowUsed() const { return highestRow_; }
    const std::vector<GridOptionGroup>& OptionGroups() const { return groups_; }
    CSpreadSheet& Sheet() { return sheet_; }

private:
    bool SetPictureCell(int column, int row, int checked, const CellPictures& pictures,
                        std::array<bool, 4>& loaded);
    void UseRow(int row);

    CSpreadSheet& sheet_;
    std::array<bool, 4> checkLoaded_{};
    std::array<bool, 4> optionLoaded_{};
    int highestRow_ = 0;
    std::vector<GridOptionGroup> groups_;
};

}  // namespace quillet::driver_ui
