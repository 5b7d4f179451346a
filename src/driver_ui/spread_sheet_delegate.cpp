// The grid's delegate.
#include "driver_ui/spread_sheet_delegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "driver_ui/spread_sheet_model.h"
#include "frame/setting_values.h"

namespace quillet::driver_ui {

namespace {

const CSpreadGrid& GridOf(const QModelIndex& index) {
    return static_cast<const SpreadSheetModel*>(index.model())->Grid();
}

bool IsCheckCell(const QModelIndex& index) {
    return GridOf(index).KindAt(index.column() + 1, index.row() + 1) == CellKind::Check;
}

}  // namespace

std::optional<frame::NumberRule> SpreadSheetDelegate::RuleOf(const QModelIndex& index) const {
    return GridOf(index).RuleOf(index.column() + 1, index.row() + 1);
}

// Value cells are drawn as the grid shows them (an integer without its
// leading zero, a real with the cell's decimals); the model keeps the exact
// value text.
void SpreadSheetDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const GridCell* cell = GridOf(index).Find(index.column() + 1, index.row() + 1);
    if (cell == nullptr || cell->value.empty()) return;
    if (cell->kind == CellKind::Integer) {
        option->text = QString::number(frame::CLocaleAtoi(cell->value.c_str()));
    } else if (cell->kind == CellKind::Real) {
        option->text =
            QString::number(frame::CLocaleAtof(cell->value.c_str()), 'f', cell->decimals);
    }
}

void SpreadSheetDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QVariant picture = index.data(Qt::DecorationRole);
    if (!IsCheckCell(index) || !picture.canConvert<QPixmap>()) {
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

bool SpreadSheetDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                      const QStyleOptionViewItem& option,
                                      const QModelIndex& index) {
    if (!IsCheckCell(index)) return QStyledItemDelegate::editorEvent(event, model, option, index);
    if (!(index.flags() & Qt::ItemIsUserCheckable)) return false;
    bool toggle = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        toggle =
            mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint());
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

}  // namespace quillet::driver_ui
