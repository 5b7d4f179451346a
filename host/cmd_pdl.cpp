// quillet-host commands of the PDL tables: print a table (all parameters or
// those the machine uses, as text, JSON or CSV), import a table from CSV,
// list, copy and delete condition files, map a machine type, open the
// dialog, and a demo on the sample installation.
#include <stdlib.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "check/check.h"
#include "cli.h"
#include "diagnose.h"
#include "frame/cutting_conditions.h"
#include "frame/module.h"
#include "frame/resources.h"
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

// The fields of one CSV line (quoted fields with "" for a quote).
std::vector<std::string> CsvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
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

// A pair without a condition file is most likely a mistyped name: the
// export would quietly make one from the master. Refused unless the flag
// says so; nullopt when the call may go ahead.
std::optional<int> RefuseMissingPair(const Report& report, const std::string& machine,
                                     const std::string& material, bool allowed,
                                     const std::string& fix) {
    // Names the export refuses itself (empty, or holding a separator) go to
    // the export, which reports them.
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

// What the PDL exports need; the cause of their failure.
std::string PdlCause(int status) {
    if (status == QUILLET_INVALID_ARGUMENTS) {
        return "names must not be empty nor hold '/', tables are K..P103 or 0-12, machine types "
               "12000-13998";
    }
    std::string cause = Diagnose({true, true, true});
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
    args.Option("table", "table K..P103 or index 0-12", true);
    args.Flag("used-only", "only the parameters the machine uses (machine.ini and the alias)");
    args.Flag("create", "make a missing condition file from PDL_CUT_MASTER.ini");
    args.Flag("csv", "print CSV: slot,key,label,value (value exact, for pdl-import)");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    if (args.Has("csv") && report.Json()) return report.Usage("give --csv or --json, not both");
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) return kExitUsage;
    const int table = ParseCondition(args.Get("table")).value_or(-1);
    if (!frame::IsCuttingConditionIndex(table)) {
        // The export refuses it; report its status.
        std::array<float, QUILLET_PDL_SLOTS> block{};
        const int status = SddPDLOthMacLasCutGetInf(args.Get("machine").c_str(), *type,
                                                    args.Get("material").c_str(), -1, block.data());
        return report.FailStatus("SddPDLOthMacLasCutGetInf", status,
                                 "table '" + args.Get("table") + "' is none of K..P103 or 0-12");
    }
    if (const std::optional<int> refused = RefuseMissingPair(
            report, args.Get("machine"), args.Get("material"), args.Has("create"), kCreateFix)) {
        return *refused;
    }
    return ShowTable(report, args.Get("machine"), args.Get("material"), *type, table,
                     args.Has("used-only"), args.Has("csv"));
}

