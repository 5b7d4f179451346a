// Dialog 102, the NC data settings of an other machine: edits the seventeen
// texts of one machine's and material's NC template, and keeps the machine's
// master template.
#pragma once

#include "othmac/record_store.h"

namespace quillet::othmac {

// Looks up (or registers) the template of request and, when that succeeds,
// runs the dialog modally. Returns Done when closed by OK (the template was
// written), Cancelled when closed by Cancel or the window's close button
// (nothing written), the lookup's outcome when it failed (the dialog is then
// never shown), and SystemError when no GUI is possible (nothing shown, no
// file touched).
Outcome RunNcDataDialog(const LookupRequest& request);

}  // namespace quillet::othmac
