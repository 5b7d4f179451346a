// Option parsing, reports and shared helpers of quillet-host.
#include "cli.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "diagnose.h"
#include "frame/cutting_conditions.h"
#include "frame/roots.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "platform/ascii.h"
#include "platform/display.h"
#include "platform/file_ops.h"
#include "platform/registry.h"

namespace quillet::host {

namespace {

void PrintJsonDocument(const Json& value) {
    PrintJson(value.dump(2, ' ', false, Json::error_handler_t::replace));
}

}  // namespace

int Report::Done(int status, const ::quillet::host::Json& data) const {
    if (json_) {
        ::quillet::host::Json out = {{"status", status}};
        if (data.is_object()) out.update(data);
        PrintJsonDocument(out);
    }
    return ExitCodeForStatus(status);
}

int Report::Fail(int exitCode, int status, const std::string& error, const std::string& cause,
                 const ::quillet::host::Json& data) const {
    PrintError(command_ + ": " + error);
    if (!cause.empty()) PrintError(command_ + ": " + cause);
    if (json_) {
        ::quillet::host::Json out = {{"status", status}, {"error", DisplayText(error)}};
        if (!cause.empty()) out["cause"] = DisplayText(cause);
        if (data.is_object()) out.update(data);
        PrintJsonDocument(out);
    }
    return exitCode;
}

int Report::FailStatus(const std::string& exportName, int status, const std::string& cause,
                       const ::quillet::host::Json& data) const {
    const std::string meaning = StatusText(status);
    return Fail(ExitCodeForStatus(status), status,
                exportName + " returned " + std::to_string(status) +
                    (meaning.empty() ? "" : " (" + meaning + ")"),
                cause, data);
}

void ArgParser::Option(const std::string& name, const std::string& help, bool required) {
    options_.push_back({name, OptionInfo{help, true, required}});
}

void ArgParser::Flag(const std::string& name, const std::string& help) {
    options_.push_back({name, OptionInfo{help, false, false}});
}

void ArgParser::Alias(const std::string& name, const std::string& target) {
    aliases_[name] = target;
}

void ArgParser::AllowPositional(const std::string& name, const std::string& help, int count) {
    positionalName_ = name;
    positionalHelp_ = help;
    positionalCount_ = count;
}

int ArgParser::Bad(bool json, const std::string& text) const {
    return ::quillet::host::Report(command_, json).Usage(text + " (see --help)");
}

bool ArgParser::Parse(int argc, char** argv, int& exitCode) {
    bool json = false;
    for (int i = 1; i < argc; ++i) json = json || std::string_view(argv[i]) == "--json";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintHelp();
            exitCode = 0;
            return false;
        }
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            if (static_cast<int>(positional_.size()) >= positionalCount_) {
                exitCode = Bad(json, "unexpected argument '" + arg + "'");
                return false;
            }
            positional_.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (const auto alias = aliases_.find(name); alias != aliases_.end()) name = alias->second;
        const OptionInfo* info = nullptr;
        for (const auto& [n, s] : options_) {
            if (n == name) info = &s;
        }
        if (info == nullptr) {
            exitCode = Bad(json, "unknown option --" + name);
            return false;
        }
        if (!info->takesValue) {
            if (inlineValue) {
                exitCode = Bad(json, "option --" + name + " takes no value");
                return false;
            }
            values_[name] = "1";
        } else if (inlineValue) {
            values_[name] = *inlineValue;
        } else if (i + 1 < argc) {
            values_[name] = argv[++i];
        } else {
            exitCode = Bad(json, "option --" + name + " needs a value");
            return false;
        }
    }
    for (const auto& [name, info] : options_) {
        if (info.required && !Has(name)) {
            exitCode = Bad(json, "missing --" + name);
            return false;
        }
    }
    return true;
}

bool ArgParser::Has(const std::string& name) const { return values_.count(name) != 0; }

std::string ArgParser::Get(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

std::optional<int> ArgParser::GetInt(const std::string& name, int fallback) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return fallback;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(it->second.c_str(), &end, 10);
    if (it->second.empty() || *end != '\0' || errno != 0 || value < INT32_MIN ||
        value > INT32_MAX) {
        MakeReport().Usage("--" + name + " needs an integer, not '" + it->second + "'");
        return std::nullopt;
    }
    return static_cast<int>(value);
}

