// Dialog 132: the driver's NC-creation settings of one machine, kept in a
// plain file without sections.
#pragma once

#include "driver_ui/driver_setting_dialog.h"

namespace quillet::driver_ui {

class CDriverNcDlg final : public CDriverSettingDlg {
    Q_OBJECT
public:
    explicit CDriverNcDlg(QWidget* parent = nullptr);
};

}  // namespace quillet::driver_ui
