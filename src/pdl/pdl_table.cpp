// Reading and writing one PDL table by walking the key table once, and the
// display form of a value.
#include "pdl/pdl_table.h"

#include <charconv>
#include <cstring>

#include "frame/setting_values.h"

namespace quillet::pdl {

const std::array<std::string, kPdlTableCount> kPdlTableSections = [] {
    std::array<std::string, kPdlTableCount> sections;
    for (std::size_t table = 0; table < sections.size(); ++table) {
        sections[table] = "PDL_CUT_" + std::string(frame::kCuttingConditionNames[table]);
    }
    return sections;
}();

void WritePdlCutCondition(platform::ProfileDocument& document, PdlCutTable table,
                          const PdlCutCondition& record) {
    const std::string& section = kPdlTableSections[static_cast<std::size_t>(table)];
    for (int slot = 0; slot < kPdlParamCount; ++slot) {
        frame::WriteSettingValue(frame::SettingValueKind::Real,
                                 frame::SettingValue::Real(static_cast<double>(record.slot[slot])),
                                 document, section, std::string(kPdlParamKeys[slot]));
    }
}

void ReadPdlCutCondition(const platform::ProfileDocument& document, PdlCutTable table,
                         PdlCutCondition& record) {
    const std::string& section = kPdlTableSections[static_cast<std::size_t>(table)];
    for (int slot = 0; slot < kPdlParamCount; ++slot) {
        const double real = frame::ReadSetting(frame::SettingValueKind::Real, document, section,
                                               std::string(kPdlParamKeys[slot]))
                                .real;
        record.slot[slot] = static_cast<float>(real);
    }
}

std::string FormatPdlValue(float value) {
    // "%.3f" of the C locale (to_chars behaves as printf does there, whatever
    // locale the Qt application has set); any float fits.
    char work[50];
    const auto result = std::to_chars(work, work + sizeof work, static_cast<double>(value),
                                      std::chars_format::fixed, 3);
    std::string text(work, result.ec == std::errc() ? result.ptr : work);
    // Drop the trailing zeros of the decimals, and the point with them when
    // no decimal is left; "inf" and "nan" have no point.
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

}  // namespace quillet::pdl
