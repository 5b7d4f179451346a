// The dialog exports' bodies.
#include "driver_ui/driver_dialog_run.h"

#include <string>

#include "driver_ui/driver_laser_dialog.h"
#include "driver_ui/driver_setting_dialog.h"
#include "driver_ui/driver_setting_edit.h"
#include "frame/cutting_conditions.h"
#include "frame/gui_qt.h"
#include "frame/status.h"

namespace quillet::driver_ui {

int RunLaserDialog(const char* driverFile, const char* machine, const char* material,
                   int conditionIndex) {
    if (auto status = CheckDialogStart(driverFile, {machine, material})) return *status;
    if (!frame::IsCuttingConditionIndex(conditionIndex)) return kInvalidArguments;
    const frame::DialogTurn turn("MD_OthMacLasCutDLG");
    if (!turn) return kSystemError;
    CDriverLaserDlg dialog;
    dialog.SetDriver(driverFile);
    dialog.SetMachine(machine);
    dialog.SetName(material);
    dialog.SetCondition(conditionIndex);
    return dialog.Run();
}

int RunToolDialog(const char* driverFile, const char* machine, const char* layout, int toolNumber) {
    if (auto status = CheckDialogStart(driverFile, {machine, layout})) return *status;
    if (toolNumber < 0) return kInvalidArguments;
    const frame::DialogTurn turn("MD_OthMacToolDLG");
    if (!turn) return kSystemError;
    CDriverToolDlg dialog;
    dialog.SetDriver(driverFile);
    dialog.SetMachine(machine);
    dialog.SetName(layout);
    dialog.SetSection(std::to_string(toolNumber));
    return dialog.Run();
}

int RunNcDialog(const char* driverFile, const char* machine) {
    if (auto status = CheckDialogStart(driverFile, {machine})) return *status;
    const frame::DialogTurn turn("MD_OthMacNCCreateDLG");
    if (!turn) return kSystemError;
    CDriverNcDlg dialog;
    dialog.SetDriver(driverFile);
    dialog.SetMachine(machine);
    return dialog.Run();
}

}  // namespace quillet::driver_ui
