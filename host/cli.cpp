// Option parsing and output helpers of quillet-host.
#include "cli.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace quillet::host {

void ArgParser::Option(const std::string& name, const std::string& help, bool required) {
    specs_.push_back({name, Spec{help, true, required}});
}

void ArgParser::Flag(const std::string& name, const std::string& help) {
    specs_.push_back({name, Spec{help, false, false}});
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
            positional_.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const Spec* spec = nullptr;
        for (const auto& [n, s] : specs_) {
            if (n == name) spec = &s;
        }
        if (spec == nullptr) {
            PrintError(command_ + ": unknown option --" + name + " (see --help)");
            exitCode = kExitUsage;
            return false;
        }
        if (!spec->takesValue) {
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
    for (const auto& [name, spec] : specs_) {
        if (spec.required && !Has(name)) {
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
    if (!specs_.empty()) std::printf("\noptions:\n");
    for (const auto& [name, spec] : specs_) {
        std::string left = "--" + name + (spec.takesValue ? " VALUE" : "");
        std::printf("  %-26s %s%s\n", left.c_str(), spec.help.c_str(),
                    spec.required ? " (required)" : "");
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

}  // namespace quillet::host
