// The audit's driver: lists the data folder, hands each file to the check of
// its kind, and formats the findings. Also the shared readers of
// check_internal.h.
#include "check/check.h"
#include "platform/ascii.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <system_error>

#include "check/check_internal.h"
#include "driver/driver_names.h"
#include "othmac/record_layout.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "pdl/pdl_save_options.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "text.h"

namespace quillet::check {

namespace detail {

namespace {

void AddIniLine(IniFile& ini, std::string_view text, int number) {
    const platform::ProfileLine line = platform::ScanProfileLine(text);
    if (line.kind == platform::ProfileLineKind::Header) {
        IniSection section{number, std::string(line.name), {}, true, {}};
        section.first = ini.byName.emplace(AsciiFolded(line.name), ini.sections.size()).second;
        ini.sections.push_back(std::move(section));
    } else if (line.kind == platform::ProfileLineKind::Entry) {
        IniSection& section = ini.sections.back();
        const bool first =
            section.byKey.emplace(AsciiFolded(line.name), section.entries.size()).second;
        section.entries.push_back(IniEntry{number, std::string(line.name), line.hasValue,
                                           std::string(platform::UnquoteProfileValue(line.value)),
                                           first});
    }
}

}  // namespace

std::optional<std::string> ReadBytes(const fs::path& path) {
    if (!platform::CanOpenForReading(path)) return std::nullopt;
    return platform::ReadWholeFile(path);
}

IniFile ScanIni(std::string_view bytes) {
    IniFile ini;
    ini.sections.push_back(IniSection{});
    if (bytes.substr(0, 2) == platform::kProfileUtf16Mark) {
        ini.utf16 = true;
        return ini;
    }
    if (bytes.substr(0, 3) == platform::kProfileUtf8Mark) bytes.remove_prefix(3);
    int number = 0;
    platform::ForEachProfileLine(bytes, 1, [&](std::string_view content, std::string_view) {
        AddIniLine(ini, content, ++number);
    });
    return ini;
}

const IniSection* FindSection(const IniFile& ini, std::string_view name) {
    const auto it = ini.byName.find(AsciiFolded(name));
    return it == ini.byName.end() ? nullptr : &ini.sections[it->second];
}

const IniEntry* FindEntry(const IniSection& section, std::string_view key) {
    const auto it = section.byKey.find(AsciiFolded(key));
    return it == section.byKey.end() ? nullptr : &section.entries[it->second];
}

void CheckIniStructure(const IniFile& ini, const std::string& file, Findings& findings) {
    for (std::size_t s = 0; s < ini.sections.size(); ++s) {
        const IniSection& section = ini.sections[s];
        if (!section.first) {
            findings.Warning("duplicate-section", file, section.line,
                             "section [" + section.name + "] appears again (first on line " +
                                 std::to_string(FindSection(ini, section.name)->line) +
                                 "): its keys are never read");
            continue;
        }
        for (const IniEntry& entry : section.entries) {
            if (!entry.first) {
                findings.Warning("duplicate-key", file, entry.line,
                                 "key " + entry.key + " appears again in [" + section.name +
                                     "] (first on line " +
                                     std::to_string(FindEntry(section, entry.key)->line) +
                                     "): the first wins");
            } else if (!entry.hasValue && s > 0) {
                findings.Warning("key-without-value", file, entry.line,
                                 "line '" + entry.key + "' has no '=': it reads as a missing key");
            }
        }
    }
}

namespace {

NumberRead Read(std::string_view text, const platform::LeadingNumber& number) {
    if (!number.found) return {};
    return {number.end == text.size() ? NumberForm::Clean : NumberForm::TrailingText, number.value};
}

}  // namespace

NumberRead ReadInteger(std::string_view text) {
    return Read(text, platform::ReadLeadingInteger(text, 1'000'000'000'000));
}

NumberRead ReadReal(std::string_view text) { return Read(text, platform::ReadLeadingReal(text)); }

std::string FormatNumber(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

// A number written with a comma between digits ("2,000", "1,5"), as a
// locale with a decimal comma or thousands separators writes it.
bool LocaleNumber(std::string_view text) {
    const std::size_t comma = text.find(',');
    return comma != std::string_view::npos && comma > 0 && comma + 1 < text.size() &&
           text[comma - 1] >= '0' && text[comma - 1] <= '9' && text[comma + 1] >= '0' &&
           text[comma + 1] <= '9';
}

double CheckNumber(const IniEntry& entry, bool integer, const std::string& file,
                   Findings& findings) {
    const NumberRead read = integer ? ReadInteger(entry.value) : ReadReal(entry.value);
    if (read.form == NumberForm::NotANumber) {
        findings.Error(
            "not-numeric", file, entry.line,
            entry.key + "=" + entry.value + ": the value is not a number and reads as 0");
    } else if (!std::isfinite(read.value)) {
        findings.Error("not-finite", file, entry.line,
                       entry.key + "=" + entry.value +
                           ": no finite number; write a number (quillet-host pdl-import and the "
                           "dialogs refuse such values)");
    } else if (read.form == NumberForm::TrailingText && LocaleNumber(entry.value)) {
        findings.Error("locale-number", file, entry.line,
                       entry.key + "=" + entry.value + ": a number in a locale format reads as " +
                           FormatNumber(read.value) +
                           "; numbers are written with a point and no thousands separator");
    } else if (read.form == NumberForm::TrailingText) {
        findings.Warning("trailing-text", file, entry.line,
                         entry.key + "=" + entry.value + ": text after the number; it reads as " +
                             FormatNumber(read.value));
    }
    return read.value;
}

bool UnsafeFileName(std::string_view name) { return !platform::IsSingleFileName(name); }

}  // namespace detail

namespace {

using namespace detail;

// The files the audit reads, by the name the module forms for each.
enum class AuditedFile {
    None,
    Template,
    PdlCondition,  // the master too
    PdlSaveOptions,
    PdlAlias,
    MachineList,
    DriverCut,
    DriverTool,
    DriverNc,
};

AuditedFile AuditedFileOf(const std::string& name) {
    if (othmac::IsTemplateFileName(name)) return AuditedFile::Template;
    if (name == pdl::kMachineListFile) return AuditedFile::MachineList;
    if (name == pdl::kPdlSaveOptionFile) return AuditedFile::PdlSaveOptions;
    if (name == pdl::kPdlAliasFile) return AuditedFile::PdlAlias;
    if (pdl::PdlConditionFileNames(name)) return AuditedFile::PdlCondition;
    if (const std::optional<driver::DriverFileNames> file =
            driver::ParseDriverSettingFileName(name)) {
        switch (file->kind) {
            case driver::DriverSettingKind::Cut:
                return AuditedFile::DriverCut;
            case driver::DriverSettingKind::Tool:
                return AuditedFile::DriverTool;
            case driver::DriverSettingKind::Nc:
                return AuditedFile::DriverNc;
        }
    }
    return AuditedFile::None;
}

// An INI file of the data folder, audited as what its name makes it.
void CheckIniFile(const std::string& name, AuditedFile kind, std::string_view bytes,
                  Findings& findings) {
    const IniFile ini = ScanIni(bytes);
    if (ini.utf16) {
        findings.Info("utf16-file", name, 0, "UTF-16 text file: not audited line by line");
        return;
    }
    CheckIniStructure(ini, name, findings);
    switch (kind) {
        case AuditedFile::PdlSaveOptions:
            CheckSaveOptionFile(name, ini, findings);
            break;
        case AuditedFile::PdlAlias:
            CheckAliasFile(name, ini, findings);
            break;
        case AuditedFile::MachineList:
            CheckMachineFile(name, ini, findings);
            break;
        case AuditedFile::PdlCondition:
            CheckPdlConditionFile(name, ini, findings);
            break;
        case AuditedFile::DriverCut:
        case AuditedFile::DriverTool:
            CheckDriverCutOrToolFile(name, ini, kind == AuditedFile::DriverTool, findings);
            break;
        default:
            break;
    }
}

void CheckWorkingFolder(const fs::path& folder, Findings& findings) {
    std::vector<std::string> names;
    for (const driver::DriverSettingKind kind :
         {driver::DriverSettingKind::Cut, driver::DriverSettingKind::Tool,
          driver::DriverSettingKind::Nc}) {
        names.push_back(driver::DriverWorkingFileName(kind));
    }
    names.emplace_back(pdl::kPdlWorkingFile);
    for (const std::string& name : names) {
        std::error_code error;
        if (fs::exists(folder / name, error)) {
            findings.Warning("stale-working-copy", "TEMP/" + name, 0,
                             "working copy left behind by an interrupted edit; the next edit "
                             "overwrites it");
        }
    }
}

}  // namespace

std::string_view SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            return "warning";
        case Severity::Info:
            break;
    }
    return "info";
}

