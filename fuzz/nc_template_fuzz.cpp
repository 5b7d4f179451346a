// Fuzz target: the NC template reader, the cutting-condition test and the
// audit of quillet-host check on arbitrary file bytes. Checks: the test
// answers yes or no for a readable file; a template read and written again
// reads back with the same texts when its texts hold no tag or marker text of
// their own; a template the audit finds nothing to say about keeps every
// content line whole (the audit and the reader agree on what is read).
#include <cstddef>
#include <cstdint>
#include <string>

#include "check/check_internal.h"
#include "fuzz_install.h"
#include "othmac/nc_template.h"
#include "platform/text_mode.h"

using namespace quillet;
using quillet::fuzz::Check;
namespace fs = std::filesystem;

namespace {

bool PlainText(const std::string& text) {
    return text.find('#') == std::string::npos && text.find('(') == std::string::npos &&
           text.find('\0') == std::string::npos && text.find('\r') == text.rfind('\r') &&
           text.find('\n') == text.rfind('\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& install = fuzz::FuzzInstallation::Get();
    const fs::path path = install.dataFolder / "F.CUT";
    fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    Check(othmac::TemplateDefinesCuttingConditions(path.string()).has_value());
    const std::optional<othmac::NcTemplateTexts> texts = othmac::ReadNcTemplate(path);
    Check(texts.has_value());

    bool plain = true;
    for (const std::string& text : texts->texts) plain = plain && PlainText(text);
    if (plain && !othmac::FirstOverlongText(*texts)) {
        const fs::path copy = install.dataFolder / "G.CUT";
        Check(othmac::WriteNcTemplate(*texts, copy));
        const std::optional<othmac::NcTemplateTexts> again = othmac::ReadNcTemplate(copy);
        Check(again.has_value());
        for (std::size_t i = 0; i < othmac::kNcTextCount; ++i) {
            // Blank texts are not written; the others come back as they were.
            if (texts->texts[i].find_first_not_of(" \r\n") == std::string::npos) continue;
            Check(again->texts[i] == texts->texts[i]);
        }
    }
    // Nothing found: every content line is read whole, so the texts hold
    // each line of the file's sections as written, line break for line break.
    check::detail::Findings findings;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check::detail::CheckTemplateFile("F.CUT", bytes, findings);
    if (findings.All().empty()) {
        std::size_t kept = 0;
        othmac::ScanNcTemplate(
            platform::TextModeBytes(std::string(bytes)), [&](const othmac::NcTemplateLine& l) {
                if (l.section >= 0 &&
                    othmac::kNcTemplateSections[static_cast<std::size_t>(l.section)].text) {
                    kept += l.piece.size() + 2;
                }
            });
        std::size_t read = 0;
        for (const std::string& text : texts->texts) read += text.size();
        // Each line keeps its bytes; only the section's own marker goes.
        Check(read <= kept && kept - read <= 8 * othmac::kNcTextCount);
    }
    return 0;
}
