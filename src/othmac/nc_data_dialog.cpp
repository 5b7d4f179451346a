// Dialog 102 in Qt Widgets. Texts come from the module's resource set; the
// edits show plain lines and exchange CR LF texts with the template file.
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
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <array>
#include <optional>
#include <string>

#include "frame/gui_qt.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "frame/status.h"
#include "othmac/nc_template.h"
#include "platform/messages.h"

namespace quillet::othmac {

namespace {

QString Text(std::string_view key) {
    const std::string_view text = frame::ResourceText(key);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Id(int id) { return QString::number(id); }

// A multi-line edit that takes Enter as a line break, scrolls both ways and
// turns letters into upper case, whether typed, pasted or set by a program.
class UpperCaseEdit final : public QPlainTextEdit {
public:
    explicit UpperCaseEdit(QWidget* parent) : QPlainTextEdit(parent) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setTabChangesFocus(true);
        connect(document(), &QTextDocument::contentsChange, this,
                [this](int position, int, int added) { UpperCase(position, added); });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString upper = event->text().toUpper();
        if (upper == event->text()) {
            QPlainTextEdit::keyPressEvent(event);
            return;
        }
        QKeyEvent translated(event->type(), event->key(), event->modifiers(), upper,
                             event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QPlainTextEdit::keyPressEvent(&translated);
        event->setAccepted(translated.isAccepted());
    }

private:
    void UpperCase(int position, int added) {
        if (busy_ || added <= 0) return;
        busy_ = true;
        QTextDocument* doc = document();
        const int end = std::min(position + added, doc->characterCount() - 1);
        for (int i = position; i < end; ++i) {
            const QChar c = doc->characterAt(i);
            const QChar upper = c.toUpper();
            if (upper == c) continue;
            QTextCursor cursor(doc);
            cursor.setPosition(i);
            cursor.setPosition(i + 1, QTextCursor::KeepAnchor);
            cursor.insertText(QString(upper));
        }
        busy_ = false;
    }

    bool busy_ = false;
};

// CR LF texts of the file and the plain lines of the edits.
QString ToEditText(const std::string& text) {
    QString lines = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lines;
}

std::string FromEditText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::string out;
    out.reserve(static_cast<std::size_t>(bytes.size()) + 32);
    for (const char c : bytes) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class NcDataDialog final : public QDialog {
public:
    NcDataDialog(const LookupRequest& request, std::string templatePath)
        : request_(request), templatePath_(std::move(templatePath)) {
        setObjectName(QStringLiteral("102"));
        setWindowTitle(Text("102.title"));
        BuildLayout();
        // A template not written yet leaves the edits empty.
        if (const std::optional<NcTemplateTexts> texts = ReadNcTemplate(templatePath_)) {
            ShowTexts(*texts);
        }
    }

    void accept() override {
        const std::optional<NcTemplateTexts> texts = TakeTexts();
        if (!texts) return;
        if (!WriteNcTemplate(*texts, templatePath_)) {
            // OK must not report a save that did not happen: the dialog stays
            // open, and Cancel leaves it with nothing written.
            ShowWriteFailed();
            return;
        }
        QDialog::accept();
    }

private:
    QPlainTextEdit* Edit(NcText which) { return edits_[static_cast<std::size_t>(which)]; }

    QPlainTextEdit* MakeEdit(NcText which) {
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

    QPushButton* MakeButton(int id, QHBoxLayout* row) {
        auto* button = new QPushButton(Text("102." + std::to_string(id)), this);
        button->setObjectName(Id(id));
        button->setAutoDefault(false);
        row->addWidget(button);
        return button;
    }

    void BuildLayout() {
        auto* top = new QVBoxLayout(this);

        auto* names = new QHBoxLayout;
        auto addName = [&](const char* labelKey, int id, const std::string& value) {
            auto* edit = new QLineEdit(
                QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())), this);
            edit->setObjectName(Id(id));
            edit->setReadOnly(true);
            QLabel* label = MakeLabel(labelKey, QStringLiteral("label.%1").arg(id));
            label->setBuddy(edit);
            names->addWidget(label);
            names->addWidget(edit, 1);
        };
        addName("102.label.machine", 1002, request_.machineName);
        addName("102.label.material", 1021, request_.materialName);
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
        connect(MakeButton(1001, buttons), &QPushButton::clicked, this, [this] { ClearAll(); });
        connect(MakeButton(1008, buttons), &QPushButton::clicked, this,
                [this] { RegisterMaster(); });
        connect(MakeButton(1016, buttons), &QPushButton::clicked, this, [this] { LoadMaster(); });
        buttons->addStretch(1);
        QPushButton* ok = MakeButton(1, buttons);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(MakeButton(2, buttons), &QPushButton::clicked, this, &QDialog::reject);
        top->addLayout(buttons);
    }

    void ShowTexts(const NcTemplateTexts& texts) {
        for (std::size_t i = 0; i < kNcTextCount; ++i) {
            edits_[i]->setPlainText(ToEditText(texts.texts[i]));
        }
    }

    // The edits' texts, or nullopt (after saying why) when one is too long
    // for the template's users.
    std::optional<NcTemplateTexts> TakeTexts() {
        NcTemplateTexts texts;
        for (std::size_t i = 0; i < kNcTextCount; ++i) {
            texts.texts[i] = FromEditText(edits_[i]->toPlainText().toUpper());
        }
        if (const std::optional<std::size_t> overlong = FirstOverlongText(texts)) {
            QPlainTextEdit* edit = edits_[*overlong];
            platform::ShowMessage(
                platform::MessageRequest{std::string(frame::ResourceText("102.text_too_long")),
                                         "102.text_too_long", platform::MessageButtons::Ok});
            edit->setFocus();
            return std::nullopt;
        }
        return texts;
    }

    void ShowWriteFailed() {
        platform::ShowMessage(
            platform::MessageRequest{std::string(frame::ResourceText("102.write_failed")),
                                     "102.write_failed", platform::MessageButtons::Ok});
    }

    void ClearAll() {
        for (QPlainTextEdit* edit : edits_) edit->clear();
    }

    // The machine's master template, registered when missing; nullopt when
    // the lookup fails (the master buttons then do nothing visible).
    std::optional<std::string> MasterPath() const {
        LookupRequest master = request_;
        master.create = 1;
        master.showMessages = 0;
        master.materialName = kMasterMaterial;
        const LookupResult found = LocateConditionFile(master);
        if (found.status != kDone) return std::nullopt;
        return found.path;
    }

    void RegisterMaster() {
        const std::optional<NcTemplateTexts> texts = TakeTexts();
        if (!texts) return;
        if (frame::ShowStringMessage(204, platform::MessageButtons::YesNo) !=
            platform::MessageAnswer::Yes) {
            return;
        }
        const std::optional<std::string> path = MasterPath();
        if (!path) return;
        if (!WriteNcTemplate(*texts, *path)) ShowWriteFailed();
    }

    void LoadMaster() {
        if (frame::ShowStringMessage(205, platform::MessageButtons::YesNo) !=
            platform::MessageAnswer::Yes) {
            return;
        }
        const std::optional<std::string> path = MasterPath();
        if (!path) return;
        if (const std::optional<NcTemplateTexts> texts = ReadNcTemplate(*path)) ShowTexts(*texts);
    }

    LookupRequest request_;
    std::string templatePath_;
    std::array<QPlainTextEdit*, kNcTextCount> edits_{};
};

}  // namespace

int RunNcDataDialog(const LookupRequest& request) {
    if (!frame::EnsureApplication()) return kSystemError;
    // The lookup comes first: when it fails the dialog is never shown.
    const LookupResult found = LocateConditionFile(request);
    if (found.status != kDone) return found.status;
    NcDataDialog dialog(request, found.path);
    return dialog.exec() == QDialog::Accepted ? kDone : kCancelled;
}

}  // namespace quillet::othmac
