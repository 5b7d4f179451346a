// The grid's Qt model: roles, flags and the grid's changes as Qt's signals.
#include "driver_ui/spread_sheet_model.h"

#include <algorithm>

#include "frame/resources.h"
#include "frame/setting_values.h"

namespace quillet::driver_ui {

namespace {

// The type code of the automation contract.
int TypeCode(CellKind kind) {
    switch (kind) {
        case CellKind::Text:
            return 1;
        case CellKind::Real:
            return 2;
        case CellKind::Integer:
            return 3;
        case CellKind::Static:
            return 5;
        case CellKind::Check:
            break;
    }
    return 10;
}

bool IsNumber(CellKind kind) { return kind == CellKind::Integer || kind == CellKind::Real; }

}  // namespace

SpreadSheetModel::SpreadSheetModel(std::unique_ptr<CSpreadGrid> grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(std::move(grid)) {
    grid_->SetObserver(this);
}

SpreadSheetModel::~SpreadSheetModel() { grid_->SetObserver(nullptr); }

int SpreadSheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_->RowCount();
}

int SpreadSheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_->ColumnCount();
}

QPixmap SpreadSheetModel::Picture(int id) const {
    const auto found = pictures_.find(id);
    if (found != pictures_.end()) return found->second;
    QPixmap pixmap;
    if (const std::optional<frame::BitmapData> bitmap = frame::ResourceBitmap(id)) {
        pixmap.loadFromData(bitmap->data, static_cast<uint>(bitmap->size), "BMP");
    }
    pictures_[id] = pixmap;
    return pixmap;
}

QVariant SpreadSheetModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return QVariant();
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    const GridCell* cell = grid_->Find(column, row);
    const CellKind kind = cell != nullptr ? cell->kind : CellKind::Text;
    const std::string value = cell != nullptr ? cell->value : std::string();
    switch (role) {
        case Qt::DisplayRole:
            // The cell's text exactly as the grid holds it ("07", "1.500000").
            if (kind == CellKind::Check) return QVariant();
            return QString::fromStdString(value);
        case Qt::EditRole:
            if (kind == CellKind::Check) return QVariant();
            if (kind == CellKind::Integer) return frame::CLocaleAtoi(value.c_str());
            if (kind == CellKind::Real) return frame::CLocaleAtof(value.c_str());
            return QString::fromStdString(value);
        case Qt::CheckStateRole:
            if (kind != CellKind::Check) return QVariant();
            return value == "1" ? Qt::Checked : Qt::Unchecked;
        case Qt::DecorationRole: {
            if (kind != CellKind::Check || !cell->look) return QVariant();
            const int picture = (value == "1" ? 1 : 0) + (grid_->Locked(column, row) ? 2 : 0);
            const QPixmap pixmap =
                Picture(CellPictureIds(*cell->look)[static_cast<std::size_t>(picture)]);
            return pixmap.isNull() ? QVariant() : QVariant(pixmap);
        }
        case Qt::TextAlignmentRole:
            if (kind == CellKind::Check) return int(Qt::AlignCenter);
            if (IsNumber(kind)) return int(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant();
        case kCellTypeRole:
            return TypeCode(kind);
        case kCellLockedRole:
            return grid_->Locked(column, row);
        case kCellValueRole:
            return QString::fromStdString(value);
        default:
            return QVariant();
    }
}

bool SpreadSheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    if (role == Qt::CheckStateRole) {
        return grid_->Click(column, row, value.toInt() == Qt::Checked);
    }
    if (role != Qt::EditRole) return false;
    // A number cell takes texts in the one form and numeric variants as
    // they are.
    if (IsNumber(grid_->KindAt(column, row)) && value.typeId() != QMetaType::QString) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok && grid_->EnterNumber(column, row, number);
    }
    return grid_->EnterText(column, row, value.toString().toStdString());
}

Qt::ItemFlags SpreadSheetModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return Qt::NoItemFlags;
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (grid_->Locked(column, row)) return result;
    const CellKind kind = grid_->KindAt(column, row);
    if (kind == CellKind::Check) result |= Qt::ItemIsUserCheckable;
    if (kind == CellKind::Text || IsNumber(kind)) result |= Qt::ItemIsEditable;
    return result;
}

QVariant SpreadSheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return QVariant();
    if (orientation == Qt::Horizontal && section < columnCount()) {
        return QString::fromStdString(grid_->ColumnHeader(section + 1));
    }
    if (orientation == Qt::Vertical && section < rowCount()) return section + 1;
    return QVariant();
}

void SpreadSheetModel::CellsChanged(int firstColumn, int firstRow, int lastColumn, int lastRow) {
    firstColumn = std::max(firstColumn, 1);
    firstRow = std::max(firstRow, 1);
    lastColumn = std::min(lastColumn, columnCount());
    lastRow = std::min(lastRow, rowCount());
    if (firstColumn > lastColumn || firstRow > lastRow) return;
    emit dataChanged(index(firstRow - 1, firstColumn - 1), index(lastRow - 1, lastColumn - 1));
}

void SpreadSheetModel::RowCountChanging(int from, int to) {
    rowsGrowing_ = to > from;
    if (rowsGrowing_) {
        beginInsertRows(QModelIndex(), from, to - 1);
    } else {
        beginRemoveRows(QModelIndex(), to, from - 1);
    }
}

void SpreadSheetModel::RowCountChanged() {
    if (rowsGrowing_) {
        endInsertRows();
    } else {
        endRemoveRows();
    }
}

void SpreadSheetModel::HeaderChanged(int column) {
    if (column >= 1 && column <= columnCount()) {
        emit headerDataChanged(Qt::Horizontal, column - 1, column - 1);
    }
}

}  // namespace quillet::driver_ui
