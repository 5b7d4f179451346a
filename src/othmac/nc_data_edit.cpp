// Opening, editing and saving the NC template of dialog 102.
#include "othmac/nc_data_edit.h"

namespace quillet::othmac {

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
    for (std::size_t i = 0; i < kNcTextCount; ++i) {
        original_[i] = platform::ShownText(texts.texts[i], "\r\n");
        shown_[i] = original_[i].Shown();
    }
}

void NcDataEdit::ClearAll() {
    for (std::string& text : shown_) text.clear();
}

NcTemplateTexts NcDataEdit::Bytes() const {
    NcTemplateTexts bytes;
    for (std::size_t i = 0; i < kNcTextCount; ++i)
        bytes.texts[i] = original_[i].BytesFor(shown_[i]);
    return bytes;
}

std::optional<std::pair<NcText, std::string>> NcDataEdit::FirstRefusedCharacter() const {
    for (std::size_t i = 0; i < kNcTextCount; ++i) {
        std::string refused = original_[i].Refused(shown_[i]);
        if (!refused.empty()) return std::pair(static_cast<NcText>(i), std::move(refused));
    }
    return std::nullopt;
}

std::optional<NcText> NcDataEdit::FirstOverlongText() const {
    const std::optional<std::size_t> overlong = othmac::FirstOverlongText(Bytes());
    if (!overlong) return std::nullopt;
    return static_cast<NcText>(*overlong);
}

NcDataEdit::SaveResult NcDataEdit::Write(const std::string& path) const {
    try {
        if (FirstRefusedCharacter()) return SaveResult::NotCp932;
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
        master.create = true;
        master.showMessages = false;
        master.materialName = kMasterMaterial;
        const LookupResult found = LocateConditionFile(master);
        if (found.status != Outcome::Done) return std::nullopt;
        return found.path;
    } catch (...) {
        return std::nullopt;
    }
}

NcDataEdit::SaveResult NcDataEdit::RegisterMaster() const {
    if (FirstRefusedCharacter()) return SaveResult::NotCp932;
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
