// Text as quillet-host shows it: names and file contents are bytes, often
// Shift-JIS written by Windows workstations; what is shown on a terminal or
// in JSON is always UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quillet::host {

// Bytes as quillet-host shows them: valid UTF-8 as it is, anything else
// decoded as code page 932 (bytes that are no CP932 become U+FFFD).
std::string DisplayText(std::string_view bytes);

}  // namespace quillet::host
