// The Qt grid control: cell model, editors and check-box pictures.
#include "driver_ui/qt_spread_sheet.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "frame/resources.h"
#include "frame/setting_values.h"

namespace quillet::driver_ui {

namespace {

// The rule of an integer or real cell (nullopt for other cells).
std::optional<frame::NumberRule> RuleOfCell(const SpreadSheetModel::Cell* cell) {
    if (cell == nullptr) return std::nullopt;
    if (cell->type == kCellInteger) {
        return frame::NumberRule{true, double(cell->integerMin), double(cell->integerMax), 0};
    }
    if (cell->type == kCellReal) {
        return frame::NumberRule{false, cell->realMin, cell->realMax, cell->decimals};
    }
    return std::nullopt;
}

// A user's entry for an integer or real cell: texts in the one form of
// number_entry.h, numeric variants as they are.
frame::NumberEntry CheckEntry(const QVariant& value, const frame::NumberRule& rule) {
    if (value.typeId() == QMetaType::QString) {
        return frame::CheckEnteredNumber(value.toString().toStdString(), rule);
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? frame::CheckNumber(number, rule) : frame::NumberEntry{};
}

class SpreadSheetDelegate final : public frame::EntryDelegate {
public:
    using frame::EntryDelegate::EntryDelegate;

    std::optional<frame::NumberRule> RuleOf(const QModelIndex& index) const override {
        const auto* model = static_cast<const SpreadSheetModel*>(index.model());
        return RuleOfCell(model->Find(index.column() + 1, index.row() + 1));
    }

protected:
    // Value cells are drawn as the grid shows them (an integer without its
    // leading zero, a real with the cell's decimals); the model keeps the
    // exact value text.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* model = static_cast<const SpreadSheetModel*>(index.model());
        const SpreadSheetModel::Cell* cell = model->Find(index.column() + 1, index.row() + 1);
        if (cell == nullptr || cell->value.empty()) return;
        if (cell->type == kCellInteger) {
            option->text = QString::number(frame::CLocaleAtoi(cell->value.c_str()));
        } else if (cell->type == kCellReal) {
            option->text =
                QString::number(frame::CLocaleAtof(cell->value.c_str()), 'f', cell->decimals);
        }
    }

public:
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QVariant picture = index.data(Qt::DecorationRole);
        if (index.data(kCellTypeRole).toInt() != kCellCheck || !picture.canConvert<QPixmap>()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        // Check cells show only their picture, centred.
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        background.icon = QIcon();
        background.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        background.features &= ~QStyleOptionViewItem::HasDecoration;
        QStyle* style =
            background.widget != nullptr ? background.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, background.widget);
        const QPixmap pixmap = picture.value<QPixmap>();
        const QRect target =
            QStyle::alignedRect(option.direction, Qt::AlignCenter, pixmap.size(), option.rect);
        painter->drawPixmap(target, pixmap);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        if (index.data(kCellTypeRole).toInt() != kCellCheck) {
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        }
        if (!(index.flags() & Qt::ItemIsUserCheckable)) return false;
        bool toggle = false;
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            toggle = mouse->button() == Qt::LeftButton &&
                     option.rect.contains(mouse->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            return true;  // the press and release already clicked
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            toggle = key == Qt::Key_Space || key == Qt::Key_Select;
        }
        if (!toggle) return false;
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
};

}  // namespace

// ---- model ----

SpreadSheetModel::SpreadSheetModel(int columns, int rows, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns), rows_(rows) {}

int SpreadSheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SpreadSheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

const SpreadSheetModel::Cell* SpreadSheetModel::Find(int column, int row) const {
    auto it = cells_.find({column, row});
    return it == cells_.end() ? nullptr : &it->second;
}

bool SpreadSheetModel::Locked(int column, int row) const {
    const Cell* cell = Find(column, row);
    return cell != nullptr && cell->hasLock ? cell->locked : sheetLocked_;
}

void SpreadSheetModel::SetLocked(int column, int row, bool locked) {
    if (column == -1 && row == -1) {
        sheetLocked_ = locked;
        for (auto& entry : cells_) entry.second.hasLock = false;
        if (rows_ > 0 && columns_ > 0) {
            emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
        }
        return;
    }
    Cell& cell = At(column, row);
    cell.hasLock = true;
    cell.locked = locked;
    CellChanged(column, row);
}

void SpreadSheetModel::CellChanged(int column, int row) {
    if (column >= 1 && column <= columns_ && row >= 1 && row <= rows_) {
        const QModelIndex changed = index(row - 1, column - 1);
        emit dataChanged(changed, changed);
    }
}

void SpreadSheetModel::SetRows(int rows) {
    if (rows < 0) rows = 0;
    if (rows > rows_) {
        beginInsertRows(QModelIndex(), rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows(QModelIndex(), rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
}

void SpreadSheetModel::SetCellValue(int column, int row, const std::string& value) {
    if (row == 0) {
        SetHeader(column, value);
        return;
    }
    At(column, row).value = value;
    CellChanged(column, row);
}

void SpreadSheetModel::SetHeader(int column, const std::string& text) {
    headers_[column] = text;
    if (column >= 1 && column <= columns_) {
        emit headerDataChanged(Qt::Horizontal, column - 1, column - 1);
    }
}

bool SpreadSheetModel::LoadPicture(int bitmapId) {
    if (pictures_.count(bitmapId) != 0) return true;
    const std::optional<frame::BitmapData> bitmap = frame::ResourceBitmap(bitmapId);
    if (!bitmap) return false;
    QPixmap pixmap;
    if (!pixmap.loadFromData(bitmap->data, static_cast<uint>(bitmap->size), "BMP")) return false;
    pictures_[bitmapId] = pixmap;
    return true;
}

QPixmap SpreadSheetModel::Picture(int bitmapId) const {
    auto it = pictures_.find(bitmapId);
    return it == pictures_.end() ? QPixmap() : it->second;
}

QVariant SpreadSheetModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return QVariant();
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    const Cell* cell = Find(column, row);
    const int type = cell != nullptr ? cell->type : kCellEdit;
    const std::string value = cell != nullptr ? cell->value : std::string();
    switch (role) {
        case Qt::DisplayRole:
            // The cell's text exactly as the grid holds it ("07", "1.500000").
            if (type == kCellCheck) return QVariant();
            return QString::fromStdString(value);
        case Qt::EditRole:
            if (type == kCellCheck) return QVariant();
            if (type == kCellInteger) return frame::CLocaleAtoi(value.c_str());
            if (type == kCellReal) return frame::CLocaleAtof(value.c_str());
            return QString::fromStdString(value);
        case Qt::CheckStateRole:
            if (type != kCellCheck) return QVariant();
            return value == "1" ? Qt::Checked : Qt::Unchecked;
        case Qt::DecorationRole: {
            if (type != kCellCheck || !cell->hasPictures) return QVariant();
            const int picture = (value == "1" ? 1 : 0) + (Locked(column, row) ? 2 : 0);
            const QPixmap pixmap = Picture(cell->pictures[static_cast<std::size_t>(picture)]);
            return pixmap.isNull() ? QVariant() : QVariant(pixmap);
        }
        case Qt::TextAlignmentRole:
            if (type == kCellCheck) return int(Qt::AlignCenter);
            if (type == kCellInteger || type == kCellReal) {
                return int(Qt::AlignRight | Qt::AlignVCenter);
            }
            return QVariant();
        case kCellTypeRole:
            return type;
        case kCellLockedRole:
            return Locked(column, row);
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
    if (Locked(column, row)) return false;
    Cell& cell = At(column, row);
    if (role == Qt::CheckStateRole) {
        if (cell.type != kCellCheck) return false;
        const bool checked = value.toInt() == Qt::Checked;
        cell.value.assign(1, checked ? '1' : '0');
        emit dataChanged(index, index, {Qt::CheckStateRole, Qt::DecorationRole, kCellValueRole});
        if (onButtonClicked) onButtonClicked(column, row, checked ? 1 : 0);
        return true;
    }
    if (role != Qt::EditRole) return false;
    switch (cell.type) {
        case kCellInteger:
        case kCellReal: {
            const frame::NumberEntry entry = CheckEntry(value, *RuleOfCell(&cell));
            if (entry.check != frame::EntryCheck::Taken) return false;
            cell.value = cell.type == kCellInteger
                             ? frame::FormatInteger(static_cast<int>(entry.value))
                             : frame::FormatReal(entry.value);
            break;
        }
        case kCellEdit:
            cell.value = value.toString().toStdString();
            break;
        default:
            return false;
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, kCellValueRole});
    return true;
}

Qt::ItemFlags SpreadSheetModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return Qt::NoItemFlags;
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (Locked(column, row)) return result;
    const Cell* cell = Find(column, row);
    const int type = cell != nullptr ? cell->type : kCellEdit;
    if (type == kCellCheck) result |= Qt::ItemIsUserCheckable;
    if (type == kCellEdit || type == kCellInteger || type == kCellReal) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

QVariant SpreadSheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_) {
        auto it = headers_.find(section + 1);
        return it == headers_.end() ? QString() : QString::fromStdString(it->second);
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= 0 && section < rows_) {
        return section + 1;
    }
    return QVariant();
}

// ---- view ----

CQtSpreadSheet::CQtSpreadSheet(int columns, int rows, QWidget* parent)
    : frame::EntryTableView(parent), model_(new SpreadSheetModel(columns, rows, this)) {
    setModel(model_);
    setItemDelegate(new SpreadSheetDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setVisible(false);
    verticalHeader()->setVisible(false);
}

int CQtSpreadSheet::ActiveColumn() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

int CQtSpreadSheet::ActiveRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

bool CQtSpreadSheet::ColumnHeadersShown() const { return !horizontalHeader()->isHidden(); }

void CQtSpreadSheet::SetColumnHeadersShown(bool shown) { horizontalHeader()->setVisible(shown); }

void CQtSpreadSheet::SetColumnWidth(int column, double width) {
    widths_[column] = width;
    ApplyWidths();
}

void CQtSpreadSheet::ApplyWidths() {
    // Column widths count in widths of the digit 0 of the sheet font (a CJK
    // font's average character is a full-width one).
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (const auto& [column, width] : widths_) {
        if (column >= 1 && column <= ColumnCount()) {
            setColumnWidth(column - 1, static_cast<int>(width * charWidth + 8));
        }
    }
    // Never narrower than its columns (with the vertical scroll bar the
    // grid always shows): no column vanishes.
    int total = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < ColumnCount(); ++column) total += columnWidth(column);
    setMinimumWidth(total);
}

void CQtSpreadSheet::SetFont(const std::string& name, float points) {
    QFont sheetFont(QString::fromStdString(name));
    sheetFont.setPointSizeF(points);
    setFont(sheetFont);
    ApplyWidths();
}

int CQtSpreadSheet::CellTypeAt(int column, int row) const {
    const SpreadSheetModel::Cell* cell = model_->Find(column, row);
    return cell != nullptr ? cell->type : kCellEdit;
}

void CQtSpreadSheet::SetCellType(int column, int row, int type) {
    model_->At(column, row).type = type;
    model_->CellChanged(column, row);
}

void CQtSpreadSheet::SetLocked(int column, int row, bool locked) {
    model_->SetLocked(column, row, locked);
}

void CQtSpreadSheet::SetIntegerRange(int column, int row, int minimum, int maximum) {
    SpreadSheetModel::Cell& cell = model_->At(column, row);
    cell.integerMin = minimum;
    cell.integerMax = maximum;
}

void CQtSpreadSheet::SetRealRange(int column, int row, short decimals, double minimum,
                                  double maximum) {
    SpreadSheetModel::Cell& cell = model_->At(column, row);
    cell.decimals = decimals;
    cell.realMin = minimum;
    cell.realMax = maximum;
}

std::string CQtSpreadSheet::Value(int column, int row) const {
    if (row == 0) return Text(column, row);
    const SpreadSheetModel::Cell* cell = model_->Find(column, row);
    return cell != nullptr ? cell->value : std::string();
}

void CQtSpreadSheet::SetValue(int column, int row, const std::string& value) {
    model_->SetCellValue(column, row, value);
}

std::string CQtSpreadSheet::Text(int column, int row) const {
    if (row == 0) {
        return model_->headerData(column - 1, Qt::Horizontal, Qt::DisplayRole)
            .toString()
            .toStdString();
    }
    return Value(column, row);
}

void CQtSpreadSheet::SetText(int column, int row, const std::string& text) {
    model_->SetCellValue(column, row, text);
}

void CQtSpreadSheet::SetCheckPictures(int column, int row, int /*style*/, bool /*centred*/,
                                      const CellPictures& pictures) {
    SpreadSheetModel::Cell& cell = model_->At(column, row);
    cell.hasPictures = true;
    cell.pictures = pictures;
    model_->CellChanged(column, row);
}

void CQtSpreadSheet::SetScrollBars(bool onlyWhenNeeded, int which) {
    const Qt::ScrollBarPolicy shown =
        onlyWhenNeeded ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    setHorizontalScrollBarPolicy((which & 1) != 0 ? shown : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy((which & 2) != 0 ? shown : Qt::ScrollBarAlwaysOff);
}

void CQtSpreadSheet::SetScrollBarPagesToOne() {
    horizontalScrollBar()->setPageStep(1);
    verticalScrollBar()->setPageStep(1);
}

void CQtSpreadSheet::keyPressEvent(QKeyEvent* event) {
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
