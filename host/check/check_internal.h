// Shared pieces of the audit: the finding collector, the line readers that
// see a file as the module sees it, the INI scanner and number forms.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "check/check.h"
#include "platform/ascii.h"
#include "platform/text_mode.h"

namespace quillet::check::detail {

namespace fs = std::filesystem;

class Findings {
public:
    void Add(Severity severity, std::string_view code, const std::string& file, int line,
             std::string message) {
        all_.push_back(Finding{severity, std::string(code), file, line, std::move(message)});
    }
    void Error(std::string_view code, const std::string& file, int line, std::string message) {
        Add(Severity::Error, code, file, line, std::move(message));
    }
    void Warning(std::string_view code, const std::string& file, int line, std::string message) {
        Add(Severity::Warning, code, file, line, std::move(message));
    }
    void Info(std::string_view code, const std::string& file, int line, std::string message) {
        Add(Severity::Info, code, file, line, std::move(message));
    }
    std::vector<Finding>& All() { return all_; }

private:
    std::vector<Finding> all_;
};

// Only spaces, tabs and CRs.
inline bool IsBlankLine(std::string_view text) {
    return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

// The bytes of a file; nullopt when it cannot be read (findings get an
// "unreadable-file" error from the caller).
std::optional<std::string> ReadBytes(const fs::path& path);

// An INI file as the profile engine parses it, with line numbers. Names
// match without regard to ASCII letter case; the first section or key of a
// name is the one read (first), looked up in one step.
struct IniEntry {
    int line = 0;
    std::string key;
    bool hasValue = false;
    std::string value;  // trimmed and unquoted as reading gives it
    bool first = true;  // no earlier key of this name in its section
};
struct IniSection {
    int line = 0;  // 0 for the unnamed section before the first header
    std::string name;
    std::vector<IniEntry> entries;
    bool first = true;                                   // no earlier section of this name
    std::unordered_map<std::string, std::size_t> byKey;  // folded key -> first entry
};
struct IniFile {
    bool utf16 = false;
    std::vector<IniSection> sections;                     // sections[0] is the unnamed section
    std::unordered_map<std::string, std::size_t> byName;  // folded name -> first section
};
IniFile ScanIni(std::string_view bytes);

using platform::AsciiFolded;
using platform::EqualsIgnoringAsciiCase;

// The first section of that name (later ones are never read), or nullptr.
const IniSection* FindSection(const IniFile& ini, std::string_view name);
// The first entry of key in section (the one that is read), or nullptr.
const IniEntry* FindEntry(const IniSection& section, std::string_view key);

// Duplicate sections and keys, keys without '=': the same for every INI file.
void CheckIniStructure(const IniFile& ini, const std::string& file, Findings& findings);

// How atoi or atof read a value text.
enum class NumberForm { Clean, TrailingText, NotANumber };
struct NumberRead {
    NumberForm form = NumberForm::NotANumber;
    double value = 0.0;
};
NumberRead ReadInteger(std::string_view text);
NumberRead ReadReal(std::string_view text);
std::string FormatNumber(double value);

// Reports a value that does not read as written: an error when it is no
// number (reads as 0), a warning when text follows the number. Returns the
// value read.
double CheckNumber(const IniEntry& entry, bool integer, const std::string& file,
                   Findings& findings);

// A file name that may not be followed from the data folder.
bool UnsafeFileName(std::string_view name);

// The areas of the audit. names: the regular files of the data folder;
// nonFiles: its other entries (folders ...), reported on their own.
int CheckRecordStore(const fs::path& folder, const std::set<std::string>& names,
                     const std::set<std::string>& nonFiles, Findings& findings);
void CheckTemplateFile(const std::string& file, std::string_view bytes, Findings& findings);
void CheckPdlConditionFile(const std::string& file, const IniFile& ini, Findings& findings);
void CheckSaveOptionFile(const std::string& file, const IniFile& ini, Findings& findings);
void CheckAliasFile(const std::string& file, const IniFile& ini, Findings& findings);
void CheckMachineFile(const std::string& file, const IniFile& ini, Findings& findings);
void CheckDriverCutOrToolFile(const std::string& file, const IniFile& ini, bool tool,
                              Findings& findings);
void CheckDriverPlainFile(const std::string& file, std::string_view bytes, Findings& findings);
// Empty condition files, files this user cannot write or of another group
// than the folder's, stale temporary files, links leading out of the folder,
// and the lock probe (check_share.cpp).
void CheckSharedUse(const fs::path& folder, const std::set<std::string>& names, Findings& findings);

// How far the locks of the mount holding path reach, from the text of
// /proc/self/mountinfo: Local (a local file system), ClientOnly (a share
// mounted with nolock, local_lock or nobrl), Unknown (a share: one
// workstation cannot see whether its server carries them). nullopt when no
// mount holds path.
enum class LockReach { Local, ClientOnly, Unknown };
std::optional<LockReach> LockReachOf(std::string_view mountinfo, const fs::path& path);

}  // namespace quillet::check::detail
