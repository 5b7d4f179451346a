// quillet-host commands of the PDL tables: print a table (all parameters or
// those the machine uses, as text, JSON or CSV), import a table from CSV,
// list, copy and delete condition files, map a machine type, open the
// dialog, and a demo on the sample installation.
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>

#include "check/check.h"
#include "cli.h"
#include "diagnose.h"
#include "frame/cutting_conditions.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "frame/setting_values.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "pdl/pdl_table.h"
#include "platform/ascii.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

// The shortest text that reads back as the same float (C locale).
std::string FloatText(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// A JSON number for a float; null for infinities and NaN, which JSON cannot
// carry.
Json JsonNumber(float value) {
    if (!std::isfinite(value)) return nullptr;
    return std::strtod(FloatText(value).c_str(), nullptr);
}

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
    const bool little = bytes.rfind("\xFF\xFE", 0) == 0;
    if (!little && bytes.rfind("\xFE\xFF", 0) != 0) {
        return bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
    }
    std::string text;
    char32_t high = 0;  // a high surrogate waiting for its low one
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        char32_t c = little ? (a | b << 8) : (b | a << 8);
        if (c >= 0xD800 && c <= 0xDBFF) {
            high = c;
            continue;
        }
        if (c >= 0xDC00 && c <= 0xDFFF) {
            c = high != 0 ? 0x10000 + ((high - 0xD800) << 10) + (c - 0xDC00) : U'?';
        }
        high = 0;
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            text += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            text +=
                {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                 static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return text;
}

// The lines of a CSV text: LF, CR LF and a lone CR (old spreadsheets) end
// a line.
std::vector<std::string_view> CsvLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
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

// The condition file of a pair, as the module names it; nullopt when the
// data folder or the path cannot be formed (the export then reports it).
std::optional<fs::path> ConditionFile(const std::string& machine, const std::string& material) {
    const std::optional<fs::path> folder = DataFolder();
    if (!folder) return std::nullopt;
    const std::optional<std::string> path =
        platform::ComposePath(folder->string(), {"/PDL_CUT_", machine, "_", material, ".ini"});
    return path ? std::optional<fs::path>(*path) : std::nullopt;
}

// A machine and material as the data folder names their condition file.
struct PdlPair {
    std::string machine;
    std::string material;
    Json nameForms = Json::object();
};

// The pair in the forms of its names whose condition file exists, else
// for a file to be made their CP932 forms (see ResolveFileNames).
std::optional<int> ResolvePair(const Report& report, PdlPair& pair, bool creating) {
    return ResolveFileNames(
        report, {{"machine", &pair.machine}, {"material", &pair.material}},
        [](const std::vector<std::string>& names) {
            const std::optional<fs::path> file = ConditionFile(names[0], names[1]);
            return file && platform::FileExists(*file);
        },
        creating, pair.nameForms);
}

// A pair without a condition file is most likely a mistyped name: the
// export would quietly make one from the master. Refused unless the flag
// says so; nullopt when the call may go ahead.
std::optional<int> RefuseMissingPair(const Report& report, const PdlPair& pair, bool allowed,
                                     const std::string& fix) {
    const std::string& machine = pair.machine;
    const std::string& material = pair.material;
    // Names the export refuses itself (empty, or holding a separator) go to
    // the export, which reports it.
    if (allowed || machine.empty() || material.empty() || platform::NameHoldsSeparator(machine) ||
        platform::NameHoldsSeparator(material)) {
        return std::nullopt;
    }
    const std::optional<fs::path> file = ConditionFile(machine, material);
    if (!file || platform::FileExists(*file)) return std::nullopt;
    return report.Fail(kExitNotDone, kExitNotDone,
                       machine + " / " + material + " has no condition file " + file->string(),
                       "check the names (quillet-host pdl-list)" + fix);
}

constexpr const char* kCreateFix = ", or give --create to make it from PDL_CUT_MASTER.ini";

// What the PDL exports need (and the condition file a call writes, when
// given); the cause of their failure.
std::string PdlCause(int status, const std::optional<fs::path>& written = std::nullopt) {
    if (status == QUILLET_INVALID_ARGUMENTS) {
        return "names must not be empty nor hold '/', tables are K..P103 or 0-12, machine types "
               "12000-13998";
    }
    std::vector<fs::path> files;
    if (written) files.push_back(*written);
    std::string cause = Diagnose({true, true, true, {}, files});
    if (cause.empty()) {
        if (const std::optional<fs::path> folder = DataFolder()) {
            cause = ReadProblem(*folder / "PDL_CUT_MASTER.ini");
            if (!cause.empty()) cause = "no master to create a condition file from: " + cause;
        }
    }
    return cause;
}

std::string TableName(int table) { return std::string(frame::kCuttingConditionNames[table]); }

// Reads one table through the export and prints it as text, JSON or CSV.
int ShowTable(const Report& report, const std::string& machine, const std::string& material,
              int type, int table, bool usedOnly, bool csv) {
    std::array<float, QUILLET_PDL_SLOTS> block{};
    const int status =
        SddPDLOthMacLasCutGetInf(machine.c_str(), type, material.c_str(), table, block.data());
    if (status != 0) return report.FailStatus("SddPDLOthMacLasCutGetInf", status, PdlCause(status));
    // Labels in the language the module uses (the same resource set).
    frame::ModuleReady();
    pdl::PdlCutCondition values;
    std::copy(block.begin(), block.end(), values.slot.begin());
    std::vector<int> slots;
    if (usedOnly) {
        const int machineId = SddPDLOthMacTypeGet(type);
        pdl::PdlParamRows rows;
        if (!pdl::LoadMachineParams(machineId, table, values, rows)) {
            const std::optional<fs::path> folder = DataFolder();
            return report.Fail(ExitCodeForStatus(QUILLET_PDL_UNAVAILABLE), QUILLET_PDL_UNAVAILABLE,
                               "the machine parameter list machine.ini cannot be read",
                               folder ? ReadProblem(*folder / "machine.ini") : "");
        }
        const pdl::PdlShownParamRows& shown = rows.shown;
        for (int i = 0; i < shown.count; ++i) slots.push_back(shown.rows[i].slot);
    } else {
        for (int slot = 0; slot < pdl::kPdlParamCount; ++slot) slots.push_back(slot);
    }
    Json parameters = Json::array();
    std::string text = csv ? "slot,key,label,value\n"
                           : "Table " + TableName(table) + " (" + std::to_string(table) + ")\n" +
                                 "slot  key                      label                            "
                                 "value\n";
    for (const int s : slots) {
        const std::string key(pdl::kPdlParamKeys[s]);
        const std::string label(frame::ResourceString(pdl::kPdlLabelStringBase + s));
        const std::string shown = pdl::FormatPdlValue(block[s]);
        char line[512];
        if (csv) {
            text += std::to_string(s) + "," + key + "," + CsvField(label) + "," +
                    FloatText(block[s]) + "\n";
        } else {
            std::snprintf(line, sizeof line, "%4d  %-24s %-32s %s\n", s, key.c_str(), label.c_str(),
                          shown.c_str());
            text += line;
        }
        parameters.push_back({{"slot", s},
                              {"key", key},
                              {"label", label},
                              {"value", JsonNumber(block[s])},
                              {"shown", shown}});
    }
    if (!report.Json()) std::fputs(text.c_str(), stdout);
    return report.Done(0,
                       {{"table", TableName(table)}, {"index", table}, {"parameters", parameters}});
}

void DeclarePair(ArgParser& args) {
    args.Option("machine", "machine name", true);
    args.Option("material", "laser material name", true);
}

int RunTable(int argc, char** argv) {
    ArgParser args("pdl-table",
                   "--machine NAME --material NAME --type N --table K|..|P103|0-12 [--used-only] "
                   "[--create] [--csv | --json]",
                   "pdl-table --machine MC01 --material SPCC1.6 --type 13300 --table K --csv");
    DeclarePair(args);
    args.Option("type", "machine type 12000-13998", true);
    DeclareTable(args, "table", "table");
    args.Flag("used-only", "only the parameters the machine uses (machine.ini and the alias)");
    args.Flag("create", "make a missing condition file from PDL_CUT_MASTER.ini");
    args.Flag("csv",
              "print CSV: slot,key,label,value (each value as the table's float holds it, "
              "for pdl-import)");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    if (args.Has("csv") && report.Json()) return report.Usage("give --csv or --json, not both");
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) return kExitUsage;
    const std::optional<int> table = TableArg(args, exitCode);
    if (!table) return exitCode;
    PdlPair pair{args.Get("machine"), args.Get("material")};
    if (const std::optional<int> refused = ResolvePair(report, pair, args.Has("create"))) {
        return *refused;
    }
    if (const std::optional<int> refused =
            RefuseMissingPair(report, pair, args.Has("create"), kCreateFix)) {
        return *refused;
    }
    return ShowTable(report, pair.machine, pair.material, *type, *table, args.Has("used-only"),
                     args.Has("csv"));
}