namespace {

// The PDL condition files of names and their pairs (see ListPdlFiles).
std::vector<PdlFilePair> PdlFilePairs(const fs::path& folder, const std::set<std::string>& names) {
    std::set<std::string> known;
    for (const RegisteredMachine& machine : ReadRecordStore(folder))
        known.insert(AsciiFolded(machine.name));
    for (const std::string& name : names) {
        const std::optional<driver::DriverFileNames> file =
            driver::ParseDriverSettingFileName(name);
        if (file && file->kind == driver::DriverSettingKind::Nc) {
            known.insert(AsciiFolded(file->names));
        }
    }
    std::vector<PdlFilePair> pairs;
    for (const std::string& name : names) {
        const std::vector<std::pair<std::string, std::string>> splits =
            pdl::PdlConditionFilePairs(name);
        if (splits.empty()) continue;
        std::vector<std::pair<std::string, std::string>> knownSplits;
        for (const auto& split : splits) {
            if (known.contains(AsciiFolded(split.first))) knownSplits.push_back(split);
        }
        const auto& candidates = knownSplits.empty() ? splits : knownSplits;
        pairs.push_back(PdlFilePair{name,
                                    candidates[0].first,
                                    candidates[0].second,
                                    {candidates.begin() + 1, candidates.end()},
                                    !knownSplits.empty()});
    }
    return pairs;
}

// Lists the data folder: regular files in names, every other entry (a
// folder, a socket ...) in nonFiles. false when it cannot be listed.
bool ListFolder(const fs::path& folder, std::set<std::string>& names,
                std::set<std::string>& nonFiles, std::string& failure) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        (it->is_regular_file(typeError) ? names : nonFiles).insert(it->path().filename().string());
    }
    if (error) failure = "cannot read the data folder " + folder.string() + ": " + error.message();
    return !error;
}

