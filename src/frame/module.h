// Module start-up: runs once per process before the first export does any
// work. It chooses the resource set by the active code page (the built-in
// Japanese set under 932, else libQuillet_rs.so). When the resource library
// cannot be loaded it shows "Resource load error!![libQuillet_rs.so]" and the
// module stays inert: every export returns its system error at once.
#pragma once

#include <string>
#include <string_view>

#include "platform/messages.h"

namespace quillet::frame {

// Runs start-up on the first call; true when the module works, false when it
// is inert.
bool ModuleReady();

// fileName in the folder of the shared library that holds address (the
// folder a run path of $ORIGIN names); "" when the loader cannot tell.
std::string PathBesideLibrary(const void* address, std::string_view fileName);

// Shows string-table entry id (objectName: the id) with the given buttons.
platform::MessageAnswer ShowStringMessage(
    int id, platform::MessageButtons buttons = platform::MessageButtons::Ok);
// Shows a text built into the module (objectName "builtin") with OK.
void ShowBuiltinMessage(const std::string& text);

// After a save or registration that failed: when another workstation holds
// the lock of file (the operation waited platform::kLockWaitLimit for it),
// shows the message that names the file (objectName "file.busy") and
// returns true. Never call it while a lock is held.
bool ShowBusyFileMessage(const std::string& file);

}  // namespace quillet::frame
