// The data-folder audit behind `quillet-host check`: reads every file of a
// data folder the way the module reads it and reports what would go wrong,
// without creating, changing or locking anything.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

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

// The record store as the module reads it: the machines of Othmcn.dat in
// file order (the first record of a machine wins), each with the materials
// of its list (listed is false when the list file cannot be read). Given
// names, only the machines of one of those names (letter case ignored) are
// taken, and only their lists are read: a look-up on a share of thousands
// of machines opens the index and one list, not every list.
struct RegisteredMaterial {
    std::string name;
    std::string templateFile;
};
struct RegisteredMachine {
    int type = 0;
    std::string name;
    std::string listFile;
    bool listed = false;
    std::vector<RegisteredMaterial> materials;
};
std::vector<RegisteredMachine> ReadRecordStore(
    const std::filesystem::path& dataFolder,
    const std::optional<std::vector<std::string>>& names = std::nullopt);

// A PDL condition file of the data folder and the pair it belongs to. Its
// name PDL_CUT_<machine>_<material>.ini splits at any '_': the split whose
// machine the folder knows (a machine of Othmcn.dat or of a driver NC file
// MD_NC_<machine>.ini) is taken, else the split at the first '_'. others
// holds the splits that are just as likely.
struct PdlFilePair {
    std::string file;
    std::string machine;
    std::string material;
    std::vector<std::pair<std::string, std::string>> others;
    bool known = false;  // the machine is one the folder knows
};
std::vector<PdlFilePair> ListPdlFiles(const std::filesystem::path& dataFolder);

// Audits the data folder (and the working folder when given). Read-only.
CheckResult CheckDataFolder(const CheckOptions& options);

// 0 when no finding is an error, 1 when one is, 70 when the folder could not
// be read.
int ExitCodeFor(const CheckResult& result);

// "file:line: severity: message [code]" per finding (":line" left out for 0)
// and a summary line.
std::string FormatPlain(const CheckResult& result);
// {"status": ExitCodeFor, "filesChecked", "findings": [{severity, code,
// file, line, message}]}; names and messages in UTF-8.
nlohmann::ordered_json ToJson(const CheckResult& result);

}  // namespace quillet::check
