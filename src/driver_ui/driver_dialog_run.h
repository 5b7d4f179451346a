// The bodies of the three dialog exports: the common start (Done after
// message 488 for a driver file that cannot be opened, InvalidArguments for
// a bad name or number, Failed when no GUI is possible), then the modal
// dialog and its result.
#pragma once

#include "driver/driver_operations.h"

namespace quillet::driver_ui {

driver::Outcome RunLaserDialog(const char* driverFile, const char* machine, const char* material,
                               int conditionIndex);
driver::Outcome RunToolDialog(const char* driverFile, const char* machine, const char* layout,
                              int toolNumber);
driver::Outcome RunNcDialog(const char* driverFile, const char* machine);

}  // namespace quillet::driver_ui
