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

}  // namespace quillet::host
