// Active code page detection from the locale environment, and the UTF-8 /
// CP932 conversions of byte texts through glibc's iconv.
#include "platform/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/unicode.h"

namespace quillet::platform {

bool ActiveCodePageIs932() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return std::strncmp(value, "ja", 2) == 0;
    }
    return false;
}

namespace {

// Bytes that start no CP932 character are shown as U+F700 + byte: a block of
// the private-use area that CP932's own user-defined characters (U+E000 to
// U+E757) never reach.
constexpr char32_t kByteEscapeBase = 0xF700;

// One iconv conversion descriptor for the length of a call.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Converter() {
        if (Ok()) ::iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of in as it can, appending to out; in is advanced past
    // what was converted. False when it stopped at input it cannot convert
    // (or an incomplete sequence at the end).
    bool Convert(std::string_view& in, std::string& out) {
        char buffer[256];
        while (!in.empty()) {
            char* source = const_cast<char*>(in.data());
            std::size_t sourceLeft = in.size();
            char* target = buffer;
            std::size_t targetLeft = sizeof buffer;
            const std::size_t done = ::iconv(cd_, &source, &sourceLeft, &target, &targetLeft);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(target - buffer));
            in.remove_prefix(in.size() - sourceLeft);
            if (done == static_cast<std::size_t>(-1) && error != E2BIG) {
                ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

bool IsValidCp932(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return true;
    }
    Converter cp932("UTF-8", "CP932");
    std::string out;
    return cp932.Ok() && cp932.Convert(bytes, out);
}

// The lines of text split at lineBreak (the last one without it, possibly
// empty).
std::vector<std::string_view> SplitAt(std::string_view text, std::string_view lineBreak) {
    std::vector<std::string_view> lines;
    for (std::size_t at; (at = text.find(lineBreak)) != std::string_view::npos;) {
        lines.push_back(text.substr(0, at));
        text.remove_prefix(at + lineBreak.size());
    }
    lines.push_back(text);
    return lines;
}

// The CP932 bytes of utf8 in one conversion. A character CP932 cannot hold
// (a byte escape aside) is written as '?', or with refused given ends the
// conversion: nullopt, the character (as UTF-8) in *refused. ASCII is never
// refused.
std::optional<std::string> EncodeCp932(std::string_view utf8, std::string* refused) {
    std::string out;
    out.reserve(utf8.size());
    Converter cp932("CP932", "UTF-8");
    while (!utf8.empty()) {
        if (cp932.Ok() && cp932.Convert(utf8, out)) break;
        char32_t c = 0;
        const std::size_t length = Utf8CharLength(utf8, &c);
        if (length != 0 && c >= kByteEscapeBase + 0x80 && c <= kByteEscapeBase + 0xFF) {
            out += static_cast<char>(c - kByteEscapeBase);
        } else if (refused == nullptr) {
            out += '?';
        } else if (static_cast<unsigned char>(utf8.front()) < 0x80) {
            out += utf8.front();
        } else {
            *refused = std::string(utf8.substr(0, length != 0 ? length : 1));
            return std::nullopt;
        }
        utf8.remove_prefix(length != 0 ? length : 1);
    }
    return out;
}

}  // namespace

TextEncoding DetectEncoding(std::string_view bytes) {
    if (IsValidCp932(bytes)) return TextEncoding::Cp932;
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    Converter cp932("UTF-8", "CP932");
    while (!bytes.empty()) {
        if (cp932.Ok() && cp932.Convert(bytes, out)) break;
        // The first byte starts no character: keep it as its escape.
        AppendUtf8(out, kByteEscapeBase + static_cast<unsigned char>(bytes.front()));
        bytes.remove_prefix(1);
    }
    return out;
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(utf8);
    return *EncodeCp932(utf8, nullptr);
}

std::string DisplayText(std::string_view bytes) { return DecodeText(bytes, DetectEncoding(bytes)); }

bool CanEncode(std::string_view utf8Character, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return true;
    char32_t c = 0;
    if (Utf8CharLength(utf8Character, &c) != utf8Character.size()) return false;
    if (c >= kByteEscapeBase + 0x80 && c <= kByteEscapeBase + 0xFF) return true;
    Converter cp932("CP932", "UTF-8");
    std::string out;
    return cp932.Ok() && cp932.Convert(utf8Character, out);
}

std::optional<std::string> EncodeCp932OrRefuse(std::string_view utf8, std::string* refused) {
    std::string first;
    std::optional<std::string> bytes = EncodeCp932(utf8, &first);
    if (!bytes && refused != nullptr) *refused = std::move(first);
    return bytes;
}

ShownText::ShownText(std::string bytes, std::string_view lineBreak)
    : bytes_(std::move(bytes)), lineBreak_(lineBreak) {
    const bool cp932 = IsValidCp932(bytes_);
    const bool whole = cp932 || IsValidUtf8(bytes_);
    const TextEncoding encoding = cp932 || !whole ? TextEncoding::Cp932 : TextEncoding::Utf8;
    for (const std::string_view line : SplitAt(bytes_, lineBreak_)) {
        std::string shown = whole ? DecodeText(line, encoding) : DisplayText(line);
        if (!lines_.empty()) shown_ += '\n';
        shown_ += shown;
        lines_.emplace_back(std::move(shown), std::string(line));
    }
}

const std::string* ShownText::KeptLine(std::string_view shownLine) const {
    for (const auto& [shown, lineBytes] : lines_) {
        if (shown == shownLine) return &lineBytes;
    }
    return nullptr;
}

std::string ShownText::BytesFor(std::string_view edited) const {
    if (edited == shown_) return bytes_;
    std::string out;
    bool first = true;
    for (const std::string_view line : SplitAt(edited, "\n")) {
        if (!first) out += lineBreak_;
        first = false;
        const std::string* kept = KeptLine(line);
        out += kept != nullptr ? *kept : EncodeText(line, TextEncoding::Cp932);
    }
    return out;
}

std::string ShownText::Refused(std::string_view edited) const {
    std::string refused;
    if (edited == shown_) return refused;
    for (const std::string_view line : SplitAt(edited, "\n")) {
        if (KeptLine(line) == nullptr && !EncodeCp932OrRefuse(line, &refused)) break;
    }
    return refused;
}

}  // namespace quillet::platform
