// The plug-in's side of the dialogs' library (ui_library.h): loaded from the
// plug-in's own folder on first use and kept for the life of the process.
#pragma once

#include "ui/ui_library.h"

namespace quillet::ui {

// The dialogs, their library loaded on the first call. Null when it cannot
// be loaded; the loader's error then goes to the host as exportName's
// refusal (standard error and the message log), on every call.
const UiTable* Dialogs(const char* exportName);

// Makes the message service show its message boxes through the dialogs'
// library (once). The library is loaded when the first box could be shown:
// a Qt 6 application object exists, or a display can be reached. Until then,
// and when it cannot be loaded, messages go to standard error.
void InstallMessageBoxes();

}  // namespace quillet::ui
