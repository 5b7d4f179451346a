// Audit of what the workstations and user accounts sharing a data folder run
// into: condition files left empty, files this user cannot write or that
// carry another group than the folder's, temporary files of stopped writers,
// symbolic links leading out of the folder, and whether the folder's locks
// exclude anyone.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "check/check_internal.h"
#include "othmac/record_layout.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "pdl/pdl_save_options.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"

namespace quillet::check::detail {

namespace {

// A condition file or the master (a name of their form).
bool IsConditionFile(const std::string& name) {
    return pdl::PdlConditionFileNames(name) && name != pdl::kPdlSaveOptionFile;
}

// A symbolic link of the data folder whose target lies outside it: an
// update through it would write outside the data root.
void CheckLink(const fs::path& folder, const std::string& name, Findings& findings) {
    std::error_code error;
    const fs::path target = fs::read_symlink(folder / name, error);
    const fs::path resolved = fs::weakly_canonical(folder / name, error);
    const fs::path inside = fs::weakly_canonical(folder, error);
    const auto [end, rest] = std::mismatch(inside.begin(), inside.end(), resolved.begin());
    if (!error && end == inside.end() && rest != resolved.end()) return;
    findings.Error("link-outside", name, 0,
                   "a symbolic link to " + target.string() +
                       ", outside the data folder: the module refuses to update a file through a "
                       "link; replace it by the file itself or remove it");
}

void CheckFile(const fs::path& folder, const std::string& name, const struct stat& st,
               const struct stat& folderStat, Findings& findings) {
    const fs::path path = folder / name;
    if (platform::TemporaryFileTarget(name)) {
        if (st.st_mtime < std::time(nullptr) - platform::kStaleTemporaryAgeSeconds) {
            findings.Warning("stale-temporary-file", name, 0,
                             "temporary file left by a writer that was stopped; nothing uses it "
                             "(the next save of its file removes it). Remove it from the data "
                             "root: rm -- 'data/Othmcn/" +
                                 name + "'");
        }
        return;
    }
    if (st.st_size == 0 && IsConditionFile(name)) {
        findings.Warning("empty-condition-file", name, 0,
                         "the condition file is empty (left by a workstation that stopped while "
                         "it created the file): every table reads as -1 until the next use "
                         "recreates it from PDL_CUT_MASTER.ini");
    }
    // The master and the machine list are only read.
    const bool written = name != pdl::kPdlMasterFile && name != pdl::kMachineListFile;
    if (written && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        findings.Warning("not-writable", name, 0,
                         std::string("this user cannot write the file (") + std::strerror(errno) +
                             "): every save or registration that changes it fails; make it "
                             "writable for the group (chmod g+w) or run quillet-host init "
                             "--group NAME as its owner");
    }
    if ((folderStat.st_mode & S_IWGRP) != 0 && st.st_gid != folderStat.st_gid) {
        findings.Warning("group-differs", name, 0,
                         "the file's group (gid " + std::to_string(st.st_gid) +
                             ") is not the data folder's (gid " +
                             std::to_string(folderStat.st_gid) +
                             "): the folder's other accounts may not be able to change it; "
                             "chgrp it, or run quillet-host init --group NAME");
    }
}

// The mount holding path, from /proc/self/mountinfo: its file system type and
// its options (mount and super options, comma-separated).
struct Mount {
    std::string type;
    std::string options;
};

std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

}  // namespace

std::optional<LockReach> LockReachOf(std::string_view mountinfo, const fs::path& path) {
    std::optional<Mount> best;
    std::size_t bestLength = 0;
    std::istringstream lines{std::string(mountinfo)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point, options, word;
        if (!(fields >> id >> parent >> device >> root >> point >> options)) continue;
        while (fields >> word && word != "-") {
        }
        std::string type, source, super;
        if (!(fields >> type >> source >> super)) continue;
        point = Unescape(point);
        const std::string text = path.string();
        const bool holds =
            point == "/" || text == point || (text.starts_with(point) && text[point.size()] == '/');
        // The last of equally long mount points is the one on top.
        if (holds && point.size() >= bestLength) {
            bestLength = point.size();
            best = Mount{type, "," + options + "," + super + ","};
        }
    }
    if (!best) return std::nullopt;
    const auto has = [&](const char* option) {
        return best->options.find(std::string(",") + option + ",") != std::string::npos;
    };
    if (best->type.starts_with("nfs")) {
        return has("nolock") || has("local_lock=all") || has("local_lock=posix")
                   ? LockReach::ClientOnly
                   : LockReach::Unknown;
    }
    if (best->type == "cifs" || best->type == "smb3") {
        return has("nobrl") ? LockReach::ClientOnly : LockReach::Unknown;
    }
    for (const char* network : {"fuse", "9p", "ceph", "glusterfs", "afs", "ncpfs", "davfs"}) {
        if (best->type.starts_with(network)) return LockReach::Unknown;
    }
    return LockReach::Local;
}

void CheckSharedUse(const fs::path& folder, const std::set<std::string>& names,
                    Findings& findings) {
    struct stat folderStat {};
    if (::stat(folder.c_str(), &folderStat) != 0) return;
    std::error_code error;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        struct stat st {};
        if (it->is_symlink(typeError)) {
            CheckLink(folder, name, findings);
        } else if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            CheckFile(folder, name, st, folderStat, findings);
        }
    }

    // Several workstations serialise their saves with byte-range locks on
    // the shared files. The probe takes a shared lock through one open of a
    // file and tests it through a second; it writes nothing.
    const std::string index(othmac::kIndexFileName);
    const std::string probe = names.contains(index) || names.empty() ? index : *names.begin();
    const std::optional<platform::LockProbe> locks = platform::ProbeLocks(folder / probe);
    if (locks == platform::LockProbe::Refused) {
        findings.Warning("no-locks", probe, 0,
                         "the data folder's file system does not support locks: workstations "
                         "saving at the same time can lose each other's changes (mount NFS with "
                         "locks, never 'nolock'; SMB without 'nobrl'; see docs/SHARED-FOLDER.md)");
        return;
    }
    if (locks == platform::LockProbe::NotExclusive) {
        findings.Error("locks-not-exclusive", probe, 0,
                       "the file system grants locks without enforcing them: a lock taken "
                       "through one open of the file does not hold off another; saves at the "
                       "same time lose each other's changes");
        return;
    }
    if (!locks) return;
    std::ifstream in("/proc/self/mountinfo");
    const std::string mountinfo((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
    const fs::path where = fs::weakly_canonical(folder, error);
    switch (LockReachOf(mountinfo, where).value_or(LockReach::Local)) {
        case LockReach::ClientOnly:
            findings.Error("locks-local-only", ".", 0,
                           "the share is mounted with locks kept on this workstation only "
                           "('nolock' or 'local_lock' for NFS, 'nobrl' for SMB): they exclude "
                           "nobody on another workstation, whose saves then lose this one's "
                           "changes; mount it with locks (see docs/SHARED-FOLDER.md)");
            break;
        case LockReach::Unknown:
            findings.Info("locks-unverified", ".", 0,
                          "locks exclude each other on this workstation; whether the server "
                          "carries them to the other workstations cannot be seen from one "
                          "workstation: check the mount options of every workstation "
                          "(docs/SHARED-FOLDER.md)");
            break;
        case LockReach::Local:
            break;
    }
}

}  // namespace quillet::check::detail
