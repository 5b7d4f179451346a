// The edit behind dialog 102, free of any window: the template of one
// machine and material found or registered, its seventeen texts as the
// operator sees them, the master template, and the save.
//
// Texts are shown as UTF-8 with LF line breaks. The template's bytes are
// shown as code page 932 (Shift-JIS, as Windows workstations write it) where
// they are valid CP932, as UTF-8 only where they are not (platform::
// ShownText); what the operator did not change, whole texts and single lines,
// is written back byte for byte, changed and new lines as CP932.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "platform/code_page.h"

namespace quillet::othmac {

class NcDataEdit {
public:
    explicit NcDataEdit(LookupRequest request) : request_(std::move(request)) {
        Show(NcTemplateTexts{});
    }

    // Looks up (or registers) the template and, when found, reads its texts
    // (all empty when it is not written yet). Returns the lookup's outcome
    // (SystemError also when the lookup failed unexpectedly). Never throws.
    Outcome Open();

    // The machine and material names as shown (the host's bytes decoded).
    std::string MachineShown() const { return platform::DisplayText(request_.machineName); }
    std::string MaterialShown() const { return platform::DisplayText(request_.materialName); }
    const std::string& TemplatePath() const { return templatePath_; }

    // A text as shown (UTF-8, lines separated by LF).
    const std::string& Text(NcText which) const { return shown_[Index(which)]; }
    void SetText(NcText which, std::string shown) { shown_[Index(which)] = std::move(shown); }
    // "Clear all": every text empty.
    void ClearAll();

    // The texts as the template file takes them (bytes, CR LF line breaks).
    NcTemplateTexts Bytes() const;
    // The first text over kMaxNcTextLength bytes as written, if any.
    std::optional<NcText> FirstOverlongText() const;
    // The first character, in a line the operator changed, that CP932
    // cannot hold, with its text, if any.
    std::optional<std::pair<NcText, std::string>> FirstRefusedCharacter() const;

    // Saves refuse texts that are too long or hold a character CP932 cannot
    // hold (nothing written).
    enum class SaveResult { Saved, TooLong, NotCp932, WriteFailed, NoMaster };
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
    std::array<platform::ShownText, kNcTextCount> original_;  // the texts as read
    std::array<std::string, kNcTextCount> shown_;
};

}  // namespace quillet::othmac