void ArgParser::PrintHelp() const {
    std::printf("usage: quillet-host %s %s\n", command_.c_str(), usage_.c_str());
    if (positionalCount_ > 0) {
        std::printf("\narguments:\n  %-26s %s\n", positionalName_.c_str(), positionalHelp_.c_str());
    }
    std::printf("\noptions:\n");
    for (const auto& [name, info] : options_) {
        std::string left = "--" + name + (info.takesValue ? " VALUE" : "");
        std::printf("  %-26s %s%s\n", left.c_str(), info.help.c_str(),
                    info.required ? " (required)" : "");
        for (const auto& [alias, target] : aliases_) {
            if (target != name) continue;
            const std::string same = "--" + alias + (info.takesValue ? " VALUE" : "");
            std::printf("  %-26s the same as --%s\n", same.c_str(), name.c_str());
        }
    }
    std::printf("  %-26s %s\n", "--help", "show this help");
    if (!note_.empty()) std::printf("\n%s\n", note_.c_str());
    if (!example_.empty()) std::printf("\nexample:\n  quillet-host %s\n", example_.c_str());
}

std::optional<int> ParseCondition(const std::string& text) {
    for (std::size_t i = 0; i < frame::kCuttingConditionNames.size(); ++i) {
        if (platform::EqualsIgnoringAsciiCase(text, frame::kCuttingConditionNames[i])) {
            return static_cast<int>(i);
        }
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() ||
        !frame::IsCuttingConditionIndex(value)) {
        return std::nullopt;
    }
    return value;
}

void DeclareTable(ArgParser& args, const std::string& name, const std::string& help) {
    args.Option(name, help + ": K, L, M, H, U, U1-U5, P101-P103 (any case) or 0-12", true);
    args.Alias(name == "table" ? "condition" : "table", name);
}

std::optional<int> TableArg(const ArgParser& args, int& exitCode) {
    const std::string text = args.Has("table") ? args.Get("table") : args.Get("condition");
    const std::optional<int> table = ParseCondition(text);
    if (!table) {
        exitCode = args.MakeReport().Usage("unknown table '" + text +
                                           "': give K, L, M, H, U, U1-U5, P101-P103 (any "
                                           "case) or 0-12");
    }
    return table;
}

void PrintError(const std::string& text) {
    const std::string shown = DisplayText(text);
    std::fprintf(stderr, "quillet-host: %s\n", shown.c_str());
}

std::string StatusText(int status) {
    switch (status) {
        case 0:
            return "done";
        case 1:
            return "cancelled";
        case 100:
            return "not set up or a file is missing";
        case 101:
            return "machine name longer than 50 bytes";
        case 999:
            return "system error";
        case -1:
            return "unavailable";
        case -2:
            return "invalid arguments";
        default:
            return "";
    }
}

void NoteNameForm(const Report& report, const std::string& what, const std::string& typed,
                  const std::string& form, bool matched) {
    if (form == typed) return;
    PrintError(report.Command() + ": note: " + what + " '" + typed + "' " +
               (matched ? "matched" : "is written") +
               " in its CP932 form, as Windows workstations write names");
}

std::optional<int> ResolveFileNames(
    const Report& report, const std::vector<TypedName>& names,
    const std::function<bool(const std::vector<std::string>&)>& exists, bool creating,
    Json& nameForms) {
    std::vector<std::vector<std::string>> forms;
    for (const TypedName& name : names) forms.push_back(NameForms(*name.name));
    // Every combination of forms, as typed first: an odometer over them.
    std::vector<std::size_t> at(names.size(), 0);
    auto chosen = [&] {
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < names.size(); ++i) texts.push_back(forms[i][at[i]]);
        return texts;
    };
    bool matched = false;
    for (;;) {
        if ((matched = exists(chosen()))) break;
        std::size_t i = 0;
        while (i < at.size() && ++at[i] == forms[i].size()) at[i++] = 0;
        if (i == at.size()) break;
    }
    if (!matched) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string unheld;
            if (creating && !Cp932Form(*names[i].name, unheld)) {
                return report.Usage(std::string("the ") + names[i].what + " name '" +
                                    *names[i].name + "' holds " + unheld +
                                    ", which code page 932 cannot hold: Windows workstations "
                                    "could not use it");
            }
            at[i] = creating ? forms[i].size() - 1 : 0;
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        NoteNameForm(report, names[i].what, *names[i].name, forms[i][at[i]], matched);
        nameForms[names[i].what] = at[i] == 0 ? "as typed" : "CP932";
        *names[i].name = forms[i][at[i]];
    }
    return std::nullopt;
}

std::optional<int> RefuseWithoutDisplay(const Report& report) {
    const std::string problem = platform::DialogDisplayProblem();
    if (problem.empty()) return std::nullopt;
    return report.Fail(kExitNoDisplay, kExitNoDisplay, "cannot show the dialog: " + problem,
                       "set DISPLAY (or WAYLAND_DISPLAY) to a display that runs, or "
                       "QT_QPA_PLATFORM=offscreen to run it without a screen");
}

