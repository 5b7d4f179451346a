// The grid of the driver settings dialogs, free of Qt: typed cells (text,
// integer, real, static, check box) addressed by column and row from 1,
// exclusive option groups of check boxes, the column headers and widths.
// The Qt model (spread_sheet_model.h) shows it and passes the user's entries
// and clicks in; a GridObserver hears of every change.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frame/number_entry.h"

namespace quillet::driver_ui {

enum class CellKind {
    Text,     // free text, editable
    Real,     // real number with a range and decimals
    Integer,  // integer with a range
    Static,   // text shown, not editable
    Check,    // check box, value "1" or "0"
};

// The pictures of a check cell: a square check box, or the round button of
// an option group.
enum class CheckLook { Square, Round };

// The resource ids of a look's pictures: not checked, checked, and the two
// greyed, for a locked cell.
std::array<int, 4> CellPictureIds(CheckLook look);

struct GridCell {
    CellKind kind = CellKind::Text;
    // The value text as stored: "07" for an integer 7, "1.500000" for a real
    // 1.5, "1" or "0" for a check box.
    std::string value;
    std::optional<bool> locked;  // nullopt: the lock of the whole sheet
    int integerMin = 0, integerMax = 0;
    double realMin = 0.0, realMax = 0.0;
    short decimals = 0;
    std::optional<CheckLook> look;  // a check cell's pictures, once they could be had
};

// Columns first to last of one row form a group of mutually exclusive check
// boxes; default column 0 for none.
struct GridOptionGroup {
    int firstColumn;
    int lastColumn;
    int defaultColumn;
};

// What the view of a grid is told. Row counts change between a
// RowCountChanging and a RowCountChanged.
class GridObserver {
public:
    virtual ~GridObserver() = default;
    virtual void CellsChanged(int firstColumn, int firstRow, int lastColumn, int lastRow) = 0;
    virtual void RowCountChanging(int from, int to) = 0;
    virtual void RowCountChanged() = 0;
    virtual void HeaderChanged(int column) = 0;  // its text or width
};

class CSpreadGrid {
public:
    // rows: the rows the grid has before SetRowCount.
    CSpreadGrid(int columns, int rows) : columns_(columns), rows_(rows) {}
    virtual ~CSpreadGrid() = default;
    CSpreadGrid(const CSpreadGrid&) = delete;
    CSpreadGrid& operator=(const CSpreadGrid&) = delete;

    // At most one observer; nullptr for none.
    void SetObserver(GridObserver* observer) { observer_ = observer; }

    // Header text of column; switches the header row on when it is off.
    void SetColumnHeader(int column, const std::string& text);
    // Width of column in widths of the digit 0 of the sheet font.
    void SetColumnWidth(int column, double width);
    // Lowers the highest row used to rows when it is above, then makes it the
    // row count: the row count never exceeds the rows set up.
    void SetRowCount(int rows);
    // Every cell locked or unlocked; the cells' own locks are dropped.
    void LockAllCells(bool on);

    // A value outside minimum..maximum is replaced by the minimum; the value
    // goes as "%02d".
    void SetIntegerCell(int column, int row, int minimum, int maximum, int value);
    // A value outside minimum..maximum (or NaN) is replaced by the minimum
    // (not the maximum); the value goes as "%lf".
    void SetRealCell(int column, int row, short decimals, double minimum, double maximum,
                     double value);
    // Check box with the square pictures, "1" or "0". False when the
    // pictures cannot be had: the cell is then a check box without pictures
    // or value and the highest row used stays.
    bool SetCheckCell(int column, int row, bool checked);
    // The same with the round pictures.
    bool SetOptionCell(int column, int row, bool checked);
    // Not editable: static text, locked; editable: text, lock as it was.
    void SetTextCell(int column, int row, const std::string& text, bool editable);
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
    // The reaction to a click that just checked (or unchecked) a check box.
    OptionClick OnOptionClicked(int column, int row, bool checked);

    // A user's click on a check cell: its value, then its option group.
    // False, nothing changed, for a locked cell or one that is no check box.
    bool Click(int column, int row, bool checked);
    // A user's entry: text for a text cell; for an integer or real cell a
    // number in the one form of number_entry.h, checked against the cell's
    // range and rounded to its decimals. False, nothing changed, when the
    // cell is locked, static, a check box, or refuses the number.
    bool EnterText(int column, int row, const std::string& text);
    // The same with a number for an integer or real cell.
    bool EnterNumber(int column, int row, double number);

    int ColumnCount() const { return columns_; }
    int RowCount() const { return rows_; }
    // The cell, or nullptr for one never set (an unlocked empty text cell).
    const GridCell* Find(int column, int row) const;
    CellKind KindAt(int column, int row) const;
    std::string CellValue(int column, int row) const;
    bool Locked(int column, int row) const;
    // The rule of an integer or real cell; nullopt for any other.
    std::optional<frame::NumberRule> RuleOf(int column, int row) const;
    bool HeadersShown() const { return headersShown_; }
    std::string ColumnHeader(int column) const;
    // 0 when not set.
    double ColumnWidth(int column) const;
    int HighestRowUsed() const { return highestRow_; }
    const std::vector<GridOptionGroup>& OptionGroups() const { return groups_; }

private:
    GridCell& At(int column, int row) { return cells_[{column, row}]; }
    void SetValue(int column, int row, std::string value);
    bool SetPictureCell(int column, int row, bool checked, CheckLook look);
    bool Take(int column, int row, const frame::NumberEntry& entry);
    void Changed(int column, int row);
    void UseRow(int row);

    int columns_;
    int rows_;
    bool sheetLocked_ = false;
    bool headersShown_ = false;
    int highestRow_ = 0;
    std::map<std::pair<int, int>, GridCell> cells_;
    std::map<int, std::string> headers_;
    std::map<int, double> widths_;
    std::vector<GridOptionGroup> groups_;
    GridObserver* observer_ = nullptr;
};

}  // namespace quillet::driver_ui
