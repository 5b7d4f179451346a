// Dialog 131.
#include "driver_ui/driver_tool_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "driver_ui/qt_spread_sheet.h"

namespace quillet::driver_ui {

CDriverToolDlg::CDriverToolDlg(QWidget* parent)
    : CDriverSettingDlg(131, parent),
      layoutEdit_(MakeReadOnlyEdit("1003")),
      toolEdit_(MakeReadOnlyEdit("1004")) {
    auto* top = new QGridLayout;
    top->addWidget(MakeLabel("label.machine"), 0, 0);
    top->addWidget(machineEdit_, 0, 1);
    top->addWidget(MakeLabel("label.layout"), 1, 0);
    top->addWidget(layoutEdit_, 1, 1);
    top->addWidget(MakeLabel("label.tool"), 2, 0);
    top->addWidget(toolEdit_, 2, 1);

    auto* timing = new QLabel(TemplateText("1051"), this);
    timing->setObjectName(QStringLiteral("1051"));
    timing->setAlignment(Qt::AlignRight);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(timing);
    layout->addWidget(sheet_, 1);
    layout->addLayout(buttons);
    resize(800, 580);
}

void CDriverToolDlg::SetLayout(const std::string& layout) {
    layoutEdit_->setText(QString::fromStdString(layout));
}

void CDriverToolDlg::SetToolNumber(int toolNumber) {
    toolEdit_->setText(QString::number(toolNumber));
}

std::string CDriverToolDlg::NameText() const { return layoutEdit_->text().toStdString(); }
std::string CDriverToolDlg::SectionText() const { return toolEdit_->text().toStdString(); }

}  // namespace quillet::driver_ui
