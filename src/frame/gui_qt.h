// The Qt side of the frame: the application object the dialogs need and the
// modal message boxes of the message service.
#pragma once

#include "platform/messages.h"

namespace quillet::frame {

// True when a QApplication exists (on the calling thread), or could be
// created now because the display its platform plug-in uses can be reached
// (platform::DialogDisplayProblem); it is then created on the calling thread and
// kept for the life of the process, and the host's process locale (every
// category) is put back as it was before Qt set it from the environment.
// False: no GUI on this thread, show nothing.
bool EnsureApplication();

// A turn at showing one of the module's dialogs, held while it runs. It is
// granted when EnsureApplication() holds and no other dialog of the module is
// open (one at a time, on this thread or another). A refusal names the broken
// rule and exportName to the host: standard error and the message log.
class DialogTurn {
public:
    explicit DialogTurn(const char* exportName);
    ~DialogTurn();
    DialogTurn(const DialogTurn&) = delete;
    DialogTurn& operator=(const DialogTurn&) = delete;

    explicit operator bool() const { return granted_; }

private:
    bool granted_ = false;
};

// The QMessageBox backend of the message service.
platform::MessageBackend& QtMessageBackend();

}  // namespace quillet::frame
