// Dialog 132.
#include "driver_ui/driver_setting_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "driver_ui/spread_sheet_view.h"

namespace quillet::driver_ui {

CDriverNcDlg::CDriverNcDlg(QWidget* parent)
    : CDriverSettingDlg(driver::DriverSettingKind::Nc, parent) {
    auto* top = new QHBoxLayout;
    top->addWidget(MakeLabel("label.machine"));
    top->addWidget(machineEdit_, 1);

    QHBoxLayout* buttons = MakeButtonRow();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(sheet_, 1);
    layout->addLayout(buttons);
    resize(480, 580);
    SetTabOrderChain({machineEdit_, sheet_, okButton_, cancelButton_});
}

}  // namespace quillet::driver_ui
