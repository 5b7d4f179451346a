// The dialog exports' bodies.
#include "driver_ui/driver_dialog_run.h"

#include <optional>
#include <string>

#include "driver_ui/driver_laser_dialog.h"
#include "driver_ui/driver_setting_dialog.h"
#include "driver_ui/driver_setting_edit.h"
#include "frame/cutting_conditions.h"
#include "frame/gui_qt.h"

namespace quillet::driver_ui {

namespace {

using driver::Outcome;

// The outcome of a start that ends the call; nullopt: go on. A missing
// driver file ends it as done: the message said why.
std::optional<Outcome> Refusal(DialogStart start) {
    switch (start) {
        case DialogStart::DriverFileMissing:
            return Outcome::Done;
        case DialogStart::InvalidName:
            return Outcome::InvalidArguments;
        case DialogStart::Go:
            break;
    }
    return std::nullopt;
}

}  // namespace

Outcome RunLaserDialog(const char* driverFile, const char* machine, const char* material,
                       int conditionIndex) {
    if (auto refused = Refusal(CheckDialogStart(driverFile, {machine, material}))) return *refused;
    if (!frame::IsCuttingConditionIndex(conditionIndex)) return Outcome::InvalidArguments;
    const frame::DialogTurn turn("MD_OthMacLasCutDLG");
    if (!turn) return Outcome::Failed;
    CDriverLaserDlg dialog;
    dialog.SetDriver(driverFile);
    dialog.SetMachine(machine);
    dialog.SetName(material);
    dialog.SetCondition(conditionIndex);
    return dialog.Run();
}

Outcome RunToolDialog(const char* driverFile, const char* machine, const char* layout,
                      int toolNumber) {
    if (auto refused = Refusal(CheckDialogStart(driverFile, {machine, layout}))) return *refused;
    if (toolNumber < 0) return Outcome::InvalidArguments;
    const frame::DialogTurn turn("MD_OthMacToolDLG");
    if (!turn) return Outcome::Failed;
    CDriverToolDlg dialog;
    dialog.SetDriver(driverFile);
    dialog.SetMachine(machine);
    dialog.SetName(layout);
    dialog.SetSection(std::to_string(toolNumber));
    return dialog.Run();
}

Outcome RunNcDialog(const char* driverFile, const char* machine) {
    if (auto refused = Refusal(CheckDialogStart(driverFile, {machine}))) return *refused;
    const frame::DialogTurn turn("MD_OthMacNCCreateDLG");
    if (!turn) return Outcome::Failed;
    CDriverNcDlg dialog;
    dialog.SetDriver(driverFile);
    dialog.SetMachine(machine);
    return dialog.Run();
}

}  // namespace quillet::driver_ui
