// Option parsing and output helpers of quillet-host.
#include "cli.h"

#include "frame/roots.h"
#include "platform/file_ops.h"
#include "platform/registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quillet::host {

void ArgParser::Option(const std::string& name, const std::string& help, bool required) {
    options_.push_back({name, OptionInfo{help, true, required}});
}

void ArgParser::Flag(const std::string& name, const std::string& help) {
    options_.push_back({name, OptionInfo{help, false, false}});
}

void ArgParser::AllowPositional(const std::string& name, const std::string& help, int count) {
    positionalName_ = name;
    positionalHelp_ = help;
    positionalCount_ = count;
}

bool ArgParser::Parse(int argc, char** argv, int& exitCode) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintHelp();
            exitCode = 0;
            return false;
        }
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            if (static_cast<int>(positional_.size()) >= positionalCount_) {
                PrintError(command_ + ": unexpected argument '" + arg + "' (see --help)");
                exitCode = kExitUsage;
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
        const OptionInfo* info = nullptr;
        for (const auto& [n, s] : options_) {
            if (n == name) info = &s;
        }
        if (info == nullptr) {
            PrintError(command_ + ": unknown option --" + name + " (see --help)");
            exitCode = kExitUsage;
            return false;
        }
        if (!info->takesValue) {
            if (inlineValue) {
                PrintError(command_ + ": option --" + name + " takes no value");
                exitCode = kExitUsage;
                return false;
            }
            values_[name] = "1";
        } else if (inlineValue) {
            values_[name] = *inlineValue;
        } else if (i + 1 < argc) {
            values_[name] = argv[++i];
        } else {
            PrintError(command_ + ": option --" + name + " needs a value");
            exitCode = kExitUsage;
            return false;
        }
    }
    for (const auto& [name, info] : options_) {
        if (info.required && !Has(name)) {
            PrintError(command_ + ": missing --" + name + " (see --help)");
            exitCode = kExitUsage;
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
        PrintError(command_ + ": --" + name + " needs an integer, not '" + it->second + "'");
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
    }
    std::printf("  %-26s %s\n", "--help", "show this help");
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out + "\"";
}

void PrintError(const std::string& text) {
    std::fprintf(stderr, "quillet-host: %s\n", text.c_str());
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

void PrintStatusError(const std::string& command, const std::string& exportName, int status,
                      const std::string& hint) {
    const std::string meaning = StatusText(status);
    PrintError(command + ": " + exportName + " returned " + std::to_string(status) +
               (meaning.empty() ? "" : " (" + meaning + ")") + hint);
}

std::optional<std::filesystem::path> FindSamples(const std::string& given) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!given.empty()) {
        if (fs::is_directory(given, error)) return fs::path(given);
        return std::nullopt;
    }
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed = self.parent_path().parent_path() / "share/quillet/samples";
        if (fs::is_directory(installed, error)) return installed;
    }
#ifdef QUILLET_SOURCE_SAMPLES
    if (fs::is_directory(QUILLET_SOURCE_SAMPLES, error)) return fs::path(QUILLET_SOURCE_SAMPLES);
#endif
    return std::nullopt;
}

std::optional<std::string> RegistryRoot(const std::string& valueName) {
    const std::optional<platform::RegistryValue> value =
        platform::ReadRegistryValue(platform::RegistryFilePath(), frame::kRootsKey, valueName);
    if (!value || value->type != platform::RegistryValueType::String) return std::nullopt;
    return value->data;
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& contents) {
    return platform::AtomicReplace(path, contents);
}

}  // namespace quillet::host
