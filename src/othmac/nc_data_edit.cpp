// Opening, editing and saving the NC template of dialog 102.
#include "othmac/nc_data_edit.h"

#include <unordered_map>
#include <vector>

namespace quillet::othmac {

namespace {

// The lines of text split at sep (the last one without it, possibly empty).
std::vector<std::string_view> Lines(std::string_view text, std::string_view sep) {
    std::vector<std::string_view> lines;
    for (std::size_t at; (at = text.find(sep)) != std::string_view::npos;) {
        lines.push_back(text.substr(0, at));
        text.remove_prefix(at + sep.size());
    }
    lines.push_back(text);
    return lines;
}

// The bytes of a shown text: lines joined by CR LF; each line the operator
// left as it was shown keeps its bytes, the others are encoded.
std::string Encode(std::string_view shown, std::string_view original,
                   platform::TextEncoding encoding) {
    std::unordered_map<std::string, std::string_view> kept;
    for (std::string_view line : Lines(original, "\r\n")) {
        kept.emplace(platform::DecodeText(line, encoding), line);
    }
    std::string bytes;
    bool first = true;
    for (std::string_view line : Lines(shown, "\n")) {
        if (!first) bytes += "\r\n";
        first = false;
        const auto it = kept.find(std::string(line));
        bytes += it != kept.end() ? std::string(it->second) : platform::EncodeText(line, encoding);
    }
    return bytes;
}

// A shown text: the bytes decoded, CR LF as LF.
std::string Decode(std::string_view bytes, platform::TextEncoding encoding) {
    std::string shown;
    bool first = true;
    for (std::string_view line : Lines(bytes, "\r\n")) {
        if (!first) shown += '\n';
        first = false;
        shown += platform::DecodeText(line, encoding);
    }
    return shown;
}

}  // namespace

Outcome NcDataEdit::Open() {
    try {
        const LookupResult found = LocateConditionFile(request_);
        if (found.status != Outcome::Done) return found.status;
        templatePath_ = found.path;
        // A template not written yet leaves the texts empty.
        if (const std::optional<NcTemplateTexts> texts = ReadNcTemplate(templatePath_)) {
            Show(*texts);
        }
        return Outcome::Done;
    } catch (...) {
        return Outcome::SystemError;
    }
}

void NcDataEdit::Show(const NcTemplateTexts& texts) {
    std::string all;
    for (const std::string& text : texts.texts) all += text;
    encoding_ = platform::DetectEncoding(all);
    original_ = texts;
    for (std::size_t i = 0; i < kNcTextCount; ++i) shown_[i] = Decode(texts.texts[i], encoding_);
}

void NcDataEdit::ClearAll() {
    for (std::string& text : shown_) text.clear();
}

NcTemplateTexts NcDataEdit::Bytes() const {
    NcTemplateTexts bytes;
    for (std::size_t i = 0; i < kNcTextCount; ++i) {
        const std::string& original = original_.texts[i];
        bytes.texts[i] = shown_[i] == Decode(original, encoding_)
                             ? original
                             : Encode(shown_[i], original, encoding_);
    }
    return bytes;
}

std::optional<NcText> NcDataEdit::FirstOverlongText() const {
    const std::optional<std::size_t> overlong = othmac::FirstOverlongText(Bytes());
    if (!overlong) return std::nullopt;
    return static_cast<NcText>(*overlong);
}

NcDataEdit::SaveResult NcDataEdit::Write(const std::string& path) const {
    try {
        const NcTemplateTexts bytes = Bytes();
        if (othmac::FirstOverlongText(bytes)) return SaveResult::TooLong;
        return WriteNcTemplate(bytes, path) ? SaveResult::Saved : SaveResult::WriteFailed;
    } catch (...) {
        return SaveResult::WriteFailed;
    }
}

NcDataEdit::SaveResult NcDataEdit::Save() const { return Write(templatePath_); }

std::optional<std::string> NcDataEdit::MasterPath() const {
    try {
        LookupRequest master = request_;
        master.create = 1;
        master.showMessages = 0;
        master.materialName = kMasterMaterial;
        const LookupResult found = LocateConditionFile(master);
        if (found.status != Outcome::Done) return std::nullopt;
        return found.path;
    } catch (...) {
        return std::nullopt;
    }
}

NcDataEdit::SaveResult NcDataEdit::RegisterMaster() const {
    if (FirstOverlongText()) return SaveResult::TooLong;
    const std::optional<std::string> path = MasterPath();
    if (!path) return SaveResult::NoMaster;
    return Write(*path);
}

bool NcDataEdit::LoadMaster() {
    const std::optional<std::string> path = MasterPath();
    if (!path) return false;
    try {
        const std::optional<NcTemplateTexts> texts = ReadNcTemplate(*path);
        if (!texts) return false;
        Show(*texts);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace quillet::othmac
