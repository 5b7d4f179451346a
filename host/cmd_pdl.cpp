// quillet-host commands of the PDL tables: print a table (all parameters or
// those the machine uses), copy and delete condition files, map a machine
// type, open the dialog, and a demo on the sample installation.
#include <stdlib.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

namespace fs = std::filesystem;

struct PdlParam {
    const char* key;
    const char* label;
};

// Keys of the 88 parameters in slot order, with English labels for people.
constexpr std::array<PdlParam, 88> kParams = {{
    {"Power", "Laser output (W)"},
    {"Frequency", "Pulse frequency (Hz)"},
    {"DutyCycle", "Duty cycle (%)"},
    {"Feedrate", "Feed rate (mm/min)"},
    {"GasType", "Assist gas kind"},
    {"GasPressure", "Assist gas pressure"},
    {"BeamOffsetNo", "Beam compensation No"},
    {"BeamOffsetWidth", "Beam compensation amount"},
    {"PulseType", "Pulse type"},
    {"NCPage", "Condition page No"},
    {"NCTool", "Condition No"},
    {"SubProgramNo", "Condition subprogram No"},
    {"BeamStandOff", "Stand-off"},
    {"InnerApproach", "Inner approach No"},
    {"OuterApproach", "Outer approach No"},
    {"InnerEscape", "Inner escape No"},
    {"OuterEscape", "Outer escape No"},
    {"DwellTime", "Dwell time (sec)"},
    {"PPMDutyCycle", "PPM duty (%)"},
    {"EdgeCtrlLen", "Edge length (-=remaining)"},
    {"MinEdgeCtrlLen", "Min edge-control length"},
    {"MinLoopbackLen", "Min loop-back length"},
    {"DwellTime2", "Dwell time 2 (sec)"},
    {"AngleMax", "Max angle (0=approach)"},
    {"EndCutSubProgramNo", "End subprogram No"},
    {"NCDubleTool", "Double-pierce condition No"},
    {"PierceCoolTime", "Pierce cooling time"},
    {"HighSpeedPierce", "High-speed pierce (0/1)"},
    {"Acceleration", "Acceleration (m/s2)"},
    {"NCToolSub", "Condition sub No"},
    {"ApproachFeedrate", "Approach feed (0=unused)"},
    {"PriCut", "Pre-cut (0/1)"},
    {"ApproachContourSub", "Approach condition sub No"},
    {"InOutUsage", "Applies to (0=both/1=in/2=out)"},
    {"Ampere", "Current (A)"},
    {"NonZupSubProgramNo", "End sub No without Z lift"},
    {"InitialConditionNo", "#501 initial condition No"},
    {"BeamOnType", "Pierce type (0/1/2)"},
    {"PochSubProgramNo", "Punch-mark subprogram No"},
    {"HpccMode", "Precise contour (0/1)"},
    {"ZOrgHeight", "Z work-origin height"},
    {"ApproachZHeght", "Z approach start height"},
    {"ZapproachFeedrate", "Z approach feed"},
    {"Amperei1", "Current i1"},
    {"Amperei2", "Current i2"},
    {"AmpereWide", "Current width W"},
    {"RepeatNum", "Repeat count R"},
    {"Pierce1stShotNum", "Pierce shots s"},
    {"Pierce2ndRepeatNum", "Pierce step 2 repeats t"},
    {"Pierce2ndShotNum", "Pierce step 2 shots u"},
    {"Pierce3rdRepeatNum", "Pierce step 3 repeats v"},
    {"Pierce3rdShotNum", "Pierce step 3 shots y"},
    {"GasTypeNo", "Gas No (1=O2/2=other/3=super)"},
    {"HightControll", "Height tracking (0/1)"},
    {"GasPressureChangeDwell", "Gas settling time (sec)"},
    {"LaserChangeDwell", "Laser settling time (sec)"},
    {"FocusPoint", "Focus control (mm)"},
    {"NozzleDiameter", "Nozzle diameter"},
    {"PonchNCTool", "Punch-mark condition No"},
    {"AfterPierceStopZhight", "Z lift after pierce at M00"},
    {"HeightControlMode", "Height tracking mode"},
    {"LeadOutOrLeadIn", "Edge lead-in"},
    {"NCMaterialNo", "Material No"},
    {"NCThicknessNo", "Thickness No"},
    {"PulseOnTime", "Pulse on time (msec)"},
    {"PulseOffTime", "Pulse off time (msec)"},
    {"UseSwitchBack", "Switch-back (0/1)"},
    {"SpotLeftTNo", "Spot L tool No"},
    {"SpotRightTNo", "Spot R tool No"},
    {"SpotRLFeed", "Spot tool F (%)"},
    {"NCToolMcode", "Laser output M code"},
    {"UseOpePaneCondition", "Use NC panel conditions (0/1)"},
    {"NCCutTypeMcode", "Condition M code"},
    {"NCPulseMcode", "Pulse M code"},
    {"PurgeTime", "Purge time"},
    {"EdgeData", "Edge data"},
    {"ApproachData", "Approach data"},
    {"IncrementFreq", "Incremental frequency"},
    {"IncrementCycle", "Incremental duty"},
    {"RecoverDist", "Return distance"},
    {"RecoverFeedrate", "Return feed rate"},
    {"RecoverFreq", "Return frequency"},
    {"RecoverDuty", "Return duty"},
    {"PowerPierceSub", "Power-pierce subprogram No"},
    {"LaserType", "Method (1=tracking on/2=off)"},
    {"PierceMode", "Pierce mode (0=auto/11=soft)"},
    {"CutingMode", "Cutting mode (100-600)"},
    {"TechTableNO", "Technology table No"},
}};

