// quillet-host commands of the PDL tables: print a table (all parameters or
// those the machine uses, as text, JSON or CSV), import a table from CSV,
// list, copy and delete condition files, map a machine type, open the
// dialog, and a demo on the sample installation.
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
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
#include "pdl_csv.h"
#include "pdl_pair.h"
#include "platform/file_ops.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

// A JSON number for a float; null for infinities and NaN, which JSON cannot
// carry.
Json JsonNumber(float value) {
    if (!std::isfinite(value)) return nullptr;
    return std::strtod(FloatText(value).c_str(), nullptr);
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
                               folder ? ReadProblem(*folder / pdl::kMachineListFile) : "");
        }
        const pdl::PdlShownParamRows& shown = rows.shown;
        for (int i = 0; i < shown.count; ++i) slots.push_back(shown.rows[i].slot);
    } else {
        for (int slot = 0; slot < pdl::kPdlParamCount; ++slot) slots.push_back(slot);
    }
    Json parameters = Json::array();
    std::string text = csv ? CsvTableHeader()
                           : "Table " + TableName(table) + " (" + std::to_string(table) + ")\n" +
                                 "slot  key                      label                            "
                                 "value\n";
    for (const int s : slots) {
        const std::string key(pdl::kPdlParamKeys[s]);
        const std::string label(frame::ResourceString(pdl::kPdlLabelStringBase + s));
        const std::string shown = pdl::FormatPdlValue(block[s]);
        char line[512];
        if (csv) {
            text += CsvTableRow(s, key, label, block[s]);
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
    if (const std::optional<int> refused = TakePair(report, pair, args.Has("create"))) {
        return *refused;
    }
    return ShowTable(report, pair.machine, pair.material, *type, *table, args.Has("used-only"),
                     args.Has("csv"));
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
    if (const std::optional<int> refused = TakePair(report, pair, args.Has("create"))) {
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
        std::printf("wrote %s (%zu changed) into table %s of %s\n",
                    Counted(values.size(), "value").c_str(), changed, TableName(*table).c_str(),
                    path.c_str());
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
    if (const std::optional<int> refused = TakePair(report, pair, args.Has("create"))) {
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
    argv.reserve(copy.size() + 1);
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
