// Audit of the NC template files: the module's own template reader walks
// each file, and the audit says what each piece does to the texts.
#include <algorithm>
#include <array>

#include "check/check_internal.h"
#include "othmac/nc_template.h"
#include "platform/text_mode.h"

namespace quillet::check::detail {

namespace {

constexpr const auto& kTags = othmac::kNcTemplateSections;

std::string TagName(int tag) { return std::string(othmac::NcTagText(tag)); }

}  // namespace

void CheckTemplateFile(const std::string& file, std::string_view bytes, Findings& findings) {
    int current = -1;  // section being read, -1 outside any
    int currentLine = 0;
    int lastTag = -1;
    std::array<int, kTags.size()> firstLine{};
    const std::string text = platform::TextModeBytes(std::string(bytes));
    // The module's own reader walks the pieces; the audit says what each
    // piece does.
    othmac::ScanNcTemplate(text, [&](const othmac::NcTemplateLine& piece) {
        const int number = piece.line;
        if (piece.nul) {
            findings.Warning("nul-byte", file, number,
                             "line holds a NUL byte: reading ends the line there");
        }
        if (piece.tag >= 0) {
            const auto t = static_cast<std::size_t>(piece.tag);
            if (current >= 0) {
                findings.Warning("unclosed-section", file, currentLine,
                                 TagName(current) + " is not closed by ###END before line " +
                                     std::to_string(number));
            }
            if (firstLine[t] != 0) {
                findings.Warning("duplicate-tag", file, number,
                                 TagName(piece.tag) + " appears again (first on line " +
                                     std::to_string(firstLine[t]) +
                                     "): its lines are added to the first");
            } else if (piece.tag < lastTag) {
                findings.Warning("tag-order", file, number,
                                 TagName(piece.tag) + " stands after " + TagName(lastTag) +
                                     ": saving the template writes the sections in their fixed "
                                     "order");
            }
            if (firstLine[t] == 0) firstLine[t] = number;
            lastTag = std::max(lastTag, piece.tag);
            current = piece.tag;
            currentLine = number;
            return;
        }
        if (piece.tag == othmac::kNcEndTag) {
            current = -1;
            return;
        }
        const std::string line(piece.piece);
        if (line.find("###") != std::string::npos) {
            findings.Warning("unknown-tag", file, number,
                             "'" + line + "' is no template tag: it is read as " +
                                 (piece.section >= 0 ? "content" : "an ignored line"));
        }
        if (piece.section < 0) {
            if (!IsBlankLine(line) && line.find("###") == std::string::npos) {
                findings.Warning("outside-section", file, number,
                                 "line outside any section: it is ignored");
            }
            return;
        }
        if (!kTags[static_cast<std::size_t>(piece.section)].text) {
            findings.Warning("dropped-content", file, number,
                             "content of " + TagName(piece.section) +
                                 ", a section the module keeps no text of: saving the template "
                                 "drops it");
            return;
        }
        if (piece.kept < line.size() && !piece.ownMarker) {
            findings.Warning(
                "content-marker", file, number,
                "content holds the marker text '" +
                    line.substr(piece.kept, line.find(')', piece.kept) + 1 - piece.kept) +
                    "': reading cuts the line there");
        }
    });
    if (current >= 0) {
        findings.Warning("unclosed-section", file, currentLine,
                         TagName(current) + " is not closed by ###END at the end of the file");
    }
    // The NC data dialog saves a text of at most kMaxNcTextLength bytes.
    const othmac::NcTemplateTexts texts = othmac::ParseNcTemplate(text);
    for (std::size_t s = 0; s < kTags.size(); ++s) {
        if (!kTags[s].text) continue;
        const std::size_t length = othmac::WrittenLength(texts[*kTags[s].text]);
        if (length > othmac::kMaxNcTextLength) {
            findings.Warning("long-text", file, firstLine[s],
                             TagName(static_cast<int>(s)) + " holds " + std::to_string(length) +
                                 " bytes: the NC data dialog saves at most " +
                                 std::to_string(othmac::kMaxNcTextLength) + "; shorten it");
        }
    }
}

}  // namespace quillet::check::detail
