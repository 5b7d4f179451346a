// The one shape of every export: enter the module (start-up once), run the
// body, and turn anything thrown into the export's system-error status.
#pragma once

#include <exception>

namespace quillet::exports {

// Installs the message boxes (ui::InstallMessageBoxes) and runs start-up
// once. False when the
// module is inert.
bool EnterModule();

template <typename Body>
int Guarded(int systemError, Body&& body) noexcept {
    try {
        if (!EnterModule()) return systemError;
        return body();
    } catch (...) {
        return systemError;
    }
}

}  // namespace quillet::exports
