// The edit behind dialog 102, free of any window: the template of one
// machine and material found or registered, its seventeen texts as the
// operator sees them, the master template, and the save.
//
// Texts are shown as UTF-8 with LF line breaks. The template's bytes are
// shown as UTF-8 when its texts are valid UTF-8, else as code page 932
// (Shift-JIS written by Windows workstations); what the operator did not
// change, whole texts and single lines, is written back byte for byte.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "platform/code_page.h"

namespace quillet::othmac {

class NcDataEdit {
public:
    explicit NcDataEdit(LookupRequest request) : request_(std::move(request)) {}

    // Looks up (or registers) the template and, when found, reads its texts
    // (all empty when it is not written yet). Returns the lookup's outcome
    // (SystemError also when the lookup failed unexpectedly). Never throws.
    Outcome Open();

    // The machine and material names as shown (the host's bytes decoded).
    std::string MachineShown() const { return platform::DisplayText(request_.machineName); }
    std::string MaterialShown() const { return platform::DisplayText(request_.materialName); }
    const std::string& TemplatePath() const { return templatePath_; }
    // The encoding new text is written in: that of the template's texts.
    platform::TextEncoding Encoding() const { return encoding_; }

    // A text as shown (UTF-8, lines separated by LF).
    const std::string& Text(NcText which) const { return shown_[Index(which)]; }
    void SetText(NcText which, std::string shown) { shown_[Index(which)] = std::move(shown); }
    // "Clear all": every text empty.
    void ClearAll();

    // The texts as the template file takes them (bytes, CR LF line breaks).
    NcTemplateTexts Bytes() const;
    // The first text over kMaxNcTextLength bytes as written, if any.
    std::optional<NcText> FirstOverlongText() const;

    enum class SaveResult { Saved, TooLong, WriteFailed, NoMaster };
    // OK: writes the texts to the template.
    SaveResult Save() const;
    // "Register master": writes the texts to the machine's master template
    // (registered when missing). NoMaster when it could not be found or
    // registered (nothing written).
    SaveResult RegisterMaster() const;
    // "Load master": the master's texts replace every text when the master
    // exists (registered when missing); false (texts unchanged) otherwise.
    bool LoadMaster();

private:
    static std::size_t Index(NcText which) { return static_cast<std::size_t>(which); }
    // The master template's path, nullopt when the lookup fails.
    std::optional<std::string> MasterPath() const;
    // Shows texts read from a template file.
    void Show(const NcTemplateTexts& texts);
    SaveResult Write(const std::string& path) const;

    LookupRequest request_;
    std::string templatePath_;
    platform::TextEncoding encoding_ = platform::TextEncoding::Utf8;
    NcTemplateTexts original_;  // the bytes as read
    std::array<std::string, kNcTextCount> shown_;
};

}  // namespace quillet::othmac
