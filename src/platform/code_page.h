// The active code page and the byte-level rules that depend on it: how byte
// texts from data files and hosts are shown as UTF-8 and written back. Text
// in the shared data folder is code page 932, as the Windows workstations
// beside ours write it: bytes are shown as CP932 wherever they are valid
// CP932, as UTF-8 only where they are not but are valid UTF-8 (files other
// Linux tools wrote), and new or edited text is written as CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::platform {

// True when the first non-empty one of LC_ALL, LC_CTYPE, LANG starts with
// "ja": the process runs with the Japanese (932) code page. Read anew on each
// call.
bool ActiveCodePageIs932();

// True for the bytes that begin a double-byte Shift-JIS character (0x81-0x9F,
// 0xE0-0xFC); the byte after one is its second byte, whatever its value.
constexpr bool IsShiftJisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// How a byte text is shown: as code page 932 (Shift-JIS with its Windows
// extensions; glibc's iconv "CP932") or as UTF-8.
enum class TextEncoding { Utf8, Cp932 };

// Cp932 when bytes are valid CP932 (ASCII and the empty text included); Utf8
// when they are not but are valid UTF-8; Cp932 otherwise.
TextEncoding DetectEncoding(std::string_view bytes);

// The UTF-8 text that shows bytes in encoding. Utf8 gives the bytes as they
// are. Cp932 decodes each character; a byte that starts no CP932 character
// (0x80, 0xA0, 0xFD-0xFF, a lead byte without a valid trail byte) is shown
// as the private-use character U+F700 + byte, which EncodeText turns back
// into that byte, so EncodeText(DecodeText(b, e), e) keeps every byte that is
// no character and every character CP932 encodes one way only.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

// The bytes of the UTF-8 text utf8 in encoding. Utf8 gives the text as it
// is. Cp932 encodes each character; one that CP932 cannot hold is written
// as '?', as a Windows ANSI program writes it.
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

// DecodeText(bytes, DetectEncoding(bytes)): bytes → UTF-8 for display (a
// dialog, quillet-host's output).
std::string DisplayText(std::string_view bytes);

// True when CP932 holds the character whose UTF-8 form is utf8 (one
// character); always true for Utf8.
bool CanEncode(std::string_view utf8Character, TextEncoding encoding);

// The CP932 bytes of the UTF-8 text utf8, or nullopt when it holds a
// character CP932 cannot hold (the first one, as UTF-8, into *refused when
// given). Nothing becomes '?'.
std::optional<std::string> EncodeCp932OrRefuse(std::string_view utf8,
                                               std::string* refused = nullptr);

// A byte text as shown to the user, with what writing it back needs. A text
// that is valid CP932, or else valid UTF-8, is shown in that encoding; one
// that is neither (lines of both kinds, as an edit of a UTF-8 text leaves
// it) is shown line by line, each line by DisplayText. Lines the user did
// not change go back byte for byte; changed and new lines are written as
// CP932.
class ShownText {
public:
    ShownText() = default;
    // bytes with lines separated by lineBreak; shown with LF between lines.
    explicit ShownText(std::string bytes, std::string_view lineBreak = "\n");

    const std::string& Bytes() const { return bytes_; }
    const std::string& Shown() const { return shown_; }
    // The bytes to write for the shown text edited into edited (UTF-8, LF
    // between lines); a character CP932 cannot hold becomes '?' (see
    // Refused).
    std::string BytesFor(std::string_view edited) const;
    // The first character of a line edited holds in place of the shown ones
    // that CP932 cannot hold (UTF-8), empty when there is none.
    std::string Refused(std::string_view edited) const;

private:
    // The bytes a shown line goes back to, nullptr for a changed line.
    const std::string* KeptLine(std::string_view shownLine) const;

    std::string bytes_;
    std::string lineBreak_ = "\n";
    std::string shown_;
    std::vector<std::pair<std::string, std::string>> lines_;  // shown, bytes
};

}  // namespace quillet::platform