int RunImport(int argc, char** argv) {
    ArgParser args(
        "pdl-import",
        "--machine NAME --material NAME --table K|..|P103|0-12 --csv FILE [--create] [--json]",
        "pdl-import --machine MC01 --material SPCC1.6 --table K --csv k.csv");
    DeclarePair(args);
    args.Option("table", "the one table written (K..P103 or 0-12)", true);
    args.Option("csv", "CSV with a header naming the columns key and value (as pdl-table --csv)",
                true);
    args.Flag("create", "make a missing condition file from PDL_CUT_MASTER.ini first");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::string machine = args.Get("machine");
    const std::string material = args.Get("material");
    const int table = ParseCondition(args.Get("table")).value_or(-1);
    if (!frame::IsCuttingConditionIndex(table)) {
        return report.Usage("unknown table '" + args.Get("table") + "'");
    }
    if (machine.empty() || material.empty()) return report.Usage("empty machine or material name");
    const std::string csvFile = args.Get("csv");
    const std::optional<std::string> csv = platform::ReadWholeFile(fs::path(csvFile));
    if (!csv) return report.Usage("cannot use --csv: " + ReadProblem(csvFile));

    // The values by slot, matched by the key column.
    std::map<int, float> values;
    std::size_t keyColumn = 0, valueColumn = 0, columns = 0;
    int lineNumber = 0;
    for (std::size_t start = 0; start < csv->size();) {
        std::size_t end = csv->find('\n', start);
        if (end == std::string::npos) end = csv->size();
        std::string_view line(csv->data() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (platform::TrimProfileSpace(line).empty()) continue;
        const std::vector<std::string> fields = CsvFields(line);
        const std::string where = csvFile + ":" + std::to_string(lineNumber) + ": ";
        if (columns == 0) {
            columns = fields.size();
            keyColumn = valueColumn = columns;
            for (std::size_t i = 0; i < columns; ++i) {
                const std::string_view name = platform::TrimProfileSpace(fields[i]);
                if (name == "key") keyColumn = i;
                if (name == "value") valueColumn = i;
            }
            if (keyColumn == columns || valueColumn == columns) {
                return report.Usage(where + "the header names no key and value columns");
            }
            continue;
        }
        if (fields.size() != columns) {
            return report.Usage(where + std::to_string(fields.size()) +
                                " fields where the header has " + std::to_string(columns) +
                                " (numbers are written with a point, never a comma)");
        }
        const std::string_view key = platform::TrimProfileSpace(fields[keyColumn]);
        int slot = -1;
        for (int s = 0; s < pdl::kPdlParamCount; ++s) {
            if (platform::EqualsIgnoringAsciiCase(key, pdl::kPdlParamKeys[s])) slot = s;
        }
        if (slot < 0) return report.Usage(where + "'" + std::string(key) + "' is no parameter key");
        const std::string_view text = platform::TrimProfileSpace(fields[valueColumn]);
        double value = 0.0;
        const auto [end2, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc() || end2 != text.data() + text.size()) {
            return report.Usage(where + "'" + std::string(text) + "' is not a number");
        }
        if (!values.emplace(slot, static_cast<float>(value)).second) {
            return report.Usage(where + std::string(key) + " is given twice");
        }
    }
    if (values.empty()) return report.Usage(csvFile + " holds no value rows");
    if (const std::optional<int> refused =
            RefuseMissingPair(report, machine, material, args.Has("create"), kCreateFix)) {
        return *refused;
    }
    // The dialog's save path: the table is read, the values replaced and the
    // one table written; the save options do not widen it to its group.
    std::optional<pdl::PdlCutCondition> record = pdl::ReadPdlTable(machine, material, table);
    if (record) {
        for (const auto& [slot, value] : values) record->slot[slot] = value;
    }
    const bool saved = record && pdl::SavePdlTables(machine, material, {{table, *record}});
    const std::optional<fs::path> file = ConditionFile(machine, material);
    if (!saved) {
        const int status = QUILLET_PDL_UNAVAILABLE;
        return report.Fail(
            ExitCodeForStatus(status), status,
            "cannot write table " + TableName(table) + " of " + machine + " / " + material,
            PdlCause(status));
    }
    const std::string path = file ? file->string() : "";
    if (!report.Json()) {
        std::printf("wrote %zu values into table %s of %s\n", values.size(),
                    TableName(table).c_str(), DisplayText(path).c_str());
    }
    return report.Done(
        0, {{"file", DisplayText(path)}, {"table", TableName(table)}, {"written", values.size()}});
}

int RunList(int argc, char** argv) {
    ArgParser args("pdl-list", "[--json]", "pdl-list --json");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<fs::path> folder = DataFolder();
    if (!folder) return report.HostFailure("the data folder cannot be formed", Diagnose({true}));
    Json files = Json::array();
    std::string text;
    for (const check::PdlFilePair& pair : check::ListPdlFiles(*folder)) {
        std::string also;
        for (const auto& [machine, material] : pair.others) {
            also += (also.empty() ? " (or " : ", ") + DisplayText(machine) + " / " +
                    DisplayText(material);
        }
        text += DisplayText(pair.machine) + " / " + DisplayText(pair.material) + "  " +
                DisplayText(pair.file) + (also.empty() ? "" : also + ")") + "\n";
        files.push_back({{"machine", DisplayText(pair.machine)},
                         {"material", DisplayText(pair.material)},
                         {"file", DisplayText(pair.file)},
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
              "a source without a condition file copies the master's values (else refused)");
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::string from = args.Get("from-machine") + " / " + args.Get("from-material");
    const std::string to = args.Get("to-machine") + " / " + args.Get("to-material");
    if (const std::optional<int> refused = RefuseMissingPair(
            report, args.Get("from-machine"), args.Get("from-material"), args.Has("from-master"),
            ", or give --from-master to copy the master's values onto " + to)) {
        return *refused;
    }
    const int status = SddPDLOthMacLasCutFileCopy(
        args.Get("from-machine").c_str(), args.Get("from-material").c_str(),
        args.Get("to-machine").c_str(), args.Get("to-material").c_str());
    if (status != 0)
        return report.FailStatus("SddPDLOthMacLasCutFileCopy", status, PdlCause(status));
    if (!report.Json()) std::printf("copied %s onto %s\n", from.c_str(), to.c_str());
    return report.Done(status);
}

int RunDelete(int argc, char** argv) {
    ArgParser args("pdl-delete", "--machine NAME --material NAME [--json]",
                   "pdl-delete --machine MC02 --material SPCC1.6");
    DeclarePair(args);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    if (const std::optional<int> refused = RefuseMissingPair(
            report, args.Get("machine"), args.Get("material"), false, "; nothing was deleted")) {
        return *refused;
    }
    const int status =
        SddPDLOthMacLasCutFileDelete(args.Get("machine").c_str(), args.Get("material").c_str());
    if (status != 0)
        return report.FailStatus("SddPDLOthMacLasCutFileDelete", status, PdlCause(status));
    const std::optional<fs::path> file = ConditionFile(args.Get("machine"), args.Get("material"));
    if (!report.Json() && file) std::printf("deleted %s\n", DisplayText(file->string()).c_str());
    return report.Done(status);
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
    args.Option("table", "table K..P103 or index 0-12", true);
    args.Flag("create", "make a missing condition file from PDL_CUT_MASTER.ini");
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) return kExitUsage;
    if (!DisplayAvailable()) return NoDisplay(report);
    if (const std::optional<int> refused = RefuseMissingPair(
            report, args.Get("machine"), args.Get("material"), args.Has("create"), kCreateFix)) {
        return *refused;
    }
    const int table = ParseCondition(args.Get("table")).value_or(-1);
    const int status = SddPDLOthMacLasCutDLG(args.Get("machine").c_str(), *type,
                                             args.Get("material").c_str(), table);
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
