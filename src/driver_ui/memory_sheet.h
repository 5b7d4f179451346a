// A sheet held in memory: the grid model's and the dialogs' logic run on it
// in tests, without a display. It also records the appearance settings so
// tests can check them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "driver_ui/spread_sheet.h"

namespace quillet::driver_ui {

class CMemorySheet final : public CSpreadSheet {
public:
    // A sheet of columns columns and rows rows (the design-time size).
    CMemorySheet(int columns, int rows);

    struct Cell {
        int type = kCellEdit;
        std::string value;
        bool hasLock = false;  // false: the sheet's lock flag applies
        bool locked = false;
        int integerMin = 0, integerMax = 0;
        double realMin = 0.0, realMax = 0.0;
        short decimals = 0;
        int checkStyle = 0;
        bool centred = false;
        CellPictures pictures{0, 0, 0, 0};
    };

    int ColumnCount() const override { return columns_; }
    int RowCount() const override { return rows_; }
    void SetRowCount(int rows) override { rows_ = rows; }
    int ActiveColumn() const override { return activeColumn_; }
    int ActiveRow() const override { return activeRow_; }
    bool ColumnHeadersShown() const override { return headersShown_; }
    void SetColumnHeadersShown(bool shown) override { headersShown_ = shown; }
    void SetColumnWidth(int column, double width) override { widths_[column] = width; }
    void SetFont(const std::string& name, float points) override;
    int CellTypeAt(int column, int row) const override;
    void SetCellType(int column, int row, int type) override;
    bool Locked(int column, int row) const override;
    void SetLocked(int column, int row, bool locked) override;
    void SetIntegerRange(int column, int row, int minimum, int maximum) override;
    void SetRealRange(int column, int row, short decimals, double minimum, double maximum) override;
    std::string Value(int column, int row) const override;
    void SetValue(int column, int row, const std::string& value) override;
    std::string Text(int column, int row) const override { return Value(column, row); }
    void SetText(int column, int row, const std::string& text) override {
        SetValue(column, row, text);
    }
    bool LoadPicture(int bitmapId) override;
    void SetCheckPictures(int column, int row, int style, bool centred,
                          const CellPictures& pictures) override;
    void SetScrollBars(bool onlyWhenNeeded, int which) override;
    void SetScrollBarPagesToOne() override { ++pageResets_; }
    void SetRedraw(bool on) override { redraw_ = on; }
    void Refresh() override { ++refreshes_; }

    // Test controls and observations.
    void SetActiveCell(int column, int row) {
        activeColumn_ = column;
        activeRow_ = row;
    }
    void FailPicture(int bitmapId) { failingPictures_.insert(bitmapId); }
    const Cell* Find(int column, int row) const;
    double Width(int column) const;
    const std::string& FontName() const { return fontName_; }
    float FontPoints() const { return fontPoints_; }
    bool ScrollBarsOnlyWhenNeeded() const { return scrollOnlyWhenNeeded_; }
    int ScrollBarsShown() const { return scrollBars_; }
    int PageResets() const { return pageResets_; }
    int Refreshes() const { return refreshes_; }
    bool Redraw() const { return redraw_; }
    int PicturesLoaded() const { return picturesLoaded_; }

private:
    Cell& At(int column, int row) { return cells_[{column, row}]; }

    int columns_;
    int rows_;
    int activeColumn_ = 0;
    int activeRow_ = 0;
    bool headersShown_ = false;
    bool sheetLocked_ = false;
    std::map<std::pair<int, int>, Cell> cells_;
    std::map<int, double> widths_;
    std::string fontName_;
    float fontPoints_ = 0.0f;
    bool scrollOnlyWhenNeeded_ = true;
    int scrollBars_ = 3;
    int pageResets_ = 0;
    int refreshes_ = 0;
    bool redraw_ = false;
    int picturesLoaded_ = 0;
    std::set<int> failingPictures_;
};

}  // namespace quillet::driver_ui
