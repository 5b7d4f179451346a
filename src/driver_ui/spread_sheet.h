// The sheet under the grid model: the few properties and methods of a
// spreadsheet control that CSpreadGrid needs, addressed by cell. Columns and
// rows count from 1; row 0 is the column-header row; (-1, -1) addresses the
// whole sheet. An in-memory sheet serves the tests, a Qt item view the
// dialogs; the grid model and the dialogs' logic only see this interface.
#pragma once

#include <array>
#include <string>

namespace quillet::driver_ui {

// Cell type codes, the control's own numbers.
enum CellType : int {
    kCellEdit = 1,     // free text, editable
    kCellReal = 2,     // real number with a range and decimals
    kCellInteger = 3,  // integer with a range
    kCellStatic = 5,   // text shown, not editable
    kCellCheck = 10,   // check box, value "1" or "0"
};

// The four pictures of a check-box cell, by bitmap resource id: not checked,
// checked, not checked grey, checked grey.
using CellPictures = std::array<int, 4>;

class CSpreadSheet {
public:
    virtual ~CSpreadSheet() = default;

    virtual int ColumnCount() const = 0;
    virtual int RowCount() const = 0;
    virtual void SetRowCount(int rows) = 0;

    // The cell the user is on (0 when none).
    virtual int ActiveColumn() const = 0;
    virtual int ActiveRow() const = 0;

    virtual bool ColumnHeadersShown() const = 0;
    virtual void SetColumnHeadersShown(bool shown) = 0;
    virtual void SetColumnWidth(int column, double width) = 0;
    virtual void SetFont(const std::string& name, float points) = 0;

    virtual int CellTypeAt(int column, int row) const = 0;
    virtual void SetCellType(int column, int row, int type) = 0;
    virtual bool Locked(int column, int row) const = 0;
    // (-1, -1) sets the flag of every cell.
    virtual void SetLocked(int column, int row, bool locked) = 0;

    virtual void SetIntegerRange(int column, int row, int minimum, int maximum) = 0;
    virtual void SetRealRange(int column, int row, short decimals, double minimum,
                              double maximum) = 0;

    // The value text of a cell ("1"/"0" for check boxes).
    virtual std::string Value(int column, int row) const = 0;
    virtual void SetValue(int column, int row, const std::string& value) = 0;
    // The display text; row 0 holds the column headers. For every cell kind
    // but check boxes the display text and the value are one text.
    virtual std::string Text(int column, int row) const = 0;
    virtual void SetText(int column, int row, const std::string& text) = 0;

    // Makes the picture of a bitmap resource ready for use by cells. False
    // when it cannot be created (missing or unreadable resource).
    virtual bool LoadPicture(int bitmapId) = 0;
    // Check-box style, centring and the four pictures of a check-box cell.
    virtual void SetCheckPictures(int column, int row, int style, bool centred,
                                  const CellPictures& pictures) = 0;

    // Scroll bars: shown only when needed or always; 2 = vertical only.
    virtual void SetScrollBars(bool onlyWhenNeeded, int which) = 0;
    // Page size 1 for every scroll bar the sheet owns, without redrawing.
    virtual void SetScrollBarPagesToOne() = 0;
    virtual void SetRedraw(bool on) = 0;
    virtual void Refresh() = 0;
};

}  // namespace quillet::driver_ui
