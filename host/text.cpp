// The locale's encoding of what quillet-host prints and the CP932 form of
// what it is given. See text.h.
#include "text.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdio>

#include "platform/unicode.h"

namespace quillet::host {

namespace {

// The locale's character set is UTF-8, or one that says nothing else
// (ASCII, the C locale); not Shift-JIS or CP932. Asked once.
bool LocaleTakesUtf8() {
    static const bool utf8 = [] {
        const std::string saved = ::setlocale(LC_CTYPE, nullptr);
        ::setlocale(LC_CTYPE, "");
        std::string folded;
        for (const char* c = ::nl_langinfo(CODESET); c != nullptr && *c != '\0'; ++c) {
            if (*c != '-' && *c != '_') folded += static_cast<char>(*c | 0x20);
        }
        ::setlocale(LC_CTYPE, saved.c_str());
        return folded != "shiftjis" && folded != "sjis" && folded != "cp932" &&
               folded != "windows31j" && folded != "mskanji";
    }();
    return utf8;
}

// The length of the UTF-8 character that starts with lead, to keep a
// character the stream's buffer cut until its last byte comes.
std::size_t Utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// A stream that writes what it is given as CP932, keeping a character cut
// by the stream's buffer until its last byte comes.
struct Cp932Stream {
    int fd;
    std::string pending;
};

ssize_t WriteCp932(void* cookie, const char* data, size_t size) {
    auto* stream = static_cast<Cp932Stream*>(cookie);
    stream->pending.append(data, size);
    std::size_t whole = 0;
    while (whole < stream->pending.size()) {
        const std::size_t length = Utf8Length(static_cast<unsigned char>(stream->pending[whole]));
        if (whole + length > stream->pending.size()) break;
        whole += length;
    }
    const std::string out = platform::EncodeText(std::string_view(stream->pending).substr(0, whole),
                                                 platform::TextEncoding::Cp932);
    stream->pending.erase(0, whole);
    for (std::size_t done = 0; done < out.size();) {
        const ssize_t n = ::write(stream->fd, out.data() + done, out.size() - done);
        if (n <= 0) return -1;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

FILE* Cp932File(int fd) {
    static Cp932Stream streams[3];
    streams[fd] = Cp932Stream{fd, {}};
    cookie_io_functions_t functions{};
    functions.write = WriteCp932;
    FILE* file = ::fopencookie(&streams[fd], "w", functions);
    if (file != nullptr) ::setvbuf(file, nullptr, fd == STDERR_FILENO ? _IOLBF : _IOFBF, 4096);
    return file;
}

}  // namespace

void PrintInLocaleEncoding() {
    if (LocaleTakesUtf8()) return;
    if (FILE* out = Cp932File(STDOUT_FILENO)) stdout = out;
    if (FILE* err = Cp932File(STDERR_FILENO)) stderr = err;
}

void PrintJson(const std::string& utf8) {
    std::fflush(stdout);
    const std::string text = utf8 + "\n";
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::optional<std::string> Cp932Form(std::string_view given, std::string& unheld) {
    // Given text is decided by the locale it was typed in, not by how the
    // data folder's bytes are shown: valid UTF-8 under a UTF-8 locale is UTF-8.
    if (!LocaleTakesUtf8() || !platform::IsValidUtf8(given)) return std::string(given);
    std::string refused;
    std::optional<std::string> encoded = platform::EncodeCp932OrRefuse(given, &refused);
    if (!encoded) {
        char32_t c = 0;
        platform::Utf8CharLength(refused, &c);
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        unheld = std::string("'").append(refused).append("' (").append(code).append(")");
    }
    return encoded;
}

std::vector<std::string> NameForms(const std::string& typed) {
    std::vector<std::string> forms = {typed};
    std::string unheld;
    if (const std::optional<std::string> cp932 = Cp932Form(typed, unheld);
        cp932 && *cp932 != typed) {
        forms.push_back(*cp932);
    }
    return forms;
}

}  // namespace quillet::host