constexpr std::array<const char*, 13> kTableNames = {"K",  "L",  "M",  "H",    "U",    "U1",  "U2",
                                                     "U3", "U4", "U5", "P101", "P102", "P103"};

// The table option: a name K..P103 (any case) or an index 0-12; -1 when it
// is neither (the export then refuses it).
std::optional<int> ParseTable(const std::string& text) {
    for (std::size_t i = 0; i < kTableNames.size(); ++i) {
        if (strcasecmp(text.c_str(), kTableNames[i]) == 0) return static_cast<int>(i);
    }
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// The value as the dialog shows it: "%.3f" without trailing decimal zeros.
std::string ShownValue(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text - 1, static_cast<double>(value),
                                      std::chars_format::fixed, 3);
    std::string shown(text, result.ptr);
    if (shown.find('.') != std::string::npos) {
        while (!shown.empty() && shown.back() == '0') shown.pop_back();
        if (!shown.empty() && shown.back() == '.') shown.pop_back();
    }
    return shown;
}

// A JSON number (C locale, shortest form that reads back the same float);
// null for infinities and NaN, which JSON cannot carry.
std::string JsonNumber(float value) {
    if (!std::isfinite(value)) return "null";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// One value of an INI file read the way the module reads it (names without
// regard to case, first section and first key win).
std::optional<std::string> IniValue(const std::string& text, const std::string& section,
                                    const std::string& key) {
    std::istringstream in(text);
    std::string line;
    int state = 0;  // 0 before, 1 inside, 2 after the first matching section
    while (state < 2 && std::getline(in, line)) {
        const std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[' && trimmed.find(']') != std::string::npos) {
            const std::string name = Trim(trimmed.substr(1, trimmed.rfind(']') - 1));
            if (state == 1) state = 2;
            if (state == 0 && Lower(name) == Lower(section)) state = 1;
            continue;
        }
        const auto eq = trimmed.find('=');
        if (state == 1 && eq != std::string::npos &&
            Lower(Trim(trimmed.substr(0, eq))) == Lower(key)) {
            return Trim(trimmed.substr(eq + 1));
        }
    }
    return std::nullopt;
}

// The flags text of a machine ID for a table, as the dialog selects it;
// nullopt when machine.ini cannot be read.
std::optional<std::string> UsedFlags(int machineId, int table) {
    const std::optional<std::string> root = RegistryRoot("ParentComputerRoot");
    if (!root) return std::nullopt;
    std::ifstream in(*root + "data/Othmcn/machine.ini", std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    const int count = std::atoi(IniValue(text, "Header", "MachineCount").value_or("-1").c_str());
    for (int n = 1; n <= count && n <= 100000; ++n) {
        const std::string section = "Machine" + std::to_string(n);
        if (std::atoi(IniValue(text, section, "ID").value_or("-1").c_str()) != machineId) continue;
        return IniValue(text, section, table >= 10 ? "PCUsed" : "CCUsed").value_or("-1");
    }
    return std::string();
}

void PrintTable(const float* block, int table, const std::vector<int>& slots, bool json) {
    if (json) {
        std::printf("{\"table\":%s,\"index\":%d,\"parameters\":[",
                    JsonString(kTableNames[table]).c_str(), table);
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const int s = slots[i];
            std::printf("%s{\"slot\":%d,\"key\":%s,\"label\":%s,\"value\":%s,\"shown\":%s}",
                        i ? "," : "", s, JsonString(kParams[s].key).c_str(),
                        JsonString(kParams[s].label).c_str(), JsonNumber(block[s]).c_str(),
                        JsonString(ShownValue(block[s])).c_str());
        }
        std::printf("]}\n");
        return;
    }
    std::printf("Table %s (%d)\n", kTableNames[table], table);
    std::printf("%4s  %-24s %-32s %s\n", "slot", "key", "label", "value");
    for (int s : slots) {
        std::printf("%4d  %-24s %-32s %s\n", s, kParams[s].key, kParams[s].label,
                    ShownValue(block[s]).c_str());
    }
}