// The values of a CSV by slot, matched by its key column; an empty map
// after the failure was reported (exitCode set).
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
    for (const std::string_view line : CsvLines(csv)) {
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
        if (slot < 0) return refuse("'" + std::string(key) + "' is no parameter key");
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

int RunImport(int argc, char** argv) {
    ArgParser args(
        "pdl-import",
        "--machine NAME --material NAME --table K|..|P103|0-12 --csv FILE [--create] [--json]",
        "pdl-import --machine MC01 --material SPCC1.6 --table K --csv k.csv");
    DeclarePair(args);
    DeclareTable(args, "table", "the one table written");
    args.Option("csv",
                "CSV whose header names the columns key and value, as pdl-table --csv writes it",
                true);
    args.Note(
        "The separator is the one that splits the header into its key and value columns\n"
        "(comma, semicolon or tab); the header may be in any case, empty rows are skipped,\n"
        "UTF-16 with its byte-order mark and CR line ends are read. Numbers are written with\n"
        "a point as the decimal mark. Values are stored as the table's floats, written with\n"
        "six decimals (123456789.123 becomes 123456792.000000, 1e-7 becomes 0.000000): a\n"
        "value that storing changes is warned of on standard error; inf, nan and numbers\n"
        "beyond the float are refused (exit 64, naming the line and the value).");
    args.Flag("create", "make a missing condition file from PDL_CUT_MASTER.ini first");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<int> table = TableArg(args, exitCode);
    if (!table) return exitCode;
    PdlPair pair{args.Get("machine"), args.Get("material")};
    if (pair.machine.empty() || pair.material.empty()) {
        return report.Usage("empty machine or material name");
    }
    const std::string csvFile = args.Get("csv");
    const std::map<int, float> values = ReadCsvValues(report, csvFile, exitCode);
    if (values.empty()) return exitCode;
    if (const std::optional<int> refused = ResolvePair(report, pair, args.Has("create"))) {
        return *refused;
    }
    if (const std::optional<int> refused =
            RefuseMissingPair(report, pair, args.Has("create"), kCreateFix)) {
        return *refused;
    }
    // The dialog's save path: the table is read, the values replaced and the
    // one table written; the save options do not widen it to its group.
    std::optional<pdl::PdlCutCondition> record =
        pdl::ReadPdlTable(pair.machine, pair.material, *table);
    std::size_t changed = 0;
    if (record) {
        for (const auto& [slot, value] : values) {
            changed += record->slot[slot] != value ? 1 : 0;
            record->slot[slot] = value;
        }
    }
    const std::optional<fs::path> file = ConditionFile(pair.machine, pair.material);
    const std::string path = file ? DisplayText(file->string()) : "";
    const Json data = {{"file", path},
                       {"table", TableName(*table)},
                       {"written", changed == 0 ? 0 : values.size()},
                       {"changed", changed},
                       {"nameForms", pair.nameForms}};
    if (record && changed == 0) {
        if (!report.Json()) {
            std::printf("nothing changed: table %s of %s already holds these %zu values\n",
                        TableName(*table).c_str(), path.c_str(), values.size());
        }
        return report.Done(0, data);
    }
    const bool saved =
        record && pdl::SavePdlTables(pair.machine, pair.material, {{*table, *record}});
    if (!saved) {
        const int status = QUILLET_PDL_UNAVAILABLE;
        return report.Fail(ExitCodeForStatus(status), status,
                           "cannot write table " + TableName(*table) + " of " + pair.machine +
                               " / " + pair.material,
                           PdlCause(status, file));
    }
    if (!report.Json()) {
        std::printf("wrote %zu values (%zu changed) into table %s of %s\n", values.size(), changed,
                    TableName(*table).c_str(), path.c_str());
    }
    return report.Done(0, data);
}

int RunList(int argc, char** argv) {
    ArgParser args("pdl-list", "[--json]", "pdl-list --json");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<fs::path> folder =
        DataFolderToList(report, QUILLET_PDL_UNAVAILABLE, exitCode);
    if (!folder) return exitCode;
    Json files = Json::array();
    std::string text;
    for (const check::PdlFilePair& pair : check::ListPdlFiles(*folder)) {
        std::string also;
        for (const auto& [machine, material] : pair.others) {
            also += (also.empty() ? " (or " : ", ") + DisplayText(machine) + " / " +
                    DisplayText(material);
        }
        const std::string path = DisplayText((*folder / pair.file).string());
        text += DisplayText(pair.machine) + " / " + DisplayText(pair.material) + "  " + path +
                (also.empty() ? "" : also + ")") + "\n";
        files.push_back({{"machine", DisplayText(pair.machine)},
                         {"material", DisplayText(pair.material)},
                         {"file", path},
                         {"ambiguous", !pair.others.empty()}});
    }
    if (!report.Json()) {
        std::fputs(files.empty() ? ("no PDL condition file in " + folder->string() + "\n").c_str()
                                 : text.c_str(),
                   stdout);
    }
    return report.Done(0, {{"dataFolder", DisplayText(folder->string())}, {"files", files}});
}

int RunCopy(int argc, char** argv) {
    ArgParser args("pdl-copy",
                   "--from-machine NAME --from-material NAME --to-machine NAME --to-material NAME "
                   "[--from-master] [--json]",
                   "pdl-copy --from-machine MC01 --from-material SPCC1.6 --to-machine MC02 "
                   "--to-material SPCC1.6");
    args.Option("from-machine", "source machine name", true);
    args.Option("from-material", "source laser material name", true);
    args.Option("to-machine", "target machine name", true);
    args.Option("to-material", "target laser material name", true);
    args.Flag("from-master",
              "a source without a condition file gets one from the master first, which is "
              "then copied (else refused)");
    args.Flag("json", "print the status and the files as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    PdlPair from{args.Get("from-machine"), args.Get("from-material")};
    PdlPair to{args.Get("to-machine"), args.Get("to-material")};
    for (PdlPair* pair : {&from, &to}) {
        if (const std::optional<int> refused =
                ResolvePair(report, *pair, pair == &to || args.Has("from-master"))) {
            return *refused;
        }
    }
    const std::string toText = to.machine + " / " + to.material;
    if (const std::optional<int> refused = RefuseMissingPair(
            report, from, args.Has("from-master"),
            ", or give --from-master to copy the master's values onto " + toText)) {
        return *refused;
    }
    const std::optional<fs::path> source = ConditionFile(from.machine, from.material);
    const std::optional<fs::path> target = ConditionFile(to.machine, to.material);
    const bool sourceExisted = source && platform::FileExists(*source);
    const int status = SddPDLOthMacLasCutFileCopy(from.machine.c_str(), from.material.c_str(),
                                                  to.machine.c_str(), to.material.c_str());
    if (status != 0)
        return report.FailStatus("SddPDLOthMacLasCutFileCopy", status, PdlCause(status, target));
    const bool sourceCreated = !sourceExisted && source && platform::FileExists(*source);
    const std::string sourcePath = source ? DisplayText(source->string()) : "";
    const std::string targetPath = target ? DisplayText(target->string()) : "";
    if (!report.Json()) {
        if (sourceCreated) {
            std::printf("created %s from PDL_CUT_MASTER.ini (the source had no condition file)\n",
                        sourcePath.c_str());
        }
        std::printf("copied %s onto %s\n", sourcePath.c_str(), targetPath.c_str());
    }
    Json data = {{"from", sourcePath}, {"to", targetPath}, {"created", Json::array()}};
    if (sourceCreated) data["created"].push_back(sourcePath);
    return report.Done(status, data);
}

int RunDelete(int argc, char** argv) {
    ArgParser args("pdl-delete", "--machine NAME --material NAME [--json]",
                   "pdl-delete --machine MC02 --material SPCC1.6");
    DeclarePair(args);
    args.Flag("json", "print the status and the file as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    PdlPair pair{args.Get("machine"), args.Get("material")};
    if (const std::optional<int> refused = ResolvePair(report, pair, false)) return *refused;
    if (const std::optional<int> refused =
            RefuseMissingPair(report, pair, false, "; nothing was deleted")) {
        return *refused;
    }
    const int status = SddPDLOthMacLasCutFileDelete(pair.machine.c_str(), pair.material.c_str());
    if (status != 0)
        return report.FailStatus("SddPDLOthMacLasCutFileDelete", status, PdlCause(status));
    const std::optional<fs::path> file = ConditionFile(pair.machine, pair.material);
    const std::string path = file ? DisplayText(file->string()) : "";
    if (!report.Json()) std::printf("deleted %s\n", path.c_str());
    return report.Done(status, {{"deleted", path}});
}

int RunType(int argc, char** argv) {
    ArgParser args("pdl-type", "--type N [--json]", "pdl-type --type 13300");
    args.Option("type", "machine type code", true);
    args.Flag("json", "print a JSON object");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) return kExitUsage;
    const int id = SddPDLOthMacTypeGet(*type);
    const Json data = {{"type", *type}, {"machineId", id}};
    if (id == -1) {
        std::string cause = Diagnose({true, true});
        if (cause.empty()) {
            cause = "PDL_MACTYPE_ALIAS.ini has no machine ID for " + std::to_string(*type) +
                    ": add \"" + std::to_string(*type) + "=<machine ID>\" under [MAC_ALIAS]";
        }
        return report.Fail(ExitCodeForStatus(QUILLET_PDL_UNAVAILABLE), QUILLET_PDL_UNAVAILABLE,
                           "machine type " + std::to_string(*type) + " has no machine ID", cause,
                           data);
    }
    if (!report.Json()) std::printf("%d\n", id);
    return report.Done(0, data);
}

int RunDialog(int argc, char** argv) {
    ArgParser args("pdl-dialog",
                   "--machine NAME --material NAME --type N --table K|..|P103|0-12 [--create] "
                   "[--json]",
                   "pdl-dialog --machine MC01 --material SPCC1.6 --type 13300 --table K");
    DeclarePair(args);
    args.Option("type", "machine type 12000-13998", true);
    DeclareTable(args, "table", "table");
    args.Flag("create", "make a missing condition file from PDL_CUT_MASTER.ini");
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) return kExitUsage;
    const std::optional<int> table = TableArg(args, exitCode);
    if (!table) return exitCode;
    if (const std::optional<int> refused = RefuseWithoutDisplay(report)) return *refused;
    PdlPair pair{args.Get("machine"), args.Get("material")};
    if (const std::optional<int> refused = ResolvePair(report, pair, args.Has("create"))) {
        return *refused;
    }
    if (const std::optional<int> refused =
            RefuseMissingPair(report, pair, args.Has("create"), kCreateFix)) {
        return *refused;
    }
    const int status =
        SddPDLOthMacLasCutDLG(pair.machine.c_str(), *type, pair.material.c_str(), *table);
    if (status != 0) return report.FailStatus("SddPDLOthMacLasCutDLG", status, PdlCause(status));
    return report.Done(status);
}

// A throw-away installation from the sample master and machine.ini; table K
// of MC01 / SPCC1.6 (machine type 13300, machine ID 60) is printed as the
// machine uses it.
int RunDemo(int argc, char** argv) {
    ArgParser args("pdl-demo", "[--samples FOLDER] [--json]", "pdl-demo");
    args.Option("samples", "folder with PDL_CUT_MASTER.ini and machine.ini");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    fs::path samples = args.Get("samples");
    if (!args.Has("samples")) {
        const std::optional<fs::path> found = FindSamples();
        if (!found)
            return report.HostFailure(StandinsMissing("the samples") + ", or give --samples");
        samples = *found / "pdl";
    }
    const std::optional<fs::path> base = MakeTemporaryFolder("quillet-pdl-demo");
    if (!base) return report.HostFailure("cannot create a temporary folder");
    int result = kExitHostFailure;
    const SampleInstallation at = SampleInstallationIn(*base);
    if (LayDownSampleInstallation(at, samples, std::nullopt).empty()) {
        result = ShowTable(report, "MC01", "SPCC1.6", 13300, 0, true, false);
    } else {
        result = report.HostFailure("cannot copy the samples from " + samples.string());
    }
    std::error_code ec;
    fs::remove_all(*base, ec);
    return result;
}

}  // namespace

int RunPdlTableCommand(const std::vector<std::string>& words) {
    std::vector<std::string> copy = words;
    std::vector<char*> argv;
    for (std::string& w : copy) argv.push_back(w.data());
    argv.push_back(nullptr);
    return RunTable(static_cast<int>(copy.size()), argv.data());
}

std::vector<Command> PdlCommands() {
    return {
        {"pdl-table", "print a PDL cutting-condition table (text, JSON or CSV)", RunTable},
        {"pdl-import", "write one PDL table from CSV (as pdl-table --csv prints it)", RunImport},
        {"pdl-list", "list the PDL condition files as machine / material", RunList},
        {"pdl-copy", "copy a PDL condition file onto another pair", RunCopy},
        {"pdl-delete", "delete a PDL condition file", RunDelete},
        {"pdl-type", "map a machine type to its PDL machine ID", RunType},
        {"pdl-dialog", "open the PDL laser-condition dialog", RunDialog},
        {"pdl-demo", "print a sample PDL table from the samples", RunDemo},
    };
}

}  // namespace quillet::host
