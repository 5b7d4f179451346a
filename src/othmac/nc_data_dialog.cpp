// Dialog 102 in Qt Widgets, a thin view of NcDataEdit. Texts come from the
// module's resource set; the edits show the template's texts as the edit
// object decodes them.
#include "othmac/nc_data_dialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <array>
#include <string>

#include "frame/gui_qt.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "othmac/nc_data_edit.h"
#include "platform/messages.h"

namespace quillet::othmac {

namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Text(std::string_view key) { return Utf8(frame::ResourceText(key)); }

QString Id(int id) { return QString::number(id); }

// Runs a slot's work: nothing may be thrown into Qt's event loop.
template <typename Work>
void NoThrow(Work&& work) noexcept {
    try {
        work();
    } catch (...) {
    }
}

// The message that a character CP932 cannot hold is not taken, naming it.
std::string NotCp932Text(const QString& character) {
    const char32_t c = character.toUcs4().value(0);
    return Text("text.not_cp932")
        .arg(character, QStringLiteral("%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper())
        .toStdString();
}

// A multi-line edit that takes Enter as a line break and scrolls both ways.
// What the operator enters (typed, pasted, from an input method) has its
// ASCII letters turned into upper case; a character CP932 cannot hold is not
// taken, and a notice names it. Text the program shows stays as it is.
class UpperCaseEdit final : public QPlainTextEdit {
public:
    explicit UpperCaseEdit(QWidget* parent) : QPlainTextEdit(parent) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setTabChangesFocus(true);
        connect(
            document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { NoThrow([&] { Entered(position, added); }); });
    }

    void Show(const QString& text) { setPlainText(text); }

    // The text with LF line breaks, every character as it stands (the
    // plain-text form would turn a no-break space into a space).
    QString Raw() const {
        QString text = document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return text;
    }

protected:
    // Only what arrives through these is the operator's entry; undo and redo
    // bring back text as it was.
    void keyPressEvent(QKeyEvent* event) override {
        entering_ = !event->matches(QKeySequence::Undo) && !event->matches(QKeySequence::Redo);
        QPlainTextEdit::keyPressEvent(event);
        entering_ = false;
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        entering_ = true;
        QPlainTextEdit::inputMethodEvent(event);
        entering_ = false;
    }
    void insertFromMimeData(const QMimeData* source) override {
        entering_ = true;
        QPlainTextEdit::insertFromMimeData(source);
        entering_ = false;
    }

private:
    void Entered(int position, int added) {
        if (!entering_ || added <= 0) return;
        QTextCursor cursor(document());
        cursor.setPosition(position);
        cursor.setPosition(std::min(position + added, document()->characterCount() - 1),
                           QTextCursor::KeepAnchor);
        const QString entered = cursor.selectedText();
        QString kept, refused;
        kept.reserve(entered.size());
        for (const char32_t c : entered.toUcs4()) {
            const QString character = QString::fromUcs4(&c, 1);
            if (c >= U'a' && c <= U'z') {
                kept += QChar(static_cast<char16_t>(c - U'a' + U'A'));
            } else if (c == 0x2029u || platform::CanEncode(character.toStdString(),
                                                           platform::TextEncoding::Cp932)) {
                kept += character;
            } else if (refused.isEmpty()) {
                refused = character;
            }
        }
        if (kept == entered) return;
        entering_ = false;
        cursor.insertText(kept);
        entering_ = true;
        if (!refused.isEmpty()) {
            platform::ShowMessage(
                {NotCp932Text(refused), "text.not_cp932", platform::MessageButtons::None});
        }
    }

    bool entering_ = false;
};

class NcDataDialog final : public QDialog {
public:
    explicit NcDataDialog(NcDataEdit& edit) : edit_(edit) {
        setObjectName(QStringLiteral("102"));
        setWindowTitle(Text("102.title"));
        BuildLayout();
        ShowTexts();
        // The dialog opens in its first template edit.
        edits_[0]->setFocus(Qt::OtherFocusReason);
    }

    void accept() override {
        NoThrow([&] {
            if (!TakeTexts()) return;
            switch (edit_.Save()) {
                case NcDataEdit::SaveResult::Saved:
                    QDialog::accept();
                    return;
                case NcDataEdit::SaveResult::TooLong:
                    ShowTooLong();
                    return;
                case NcDataEdit::SaveResult::NotCp932:
                    ShowNotCp932();
                    return;
                default:
                    // OK must not report a save that did not happen: the
                    // dialog stays open, and Cancel leaves it with nothing
                    // written.
                    ShowMessage("102.write_failed");
                    return;
            }
        });
    }

private:
    UpperCaseEdit* MakeEdit(NcText which) {
        auto* edit = new UpperCaseEdit(this);
        edit->setObjectName(Id(NcTextControlId(which)));
        edit->setMinimumSize(150, 70);
        edits_[static_cast<std::size_t>(which)] = edit;
        return edit;
    }

    QLabel* MakeLabel(const char* key, const QString& name) {
        auto* label = new QLabel(Text(key), this);
        label->setObjectName(name);
        return label;
    }

    // A group of labelled edits side by side.
    QGroupBox* MakeGroup(const char* titleKey, const QString& name,
                         std::initializer_list<std::pair<const char*, NcText>> fields) {
        auto* group = new QGroupBox(Text(titleKey), this);
        group->setObjectName(name);
        auto* grid = new QGridLayout(group);
        int column = 0;
        for (const auto& [labelKey, which] : fields) {
            QPlainTextEdit* edit = MakeEdit(which);
            if (labelKey != nullptr) {
                QLabel* label =
                    MakeLabel(labelKey, QStringLiteral("label.%1.%2").arg(name).arg(column));
                label->setBuddy(edit);
                grid->addWidget(label, 0, column);
            }
            grid->addWidget(edit, 1, column);
            ++column;
        }
        return group;
    }

    // Push buttons are auto-default: Enter on a focused button presses that
    // button; elsewhere (but in the multi-line edits) it presses OK.
    QPushButton* MakeButton(int id, QHBoxLayout* row) {
        auto* button = new QPushButton(Text("102." + std::to_string(id)), this);
        button->setObjectName(Id(id));
        button->setAutoDefault(true);
        row->addWidget(button);
        return button;
    }

    void BuildLayout() {
        auto* top = new QVBoxLayout(this);

        auto* names = new QHBoxLayout;
        auto addName = [&](const char* labelKey, int id, const std::string& value) {
            auto* edit = new QLineEdit(Utf8(value), this);
            edit->setObjectName(Id(id));
            edit->setReadOnly(true);
            QLabel* label = MakeLabel(labelKey, QStringLiteral("label.%1").arg(id));
            label->setBuddy(edit);
            names->addWidget(label);
            names->addWidget(edit, 1);
        };
        addName("102.label.machine", 1002, edit_.MachineShown());
        addName("102.label.material", 1021, edit_.MaterialShown());
        top->addLayout(names);

        auto* upper = new QHBoxLayout;
        upper->addWidget(MakeGroup("102.group.head_end", QStringLiteral("group.head_end"),
                                   {{"102.label.nc_start", NcText::NcStart},
                                    {"102.label.after_g92", NcText::NcStartG92},
                                    {"102.label.nc_end", NcText::NcEnd}}),
                         3);
        upper->addWidget(MakeGroup("102.group.origin", QStringLiteral("group.origin"),
                                   {{nullptr, NcText::OffsetPos}}),
                         1);
        upper->addWidget(MakeGroup("102.group.machine_stop", QStringLiteral("group.machine_stop"),
                                   {{nullptr, NcText::MacStop}}),
                         1);
        top->addLayout(upper);

        struct Condition {
            const char* key;
            const char* name;
            NcText cond, start, end;
        };
        const Condition conditions[] = {
            {"102.group.k", "group.k", NcText::CutCondK, NcText::CutStartK, NcText::CutEndK},
            {"102.group.l", "group.l", NcText::CutCondL, NcText::CutStartL, NcText::CutEndL},
            {"102.group.m", "group.m", NcText::CutCondM, NcText::CutStartM, NcText::CutEndM},
            {"102.group.h", "group.h", NcText::CutCondH, NcText::CutStartH, NcText::CutEndH},
        };
        auto* cuts = new QGridLayout;
        int index = 0;
        for (const Condition& c : conditions) {
            cuts->addWidget(MakeGroup(c.key, QString::fromLatin1(c.name),
                                      {{"102.label.condition", c.cond},
                                       {"102.label.cut_start", c.start},
                                       {"102.label.cut_end", c.end}}),
                            index / 2, index % 2);
            ++index;
        }
        top->addLayout(cuts);

        auto* buttons = new QHBoxLayout;
        connect(MakeButton(1001, buttons), &QPushButton::clicked, this,
                [this] { NoThrow([&] { ClearAll(); }); });
        connect(MakeButton(1008, buttons), &QPushButton::clicked, this,
                [this] { NoThrow([&] { RegisterMaster(); }); });
        connect(MakeButton(1016, buttons), &QPushButton::clicked, this,
                [this] { NoThrow([&] { LoadMaster(); }); });
        buttons->addStretch(1);
        QPushButton* ok = MakeButton(1, buttons);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(MakeButton(2, buttons), &QPushButton::clicked, this, &QDialog::reject);
        top->addLayout(buttons);
    }

    void ShowTexts() {
        for (std::size_t i = 0; i < kNcTextCount; ++i) {
            edits_[i]->Show(Utf8(edit_.Text(static_cast<NcText>(i))));
        }
    }

    // The edits' texts into the edit object; false (after saying why) when
    // one cannot be saved: too long for the template's users, or holding a
    // character CP932 cannot hold (a line of a UTF-8 template, edited).
    bool TakeTexts() {
        for (std::size_t i = 0; i < kNcTextCount; ++i) {
            edit_.SetText(static_cast<NcText>(i), edits_[i]->Raw().toStdString());
        }
        if (edit_.FirstRefusedCharacter()) {
            ShowNotCp932();
            return false;
        }
        if (edit_.FirstOverlongText()) {
            ShowTooLong();
            return false;
        }
        return true;
    }

    void ShowNotCp932() {
        const auto refused = edit_.FirstRefusedCharacter();
        if (!refused) return;
        platform::ShowMessage(
            {NotCp932Text(Utf8(refused->second)), "text.not_cp932", platform::MessageButtons::Ok});
        edits_[static_cast<std::size_t>(refused->first)]->setFocus();
    }

    void ShowTooLong() {
        ShowMessage("102.text_too_long");
        if (const std::optional<NcText> overlong = edit_.FirstOverlongText()) {
            edits_[static_cast<std::size_t>(*overlong)]->setFocus();
        }
    }

    static void ShowMessage(const char* key) {
        platform::ShowMessage(platform::MessageRequest{std::string(frame::ResourceText(key)), key,
                                                       platform::MessageButtons::Ok});
    }

    void ClearAll() {
        for (UpperCaseEdit* edit : edits_) edit->Show(QString());
    }

    void RegisterMaster() {
        if (!TakeTexts()) return;
        if (frame::ShowStringMessage(frame::kStringAskRegisterMaster,
                                     platform::MessageButtons::YesNo) !=
            platform::MessageAnswer::Yes) {
            return;
        }
        // A master that cannot be found or registered does nothing visible.
        if (edit_.RegisterMaster() == NcDataEdit::SaveResult::WriteFailed) {
            ShowMessage("102.write_failed");
        }
    }

    void LoadMaster() {
        if (frame::ShowStringMessage(frame::kStringAskLoadMaster,
                                     platform::MessageButtons::YesNo) !=
            platform::MessageAnswer::Yes) {
            return;
        }
        // The operator's edits stay unless the master replaces them all.
        for (std::size_t i = 0; i < kNcTextCount; ++i) {
            edit_.SetText(static_cast<NcText>(i), edits_[i]->Raw().toStdString());
        }
        if (edit_.LoadMaster()) ShowTexts();
    }

    NcDataEdit& edit_;
    std::array<UpperCaseEdit*, kNcTextCount> edits_{};
};

}  // namespace

Outcome RunNcDataDialog(const LookupRequest& request) {
    const frame::DialogTurn turn("SddOthMacCondDLG");
    if (!turn) return Outcome::SystemError;
    // The lookup comes first: when it fails the dialog is never shown.
    NcDataEdit edit(request);
    const Outcome opened = edit.Open();
    if (opened != Outcome::Done) return opened;
    NcDataDialog dialog(edit);
    return dialog.exec() == QDialog::Accepted ? Outcome::Done : Outcome::Cancelled;
}

}  // namespace quillet::othmac