std::optional<fs::path> FindSamples(const std::string& given) {
    std::error_code error;
    if (!given.empty()) {
        if (fs::is_directory(given, error)) return fs::path(given);
        return std::nullopt;
    }
    const fs::path self = SelfPath();
    if (!self.empty()) {
        const fs::path installed = self.parent_path().parent_path() / "share/quillet/samples";
        if (fs::is_directory(installed, error)) return installed;
    }
#ifdef QUILLET_SOURCE_SAMPLES
    if (fs::is_directory(QUILLET_SOURCE_SAMPLES, error)) return fs::path(QUILLET_SOURCE_SAMPLES);
#endif
    return std::nullopt;
}

std::string SelfPath() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

std::optional<std::string> RegistryRoot(const std::string& valueName) {
    const std::optional<platform::RegistryValue> value =
        platform::ReadRegistryValue(platform::RegistryFilePath(), frame::kRootsKey, valueName);
    if (!value || value->type != platform::RegistryValueType::String) return std::nullopt;
    return value->data;
}

std::optional<fs::path> DataFolder() {
    const std::optional<std::string> folder = frame::DataFolder();
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

std::optional<fs::path> WorkingFolder() {
    const std::optional<std::string> folder = frame::WorkingFolder();
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

std::optional<fs::path> DataFolderToList(const Report& report, int status, int& exitCode) {
    const std::string cause = Diagnose({true});
    const std::optional<fs::path> folder = DataFolder();
    if (cause.empty() && folder) return folder;
    exitCode = report.Fail(ExitCodeForStatus(status), status, "no data folder to list", cause);
    return std::nullopt;
}

std::optional<fs::path> DataFolderOf(const fs::path& dataRoot) {
    const std::optional<std::string> folder = frame::DataFolderOf((dataRoot / "").string());
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

std::optional<fs::path> WorkingFolderOf(const fs::path& systemRoot) {
    const std::optional<std::string> folder = frame::WorkingFolderOf((systemRoot / "").string());
    return folder ? std::optional<fs::path>(*folder) : std::nullopt;
}

SampleInstallation SampleInstallationIn(const fs::path& base) {
    SampleInstallation i;
    i.base = base;
    i.registry = base / "registry.reg";
    i.dataRoot = base / "data";
    i.systemRoot = base / "system";
    i.dataFolder = DataFolderOf(i.dataRoot).value_or(fs::path());
    i.workingFolder = WorkingFolderOf(i.systemRoot).value_or(fs::path());
    i.driver = base / "drivers" / "laser.drv";
    i.job = base / "jobs" / "sample.job";
    i.ncProgram = base / "nc" / "sample.nc";
    return i;
}

std::string LayDownSampleInstallation(const SampleInstallation& at, const fs::path& pdlSamples,
                                      const std::optional<fs::path>& samples) {
    if (at.dataFolder.empty() || at.workingFolder.empty()) {
        return "the folder " + at.base.string() + " is too deep for paths of 499 characters";
    }
    std::vector<fs::path> folders = {at.dataFolder, at.workingFolder};
    std::vector<std::pair<fs::path, fs::path>> copies = {
        {pdlSamples / pdl::kPdlMasterFile, at.dataFolder / pdl::kPdlMasterFile},
        {pdlSamples / pdl::kMachineListFile, at.dataFolder / pdl::kMachineListFile},
    };
    if (samples) {
        folders.insert(folders.end(),
                       {at.driver.parent_path(), at.job.parent_path(), at.ncProgram.parent_path()});
        copies.insert(copies.begin(), {{*samples / "drivers" / "laser.drv", at.driver},
                                       {*samples / "jobs" / "sample.job", at.job}});
    }
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) return "cannot create " + folder.string() + ": " + error.message();
    }
    for (const auto& [from, to] : copies) {
        if (!platform::CopyFileOver(from, to)) return "cannot copy " + from.string();
    }
    if (!WriteRegistryFile(at.registry, at.dataRoot, at.systemRoot)) {
        return "cannot write " + at.registry.string();
    }
    ::setenv("QUILLET_REGISTRY", at.registry.c_str(), 1);
    return "";
}

std::optional<fs::path> MakeTemporaryFolder(const std::string& prefix) {
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / (prefix + "-XXXXXX")).string();
    if (error || ::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
    return fs::path(pattern);
}

bool WriteRegistryFile(const fs::path& file, const fs::path& dataRoot, const fs::path& systemRoot) {
    // A root is written with its trailing '/'.
    auto value = [](const fs::path& root) {
        std::string path = root.string();
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return path == "/" ? path : path + '/';
    };
    return platform::AtomicReplace(
        file, platform::FormatRegistryFile(frame::kRootsKey,
                                           {{frame::kDataRootValue, value(dataRoot)},
                                            {frame::kSystemRootValue, value(systemRoot)}}));
}

FileStamp StampOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return FileStamp{
        true, static_cast<std::uintmax_t>(info.st_size), static_cast<std::int64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace quillet::host
