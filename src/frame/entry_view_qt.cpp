// Item views worked from the keyboard, and number entry in them. See
// entry_view_qt.h.
#include "frame/entry_view_qt.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <string>

#include "frame/resources.h"
#include "platform/messages.h"

namespace quillet::frame {

namespace {

QString Resource(std::string_view key) {
    const std::string_view text = ResourceText(key);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Room around a row's text (or icon), as the platform's list views leave it.
constexpr int kRowPadding = 2;

constexpr int kNoticeMilliseconds = 10000;

// One notice at a time, gone at the next key or mouse press (a tooltip would
// go at the release of the key that raised it).
class NoticePopup final : public QLabel {
public:
    explicit NoticePopup(const QString& text) : QLabel(text, nullptr, Qt::ToolTip) {
        setObjectName(QStringLiteral("notice"));
        setAttribute(Qt::WA_DeleteOnClose);
        setPalette(QToolTip::palette());
        setFont(QToolTip::font());
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setAutoFillBackground(true);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setMargin(4);
        setWordWrap(true);
        setTextFormat(Qt::PlainText);
        if (const QScreen* shown = screen()) {
            setMaximumWidth(shown->availableGeometry().width() / 2);
        }
        QTimer::singleShot(kNoticeMilliseconds, this, &QWidget::close);
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress) {
            close();
        }
        return false;
    }
};

QPointer<NoticePopup> g_notice;  // the notice shown, on the GUI thread only

}  // namespace

void ShowNoticePopup(const QString& text) {
    if (g_notice != nullptr) g_notice->close();
    g_notice = new NoticePopup(text);
    // Under the focused control's text cursor (or the control); at the mouse
    // when no control has the focus.
    QPoint at = QCursor::pos();
    if (QWidget* control = QApplication::focusWidget()) {
        QRect cursor = control->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        if (!cursor.isValid() || !control->rect().intersects(cursor)) cursor = control->rect();
        at = control->mapToGlobal(cursor.bottomLeft() + QPoint(0, 2));
        QObject::connect(control, &QObject::destroyed, g_notice, &QWidget::close);
    }
    // One line when it fits, else wrapped at the popup's widest.
    const int width = std::min(g_notice->fontMetrics().horizontalAdvance(text) +
                                   2 * (g_notice->margin() + g_notice->frameWidth()) + 2,
                               g_notice->maximumWidth());
    g_notice->resize(width, g_notice->heightForWidth(width));
    g_notice->move(at);
    g_notice->show();
}

void ShowEntryRefusal(EntryCheck check, const QString& typed, const NumberRule& rule) {
    const char* key = check == EntryCheck::NotAnInteger ? "entry.not_an_integer"
                      : check == EntryCheck::OutOfRange ? "entry.out_of_range"
                                                        : "entry.not_a_number";
    QString text = Resource(key).arg(typed.trimmed());
    if (check == EntryCheck::OutOfRange) {
        text = text.arg(QString::fromStdString(FormatEnteredNumber(rule.minimum)),
                        QString::fromStdString(FormatEnteredNumber(rule.maximum)));
    }
    platform::ShowMessage({text.toStdString(), key, platform::MessageButtons::None});
}

// ---------------------------------------------------------------- delegate

QWidget* EntryDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    if (!RuleOf(index)) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* editor = new EntryEditor(index, parent);
    editor->setFrame(false);
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    if (alignment.isValid()) editor->setAlignment(Qt::Alignment(alignment.toInt()));
    return editor;
}

void EntryDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* entry = qobject_cast<EntryEditor*>(editor);
    if (entry == nullptr) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    // The entry starts from the cell's text as the view shows it.
    QStyleOptionViewItem option;
    initStyleOption(&option, index);
    entry->setText(option.text);
}

void EntryDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    auto* entry = qobject_cast<EntryEditor*>(editor);
    if (entry == nullptr) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (model->setData(index, entry->text(), Qt::EditRole)) return;
    // Refused on the way to another cell: the cell stays, the notice says why.
    const std::optional<NumberRule> rule = RuleOf(index);
    const NumberEntry checked = CheckEnteredNumber(entry->text().toStdString(), *rule);
    if (checked.check != EntryCheck::Taken) ShowEntryRefusal(checked.check, entry->text(), *rule);
}

bool EntryDelegate::Finish(EntryEditor* editor, EndEditHint hint) {
    const std::optional<NumberRule> rule = RuleOf(editor->Index());
    const QString typed = editor->text();
    const NumberEntry checked =
        rule ? CheckEnteredNumber(typed.toStdString(), *rule) : NumberEntry{EntryCheck::Taken};
    if (checked.check != EntryCheck::Taken) {
        emit closeEditor(editor, NoHint);
        ShowEntryRefusal(checked.check, typed, *rule);
        return false;
    }
    emit commitData(editor);
    emit closeEditor(editor, hint);
    return true;
}

bool EntryDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<EntryEditor*>(object);
    if (editor == nullptr) return QStyledItemDelegate::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shift = key->modifiers() & Qt::ShiftModifier;
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                Finish(editor, SubmitModelCache);
                return true;
            case Qt::Key_Tab:
                Finish(editor, shift ? EditPreviousItem : EditNextItem);
                return true;
            case Qt::Key_Backtab:
                Finish(editor, EditPreviousItem);
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down: {
                // A taken entry lets the key on to the view, which moves and
                // takes the cell on its way.
                const std::optional<NumberRule> rule = RuleOf(editor->Index());
                if (rule && CheckEnteredNumber(editor->text().toStdString(), *rule).check !=
                                EntryCheck::Taken) {
                    Finish(editor, NoHint);
                    return true;
                }
                return false;
            }
            default:
                break;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // A refused entry stays open while the focus is elsewhere (a click on
        // OK): the dialog then puts the operator back on it.
        const std::optional<NumberRule> rule = RuleOf(editor->Index());
        if (rule &&
            CheckEnteredNumber(editor->text().toStdString(), *rule).check != EntryCheck::Taken) {
            return false;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

// ---------------------------------------------------------------- view

EntryTableView::EntryTableView(QWidget* parent) : QTableView(parent) {
    setTabKeyNavigation(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    UpdateRowHeight();
}

bool EntryTableView::FinishEditing() {
    if (state() != EditingState) return true;
    QWidget* editor = indexWidget(currentIndex());
    if (editor == nullptr) return true;
    auto* entry = qobject_cast<EntryEditor*>(editor);
    auto* delegate = qobject_cast<EntryDelegate*>(itemDelegateForIndex(currentIndex()));
    if (entry == nullptr || delegate == nullptr) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        return true;
    }
    setFocus(Qt::OtherFocusReason);
    return delegate->Finish(entry, QAbstractItemDelegate::NoHint);
}

void EntryTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Tab in an editor leaves the view as Tab on a cell does.
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    const bool previous = hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
    if (next || previous) focusNextPrevChild(next);
}

void EntryTableView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        UpdateRowHeight();
    }
}

void EntryTableView::UpdateRowHeight() {
    const int icon = iconSize().isValid()
                         ? iconSize().height()
                         : style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const int height = std::max(fontMetrics().height(), icon) + kRowPadding;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

}  // namespace quillet::frame