// Reads one table through the export and prints it; the exit code carries
// the status.
int ShowTable(const std::string& command, const std::string& machine, const std::string& material,
              int type, int table, bool usedOnly, bool json) {
    std::array<float, QUILLET_PDL_SLOTS> block{};
    const int status =
        SddPDLOthMacLasCutGetInf(machine.c_str(), type, material.c_str(), table, block.data());
    if (status != 0) {
        PrintStatusError(command, "SddPDLOthMacLasCutGetInf", status);
        return ExitCodeForStatus(status);
    }
    std::vector<int> slots;
    if (usedOnly) {
        const int machineId = SddPDLOthMacTypeGet(type);
        const std::optional<std::string> flags = UsedFlags(machineId, table);
        if (!flags) {
            PrintError(command + ": machine.ini cannot be read");
            return ExitCodeForStatus(QUILLET_PDL_UNAVAILABLE);
        }
        for (std::size_t i = 0; i < kParams.size() && i < flags->size(); ++i) {
            if ((*flags)[i] == '1') slots.push_back(static_cast<int>(i));
        }
    } else {
        for (std::size_t i = 0; i < kParams.size(); ++i) slots.push_back(static_cast<int>(i));
    }
    PrintTable(block.data(), table, slots, json);
    return 0;
}

// The status of an export that prints nothing: JSON, or an error line when
// it failed; the exit code carries it.
int ReportStatus(const ArgParser& args, const char* command, const char* exportName, int status) {
    if (args.Has("json")) {
        std::printf("{\"status\":%d}\n", status);
    } else if (status != 0) {
        PrintStatusError(command, exportName, status);
    }
    return ExitCodeForStatus(status);
}

int RunTable(int argc, char** argv) {
    ArgParser args("pdl-table",
                   "--machine NAME --material NAME --type N --table K|..|P103|0-12 [--used-only] "
                   "[--json]");
    args.Option("machine", "machine name", true);
    args.Option("material", "laser material name", true);
    args.Option("type", "machine type 12000-13998", true);
    args.Option("table", "table K..P103 or index 0-12", true);
    args.Flag("used-only", "only the parameters the machine uses (machine.ini and the alias)");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::optional<int> type = args.GetInt("type", 0);
    const std::optional<int> table = ParseTable(args.Get("table"));
    if (!type) return kExitUsage;
    if (!table || *table < 0 || *table > 12) {
        // The export refuses it; report its status.
        std::array<float, QUILLET_PDL_SLOTS> block{};
        const int status = SddPDLOthMacLasCutGetInf(args.Get("machine").c_str(), *type,
                                                    args.Get("material").c_str(), -1, block.data());
        PrintStatusError("pdl-table", "SddPDLOthMacLasCutGetInf", status,
                         " for table '" + args.Get("table") + "'");
        return ExitCodeForStatus(status);
    }
    return ShowTable("pdl-table", args.Get("machine"), args.Get("material"), *type, *table,
                     args.Has("used-only"), args.Has("json"));
}

int RunCopy(int argc, char** argv) {
    ArgParser args("pdl-copy",
                   "--from-machine NAME --from-material NAME --to-machine NAME --to-material NAME "
                   "[--json]");
    args.Option("from-machine", "source machine name", true);
    args.Option("from-material", "source laser material name", true);
    args.Option("to-machine", "target machine name", true);
    args.Option("to-material", "target laser material name", true);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    return ReportStatus(args, "pdl-copy", "SddPDLOthMacLasCutFileCopy",
                        SddPDLOthMacLasCutFileCopy(
                            args.Get("from-machine").c_str(), args.Get("from-material").c_str(),
                            args.Get("to-machine").c_str(), args.Get("to-material").c_str()));
}

