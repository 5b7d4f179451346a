// The condition file set. Each operation reads the condition file once
// into memory and answers or edits every key there; a save replaces the
// file once, atomically, under the file's lock, so that a failed or
// interrupted save never leaves it truncated and two workstations saving
// different tables of one file both keep their tables. The working copy in
// the local TEMP folder carries no content: the operation runs under the
// TEMP folder's lock, and a PDL_CUT_TEMP.ini left behind by an interrupted
// run is gone afterwards.
#include "pdl/pdl_files.h"

#include <cerrno>
#include <optional>

#include "frame/roots.h"
#include "platform/ascii.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::pdl {

namespace {

// PDL_CUT_<machine>_<material>.ini
constexpr std::string_view kConditionPrefix = "PDL_CUT_";
constexpr std::string_view kIniSuffix = ".ini";

// Holds the working folder's lock for one operation and removes a stale
// working copy. nullopt when the system root cannot be read or the path of
// the working copy cannot be formed.
class WorkingCopyScope {
public:
    static std::optional<std::string> WorkingPath() {
        const std::optional<std::string> folder = frame::WorkingFolder();
        if (!folder) return std::nullopt;
        return platform::ComposePath(*folder, {"/", kPdlWorkingFile});
    }

    explicit WorkingCopyScope(const std::string& workingPath)
        : path_(workingPath), lock_(std::filesystem::path(workingPath).parent_path()) {}
    ~WorkingCopyScope() {
        if (!lock_.TimedOut()) platform::DeleteFile(path_);
    }
    // True when another operation of this workstation kept the working
    // folder's lock too long: nothing may be done.
    bool TimedOut() const { return lock_.TimedOut(); }
    WorkingCopyScope(const WorkingCopyScope&) = delete;
    WorkingCopyScope& operator=(const WorkingCopyScope&) = delete;

private:
    std::string path_;
    platform::FolderLock lock_;
};

// The condition file and master paths of a pair; nullopt without a data
// root or when a path would pass 499 characters.
struct PdlPaths {
    std::string file;
    std::string master;
};
std::optional<PdlPaths> Paths(std::string_view machine, std::string_view material) {
    const std::optional<std::string> folder = frame::DataFolder();
    if (!folder) return std::nullopt;
    std::optional<std::string> file =
        platform::ComposePath(*folder, {"/", PdlConditionFileName(machine, material)});
    std::optional<std::string> master = platform::ComposePath(*folder, {"/", kPdlMasterFile});
    if (!file || !master) return std::nullopt;
    return PdlPaths{std::move(*file), std::move(*master)};
}

// A condition file of no bytes holds no table: one left by a workstation
// that died while it created the file, or by an earlier build that created
// it empty and filled it afterwards. It counts as missing.
bool Unfilled(const std::optional<std::string>& bytes) { return bytes && bytes->empty(); }

// Fills an empty condition file from the master under its lock (it is
// rewritten only while it is still empty). True when it holds content now.
bool FillFromMaster(const PdlPaths& paths, const std::string& master) {
    const platform::FileLock lock(paths.file);
    const std::optional<std::string> bytes = lock.Read();
    if (!bytes) return false;
    return !bytes->empty() ||
           platform::AtomicReplace(paths.file, master, platform::Durability::Durable, lock.Held());
}

// The preparation: the bytes of the pair's condition file, read with one
// open; a missing (or empty) file is created from the master first,
// published whole (a file another workstation created meanwhile is read
// instead). nullopt when neither exists or the file exists but cannot be
// read.
std::optional<std::string> PreparePdlCutFile(const PdlPaths& paths) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        int error = 0;
        std::optional<std::string> bytes = platform::ReadWholeFile(paths.file, &error);
        if (bytes && !bytes->empty()) return bytes;
        // An existing file that cannot be read, or a folder, is never
        // replaced by the master; a FIFO or device in its place holds no
        // condition data and is.
        if (!bytes && error != ENOENT && error != EINVAL) return std::nullopt;
        std::optional<std::string> master = platform::ReadWholeFile(paths.master);
        if (!master) return std::nullopt;
        if (Unfilled(bytes)) {
            if (!FillFromMaster(paths, *master)) return std::nullopt;
            continue;
        }
        if (error == EINVAL) {
            return platform::AtomicReplace(paths.file, *master) ? master : std::nullopt;
        }
        if (platform::CreateExclusive(paths.file, *master)) return master;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> PdlConditionFilePath(std::string_view machine,
                                                std::string_view material) {
    std::optional<PdlPaths> paths = Paths(machine, material);
    return paths ? std::optional<std::string>(std::move(paths->file)) : std::nullopt;
}

std::string PdlConditionFileName(std::string_view machine, std::string_view material) {
    return std::string(kConditionPrefix) + std::string(machine) + "_" + std::string(material) +
           std::string(kIniSuffix);
}

std::optional<std::string_view> PdlConditionFileNames(std::string_view fileName, bool ignoreCase) {
    if (fileName.size() < kConditionPrefix.size() + kIniSuffix.size()) return std::nullopt;
    const auto same = [ignoreCase](std::string_view a, std::string_view b) {
        return ignoreCase ? platform::EqualsIgnoringAsciiCase(a, b) : a == b;
    };
    if (!same(fileName.substr(0, kConditionPrefix.size()), kConditionPrefix) ||
        !same(fileName.substr(fileName.size() - kIniSuffix.size()), kIniSuffix)) {
        return std::nullopt;
    }
    return fileName.substr(kConditionPrefix.size(),
                           fileName.size() - kConditionPrefix.size() - kIniSuffix.size());
}

std::vector<std::pair<std::string, std::string>> PdlConditionFilePairs(std::string_view fileName) {
    std::vector<std::pair<std::string, std::string>> pairs;
    const std::string_view names = PdlConditionFileNames(fileName).value_or("");
    for (std::size_t at = names.find('_'); at != std::string_view::npos;
         at = names.find('_', at + 1)) {
        if (at > 0 && at + 1 < names.size()) {
            pairs.emplace_back(names.substr(0, at), names.substr(at + 1));
        }
    }
    return pairs;
}

bool IsValidPdlName(const char* name) {
    if (name == nullptr || name[0] == '\0') return false;
    return !platform::NameHoldsSeparator(name);
}

std::optional<PdlCutCondition> ReadPdlTable(std::string_view machine, std::string_view material,
                                            PdlCutTable table) {
    const std::optional<PdlPaths> paths = Paths(machine, material);
    if (!paths) return std::nullopt;
    const std::optional<std::string> working = WorkingCopyScope::WorkingPath();
    if (!working) return std::nullopt;
    const std::optional<std::string> bytes = PreparePdlCutFile(*paths);
    if (!bytes) return std::nullopt;
    WorkingCopyScope scope(*working);
    if (scope.TimedOut()) return std::nullopt;
    const platform::ProfileDocument document =
        platform::ProfileDocument::FromBytes(paths->file, *bytes);
    PdlCutCondition record;
    ReadPdlCutCondition(document, table, record);
    return record;
}

bool SavePdlTables(std::string_view machine, std::string_view material,
                   const std::vector<PdlTableWrite>& writes) {
    const std::optional<PdlPaths> paths = Paths(machine, material);
    if (!paths) return false;
    const std::optional<std::string> working = WorkingCopyScope::WorkingPath();
    if (!working) return false;
    // The working folder's lock first, then the file's: every save takes
    // them in this order.
    WorkingCopyScope scope(*working);
    if (scope.TimedOut()) return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const platform::FileLock lock(paths->file);
        const std::optional<std::string> bytes = lock.Read();
        if (lock.GetState() == platform::FileLock::State::Missing || Unfilled(bytes)) {
            // Prepared from the master, then locked and read like any file.
            if (!PreparePdlCutFile(*paths)) return false;
            continue;
        }
        if (!bytes) return false;
        platform::ProfileDocument document =
            platform::ProfileDocument::FromBytes(paths->file, *bytes);
        for (const PdlTableWrite& write : writes) {
            if (IsPdlTable(write.table)) WritePdlCutCondition(document, write.table, write.record);
        }
        return document.Save(lock.Held());
    }
    return false;
}

