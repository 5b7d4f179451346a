// Writing and reading of NC template files. See nc_template.h.
#include "othmac/nc_template.h"

#include <vector>

#include "frame/status.h"
#include "othmac/text_lines.h"
#include "platform/file_ops.h"

namespace quillet::othmac {

namespace {

struct Section {
    const char* tag;
    const char* marker;  // written after the first content line; null: none
    int text;            // index into NcTemplateTexts; -1: always empty
};

constexpr int T(NcText which) { return static_cast<int>(which); }

// The file's sections in order. Reading finds tags anywhere in a line and
// the last one found wins, so "###NCSTARTG92" selects its own section over
// "###NCSTART" and "###CUTSTART-K-S" over "###CUTSTART-K".
constexpr Section kSections[] = {
    {"###NCSTART", nullptr, T(NcText::NcStart)},
    {"###NCSTARTG92", nullptr, T(NcText::NcStartG92)},
    {"###NCEND", nullptr, T(NcText::NcEnd)},
    {"###CUTSTART-K", "(ON)", T(NcText::CutStartK)},
    {"###CUTEND-K", "(OFF)", T(NcText::CutEndK)},
    {"###CUTSTART-K-S", nullptr, -1},
    {"###CUTEND-K-S", nullptr, -1},
    {"###CUTSTART-L", "(ON)", T(NcText::CutStartL)},
    {"###CUTEND-L", "(OFF)", T(NcText::CutEndL)},
    {"###CUTSTART-L-S", nullptr, -1},
    {"###CUTEND-L-S", nullptr, -1},
    {"###CUTSTART-M", "(ON)", T(NcText::CutStartM)},
    {"###CUTEND-M", "(OFF)", T(NcText::CutEndM)},
    {"###CUTSTART-M-S", nullptr, -1},
    {"###CUTEND-M-S", nullptr, -1},
    {"###CUTSTART-H", "(ON)", T(NcText::CutStartH)},
    {"###CUTEND-H", "(OFF)", T(NcText::CutEndH)},
    {"###CUTSTART-H-S", nullptr, -1},
    {"###CUTEND-H-S", nullptr, -1},
    {"###CUTCOND-K", "(CUT-K)", T(NcText::CutCondK)},
    {"###CUTCOND-L", "(CUT-L)", T(NcText::CutCondL)},
    {"###CUTCOND-M", "(CUT-M)", T(NcText::CutCondM)},
    {"###CUTCOND-H", "(CUT-H)", T(NcText::CutCondH)},
    {"###MAC-STOP", "(M-STOP)", T(NcText::MacStop)},
    {"###CUTMODAL", nullptr, -1},
    {"###CUTCOND-POS", nullptr, -1},
    {"###OFFSET-POS", "(OFFSET)", T(NcText::OffsetPos)},
};
constexpr int kSectionCount = static_cast<int>(std::size(kSections));

constexpr const char* kEndTag = "###END";
// Marker texts that end a line on reading, wherever they stand.
constexpr const char* kReadMarkers[] = {"(ON)", "(OFF)", "(CUT-", "(M-STOP)", "(OFFSET)"};
constexpr const char* kCutConditionTags[] = {"###CUTCOND-K", "###CUTCOND-L", "###CUTCOND-M",
                                             "###CUTCOND-H"};

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

int NcTextControlId(NcText which) { return kControlIds[static_cast<std::size_t>(which)]; }

std::optional<std::size_t> FirstOverlongText(const NcTemplateTexts& texts) {
    for (std::size_t i = 0; i < kNcTextCount; ++i) {
        if (CString(texts.texts[i]).size() > kMaxNcTextLength) return i;
    }
    return std::nullopt;
}

std::string FormatNcTemplate(const NcTemplateTexts& texts) {
    std::string out;
    for (int s = 0; s < kSectionCount; ++s) {
        const Section& section = kSections[s];
        if (s > 0) out += std::string(kEndTag) + "\n";
        out += std::string(section.tag) + "\n";
        if (section.text < 0) continue;
        const std::string_view text = CString(texts.texts[static_cast<std::size_t>(section.text)]);
        if (IsBlank(text)) continue;
        const std::vector<std::string_view> lines = SplitLines(text);
        // The marker goes onto the first line, or onto the second when the
        // text begins with an empty line.
        const std::size_t markerLine = (!lines.empty() && lines.front().empty()) ? 1 : 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += lines[i];
            if (i == markerLine && section.marker != nullptr) out += section.marker;
            out += "\n";
        }
    }
    out += std::string(kEndTag) + "\n";
    return out;
}

bool WriteNcTemplate(const NcTemplateTexts& texts, const std::filesystem::path& path) {
    if (FirstOverlongText(texts)) return false;
    return platform::AtomicReplace(path, FormatNcTemplate(texts));
}

std::optional<NcTemplateTexts> ReadNcTemplate(const std::filesystem::path& path) {
    const std::optional<std::vector<std::string>> lines = ReadTextLines(path);
    if (!lines) return std::nullopt;
    std::vector<std::string> sections(kSectionCount);
    int current = -1;
    for (std::string line : *lines) {
        bool tagLine = false;
        for (int s = 0; s < kSectionCount; ++s) {
            if (Contains(line, kSections[s].tag)) tagLine = true, current = s;
        }
        if (Contains(line, kEndTag)) tagLine = true, current = -1;
        if (tagLine || current < 0) continue;
        // A marker ends the line: whatever follows it is dropped.
        for (const char* marker : kReadMarkers) {
            const std::size_t pos = line.find(marker);
            if (pos != std::string::npos) line.resize(pos);
        }
        if (!line.empty() && line.back() == '\n') line.pop_back();
        // Every content line ends with CR LF. A line that had no newline
        // (the file's last line, or a part of a line over 499 characters)
        // keeps all its characters.
        sections[static_cast<std::size_t>(current)] += line + "\r\n";
    }
    NcTemplateTexts texts;
    for (int s = 0; s < kSectionCount; ++s) {
        if (kSections[s].text >= 0) {
            texts.texts[static_cast<std::size_t>(kSections[s].text)] = std::move(sections[s]);
        }
    }
    return texts;
}

int TemplateDefinesCuttingConditions(const std::string& path) {
    if (path.empty()) return kSystemError;
    const std::optional<std::vector<std::string>> lines = ReadTextLines(path);
    if (!lines) return kSystemError;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        for (const char* tag : kCutConditionTags) {
            if (!Contains((*lines)[i], tag)) continue;
            // The line after the tag: content unless it starts a tag line.
            if (++i >= lines->size()) return 0;
            const std::string& next = (*lines)[i];
            if (next.substr(0, 3).find('#') == std::string::npos) return 1;
        }
    }
    return 0;
}

}  // namespace quillet::othmac
