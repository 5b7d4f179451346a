// Option parsing of quillet-host. See args.h.
#include "args.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "frame/cutting_conditions.h"
#include "platform/ascii.h"

namespace quillet::host {

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
            values_.insert_or_assign(name, std::string("1"));
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

bool ArgParser::Has(const std::string& name) const { return values_.contains(name); }

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

}  // namespace quillet::host
