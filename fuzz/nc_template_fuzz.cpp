// Fuzz target: the NC template reader and the cutting-condition test on
// arbitrary file bytes. Checks: the test answers yes or no for a readable file;
// a template read and written again reads back with the same texts when its
// texts hold no tag or marker text of their own.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_install.h"
#include "othmac/nc_template.h"

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
    return 0;
}
