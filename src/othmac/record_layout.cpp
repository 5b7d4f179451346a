// Fields of the record store's lines. See record_layout.h.
#include "othmac/record_layout.h"

#include <charconv>
#include <cstdio>

#include "othmac/text_lines.h"
#include "platform/ascii.h"

namespace quillet::othmac {

namespace {

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

// "%-5.1lf" in the C locale.
std::string OldThicknessText(double value) {
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    return PadRight(ec == std::errc() ? std::string(buffer, end) : std::string("0.0"), 5);
}

}  // namespace

std::string MaterialListName(std::string_view machine) {
    return std::string(machine) + std::string(kListSuffix);
}

std::string TemplateFileName(std::string_view machine, std::string_view material) {
    return std::string(machine) + "-" + std::string(material) + std::string(kTemplateSuffix);
}

bool IsMaterialListName(std::string_view name) {
    return platform::EndsWithIgnoringAsciiCase(name, kListSuffix);
}

bool IsTemplateFileName(std::string_view name) {
    return platform::EndsWithIgnoringAsciiCase(name, kTemplateSuffix);
}

std::string_view FieldText(std::string_view line, RecordField field) {
    if (field.first >= line.size()) return {};
    return line.substr(field.first, field.width);
}

std::string_view FieldName(std::string_view field) {
    // A plain loop: find_first_of searches its set once per byte, and every
    // record of a look-up passes through here.
    std::size_t end = 0;
    while (end < field.size() && field[end] != ' ' && field[end] != '\r' && field[end] != '\n') {
        ++end;
    }
    return field.substr(0, end);
}

int FieldInteger(std::string_view field) {
    return static_cast<int>(platform::ReadLeadingInteger(field, 1'000'000'000).value);
}

double FieldReal(std::string_view field) { return platform::ReadLeadingReal(field).value; }

std::optional<std::string> FindMachineRecord(std::string_view text, int machineTypeNo,
                                             std::string_view machine) {
    platform::FgetsReader lines = TextLines(text);
    while (const std::optional<platform::FgetsPiece> line = lines.Next()) {
        // The name first: the number is read only from the records it picks.
        const std::string_view name = FieldName(FieldText(line->cString, kIndexRecord.name));
        if (!platform::EqualsIgnoringAsciiCase(name, machine)) continue;
        if (FieldInteger(FieldText(line->cString, kIndexRecord.number)) == machineTypeNo) {
            return std::string(FieldName(FieldText(line->cString, kIndexRecord.file)));
        }
    }
    return std::nullopt;
}

std::optional<std::string> FindMaterialRecord(std::string_view text, std::string_view material) {
    platform::FgetsReader lines = TextLines(text);
    while (const std::optional<platform::FgetsPiece> line = lines.Next()) {
        const std::string_view name = FieldName(FieldText(line->cString, kListRecord.name));
        if (platform::EqualsIgnoringAsciiCase(name, material)) {
            return std::string(FieldName(FieldText(line->cString, kListRecord.file)));
        }
    }
    return std::nullopt;
}

std::optional<OldRecord> ReadOldRecord(std::string_view line, const RecordLayout& layout) {
    const std::string_view name = FieldName(FieldText(line, layout.name));
    if (name.empty()) return std::nullopt;
    OldRecord record{layout.number.width != 0 ? FieldInteger(FieldText(line, layout.number)) : 0,
                     std::string(name), std::string(FieldName(FieldText(line, layout.file)))};
    if (layout.thickness.width != 0) {
        record.name += OldThicknessText(FieldReal(FieldText(line, layout.thickness)));
    }
    return record;
}

std::string MachineRecord(int machineTypeNo, const std::string& machineName,
                          const std::string& listFileName) {
    char number[16];
    std::snprintf(number, sizeof number, "%3d", machineTypeNo);
    return std::string(kRecordMarker) + number + PadRight(machineName, kNameFieldWidth) +
           PadRight(listFileName, kFileFieldWidth) + "\n";
}

std::string MaterialRecord(const std::string& materialName, const std::string& templateFileName) {
    return std::string(kRecordMarker) + PadRight(materialName, kNameFieldWidth) +
           PadRight(templateFileName, kFileFieldWidth) + "\n";
}

}  // namespace quillet::othmac
