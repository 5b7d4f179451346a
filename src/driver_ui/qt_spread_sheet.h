// The grid control of the driver dialogs on Qt: a table view worked from the
// keyboard (frame::EntryTableView: Tab leaves it, numbers typed in the one
// form and checked against each cell's range and decimals, compact rows)
// over a table model that holds the cells, with check boxes drawn with the
// module's check and option pictures; Space switches the current check box.
//
// Automation contract (model row r-1, column c-1 is grid cell (c, r)):
// - Qt::DisplayRole: the cell's text as the grid holds it: text cells their
//   text, value cells their value text ("07" for an integer 7, "1.500000"
//   for a real 1.5; a user's entry as "%d" or "%lf"); check cells have none.
// - Qt::EditRole: read: int / double / text; write: a user's entry. Integer
//   and real entries (numbers, or texts in the one form of number_entry.h:
//   "1,5" and "1e3" are no numbers) that are no number of the cell's kind
//   or lie outside its range are refused (setData returns false), as the
//   grid lets the user enter only values of its form; real entries are
//   rounded to the cell's decimals first. Locked and static cells refuse
//   entries.
// - Qt::CheckStateRole: check cells; setData is a user's click (the button
//   clicked event, option groups included). Locked check cells refuse.
// - Qt::UserRole: the cell type code (1, 2, 3, 5, 10); Qt::UserRole + 1:
//   locked; Qt::UserRole + 2: the cell's value text as stored ("07").
// - A locked cell lacks Qt::ItemIsEditable and Qt::ItemIsUserCheckable.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "driver_ui/spread_sheet.h"
#include "frame/entry_view_qt.h"

namespace quillet::driver_ui {

inline constexpr int kCellTypeRole = Qt::UserRole;
inline constexpr int kCellLockedRole = Qt::UserRole + 1;
inline constexpr int kCellValueRole = Qt::UserRole + 2;

class SpreadSheetModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Cell {
        int type = kCellEdit;
        std::string value;
        bool hasLock = false;
        bool locked = false;
        int integerMin = 0, integerMax = 0;
        double realMin = 0.0, realMax = 0.0;
        short decimals = 0;
        bool hasPictures = false;
        CellPictures pictures{0, 0, 0, 0};
    };

    SpreadSheetModel(int columns, int rows, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Sheet access by grid address (1-based; row 0 the headers).
    const Cell* Find(int column, int row) const;
    Cell& At(int column, int row) { return cells_[{column, row}]; }
    bool Locked(int column, int row) const;
    void SetLocked(int column, int row, bool locked);
    void SetRows(int rows);
    void SetCellValue(int column, int row, const std::string& value);
    void SetHeader(int column, const std::string& text);
    bool LoadPicture(int bitmapId);
    QPixmap Picture(int bitmapId) const;
    void CellChanged(int column, int row);

    // Called after a user's click on a check box: column, row, button down.
    std::function<void(int, int, int)> onButtonClicked;

private:
    int columns_;
    int rows_;
    bool sheetLocked_ = false;
    std::map<std::pair<int, int>, Cell> cells_;
    std::map<int, std::string> headers_;
    std::map<int, QPixmap> pictures_;
};

class CQtSpreadSheet final : public frame::EntryTableView, public CSpreadSheet {
    Q_OBJECT
public:
    CQtSpreadSheet(int columns, int rows, QWidget* parent = nullptr);

    SpreadSheetModel* Model() const { return model_; }

    int ColumnCount() const override { return model_->columnCount(); }
    int RowCount() const override { return model_->rowCount(); }
    void SetRowCount(int rows) override { model_->SetRows(rows); }
    int ActiveColumn() const override;
    int ActiveRow() const override;
    bool ColumnHeadersShown() const override;
    void SetColumnHeadersShown(bool shown) override;
    void SetColumnWidth(int column, double width) override;
    void SetFont(const std::string& name, float points) override;
    int CellTypeAt(int column, int row) const override;
    void SetCellType(int column, int row, int type) override;
    bool Locked(int column, int row) const override { return model_->Locked(column, row); }
    void SetLocked(int column, int row, bool locked) override;
    void SetIntegerRange(int column, int row, int minimum, int maximum) override;
    void SetRealRange(int column, int row, short decimals, double minimum, double maximum) override;
    std::string Value(int column, int row) const override;
    void SetValue(int column, int row, const std::string& value) override;
    std::string Text(int column, int row) const override;
    void SetText(int column, int row, const std::string& text) override;
    bool LoadPicture(int bitmapId) override { return model_->LoadPicture(bitmapId); }
    void SetCheckPictures(int column, int row, int style, bool centred,
                          const CellPictures& pictures) override;
    void SetScrollBars(bool onlyWhenNeeded, int which) override;
    void SetScrollBarPagesToOne() override;
    void SetRedraw(bool on) override { setUpdatesEnabled(on); }
    void Refresh() override { viewport()->update(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyWidths();

    SpreadSheetModel* model_;
    std::map<int, double> widths_;
};

}  // namespace quillet::driver_ui
