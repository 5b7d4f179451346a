// The grid's view.
#include "driver_ui/spread_sheet_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include "driver_ui/spread_sheet_delegate.h"
#include "driver_ui/spread_sheet_model.h"
#include "platform/code_page.h"

namespace quillet::driver_ui {

SpreadSheetView::SpreadSheetView(std::unique_ptr<CSpreadGrid> grid, QWidget* parent)
    : frame::EntryTableView(parent), model_(new SpreadSheetModel(std::move(grid), this)) {
    setModel(model_);
    setItemDelegate(new SpreadSheetDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setVisible(false);
    verticalHeader()->setVisible(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont sheetFont(platform::ActiveCodePageIs932() ? QStringLiteral("ＭＳ ゴシック")
                                                    : QStringLiteral("Arial"));
    sheetFont.setPointSizeF(9.0);
    setFont(sheetFont);
    connect(model_, &QAbstractItemModel::headerDataChanged, this, [this] { ApplyColumns(); });
}

void SpreadSheetView::ApplyColumns() {
    const CSpreadGrid& grid = model_->Grid();
    horizontalHeader()->setVisible(grid.HeadersShown());
    // Column widths count in widths of the digit 0 of the sheet font (a CJK
    // font's average character is a full-width one).
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int column = 1; column <= grid.ColumnCount(); ++column) {
        const double width = grid.ColumnWidth(column);
        if (width > 0) setColumnWidth(column - 1, static_cast<int>(width * charWidth + 8));
    }
    // Never narrower than its columns (with the vertical scroll bar the
    // grid always shows): no column vanishes.
    int total = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < grid.ColumnCount(); ++column) total += columnWidth(column);
    setMinimumWidth(total);
}

void SpreadSheetView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter stays in the grid, as in a spreadsheet: on a cell it moves to
        // the next row (in an open editor the delegate takes it). It never
        // reaches the dialog's OK.
        event->accept();
        const QModelIndex current = currentIndex();
        if (current.isValid() && current.row() + 1 < model_->rowCount()) {
            setCurrentIndex(current.sibling(current.row() + 1, current.column()));
        }
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace quillet::driver_ui
