// The item views of the dialogs (the PDL parameter list, the driver grids) as
// a keyboard operator works them:
// - Tab and Shift+Tab leave the view for the dialog's next or previous
//   control; the arrow keys, Home/End and Page Up/Down move inside it.
// - Numbers are entered in a plain line edit in the one form of
//   number_entry.h: no spin buttons, no stepping by keys or wheel. Enter
//   takes the entry and stays on the cell; Tab and Shift+Tab take it and
//   leave the view; Up and Down take it and move to the row above or below.
//   An entry the cell refuses leaves the cell as it was and the operator on
//   it, with a notice that says why.
// - Rows are as compact as the platform's list views: the font's height
//   (or the icons') and a few pixels.
#pragma once

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QTableView>
#include <optional>

#include "frame/number_entry.h"

namespace quillet::frame {

// Shows why typed was refused as a notice beside the control the operator is
// in (the message service's notice: logged, no answer awaited).
void ShowEntryRefusal(EntryCheck check, const QString& typed, const NumberRule& rule);

// The message service's notice on Qt: text in a tooltip-like popup under the
// text cursor of the focused control, until the next key or mouse press,
// the control's end, or some seconds (the popup's objectName is "notice").
void ShowNoticePopup(const QString& text);

// The editor of a number cell: remembers its cell.
class EntryEditor final : public QLineEdit {
    Q_OBJECT
public:
    EntryEditor(const QModelIndex& index, QWidget* parent) : QLineEdit(parent), index_(index) {}
    QModelIndex Index() const { return index_; }

private:
    QPersistentModelIndex index_;
};

// The delegate of views whose cells may hold numbers. Subclasses say which
// cells take numbers and by what rule; setData(EditRole) of such a cell
// receives the editor's text.
class EntryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The rule of a number cell; nullopt for any other cell (the default
    // editor of its data then).
    virtual std::optional<NumberRule> RuleOf(const QModelIndex& index) const = 0;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // Ends the edit in editor: takes its entry and closes it with hint, or,
    // when the cell refuses the entry, closes it leaving the cell as it was
    // and says why (false).
    bool Finish(EntryEditor* editor, EndEditHint hint);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

class EntryTableView : public QTableView {
    Q_OBJECT
public:
    explicit EntryTableView(QWidget* parent = nullptr);

    // Ends an open edit before the dialog uses the values: true when there
    // is none or its entry was taken; false (the operator is put back on the
    // cell, told why) when the cell refused it.
    bool FinishEditing();

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateRowHeight();
};

}  // namespace quillet::frame
