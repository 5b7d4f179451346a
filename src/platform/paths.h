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

// The one rule by which a name from a host, a record or a Windows
// workstation is told apart from a path, the same in every locale: '/' is
// always a separator (it is never the second byte of a double-byte
// character); '\' is one too, unless it is the second byte of a CP932
// double-byte character in a name that is not valid UTF-8 (the rule by which
// the module shows names: such a name is CP932 text). So "表1" written by a
// Windows workstation (95 5C 31) is one name, while "あ/x" and "あ\x" in
// UTF-8 hold a separator.
bool NameHoldsSeparator(std::string_view name);

// True when name can stand alone as one file of a folder: not empty, not "."
// or "..", and without a separator by the rule above.
bool IsSingleFileName(std::string_view name);

}  // namespace quillet::platform