bool DeletePdlFile(std::string_view machine, std::string_view material) {
    const std::optional<PdlPaths> paths = Paths(machine, material);
    if (!paths) return false;
    if (platform::DeleteFile(paths->file)) return true;
    // Nothing to delete (a folder is no condition file either). With a master
    // the outcome is that of preparing the file and deleting it, no file left;
    // without one the pair has no condition file to delete.
    if (errno != ENOENT && errno != EISDIR) return false;
    return platform::CanOpenForReading(paths->master);
}

bool CopyPdlFile(std::string_view sourceMachine, std::string_view sourceMaterial,
                 std::string_view targetMachine, std::string_view targetMaterial) {
    const std::optional<PdlPaths> source = Paths(sourceMachine, sourceMaterial);
    const std::optional<PdlPaths> target = Paths(targetMachine, targetMaterial);
    if (!source || !target) return false;
    const std::optional<std::string> bytes = PreparePdlCutFile(*source);
    if (!bytes) return false;
    if (source->file == target->file) return true;  // a copy onto itself leaves the file as it is
    for (int attempt = 0; attempt < 2; ++attempt) {
        const platform::FileLock lock(target->file);
        switch (lock.GetState()) {
            case platform::FileLock::State::Missing:
                // A missing target is prepared from the master, which the copy
                // then replaces: created holding the copy at once.
                if (!platform::CanOpenForReading(target->master)) return false;
                if (platform::CreateExclusive(target->file, *bytes)) return true;
                continue;
            case platform::FileLock::State::Locked:
            case platform::FileLock::State::Unlocked:
                return platform::AtomicReplace(target->file, *bytes, platform::Durability::Durable,
                                               lock.Held());
            default:
                return false;
        }
    }
    return false;
}

}  // namespace quillet::pdl
