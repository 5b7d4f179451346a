// The Unicode forms the module's text passes through: UTF-8 characters,
// and UTF-16 files (as Notepad's "Unicode", the registry editor and
// spreadsheets save them) converted to UTF-8 for reading and back for
// writing. One implementation for the registry reader, the profile engine,
// the code-page rules and quillet-host.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::platform {

// The length of the valid UTF-8 character at the start of text (shortest
// form, no surrogates, at most U+10FFFF), 0 when there is none; its code
// point into *decoded when given.
std::size_t Utf8CharLength(std::string_view text, char32_t* decoded = nullptr);

// True when text is well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view text);

// Appends the UTF-8 form of c.
void AppendUtf8(std::string& out, char32_t c);

// Converts UTF-16 bytes (without the byte-order mark), little- or
// big-endian, to UTF-8. Unpaired surrogates become U+FFFD; an odd last byte
// is dropped.
enum class ByteOrder { LittleEndian, BigEndian };
std::string Utf16ToUtf8(std::string_view bytes, ByteOrder order);
inline std::string Utf16LeToUtf8(std::string_view bytes) {
    return Utf16ToUtf8(bytes, ByteOrder::LittleEndian);
}

// Converts UTF-8 text to UTF-16LE bytes (without a byte-order mark). Bytes
// that are no valid UTF-8 become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view text);

}  // namespace quillet::platform
