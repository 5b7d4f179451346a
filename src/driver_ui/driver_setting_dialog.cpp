// The common frame of the driver settings dialogs.
#include "driver_ui/driver_setting_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "driver_ui/spread_sheet_view.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "platform/code_page.h"

namespace quillet::driver_ui {

namespace {

// The dialog template of a kind: its objectName and the prefix of its texts.
int TemplateIdOf(driver::DriverSettingKind kind) {
    switch (kind) {
        case driver::DriverSettingKind::Cut:
            return 130;
        case driver::DriverSettingKind::Tool:
            return 131;
        case driver::DriverSettingKind::Nc:
            break;
    }
    return 132;
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CDriverSettingDlg::CDriverSettingDlg(driver::DriverSettingKind kind, QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      templateId_(TemplateIdOf(kind)),
      grid_(new CDriverSettingGrid(kind)),
      sheet_(new SpreadSheetView(std::unique_ptr<CSpreadGrid>(grid_), this)),
      machineEdit_(MakeReadOnlyEdit("1000")),
      okButton_(new QPushButton(this)),
      cancelButton_(new QPushButton(this)) {
    setObjectName(QString::number(templateId_));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(TemplateText("title"));
    sheet_->setObjectName(QStringLiteral("1050"));
    // Push buttons are auto-default: Enter on a focused button presses that
    // button; elsewhere it presses OK, except in the grid, which keeps it.
    okButton_->setObjectName(QStringLiteral("1"));
    okButton_->setText(TemplateText("1"));
    okButton_->setAutoDefault(true);
    okButton_->setDefault(true);
    cancelButton_->setObjectName(QStringLiteral("2"));
    cancelButton_->setText(TemplateText("2"));
    cancelButton_->setAutoDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &CDriverSettingDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CDriverSettingDlg::reject);

    if (kind_ != driver::DriverSettingKind::Nc) {
        nameEdit_ = MakeReadOnlyEdit("1003");
        sectionEdit_ = MakeReadOnlyEdit("1004");
    }
}

CDriverSettingDlg::~CDriverSettingDlg() = default;

QString CDriverSettingDlg::Shown(const std::string& bytes) {
    const std::string text = platform::DisplayText(bytes);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString CDriverSettingDlg::TemplateText(const char* name) const {
    const std::string key = std::to_string(templateId_) + "." + name;
    const std::string_view text = frame::ResourceText(key);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* CDriverSettingDlg::MakeReadOnlyEdit(const char* objectName) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setReadOnly(true);
    return edit;
}

QLabel* CDriverSettingDlg::MakeLabel(const char* textName) {
    auto* label = new QLabel(TemplateText(textName), this);
    label->setObjectName(QString::fromLatin1(textName));
    return label;
}

void CDriverSettingDlg::SetName(const std::string& name) {
    name_ = name;
    if (nameEdit_ != nullptr) nameEdit_->setText(Shown(name));
}

void CDriverSettingDlg::SetSection(const std::string& section) {
    section_ = section;
    if (sectionEdit_ != nullptr) sectionEdit_->setText(Shown(section));
}

QGridLayout* CDriverSettingDlg::MakeFieldRows(const char* nameLabel, const char* sectionLabel) {
    auto* rows = new QGridLayout;
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"label.machine", machineEdit_}, {nameLabel, nameEdit_}, {sectionLabel, sectionEdit_}};
    for (int row = 0; row < 3; ++row) {
        rows->addWidget(MakeLabel(fields[row].first), row, 0);
        rows->addWidget(fields[row].second, row, 1);
    }
    return rows;
}

QHBoxLayout* CDriverSettingDlg::MakeButtonRow() {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    return buttons;
}

bool CDriverSettingDlg::OpenStep(const std::function<void(const std::string&)>& readMore) {
    edit_ = std::make_unique<DriverSettingEdit>(kind_, driver_, machine_, name_, section_);
    if (edit_->Load(readMore) == DriverSettingEdit::Opened::Failed) {
        result_ = driver::Outcome::Failed;
        return false;
    }
    machineEdit_->setText(Shown(machine_));
    grid_->SetupColumns();
    grid_->FillGrid(edit_->Items());
    return true;
}

bool CDriverSettingDlg::Prepare() { return OpenStep(); }

void CDriverSettingDlg::SetTabOrderChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }
    // The dialog opens in the grid, where the operator works.
    sheet_->setFocus(Qt::OtherFocusReason);
}

driver::Outcome CDriverSettingDlg::Run() {
    if (!Prepare()) return result_;
    exec();
    return result_;
}

void CDriverSettingDlg::CommitStep(
    const std::vector<std::string>& furtherSections,
    const std::function<void(platform::ProfileDocument&)>& writeMore) {
    WaitCursor wait;
    // Nothing may be thrown into Qt's event loop: a commit that throws
    // failed, and the result says so.
    try {
        grid_->ReadBackGrid(edit_->Items());
        const bool saved = edit_->Save(furtherSections, writeMore);
        result_ = saved ? driver::Outcome::Done : driver::Outcome::Failed;
        if (!saved) frame::ShowBusyFileMessage(edit_->SavedPath());
    } catch (...) {
        result_ = driver::Outcome::Failed;
    }
}

bool CDriverSettingDlg::FinishEditing() { return sheet_->FinishEditing(); }

void CDriverSettingDlg::accept() {
    // OK takes the cell being typed in first; a refused entry keeps the
    // dialog open, with the operator on that cell.
    if (!FinishEditing()) return;
    if (ItemsEmpty()) {
        reject();
        return;
    }
    CommitStep();
    QDialog::accept();
}

void CDriverSettingDlg::reject() {
    try {
        if (edit_ != nullptr) edit_->Cancel();
    } catch (...) {
    }
    QDialog::reject();
}

}  // namespace quillet::driver_ui
