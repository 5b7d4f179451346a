// Dialog 131: the driver's tool conditions of one machine, die layout and T
// number, with the exclusive timing columns 5 to 7 (just before, just after,
// just after the last).
#pragma once

#include "driver_ui/driver_setting_dialog.h"

namespace quillet::driver_ui {

class CDriverToolDlg final : public CDriverSettingDlg {
    Q_OBJECT
public:
    explicit CDriverToolDlg(QWidget* parent = nullptr);

    void SetLayout(const std::string& layout);
    // The T number as "%d".
    void SetToolNumber(int toolNumber);

protected:
    std::string NameText() const override;
    std::string SectionText() const override;

private:
    QLineEdit* layoutEdit_;
    QLineEdit* toolEdit_;
    std::string layout_;      // the host's bytes
    std::string toolNumber_;  // "%d" of the T number
};

}  // namespace quillet::driver_ui
