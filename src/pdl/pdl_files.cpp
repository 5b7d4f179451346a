// The condition file set. Historically every read and write went through a
// fixed-name working copy in the local TEMP folder: the condition file was
// copied there, the INI calls worked on the copy, and a write copied it back.
// Each INI call then reread (and for writes rewrote) the whole file, 88 times
// per table. Here each operation reads the condition file once into a
// ProfileDocument, does all of its table reads or writes in memory, and a
// write replaces the condition file once, atomically, so that a failed or
// interrupted save never leaves it truncated or half-written. The working
// copy therefore has no content to carry any more; what stays observable of
// it is kept: the operation runs under the lock of the working folder, and a
// PDL_CUT_TEMP.ini left behind by an interrupted run is gone afterwards.
#include "pdl/pdl_files.h"

#include <optional>

#include "frame/roots.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::pdl {

namespace {

constexpr std::string_view kDataFolderPiece = "data/Othmcn";

std::optional<std::string> ConditionPath(const std::string& dataRoot, std::string_view machine,
                                         std::string_view material) {
    return platform::ComposePath(dataRoot,
                                 {kDataFolderPiece, "/PDL_CUT_", machine, "_", material, ".ini"});
}

// Holds the working folder's lock for one operation and removes a stale
// working copy. nullopt when the system root cannot be read or the path of
// the working copy cannot be formed.
class WorkingCopyScope {
public:
    static std::optional<std::string> WorkingPath() {
        const std::optional<std::string> root = frame::SystemRoot();
        if (!root) return std::nullopt;
        return platform::ComposePath(*root, {"TEMP", kPdlWorkingFile});
    }

    explicit WorkingCopyScope(const std::string& workingPath)
        : path_(workingPath), lock_(std::filesystem::path(workingPath).parent_path()) {}
    ~WorkingCopyScope() { platform::DeleteFile(path_); }
    WorkingCopyScope(const WorkingCopyScope&) = delete;
    WorkingCopyScope& operator=(const WorkingCopyScope&) = delete;

private:
    std::string path_;
    platform::FolderLock lock_;
};

}  // namespace

bool IsValidPdlName(const char* name) {
    if (name == nullptr || name[0] == '\0') return false;
    return !platform::NameHoldsSeparator(name);
}

int PreparePdlCutFile(std::string_view machine, std::string_view material, std::string& path) {
    const std::optional<std::string> root = frame::DataRoot();
    if (!root) return -1;
    const std::optional<std::string> file = ConditionPath(*root, machine, material);
    const std::optional<std::string> master =
        platform::ComposePath(*root, {kDataFolderPiece, kPdlMasterFile});
    if (!file || !master) return -1;
    path = *file;
    if (platform::CanOpenForReading(*file)) return 0;
    // An existing file that cannot be read is never overwritten by the master.
    if (platform::FileExists(*file)) return -1;
    if (!platform::CanOpenForReading(*master)) return -1;
    return platform::CopyFileOver(*master, *file) ? 0 : -1;
}

int ReadPdlCutTable(std::string_view machine, std::string_view material, PdlCutTable table,
                    PdlCutCondition& record) {
    std::string path;
    if (PreparePdlCutFile(machine, material, path) != 0) return -1;
    const std::optional<std::string> working = WorkingCopyScope::WorkingPath();
    if (!working) return -1;
    WorkingCopyScope scope(*working);
    const platform::ProfileDocument document = platform::ProfileDocument::Load(path);
    if (!document.Exists()) return -1;
    record = PdlCutCondition{};
    ReadPdlCutCondition(document, table, record);
    return 0;
}

int WritePdlCutTables(std::string_view machine, std::string_view material,
                      const PdlCutCondition& record, const std::vector<int>& targets) {
    std::string path;
    if (PreparePdlCutFile(machine, material, path) != 0) return -1;
    const std::optional<std::string> working = WorkingCopyScope::WorkingPath();
    if (!working) return -1;
    WorkingCopyScope scope(*working);
    platform::ProfileDocument document = platform::ProfileDocument::Load(path);
    // Writing tables into an empty document and saving it would replace a
    // condition file that could not be read with those tables alone.
    if (!document.Exists()) return -1;
    for (int table : targets) {
        if (IsPdlTable(table)) WritePdlCutCondition(document, table, record);
    }
    return document.Save() ? 0 : -1;
}

int DeletePdlCutFile(std::string_view machine, std::string_view material) {
    const std::optional<std::string> root = frame::DataRoot();
    if (!root) return -1;
    const std::optional<std::string> file = ConditionPath(*root, machine, material);
    const std::optional<std::string> master =
        platform::ComposePath(*root, {kDataFolderPiece, kPdlMasterFile});
    if (!file || !master) return -1;
    if (platform::FileExists(*file)) return platform::DeleteFile(*file) ? 0 : -1;
    // A missing file with a master present used to be created from the master
    // and deleted again: the same end state without the copy.
    return platform::CanOpenForReading(*master) ? 0 : -1;
}

int CopyPdlCutFile(std::string_view sourceMachine, std::string_view sourceMaterial,
                   std::string_view targetMachine, std::string_view targetMaterial) {
    std::string source;
    if (PreparePdlCutFile(sourceMachine, sourceMaterial, source) != 0) return -1;
    std::string target;
    if (PreparePdlCutFile(targetMachine, targetMaterial, target) != 0) return -1;
    if (source == target) return 0;  // a copy onto itself leaves the file as it is
    return platform::CopyFileOver(source, target) ? 0 : -1;
}

}  // namespace quillet::pdl
