// Text as quillet-host shows and takes it. Names and file contents of the
// data folder are bytes, code page 932 (CP932) as Windows workstations write
// them; what quillet-host prints is in the locale's encoding (JSON always in
// UTF-8), and text it is given in UTF-8 (the command line, a file from a
// Linux editor) goes into the data folder as CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace quillet::host {

// Bytes shown as UTF-8: valid CP932 as CP932, else valid UTF-8 as UTF-8.
using platform::DisplayText;

// DisplayText with every byte that starts no CP932 character written as
// \xNN, so that nothing of a name is invisible (the audit's reports).
inline std::string DisplayTextEscaped(std::string_view bytes) {
    const std::string shown = DisplayText(bytes);
    std::string out;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        // DecodeText shows such a byte as U+F700 + byte: EF 9E|9F 80..BF.
        const auto c = [&](std::size_t at) { return static_cast<unsigned char>(shown[at]); };
        if (c(i) == 0xEF && i + 2 < shown.size() && (c(i + 1) == 0x9E || c(i + 1) == 0x9F) &&
            (c(i + 2) & 0xC0) == 0x80) {
            const unsigned byte = ((c(i + 1) & 0x3F) << 6 | (c(i + 2) & 0x3F)) + 0xF000 - 0xF700;
            const char digits[] = "0123456789ABCDEF";
            out += {'\\', 'x', digits[byte >> 4], digits[byte & 15]};
            i += 2;
        } else {
            out += shown[i];
        }
    }
    return out;
}

// Under a locale whose character set is not UTF-8 (Shift-JIS, CP932),
// makes standard output and standard error write the UTF-8 quillet-host
// prints in that character set. Call once, before anything is printed.
void PrintInLocaleEncoding();
// Writes one JSON document (UTF-8) to standard output, past any
// conversion.
void PrintJson(const std::string& utf8);

// The form text given to quillet-host takes in the data folder: UTF-8 text
// (ASCII aside) encoded as CP932; text that is not UTF-8, or that a
// Shift-JIS locale gave, is CP932 already and stays as it is. nullopt when
// a character cannot be held in CP932; unheld then names it ("'😀'
// (U+1F600)").
std::optional<std::string> Cp932Form(std::string_view given, std::string& unheld);

// The forms a name given on the command line may have in the data folder:
// as typed, then its CP932 form when that differs.
std::vector<std::string> NameForms(const std::string& typed);

// "1 file", "2 files".
inline std::string Counted(std::size_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace quillet::host
