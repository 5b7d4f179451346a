// Path composition onto the installation roots and the checked copy into the
// fixed-width buffers of the export boundary.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::platform {

// Every path buffer handed across the exports holds 500 bytes.
inline constexpr std::size_t kPathBufferSize = 500;
inline constexpr std::size_t kMaxPathLength = kPathBufferSize - 1;

// Concatenates root and pieces exactly as given (the roots end with '/').
// Returns nullopt when the result would pass kMaxPathLength characters; the
// caller turns that into its own status.
std::optional<std::string> ComposePath(std::string_view root,
                                       std::initializer_list<std::string_view> pieces);

// Copies text with its terminating NUL into buffer of size bytes. Returns
// false, leaving the buffer untouched, when text and NUL do not fit or the
// buffer is null.
bool CopyToBuffer(std::string_view text, char* buffer, std::size_t size);

// Length of a NUL-terminated argument, reading at most limit + 1 bytes; a
// null pointer has length 0. Lets the exports refuse over-long texts without
// scanning unbounded memory.
std::size_t BoundedLength(const char* text, std::size_t limit);

// True when the character set of the process locale (the code set of the
// first non-empty one of LC_ALL, LC_CTYPE, LANG: "ja_JP.SJIS", "ja_JP.CP932"
// and the like) is Shift-JIS. Read anew on each call.
bool LocaleCharsetIsShiftJis();

// True when name holds a path separator, so that it would reach outside the
// data folder. The byte '/' is one in every encoding (it is never the second
// byte of a double-byte character); '\' is one too, except as the second
// byte of a double-byte character when the locale's character set really is
// Shift-JIS (lead bytes 0x81-0x9F, 0xE0-0xFC). A UTF-8 locale, Japanese or
// not, takes no byte with a lead byte: "あ/x" holds a separator everywhere.
bool NameHoldsSeparator(std::string_view name);

}  // namespace quillet::platform
