// The grid control of the driver dialogs on Qt: a table view worked from the
// keyboard (frame::EntryTableView: Tab leaves it, numbers typed in the one
// form and checked against each cell's range and decimals, compact rows)
// over the grid's model (spread_sheet_model.h, where the automation contract
// is) and delegate; Space switches the current check box, Enter moves down.
// The header row shows once the grid has headers; columns are as wide as the
// grid says, in widths of the digit 0 of the sheet font ("ＭＳ ゴシック" under
// code page 932, else "Arial", 9 points); the vertical scroll bar is always
// there, the horizontal one never.
#pragma once

#include <memory>

#include "driver_ui/spread_grid.h"
#include "frame/entry_view_qt.h"

namespace quillet::driver_ui {

class SpreadSheetModel;

class SpreadSheetView final : public frame::EntryTableView {
    Q_OBJECT
public:
    SpreadSheetView(std::unique_ptr<CSpreadGrid> grid, QWidget* parent = nullptr);

    SpreadSheetModel* Model() const { return model_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Header row and column widths as the grid has them.
    void ApplyColumns();

    SpreadSheetModel* model_;
};

}  // namespace quillet::driver_ui
