// quillet-host demo: the typical road on a sample installation. It lays out
// a data root and a system root in a folder, names them in a registry file,
// then registers an NC template, lays down the current driver settings,
// generates an NC program from the sample job, maps a machine type and
// prints a laser table, each step through the exports, and with --gui opens
// the five dialogs.
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "driver/driver_names.h"
#include "othmac/record_layout.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "platform/file_ops.h"
#include "quillet/quillet.h"

namespace quillet::host {

namespace {

namespace fs = std::filesystem;

constexpr const char* kMachine = "MC01";
constexpr const char* kMaterial = "SPCC1.6";
constexpr const char* kDieLayout = "DIE01";
constexpr int kTemplateMachineType = 130;
constexpr int kPdlMachineType = 13300;

// The sample NC template of MC01 / SPCC1.6: program head and end, the code
// after G92 and the cutting-condition code of K and L.
constexpr const char* kSampleTemplate =
    "###NCSTART\n"
    "%\n"
    "O1000 (MC01 SPCC1.6)\n"
    "###END\n"
    "###NCSTARTG92\n"
    "G90 G17\n"
    "###END\n"
    "###NCEND\n"
    "M30\n"
    "%\n"
    "###END\n"
    "###CUTSTART-K\n"
    "M103(ON)\n"
    "###END\n"
    "###CUTEND-K\n"
    "M105(OFF)\n"
    "###END\n"
    "###CUTCOND-K\n"
    "E1 (K)(CUT-K)\n"
    "###END\n"
    "###CUTCOND-L\n"
    "E2 (L)(CUT-L)\n"
    "###END\n"
    "###MAC-STOP\n"
    "M00(M-STOP)\n"
    "###END\n";

using Installation = SampleInstallation;

void Step(const std::string& name, const std::string& text) {
    std::printf("[%s] %s\n", name.c_str(), text.c_str());
    std::fflush(stdout);
}

int Fail(const std::string& text) {
    PrintError("demo: " + text);
    return kExitHostFailure;
}

std::string Names(const std::vector<fs::path>& files, const fs::path& folder) {
    std::string text;
    for (const fs::path& f : files) {
        if (!text.empty()) text += ", ";
        text += f.lexically_relative(folder).string();
    }
    return text;
}

// Lays down the installation and says where its files are.
int SetUp(const Installation& at, const fs::path& samples, const fs::path& drivers) {
    if (const std::string failure = LayDownSampleInstallation(at, samples / "pdl", samples);
        !failure.empty()) {
        return Fail(failure);
    }
    // The stand-ins, for this process only: a host finds its own libraries.
    ::setenv("QUILLET_DRIVER_DIR", drivers.c_str(), 1);
    Step("install", "sample installation in " + at.base.string());
    Step("install",
         "wrote " + at.registry.string() + " and set QUILLET_REGISTRY to it for this process");
    Step("install", "data root " + at.dataRoot.string() + "/, system root " +
                        at.systemRoot.string() + "/ (working folder TEMP)");
    Step("install", "samples from " + samples.string());
    Step("install", "stand-in driver libraries from " + drivers.string() +
                        " (QUILLET_DRIVER_DIR, set for this process)");
    Step("install", "copied the driver to " + at.driver.string() + ", the job to " +
                        at.job.string() + ", PDL_CUT_MASTER.ini and machine.ini to " +
                        at.dataFolder.string());
    return 0;
}

// Registers MC01 / SPCC1.6, writes the sample template when the file does
// not exist yet and asks whether it defines cutting conditions.
int RegisterTemplate(const Installation& at, std::string& templatePath) {
    char path[QUILLET_PATH_BUFFER_SIZE] = {};
    const int status =
        SddGetOthMacCondPath(1, 0, kTemplateMachineType, kMachine, kMaterial, "", 0, 0, path);
    if (status != 0) {
        return Report("demo", false).FailStatus("SddGetOthMacCondPath", status);
    }
    templatePath = path;
    Step("template", std::string("registered ") + kMachine + " / " + kMaterial + " (machine type " +
                         std::to_string(kTemplateMachineType) + ") in " +
                         (at.dataFolder / othmac::kIndexFileName).string() + " and " +
                         othmac::MaterialListName(kMachine));
    std::error_code error;
    if (fs::exists(templatePath, error)) {
        Step("template", "kept the existing template file " + templatePath);
    } else if (platform::AtomicReplace(templatePath, kSampleTemplate)) {
        Step("template", "wrote the sample NC template " + templatePath);
    } else {
        return Fail("cannot write the template file " + templatePath);
    }
    const int cuts = SddGetOthCutInf(templatePath.c_str());
    if (cuts != 0 && cuts != 1) {
        return Report("demo", false).FailStatus("SddGetOthCutInf", cuts);
    }
    Step("template", std::string("SddGetOthCutInf: the template ") +
                         (cuts == 1 ? "defines" : "does not define") + " cutting-condition code");
    return 0;
}

// Lays down the current driver setting files of the job.
int SetCurrent(const Installation& at) {
    std::vector<fs::path> saved;
    using driver::DriverSettingKind;
    for (const std::string& name :
         {driver::DriverSettingFileName(DriverSettingKind::Cut, kMachine, kMaterial),
          driver::DriverSettingFileName(DriverSettingKind::Tool, kMachine, kDieLayout),
          driver::DriverSettingFileName(DriverSettingKind::Nc, kMachine, "")}) {
        std::error_code error;
        if (fs::exists(at.dataFolder / name, error)) saved.push_back(at.dataFolder / name);
    }
    const int status = MD_SetCurrentInfo(at.driver.c_str(), kMachine, kMaterial, kDieLayout);
    if (status != 0) {
        return Report("demo", false).FailStatus("MD_SetCurrentInfo", status);
    }
    std::vector<fs::path> current;
    for (const DriverSettingKind kind :
         {DriverSettingKind::Cut, DriverSettingKind::Tool, DriverSettingKind::Nc}) {
        const std::string name = driver::DriverCurrentFileName(kind);
        std::error_code error;
        if (fs::exists(at.workingFolder / name, error)) current.push_back(at.workingFolder / name);
    }
    Step("current", std::string("MD_SetCurrentInfo for ") + kMachine + ", " + kMaterial + ", " +
                        kDieLayout + ": " +
                        (saved.empty() ? std::string("no saved settings yet, the driver's defaults")
                                       : "the saved " + Names(saved, at.dataFolder)) +
                        " laid down as " + Names(current, at.workingFolder) + " in " +
                        at.workingFolder.string());
    return 0;
}

// Generates the NC program of the sample job and prints its first lines.
int GenerateNc(const Installation& at) {
    ::setenv("QUILLET_JOB", at.job.c_str(), 1);
    std::string target = at.ncProgram.string();
    std::vector<char> buffer(target.begin(), target.end());
    buffer.push_back('\0');
    const int status = MD_CreateNC(CString(at.driver.c_str()), buffer.data());
    if (status != 0) {
        return Report("demo", false).FailStatus("MD_CreateNC", status);
    }
    const std::optional<std::string> program = platform::ReadWholeFile(at.ncProgram);
    if (!program) return Fail("MD_CreateNC returned 0 but wrote no " + target);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < program->size();) {
        const std::size_t end = std::min(program->find('\n', start), program->size());
        lines.push_back(program->substr(start, end - start));
        start = end + 1;
    }
    Step("nc", "MD_CreateNC (QUILLET_JOB=" + at.job.string() + ") wrote " + target + ", " +
                   std::to_string(lines.size()) + " lines; the first ones:");
    for (std::size_t i = 0; i < lines.size() && i < 8; ++i) {
        std::printf("      %s\n", lines[i].c_str());
    }
    return 0;
}

// Maps the PDL machine type and prints table K as the machine uses it.
int PdlSteps(const Installation& at) {
    const int id = SddPDLOthMacTypeGet(kPdlMachineType);
    if (id == -1) {
        PrintError("demo: SddPDLOthMacTypeGet: machine type " + std::to_string(kPdlMachineType) +
                   " has no machine ID");
        return ExitCodeForStatus(-1);
    }
    Step("pdl", "SddPDLOthMacTypeGet: machine type " + std::to_string(kPdlMachineType) +
                    " is machine ID " + std::to_string(id) + " (alias table " +
                    (at.dataFolder / pdl::kPdlAliasFile).string() + ")");
    const fs::path conditionFile = at.dataFolder / pdl::PdlConditionFileName(kMachine, kMaterial);
    std::error_code error;
    const bool existed = fs::exists(conditionFile, error);
    Step("pdl", std::string("table K of ") + kMachine + " / " + kMaterial + " from " +
                    conditionFile.string() +
                    (existed ? "" : " (created from PDL_CUT_MASTER.ini on first use)") +
                    ", the parameters machine ID " + std::to_string(id) + " uses (machine.ini):");
    std::fflush(stdout);
    const int code = RunPdlTableCommand({"pdl-table", "--machine", kMachine, "--material",
                                         kMaterial, "--type", std::to_string(kPdlMachineType),
                                         "--table", "K", "--used-only", "--create"});
    std::fflush(stdout);
    return code;
}

// Opens the five dialogs in turn; a status of a failure stops the road.
int OpenDialogs(const Installation& at) {
    struct Dialog {
        const char* name;
        const char* exportName;
        int (*open)(const Installation&);
        bool failed(int status) const { return status != 0 && status != 1; }
    };
    const Dialog dialogs[] = {
        {"NC template dialog 102", "SddOthMacCondDLG",
         [](const Installation&) {
             char buffer[QUILLET_PATH_BUFFER_SIZE] = {};
             return SddOthMacCondDLG(0, 1, kTemplateMachineType, kMachine, kMaterial, "", 0, 0,
                                     buffer);
         }},
        {"driver laser-condition dialog 130 (condition L)", "MD_OthMacLasCutDLG",
         [](const Installation& i) {
             return MD_OthMacLasCutDLG(i.driver.c_str(), kMachine, kMaterial, 1);
         }},
        {"driver tool-condition dialog 131 (T1)", "MD_OthMacToolDLG",
         [](const Installation& i) {
             return MD_OthMacToolDLG(i.driver.c_str(), kMachine, kDieLayout, 1);
         }},
        {"driver NC-creation dialog 132", "MD_OthMacNCCreateDLG",
         [](const Installation& i) { return MD_OthMacNCCreateDLG(i.driver.c_str(), kMachine); }},
        {"PDL laser-condition dialog 129 (table K)", "SddPDLOthMacLasCutDLG",
         [](const Installation&) {
             return SddPDLOthMacLasCutDLG(kMachine, kPdlMachineType, kMaterial, 0);
         }},
    };
    for (const Dialog& d : dialogs) {
        Step("gui", std::string("opening the ") + d.name + " (" + d.exportName + ")");
        const int status = d.open(at);
        if (d.failed(status)) {
            return Report("demo", false).FailStatus(d.exportName, status);
        }
        Step("gui", std::string(d.exportName) + " returned " + std::to_string(status) + " (" +
                        StatusText(status) + ")");
    }
    return 0;
}

}  // namespace

