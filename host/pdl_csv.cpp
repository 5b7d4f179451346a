// The CSV form of a PDL table. See pdl_csv.h.
#include "pdl_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "diagnose.h"
#include "frame/setting_values.h"
#include "pdl/pdl_table.h"
#include "platform/ascii.h"
#include "platform/file_ops.h"
#include "platform/text_mode.h"
#include "platform/unicode.h"

namespace quillet::host {

namespace {

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// The fields of one CSV line (quoted fields with "" for a quote) split at
// separator.
std::vector<std::string> CsvFields(std::string_view line, char separator) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// CSV text as spreadsheets save it, in UTF-8: UTF-16 with its byte-order
// mark ("Unicode text") is decoded, a UTF-8 mark dropped.
std::string CsvText(const std::string& bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return platform::Utf16ToUtf8(std::string_view(bytes).substr(2),
                                     platform::ByteOrder::LittleEndian);
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return platform::Utf16ToUtf8(std::string_view(bytes).substr(2),
                                     platform::ByteOrder::BigEndian);
    }
    return bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
}

// A number written with a decimal comma ("0,9", "-1,5").
bool DecimalComma(std::string_view text) {
    const std::size_t comma = text.find(',');
    return comma != std::string_view::npos && comma > 0 && comma + 1 < text.size() &&
           text.find_first_not_of("+-0123456789,") == std::string_view::npos &&
           text.find(',', comma + 1) == std::string_view::npos;
}

constexpr const char* kDecimalMarkFix = ": use a point as the decimal mark";

// The value a table keeps of a number: the float of its slot, written with
// six decimals and read back.
float StoredValue(double value) {
    const std::string text = frame::FormatReal(static_cast<float>(value));
    double back = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    return static_cast<float>(back);
}

}  // namespace

std::string FloatText(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string CsvTableHeader() { return "slot,key,label,value\n"; }

std::string CsvTableRow(int slot, std::string_view key, const std::string& label, float value) {
    return std::to_string(slot) + "," + std::string(key) + "," + CsvField(label) + "," +
           FloatText(value) + "\n";
}

std::map<int, float> ReadCsvValues(const Report& report, const std::string& csvFile,
                                   int& exitCode) {
    const std::optional<std::string> bytes = platform::ReadWholeFile(fs::path(csvFile));
    if (!bytes) {
        exitCode = report.Usage("cannot use --csv: " + ReadProblem(csvFile));
        return {};
    }
    const std::string csv = CsvText(*bytes);
    std::map<int, float> values;
    std::size_t keyColumn = 0, valueColumn = 0, columns = 0;
    char separator = ',';
    int lineNumber = 0;
    auto refuse = [&](const std::string& what) {
        exitCode = report.Usage(csvFile + ":" + std::to_string(lineNumber) + ": " + what);
        return std::map<int, float>();
    };
    for (const std::string_view line : platform::SplitLines(csv)) {
        ++lineNumber;
        if (platform::TrimProfileSpace(line).empty()) continue;
        if (columns == 0) {
            // The header names the columns and, by what splits it into
            // them, the separator: a comma, a semicolon or a tab.
            for (const char candidate : {',', ';', '\t'}) {
                const std::vector<std::string> fields = CsvFields(line, candidate);
                keyColumn = valueColumn = fields.size();
                for (std::size_t i = 0; i < fields.size(); ++i) {
                    const std::string_view name = platform::TrimProfileSpace(fields[i]);
                    if (platform::EqualsIgnoringAsciiCase(name, "key")) keyColumn = i;
                    if (platform::EqualsIgnoringAsciiCase(name, "value")) valueColumn = i;
                }
                if (keyColumn < fields.size() && valueColumn < fields.size()) {
                    columns = fields.size();
                    separator = candidate;
                    break;
                }
            }
            if (columns == 0) {
                return refuse(
                    "the header names no key and value columns (as pdl-table --csv writes "
                    "them: slot,key,label,value)");
            }
            continue;
        }
        const std::vector<std::string> fields = CsvFields(line, separator);
        if (std::all_of(fields.begin(), fields.end(), [](const std::string& field) {
                return platform::TrimProfileSpace(field).empty();
            })) {
            continue;  // an empty row of a spreadsheet
        }
        if (fields.size() != columns) {
            return refuse(std::to_string(fields.size()) + " fields where the header has " +
                          std::to_string(columns) +
                          (separator == ',' ? " (a number written with a decimal comma?" +
                                                  std::string(kDecimalMarkFix) + ")"
                                            : std::string()));
        }
        const std::string_view key = platform::TrimProfileSpace(fields[keyColumn]);
        int slot = -1;
        for (int s = 0; s < pdl::kPdlParamCount; ++s) {
            if (platform::EqualsIgnoringAsciiCase(key, pdl::kPdlParamKeys[s])) slot = s;
        }
        if (slot < 0) return refuse(std::string("'").append(key) + "' is no parameter key");
        const std::string_view text = platform::TrimProfileSpace(fields[valueColumn]);
        const std::string shown = std::string(key) + "=" + std::string(text);
        if (DecimalComma(text)) {
            return refuse(shown + " is written with a decimal comma" + kDecimalMarkFix);
        }
        double value = 0.0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
            return refuse(shown + ": '" + std::string(text) + "' is not a number");
        }
        if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
            return refuse(shown + " is " +
                          (std::isfinite(value) ? "beyond what the table's float holds (about "
                                                  "3.4e38)"
                                                : "no finite number") +
                          ": the table keeps finite numbers only");
        }
        const float stored = StoredValue(value);
        double back = 0.0;
        const std::string storedText = FloatText(stored);
        std::from_chars(storedText.data(), storedText.data() + storedText.size(), back);
        if (back != value) {
            PrintError(report.Command() + ": warning: " + csvFile + ":" +
                       std::to_string(lineNumber) + ": " + shown + " is stored as " +
                       frame::FormatReal(stored) +
                       " (the table keeps a float, written with six decimals)");
        }
        if (!values.emplace(slot, stored).second) {
            return refuse(std::string(key) + " is given twice");
        }
    }
    if (values.empty()) exitCode = report.Usage(csvFile + " holds no value rows");
    return values;
}

}  // namespace quillet::host
