// The Qt model of a driver settings grid: it owns the CSpreadGrid, shows its
// cells and passes the user's entries and clicks to it.
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
// - Qt::CheckStateRole: check cells; setData is a user's click (option
//   groups included). Locked check cells refuse.
// - Qt::UserRole: the cell type code (1 text, 2 real, 3 integer, 5 static,
//   10 check box); Qt::UserRole + 1: locked; Qt::UserRole + 2: the cell's
//   value text as stored ("07").
// - A locked cell lacks Qt::ItemIsEditable and Qt::ItemIsUserCheckable.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <map>
#include <memory>

#include "driver_ui/spread_grid.h"

namespace quillet::driver_ui {

inline constexpr int kCellTypeRole = Qt::UserRole;
inline constexpr int kCellLockedRole = Qt::UserRole + 1;
inline constexpr int kCellValueRole = Qt::UserRole + 2;

class SpreadSheetModel final : public QAbstractTableModel, private GridObserver {
    Q_OBJECT
public:
    SpreadSheetModel(std::unique_ptr<CSpreadGrid> grid, QObject* parent);
    ~SpreadSheetModel() override;

    CSpreadGrid& Grid() { return *grid_; }
    const CSpreadGrid& Grid() const { return *grid_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void CellsChanged(int firstColumn, int firstRow, int lastColumn, int lastRow) override;
    void RowCountChanging(int from, int to) override;
    void RowCountChanged() override;
    void HeaderChanged(int column) override;
    // The picture of a resource id (null when it cannot be had).
    QPixmap Picture(int id) const;

    std::unique_ptr<CSpreadGrid> grid_;
    bool rowsGrowing_ = false;
    mutable std::map<int, QPixmap> pictures_;
};

}  // namespace quillet::driver_ui
