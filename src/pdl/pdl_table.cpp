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

void FormatPdlValue(float value, char* buffer) {
    // "%.3f" of the C locale (to_chars behaves as printf does there, whatever
    // locale the Qt application has set).
    char work[50];
    std::memset(work, 0, sizeof work);
    const auto result = std::to_chars(work, work + sizeof work - 1, static_cast<double>(value),
                                      std::chars_format::fixed, 3);
    if (result.ec != std::errc()) work[0] = '\0';
    // Drop the trailing zeros of the decimals from the back; the point stops
    // the scan, so zeros before it stay. Position 0 is never examined.
    for (int i = static_cast<int>(sizeof work) - 1; i >= 1; --i) {
        const char c = work[i];
        if (c == '0') {
            work[i] = '\0';
        } else if (c == '.') {
            work[i] = '\0';
            break;
        } else if (c >= '1' && c <= '9') {
            break;
        }
    }
    std::memcpy(buffer, work, std::strlen(work) + 1);
}

std::string FormatPdlValue(float value) {
    char buffer[50];
    FormatPdlValue(value, buffer);
    return buffer;
}

}  // namespace quillet::pdl
