// The grid's delegate: number cells are edited in the one form and drawn as
// the grid shows them, check cells are drawn with their pictures and switched
// by a click or Space.
#pragma once

#include "frame/entry_view_qt.h"

namespace quillet::driver_ui {

class SpreadSheetDelegate final : public frame::EntryDelegate {
    Q_OBJECT
public:
    using frame::EntryDelegate::EntryDelegate;

    std::optional<frame::NumberRule> RuleOf(const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace quillet::driver_ui