// A folder the module must write in.
void CheckWritable(const fs::path& folder, const std::string& file, const char* what,
                   Findings& findings) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        findings.Error("folder-missing", file, 0,
                       std::string("the ") + what + " " + folder.string() +
                           " does not exist: every edit that uses it fails; create it");
    } else if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        findings.Error("folder-read-only", file, 0,
                       std::string("cannot write in the ") + what + " (" + std::strerror(errno) +
                           "): every registration, save and edit fails; make it writable");
    }
}

}  // namespace

std::vector<PdlFilePair> ListPdlFiles(const fs::path& dataFolder) {
    std::set<std::string> names, nonFiles;
    std::string failure;
    ListFolder(dataFolder, names, nonFiles, failure);
    return PdlFilePairs(dataFolder, names);
}

namespace {

bool ModuleFileName(const std::string& name) {
    return AuditedFileOf(name) != AuditedFile::None || name == othmac::kIndexFileName ||
           othmac::IsMaterialListName(name) || name.starts_with("PDL_");
}

}  // namespace

CheckResult CheckDataFolder(const CheckOptions& options) {
    CheckResult result;
    std::set<std::string> names, nonFiles;
    if (!ListFolder(options.dataFolder, names, nonFiles, result.failure)) return result;
    result.readable = true;

    Findings findings;
    CheckWritable(options.dataFolder, ".", "data folder", findings);
    for (const std::string& name : nonFiles) {
        if (ModuleFileName(name)) {
            findings.Error("not-a-file", name, 0,
                           "not a file (a folder or another kind of entry) where the module reads "
                           "and writes a file: every use of it fails; move it away");
        }
    }
    result.filesChecked += CheckRecordStore(options.dataFolder, names, nonFiles, findings);
    for (const PdlFilePair& pair : PdlFilePairs(options.dataFolder, names)) {
        if (!pair.known || pair.others.empty()) continue;
        findings.Error("shared-file", pair.file, 0,
                       "machine '" + pair.machine + "' / material '" + pair.material +
                           "' and machine '" + pair.others[0].first + "' / material '" +
                           pair.others[0].second +
                           "' both use this condition file: saving one overwrites the other");
    }
    for (const std::string& name : names) {
        const AuditedFile kind = AuditedFileOf(name);
        if (kind == AuditedFile::None) continue;
        const std::optional<std::string> bytes = ReadBytes(options.dataFolder / name);
        if (!bytes) {
            findings.Error("unreadable-file", name, 0, "the file cannot be read");
            continue;
        }
        ++result.filesChecked;
        if (kind == AuditedFile::Template) {
            CheckTemplateFile(name, *bytes, findings);
        } else if (kind == AuditedFile::DriverNc) {
            CheckDriverPlainFile(name, *bytes, findings);
        } else {
            CheckIniFile(name, kind, *bytes, findings);
        }
    }
    // A Windows workstation cannot tell apart names that differ only in
    // letter case: it sees one of the two files.
    std::map<std::string, std::string> byFolded;
    for (const std::string& name : names) {
        if (!othmac::IsTemplateFileName(name) && !pdl::PdlConditionFileNames(name, true)) continue;
        const auto [twin, first] = byFolded.emplace(AsciiFolded(name), name);
        if (!first) {
            findings.Warning("case-twins", name, 0,
                             "differs from " + twin->second +
                                 " only in letter case: a Windows workstation sees only one of "
                                 "the two; merge them or rename one");
        }
    }
    const std::string master(pdl::kPdlMasterFile);
    if (!names.contains(master) && names.contains(std::string(pdl::kMachineListFile))) {
        findings.Info("master-missing", master, 0,
                      "no master file: a PDL condition file that is missing cannot be created");
    }
    CheckSharedUse(options.dataFolder, names, findings);
    if (options.workingFolder) {
        CheckWritable(*options.workingFolder, "TEMP", "working folder", findings);
        CheckWorkingFolder(*options.workingFolder, findings);
    }

    result.findings = std::move(findings.All());
    std::stable_sort(result.findings.begin(), result.findings.end(),
                     [](const Finding& a, const Finding& b) {
                         return a.file != b.file ? a.file < b.file : a.line < b.line;
                     });
    return result;
}

