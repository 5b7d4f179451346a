// The active code page and the byte-level rules that depend on it: how byte
// texts from data files and hosts are shown as UTF-8 and written back.
#pragma once

#include <string>
#include <string_view>

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

// How a byte text is shown: a text that is valid UTF-8 as UTF-8, any other as
// code page 932 (Shift-JIS with its Windows extensions, as Windows
// workstations write it; glibc's iconv "CP932").
enum class TextEncoding { Utf8, Cp932 };

// Utf8 when bytes are valid UTF-8 (ASCII and the empty text included), else
// Cp932.
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

// A byte text as shown to the user, with what writing it back needs: the
// text the user did not change goes back byte for byte, a changed one is
// encoded in the encoding it was shown in.
class ShownText {
public:
    ShownText() = default;
    explicit ShownText(std::string bytes)
        : bytes_(std::move(bytes)),
          encoding_(DetectEncoding(bytes_)),
          shown_(DecodeText(bytes_, encoding_)) {}

    const std::string& Bytes() const { return bytes_; }
    const std::string& Shown() const { return shown_; }
    TextEncoding Encoding() const { return encoding_; }
    // The bytes to write for the shown text edited into edited (UTF-8).
    std::string BytesFor(std::string_view edited) const {
        return edited == shown_ ? bytes_ : EncodeText(edited, encoding_);
    }

private:
    std::string bytes_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::string shown_;
};

}  // namespace quillet::platform
