// Writing and reading of NC template files. See nc_template.h.
#include "othmac/nc_template.h"

#include <algorithm>
#include <vector>

#include "othmac/text_lines.h"
#include "platform/file_ops.h"
#include "platform/text_mode.h"

namespace quillet::othmac {

namespace {

constexpr int kSectionCount = static_cast<int>(kNcTemplateSections.size());

// The texts of the cutting-condition sections, which SddGetOthCutInf asks
// about.
bool IsCuttingConditionText(std::optional<NcText> text) {
    return text == NcText::CutCondK || text == NcText::CutCondL || text == NcText::CutCondM ||
           text == NcText::CutCondH;
}

constexpr int kControlIds[kNcTextCount] = {1000, 1003, 1004, 1005, 1006, 1009, 1010, 1013, 1014,
                                           1017, 1018, 1007, 1011, 1015, 1019, 1012, 1022};

// The text as the C string it is.
std::string_view CString(const std::string& text) {
    return std::string_view(text).substr(0, text.find('\0'));
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \r\n") == std::string_view::npos;
}

// Splits at each CR LF pair; a lone CR or LF stays in its line; an empty
// part after the last pair is no line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = text.find("\r\n", start);
        if (pos == std::string_view::npos) break;
        lines.push_back(text.substr(start, pos - start));
        start = pos + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::string_view NcTagText(int tag) {
    return tag == kNcEndTag ? kNcTemplateEndTag
                            : kNcTemplateSections[static_cast<std::size_t>(tag)].tag;
}

int NcTextControlId(NcText which) { return kControlIds[static_cast<std::size_t>(which)]; }

std::size_t WrittenLength(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (IsBlank(text)) return 0;
    // The break after the last line is the file's own line break, which the
    // reader gives back as CR LF.
    return text.ends_with("\r\n") ? text.size() - 2 : text.size();
}

std::optional<std::size_t> FirstOverlongText(const NcTemplateTexts& texts) {
    for (std::size_t i = 0; i < kNcTextCount; ++i) {
        if (WrittenLength(texts.texts[i]) > kMaxNcTextLength) return i;
    }
    return std::nullopt;
}

std::string FormatNcTemplate(const NcTemplateTexts& texts) {
    std::string out;
    for (int s = 0; s < kSectionCount; ++s) {
        const NcTemplateSection& section = kNcTemplateSections[static_cast<std::size_t>(s)];
        if (s > 0) out += std::string(kNcTemplateEndTag) + "\n";
        out += std::string(section.tag) + "\n";
        if (!section.text) continue;
        const std::string_view text = CString(texts[*section.text]);
        if (IsBlank(text)) continue;
        const std::vector<std::string_view> lines = SplitLines(text);
        // The marker goes onto the first line, or onto the second when the
        // text begins with an empty line.
        const std::size_t markerLine = (!lines.empty() && lines.front().empty()) ? 1 : 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += lines[i];
            if (i == markerLine) out += section.marker;
            out += "\n";
        }
    }
    out += std::string(kNcTemplateEndTag) + "\n";
    return out;
}

bool WriteNcTemplate(const NcTemplateTexts& texts, const std::filesystem::path& path) {
    if (FirstOverlongText(texts)) return false;
    return platform::AtomicReplace(path, FormatNcTemplate(texts));
}

void ScanNcTemplate(std::string_view text,
                    const std::function<void(const NcTemplateLine&)>& visit) {
    platform::FgetsReader reader = TextLines(text);
    int current = -1;
    std::array<int, kNcTemplateSections.size()> contentLines{};
    std::array<bool, kNcTemplateSections.size()> startsEmpty{};
    NcTemplateLine piece;
    while (std::optional<platform::FgetsPiece> chunk = reader.Next()) {
        // A line is read whole, however long: a text line of 499 bytes with
        // its marker reads back as it was written, and a marker is never
        // split between two buffers. The pieces of one line lie side by side
        // in text.
        piece.line = chunk->line;
        std::string_view whole = chunk->chunk;
        while (chunk->Overlong() && chunk->cString.size() == chunk->chunk.size()) {
            chunk = reader.Next();
            whole = std::string_view(whole.data(), whole.size() + chunk->chunk.size());
        }
        const bool newline = whole.ends_with('\n');
        const std::string_view line = whole.substr(0, whole.size() - (newline ? 1 : 0));
        // A NUL byte ends the string that fgets leaves in its buffer.
        piece.nul = line.find('\0') != std::string_view::npos;
        piece.piece = line.substr(0, line.find('\0'));
        piece.lineEnds = newline || chunk->last;
        piece.tag = kNcNoTag;
        for (int s = 0; s < kSectionCount; ++s) {
            if (Contains(piece.piece, kNcTemplateSections[static_cast<std::size_t>(s)].tag)) {
                piece.tag = s;
            }
        }
        if (Contains(piece.piece, kNcTemplateEndTag)) piece.tag = kNcEndTag;
        if (piece.tag != kNcNoTag) current = piece.tag;
        piece.section = piece.tag == kNcNoTag ? current : -1;
        // A marker ends the line: whatever follows it is dropped.
        piece.kept = piece.piece.size();
        for (const std::string_view marker : kNcTemplateReadMarkers) {
            piece.kept = std::min(piece.kept, piece.piece.substr(0, piece.kept).find(marker));
        }
        piece.ownMarker = false;
        if (piece.section >= 0) {
            const auto s = static_cast<std::size_t>(piece.section);
            const int index = contentLines[s]++;
            if (index == 0) startsEmpty[s] = piece.piece.empty();
            const std::string_view own = kNcTemplateSections[s].marker;
            piece.ownMarker = !own.empty() && index == (startsEmpty[s] ? 1 : 0) &&
                              piece.piece.substr(piece.kept) == own;
        }
        visit(piece);
    }
}

NcTemplateTexts ParseNcTemplate(std::string_view textModeBytes) {
    std::vector<std::string> sections(kSectionCount);
    // Every content line ends with CR LF; the file's last line, without a
    // newline, keeps all its characters.
    ScanNcTemplate(textModeBytes, [&](const NcTemplateLine& piece) {
        if (piece.section < 0) return;
        std::string& text = sections[static_cast<std::size_t>(piece.section)];
        text.append(piece.piece.substr(0, piece.kept));
        text += "\r\n";
    });
    NcTemplateTexts texts;
    for (int s = 0; s < kSectionCount; ++s) {
        const std::optional<NcText> which = kNcTemplateSections[static_cast<std::size_t>(s)].text;
        if (which) texts[*which] = std::move(sections[static_cast<std::size_t>(s)]);
    }
    return texts;
}

std::optional<NcTemplateTexts> ReadNcTemplate(const std::filesystem::path& path) {
    const std::optional<std::string> text = platform::ReadTextModeFile(path);
    if (!text) return std::nullopt;
    return ParseNcTemplate(*text);
}

std::optional<bool> TemplateDefinesCuttingConditions(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const std::optional<std::string> text = platform::ReadTextModeFile(path);
    if (!text) return std::nullopt;
    platform::FgetsReader lines = TextLines(*text);
    for (std::optional<platform::FgetsPiece> line = lines.Next(); line; line = lines.Next()) {
        for (const NcTemplateSection& section : kNcTemplateSections) {
            if (!IsCuttingConditionText(section.text) || !Contains(line->cString, section.tag)) {
                continue;
            }
            // The line after the tag: content unless it starts a tag line.
            // The tags that follow in the table are looked for in it.
            line = lines.Next();
            if (!line) return false;
            if (line->cString.substr(0, 3).find('#') == std::string_view::npos) return true;
        }
    }
    return false;
}

}  // namespace quillet::othmac
