// The data-folder audit behind `quillet-host check`: reads every file of a
// data folder the way the module reads it and reports what would go wrong,
// without creating, changing or locking anything.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::check {

enum class Severity { Info, Warning, Error };

// "info", "warning" or "error".
std::string_view SeverityName(Severity severity);

// One finding: file is the file's name relative to the data folder
// ("TEMP/<name>" for files of the working folder); line is 1-based, 0 when
// the finding is about the whole file.
struct Finding {
    Severity severity = Severity::Info;
    std::string code;
    std::string file;
    int line = 0;
    std::string message;
};

struct CheckOptions {
    std::filesystem::path dataFolder;                    // data root + "data/Othmcn"
    std::optional<std::filesystem::path> workingFolder;  // system root + "TEMP", when checked
};

struct CheckResult {
    bool readable = false;  // false: the data folder could not be listed at all
    std::string failure;    // why, when not readable
    int filesChecked = 0;
    std::vector<Finding> findings;  // ordered by file, then line
};

// Audits the data folder (and the working folder when given). Read-only.
CheckResult CheckDataFolder(const CheckOptions& options);

// 0 when no finding is an error, 1 when one is, 70 when the folder could not
// be read.
int ExitCodeFor(const CheckResult& result);

// "file:line: severity: message [code]" per finding (":line" left out for 0)
// and a summary line.
std::string FormatPlain(const CheckResult& result);
// A JSON array of {severity, code, file, line, message}.
std::string FormatJson(const CheckResult& result);

}  // namespace quillet::check
