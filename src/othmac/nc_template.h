// The NC template file: 27 "###" tag sections holding the seventeen code
// texts of one machine and laser material, its writer and reader, and the
// test whether a template defines cutting-condition code.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::othmac {

// The seventeen texts, in the order of the file's sections.
enum class NcText {
    NcStart,     // "###NCSTART", control 1000
    NcStartG92,  // "###NCSTARTG92", 1003
    NcEnd,       // "###NCEND", 1004
    CutStartK,   // 1005
    CutEndK,     // 1006
    CutStartL,   // 1009
    CutEndL,     // 1010
    CutStartM,   // 1013
    CutEndM,     // 1014
    CutStartH,   // 1017
    CutEndH,     // 1018
    CutCondK,    // 1007
    CutCondL,    // 1011
    CutCondM,    // 1015
    CutCondH,    // 1019
    MacStop,     // 1012
    OffsetPos,   // 1022
};
inline constexpr std::size_t kNcTextCount = 17;
// Longest text in bytes (the 500-byte buffers of the template's users).
inline constexpr std::size_t kMaxNcTextLength = 499;

// The texts of a template; lines separated by CR LF.
struct NcTemplateTexts {
    std::array<std::string, kNcTextCount> texts;

    std::string& operator[](NcText which) { return texts[static_cast<std::size_t>(which)]; }
    const std::string& operator[](NcText which) const {
        return texts[static_cast<std::size_t>(which)];
    }
    bool operator==(const NcTemplateTexts&) const = default;
};

// A section of the file, in written order: its tag, the marker written after
// its first content line (empty: none) and the text it holds (none for the
// sections that are always written empty). Reading finds tags anywhere in a
// line and the last one found wins, so "###NCSTARTG92" selects its own
// section over "###NCSTART" and "###CUTSTART-K-S" over "###CUTSTART-K".
struct NcTemplateSection {
    std::string_view tag;
    std::string_view marker;
    std::optional<NcText> text;
};
inline constexpr std::array<NcTemplateSection, 27> kNcTemplateSections = {{
    {"###NCSTART", "", NcText::NcStart},
    {"###NCSTARTG92", "", NcText::NcStartG92},
    {"###NCEND", "", NcText::NcEnd},
    {"###CUTSTART-K", "(ON)", NcText::CutStartK},
    {"###CUTEND-K", "(OFF)", NcText::CutEndK},
    {"###CUTSTART-K-S", "", std::nullopt},
    {"###CUTEND-K-S", "", std::nullopt},
    {"###CUTSTART-L", "(ON)", NcText::CutStartL},
    {"###CUTEND-L", "(OFF)", NcText::CutEndL},
    {"###CUTSTART-L-S", "", std::nullopt},
    {"###CUTEND-L-S", "", std::nullopt},
    {"###CUTSTART-M", "(ON)", NcText::CutStartM},
    {"###CUTEND-M", "(OFF)", NcText::CutEndM},
    {"###CUTSTART-M-S", "", std::nullopt},
    {"###CUTEND-M-S", "", std::nullopt},
    {"###CUTSTART-H", "(ON)", NcText::CutStartH},
    {"###CUTEND-H", "(OFF)", NcText::CutEndH},
    {"###CUTSTART-H-S", "", std::nullopt},
    {"###CUTEND-H-S", "", std::nullopt},
    {"###CUTCOND-K", "(CUT-K)", NcText::CutCondK},
    {"###CUTCOND-L", "(CUT-L)", NcText::CutCondL},
    {"###CUTCOND-M", "(CUT-M)", NcText::CutCondM},
    {"###CUTCOND-H", "(CUT-H)", NcText::CutCondH},
    {"###MAC-STOP", "(M-STOP)", NcText::MacStop},
    {"###CUTMODAL", "", std::nullopt},
    {"###CUTCOND-POS", "", std::nullopt},
    {"###OFFSET-POS", "(OFFSET)", NcText::OffsetPos},
}};
// The line that closes a section.
inline constexpr std::string_view kNcTemplateEndTag = "###END";
// Marker texts that end a content line on reading, wherever they stand.
inline constexpr std::array<std::string_view, 5> kNcTemplateReadMarkers = {"(ON)", "(OFF)", "(CUT-",
                                                                           "(M-STOP)", "(OFFSET)"};

// The dialog control that shows a text.
int NcTextControlId(NcText which);

// The bytes written for text: up to a NUL byte, without the CR LF that ends
// its last line (the reader adds it to every line); 0 for a blank text,
// which is written as an empty section.
std::size_t WrittenLength(std::string_view text);

// The index of the first text whose written length is over
// kMaxNcTextLength, if any.
std::optional<std::size_t> FirstOverlongText(const NcTemplateTexts& texts);

// The file contents WriteNcTemplate writes.
std::string FormatNcTemplate(const NcTemplateTexts& texts);

// Writes texts to path in one atomic rewrite. False, with nothing written,
// when a text's written length is over kMaxNcTextLength or the file cannot
// be written.
bool WriteNcTemplate(const NcTemplateTexts& texts, const std::filesystem::path& path);

// Reads the template at path. nullopt when it cannot be opened (the caller
// keeps its texts); otherwise all seventeen texts, empty where a section is
// missing, each content line ending with CR LF. Lines are read whole, however
// long, so that a written text reads back as it was.
std::optional<NcTemplateTexts> ReadNcTemplate(const std::filesystem::path& path);

// The same for a template's bytes as text mode reads them (CR LF as LF).
NcTemplateTexts ParseNcTemplate(std::string_view textModeBytes);

// One piece of a template as the reader takes it: a line of the file, read
// whole however long (a NUL byte cuts it; what follows comes as a piece of
// its own).
inline constexpr int kNcNoTag = -2;
inline constexpr int kNcEndTag = -1;
struct NcTemplateLine {
    int line = 0;            // the file's line (1-based) the piece belongs to
    std::string_view piece;  // as read, without its newline, cut at a NUL byte
    bool lineEnds = true;    // false: the line goes on in the next piece, or
                             // the file ends without a newline
    bool nul = false;        // the line held a NUL byte, which cut the piece
    int tag = kNcNoTag;      // the section whose tag the piece holds (the last
                             // one found), kNcEndTag for ###END
    int section = -1;        // the section the piece adds content to; -1: none
    std::size_t kept = 0;    // bytes of the piece the content keeps: a marker
                             // text ends it
    bool ownMarker = false;  // what the marker cut off is the section's own
                             // marker where the writer puts it (the end of
                             // the first content line, or of the second after
                             // an empty first one): the text reads back whole
};
// The tag a piece's tag number stands for ("###END" for kNcEndTag).
std::string_view NcTagText(int tag);

// Walks the pieces of a template in one pass, as ParseNcTemplate reads them.
void ScanNcTemplate(std::string_view textModeBytes,
                    const std::function<void(const NcTemplateLine&)>& visit);

// SddGetOthCutInf: true when one of the cutting-condition sections of the
// file has a content line, false when none has, nullopt for an empty path or
// a file that cannot be opened.
std::optional<bool> TemplateDefinesCuttingConditions(const std::string& path);

}  // namespace quillet::othmac
