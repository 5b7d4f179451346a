// The dialogs' library, libquillet-ui.so, as the plug-in sees it. Everything
// that needs Qt (the five dialogs, the application object, the message
// boxes) lives there, so that a process that shows nothing maps no Qt
// library. The plug-in opens it from its own folder on first use; its one
// exported symbol, QuilletUiTable, returns this table.
#pragma once

#include "driver/driver_operations.h"
#include "othmac/record_store.h"
#include "platform/messages.h"

namespace quillet::ui {

inline constexpr const char* kUiLibrary = "libquillet-ui.so";
inline constexpr const char* kUiEntry = "QuilletUiTable";
// Raised with every change of the table: the plug-in refuses a library of
// another build instead of calling through a table of another shape.
inline constexpr int kUiTableVersion = 1;

struct UiTable {
    int version;
    // The message boxes (their Available() creates the application object).
    platform::MessageBackend* messages;
    // The dialog exports' bodies, once their arguments are checked.
    othmac::Outcome (*ncDataDialog)(const othmac::LookupRequest& request);
    bool (*pdlLaserDialog)(const char* machine, int machineType, const char* material, int table);
    driver::Outcome (*laserDialog)(const char* driverFile, const char* machine,
                                   const char* material, int conditionIndex);
    driver::Outcome (*toolDialog)(const char* driverFile, const char* machine, const char* layout,
                                  int toolNumber);
    driver::Outcome (*ncDialog)(const char* driverFile, const char* machine);
};

using UiEntry = const UiTable* (*)();

}  // namespace quillet::ui
