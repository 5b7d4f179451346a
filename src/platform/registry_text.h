// Text encodings shared by the registry reader and the profile engine:
// UTF-16LE files (as Notepad's "Unicode" and the registry editor save them)
// are converted to UTF-8 for reading and back for writing.
#pragma once

#include <string>
#include <string_view>

namespace quillet::platform {

// Converts UTF-16LE bytes (without the byte-order mark) to UTF-8. Unpaired
// surrogates become U+FFFD; an odd last byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);

// Converts UTF-8 text to UTF-16LE bytes (without a byte-order mark). Bytes
// that are no valid UTF-8 become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view text);

// The text of a registry file as UTF-8: a UTF-8 mark is dropped, a file with
// the UTF-16LE mark is converted, anything else is taken as it is.
std::string RegistryTextToUtf8(std::string_view bytes);

}  // namespace quillet::platform