int RunDemo(int argc, char** argv) {
    ArgParser args("demo", "[--dir FOLDER] [--samples FOLDER] [--gui]",
                   "demo --dir /tmp/quillet-demo");
    args.Option("dir",
                "folder for the sample installation, created when missing "
                "(default: a fresh temporary folder)");
    args.Option("samples",
                "folder holding the samples (drivers/, jobs/, pdl/); default: the installed or "
                "source-tree samples");
    args.Flag("gui", "also open the five dialogs (needs a display or QT_QPA_PLATFORM)");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;

    const std::optional<fs::path> samples = FindSamples(args.Get("samples"));
    if (!samples) {
        PrintError(args.Has("samples")
                       ? "demo: no samples folder " + args.Get("samples")
                       : "demo: " + StandinsMissing("the samples") + ", or give --samples");
        return args.Has("samples") ? kExitUsage : kExitHostFailure;
    }
    const std::optional<fs::path> drivers = FindStandinDrivers();
    if (!drivers) {
        PrintError("demo: " + StandinsMissing("the stand-in driver libraries (libkorvid.so, "
                                              "libDravik.so) the sample driver and job need"));
        return kExitHostFailure;
    }
    if (args.Has("gui")) {
        if (const std::optional<int> refused = RefuseWithoutDisplay(Report("demo", false))) {
            return *refused;
        }
    }

    fs::path base;
    std::error_code error;
    if (args.Has("dir")) {
        if (args.Get("dir").empty()) {
            PrintError("demo: --dir needs a folder");
            return kExitUsage;
        }
        base = fs::absolute(args.Get("dir"), error);
        if (!error) fs::create_directories(base, error);
        if (error || !fs::is_directory(base, error)) {
            return Fail("cannot create the folder " + args.Get("dir"));
        }
    } else {
        const std::optional<fs::path> folder = MakeTemporaryFolder("quillet-demo");
        if (!folder) return Fail("cannot create a temporary folder");
        base = *folder;
    }
    // The roots are the folder's canonical path, as the registry records them.
    base = fs::weakly_canonical(base, error);
    const Installation at = SampleInstallationIn(base);

    int code = SetUp(at, *samples, *drivers);
    std::string templatePath;
    if (code == 0) code = RegisterTemplate(at, templatePath);
    if (code == 0) code = SetCurrent(at);
    if (code == 0) code = GenerateNc(at);
    if (code == 0) code = PdlSteps(at);
    if (code == 0 && args.Has("gui")) code = OpenDialogs(at);
    if (code != 0) {
        PrintError("demo: stopped; the installation stays in " + at.base.string());
        return code;
    }
    // The program by its full path: a build folder is not on PATH.
    const std::string self = SelfPath().empty() ? "quillet-host" : SelfPath();
    std::printf(
        "\nDone. To go on with this installation:\n"
        "  export QUILLET_REGISTRY=%s QUILLET_DRIVER_DIR=%s\n"
        "  %s templates\n"
        "  %s pdl-table --machine %s --material %s --type %d --table L --used-only\n"
        "and with a display (or QT_QPA_PLATFORM=offscreen) a dialog:\n"
        "  %s laser-dialog --driver %s --machine %s --material %s --condition L\n",
        at.registry.c_str(), drivers->c_str(), self.c_str(), self.c_str(), kMachine, kMaterial,
        kPdlMachineType, self.c_str(), at.driver.c_str(), kMachine, kMaterial);
    if (RunsFromBuildTree()) {
        std::printf(
            "(a build folder is not on PATH: cmake --install or the Debian packages put "
            "quillet-host there, see README.md)\n");
    }
    return 0;
}

}  // namespace quillet::host
