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
    QGridLayout* top = MakeFieldRows({{"label.layout", layoutEdit_}, {"label.tool", toolEdit_}});

    auto* timing = new QLabel(TemplateText("1051"), this);
    timing->setObjectName(QStringLiteral("1051"));
    timing->setAlignment(Qt::AlignRight);

    QHBoxLayout* buttons = MakeButtonRow();

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
