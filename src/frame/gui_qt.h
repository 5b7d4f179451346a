// The Qt side of the frame: the application object the dialogs need and the
// modal message boxes of the message service.
#pragma once

namespace quillet::frame {

// True when a QApplication exists (on the calling thread), or could be
// created now because the display its platform plug-in uses can be reached
// (platform::DialogDisplayProblem); it is then created and kept for the
// life of the process. False: no GUI, show nothing.
bool EnsureApplication();

// Installs the QMessageBox backend of the message service (once).
void InstallQtMessageBackend();

}  // namespace quillet::frame
