// The active code page and the byte-level rules that depend on it.
#pragma once

#include <string_view>

namespace quillet::platform {

// True when the first non-empty one of LC_ALL, LC_CTYPE, LANG starts with
// "ja": the process runs with the Japanese (932) code page. Read anew on each
// call.
bool ActiveCodePageIs932();

// True when name holds a path separator: '/' anywhere, or a '\' that is not
// the second byte of a double-byte character of the active code page (under
// 932 a Shift-JIS lead byte 0x81-0x9F or 0xE0-0xFC takes the next byte with
// it). Such names would reach outside the data folder.
bool HasPathSeparator(std::string_view name);

}  // namespace quillet::platform
