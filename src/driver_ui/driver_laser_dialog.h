// Dialog 130: the driver's laser cutting conditions of one machine, laser
// material and cutting condition, with the simultaneous-save option that
// stores the same values under other conditions of the current save group.
#pragma once

#include <array>

#include "driver_ui/driver_setting_dialog.h"
#include "frame/cutting_conditions.h"

class QCheckBox;
class QGroupBox;

namespace quillet::driver_ui {

class CDriverLaserDlg final : public CDriverSettingDlg {
    Q_OBJECT
public:
    explicit CDriverLaserDlg(QWidget* parent = nullptr);

    // Index 0 to 12 sets the condition name and index; others change nothing.
    void SetCondition(int index);

    bool Prepare() override;
    void accept() override;

private:
    void TakeControls();
    void PutControls();
    void UpdateVisibility();

    QGroupBox* saveGroup_;
    QCheckBox* saveOptionBox_;
    std::array<QCheckBox*, frame::kCuttingConditionCount> conditionBoxes_{};
    LaserSaveOptions options_;
    int conditionIndex_ = 0;
};

}  // namespace quillet::driver_ui
