// Text as quillet-host shows it: names and file contents are bytes, often
// Shift-JIS written by Windows workstations; what is shown on a terminal or
// in JSON is always UTF-8, by the same rule the dialogs use.
#pragma once

#include "platform/code_page.h"

namespace quillet::host {

using platform::DisplayText;

}  // namespace quillet::host
