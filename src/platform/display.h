// Whether a dialog can be shown: the display that Qt's platform plug-in
// would use must be reachable, or Qt ends the process when it starts. Free
// of Qt, so that the module and quillet-host decide by the same rule.
#pragma once

#include <string>

namespace quillet::platform {

// "" when a dialog can be shown now; otherwise why not, as one phrase
// ("display :93 cannot be reached", "no display: DISPLAY, WAYLAND_DISPLAY
// and QT_QPA_PLATFORM are not set"). The plug-ins are those QT_QPA_PLATFORM
// names (a ';' list, tried in order), else xcb when DISPLAY is set, else
// wayland when WAYLAND_DISPLAY is. xcb needs the X server of DISPLAY to
// accept a connection (its socket, then the X handshake when libxcb is
// there); wayland needs the compositor's socket. Other plug-ins (offscreen,
// minimal, eglfs ...) need nothing this can test.
std::string DialogDisplayProblem();

// True when an application object of Qt of that major version (5 or 6)
// exists in the process: a Qt host's, or the one the dialogs made. Asked of
// the libraries already loaded, without loading Qt.
bool QtApplicationExists(int qtMajorVersion);

}  // namespace quillet::platform
