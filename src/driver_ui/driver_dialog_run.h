// The bodies of the three dialog exports: the common start (message 488 and
// 0 for a driver file that cannot be opened, -2 for bad arguments, 999 when
// no GUI is possible), then the modal dialog and its result.
#pragma once

namespace quillet::driver_ui {

int RunLaserDialog(const char* driverFile, const char* machine, const char* material,
                   int conditionIndex);
int RunToolDialog(const char* driverFile, const char* machine, const char* layout, int toolNumber);
int RunNcDialog(const char* driverFile, const char* machine);

}  // namespace quillet::driver_ui