int RunDelete(int argc, char** argv) {
    ArgParser args("pdl-delete", "--machine NAME --material NAME [--json]");
    args.Option("machine", "machine name", true);
    args.Option("material", "laser material name", true);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    return ReportStatus(
        args, "pdl-delete", "SddPDLOthMacLasCutFileDelete",
        SddPDLOthMacLasCutFileDelete(args.Get("machine").c_str(), args.Get("material").c_str()));
}

int RunType(int argc, char** argv) {
    ArgParser args("pdl-type", "--type N [--json]");
    args.Option("type", "machine type code", true);
    args.Flag("json", "print a JSON object");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) return kExitUsage;
    const int id = SddPDLOthMacTypeGet(*type);
    if (args.Has("json")) {
        std::printf("{\"type\":%d,\"machineId\":%d}\n", *type, id);
    } else if (id != -1) {
        std::printf("%d\n", id);
    } else {
        PrintError("pdl-type: machine type " + std::to_string(*type) +
                   " has no machine ID (or PDL_MACTYPE_ALIAS.ini is unavailable)");
    }
    return id == -1 ? ExitCodeForStatus(QUILLET_PDL_UNAVAILABLE) : 0;
}

int RunDialog(int argc, char** argv) {
    ArgParser args("pdl-dialog",
                   "--machine NAME --material NAME --type N --table K|..|P103|0-12 [--json]");
    args.Option("machine", "machine name", true);
    args.Option("type", "machine type 12000-13998", true);
    args.Option("material", "laser material name", true);
    args.Option("table", "table K..P103 or index 0-12", true);
    args.Flag("json", "print the status as JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const std::optional<int> type = args.GetInt("type", 0);
    if (!type) return kExitUsage;
    const int table = ParseTable(args.Get("table")).value_or(-1);
    return ReportStatus(args, "pdl-dialog", "SddPDLOthMacLasCutDLG",
                        SddPDLOthMacLasCutDLG(args.Get("machine").c_str(), *type,
                                              args.Get("material").c_str(), table));
}

// A throw-away installation from the sample master and machine.ini; table K
// of MC01 / SPCC1.6 (machine type 13300, machine ID 60) is printed as the
// machine uses it.
int RunDemo(int argc, char** argv) {
    ArgParser args("pdl-demo", "[--samples FOLDER] [--json]");
    args.Option("samples", "folder with PDL_CUT_MASTER.ini and machine.ini");
    args.Flag("json", "print JSON");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    fs::path samples = args.Get("samples");
    if (!args.Has("samples")) {
        const std::optional<fs::path> found = FindSamples();
        if (!found) {
            PrintError("pdl-demo: the sample files cannot be found (give --samples)");
            return kExitHostFailure;
        }
        samples = *found / "pdl";
    }
    std::string base = (fs::temp_directory_path() / "quillet-pdl-demo-XXXXXX").string();
    if (::mkdtemp(base.data()) == nullptr) {
        PrintError("pdl-demo: cannot create a temporary folder");
        return kExitHostFailure;
    }
    std::error_code ec;
    const fs::path data = fs::path(base) / "data" / "data" / "Othmcn";
    fs::create_directories(data, ec);
    fs::create_directories(fs::path(base) / "system" / "TEMP", ec);
    fs::copy_file(samples / "PDL_CUT_MASTER.ini", data / "PDL_CUT_MASTER.ini", ec);
    if (!ec) fs::copy_file(samples / "machine.ini", data / "machine.ini", ec);
    const fs::path registry = fs::path(base) / "registry.reg";
    {
        std::ofstream out(registry);
        out << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n"
               "\"ParentComputerRoot\"=\""
            << base << "/data/\"\n\"VELDSystemRoot\"=\"" << base << "/system/\"\n";
    }
    int result = kExitHostFailure;
    if (ec) {
        PrintError("pdl-demo: cannot copy the samples from " + samples.string());
    } else {
        ::setenv("QUILLET_REGISTRY", registry.c_str(), 1);
        result = ShowTable("pdl-demo", "MC01", "SPCC1.6", 13300, 0, true, args.Has("json"));
    }
    fs::remove_all(base, ec);
    return result;
}

}  // namespace

std::vector<Command> PdlCommands() {
    return {
        {"pdl-table", "print a PDL cutting-condition table", RunTable},
        {"pdl-copy", "copy a PDL condition file onto another pair", RunCopy},
        {"pdl-delete", "delete a PDL condition file", RunDelete},
        {"pdl-type", "map a machine type to its PDL machine ID", RunType},
        {"pdl-dialog", "open the PDL laser-condition dialog", RunDialog},
        {"pdl-demo", "print a sample PDL table from the samples", RunDemo},
    };
}

}  // namespace quillet::host