int ExitCodeFor(const CheckResult& result) {
    if (!result.readable) return 70;
    for (const Finding& finding : result.findings) {
        if (finding.severity == Severity::Error) return 1;
    }
    return 0;
}

std::string FormatPlain(const CheckResult& result) {
    std::string out;
    int counts[3] = {0, 0, 0};
    for (const Finding& f : result.findings) {
        ++counts[static_cast<int>(f.severity)];
        out += host::DisplayTextEscaped(f.file);
        if (f.line > 0) out.append(":").append(std::to_string(f.line));
        out += ": " + std::string(SeverityName(f.severity)) + ": " +
               host::DisplayTextEscaped(f.message) + " [" + f.code + "]\n";
    }
    out += host::Counted(static_cast<std::size_t>(result.filesChecked), "file") +
           " checked: " + host::Counted(counts[2], "error") + ", " +
           host::Counted(counts[1], "warning") + ", " + host::Counted(counts[0], "note") + "\n";
    return out;
}

nlohmann::ordered_json ToJson(const CheckResult& result) {
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const Finding& f : result.findings) {
        findings.push_back({{"severity", SeverityName(f.severity)},
                            {"code", f.code},
                            {"file", host::DisplayTextEscaped(f.file)},
                            {"line", f.line},
                            {"message", host::DisplayTextEscaped(f.message)}});
    }
    return {{"status", ExitCodeFor(result)},
            {"filesChecked", result.filesChecked},
            {"findings", findings}};
}

}  // namespace quillet::check
