// The cause of a failed export call, found by looking at the installation
// the way the module reaches it. See diagnose.h.
#include "diagnose.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "frame/roots.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/registry.h"

namespace quillet::host {

namespace {

namespace fs = std::filesystem;

constexpr const char* kInitHint = "quillet-host init --data-root DATA --system-root SYSTEM";

std::string Reason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] + 32);
    return text;
}

// "rw-r--r--" for the permission bits of mode.
std::string ModeText(mode_t mode) {
    std::string text;
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (mode >> shift) & 4 ? 'r' : '-';
        text += (mode >> shift) & 2 ? 'w' : '-';
        text += (mode >> shift) & 1 ? 'x' : '-';
    }
    return text;
}

// A folder (that the user can create files in, when write is set); "" when
// it is.
std::string FolderProblem(const fs::path& folder, const std::string& what, const std::string& fix,
                          bool write = true) {
    std::error_code error;
    if (!fs::exists(folder, error)) return what + " " + folder.string() + " does not exist: " + fix;
    if (!fs::is_directory(folder, error)) {
        return what + " " + folder.string() + " is not a folder: " + fix;
    }
    if (write && ::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "cannot write in " + what + " " + folder.string() + ": " + Reason(errno) +
               " (it must be writable by this user)";
    }
    return "";
}

// A root of the registry file: present, a string, ending with '/', an
// existing folder.
std::string RootProblem(const char* valueName, const std::string& registry,
                        std::optional<std::string>& root) {
    const std::optional<platform::RegistryValue> value =
        platform::ReadRegistryValue(fs::path(registry), frame::kRootsKey, valueName);
    if (!value || value->type != platform::RegistryValueType::String) {
        return std::string("the registry file ") + registry + (value ? " holds " : " has no ") +
               "string value " + valueName + (value ? " of another type" : "") + " under [" +
               frame::kRootsKey + "]: write \"" + valueName +
               "\"=\"/path/\" there, or rewrite it with " + kInitHint + " --registry " + registry +
               " --replace";
    }
    root = value->data;
    if (!frame::IsAbsoluteRoot(*root)) {
        return std::string(valueName) +
               (root->empty() ? " is empty" : " \"" + *root + "\" is relative") +
               ": the module takes only an absolute folder (starting with '/') as a root and "
               "treats this as no root at all; write the folder's full path, ending with '/', in " +
               registry;
    }
    if (root->back() != '/') {
        return std::string(valueName) + " \"" + *root +
               "\" does not end with '/': the module appends its folders directly (" + *root +
               std::string(std::string_view(valueName) == frame::kSystemRootValue
                               ? frame::kWorkingFolderBelowRoot
                               : frame::kDataFolderBelowRoot) +
               "); write \"" + *root + "/\" in " + registry;
    }
    // The module writes only in the folders below a root.
    return FolderProblem(
        *root,
        std::string_view(valueName) == frame::kSystemRootValue ? "the system root"
                                                               : "the data root",
        "create it, correct " + std::string(valueName) + " in " + registry +
            (std::string_view(valueName) == frame::kSystemRootValue ? "" : ", or mount the share"),
        false);
}

std::string RegistryProblem() {
    const fs::path file = platform::RegistryFilePath();
    const char* variable = std::getenv("QUILLET_REGISTRY");
    const std::string named = variable != nullptr && variable[0] != '\0'
                                  ? " (named by QUILLET_REGISTRY)"
                                  : " (QUILLET_REGISTRY is not set; this is the default)";
    std::error_code error;
    if (!fs::exists(file, error)) {
        return "no registry file " + file.string() + named + ": create it with " + kInitHint +
               " --registry " + file.string() +
               ", or set QUILLET_REGISTRY to the installation's file";
    }
    if (!platform::CanOpenForReading(file)) {
        return "cannot read the registry file " + file.string() + named + ": " +
               (fs::is_directory(file, error) ? std::string("it is a folder")
                                              : Reason(::access(file.c_str(), R_OK) ? errno : EIO));
    }
    return "";
}

}  // namespace

std::string ReadProblem(const fs::path& path) {
    std::error_code error;
    if (path.empty()) return "no file named (the path is empty)";
    if (!fs::exists(path, error)) return path.string() + " does not exist";
    if (fs::is_directory(path, error)) return path.string() + " is a folder, not a file";
    if (::access(path.c_str(), R_OK) != 0)
        return "cannot read " + path.string() + ": " + Reason(errno);
    return "";
}

std::string WriteProblem(const fs::path& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) return path.string() + " is a folder, not a file";
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    if (!fs::is_directory(folder, error)) {
        return "cannot write " + path.string() + ": its folder " + folder.string() +
               (fs::exists(folder, error) ? " is not a folder" : " does not exist");
    }
    // Files are replaced through a new file in the same folder.
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "cannot write " + path.string() + ": " + Reason(errno) + " (its folder " +
               folder.string() + " must be writable by this user)";
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return "";
    if (S_ISLNK(st.st_mode)) {
        return path.string() + " is a symbolic link (to " + fs::read_symlink(path, error).string() +
               "): the module never updates a file through a link; put the file itself there";
    }
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        const std::string reason = Reason(errno);
        const group* owner = ::getgrgid(st.st_gid);
        return "cannot write " + path.string() + ": " + reason + " (mode " + ModeText(st.st_mode) +
               ", group " + (owner != nullptr ? owner->gr_name : std::to_string(st.st_gid)) +
               "): it must be writable by every account that saves it: chmod g+w as its owner, "
               "or quillet-host init --group GROUP (docs/SHARED-FOLDER.md)";
    }
    if (platform::LockedElsewhere(path)) {
        return "another workstation holds " + path.string() + " and did not let go of it within " +
               std::to_string(platform::kLockWaitLimit.count()) +
               " seconds: try again once it is done, or restart it if it has stopped";
    }
    return "";
}

std::string Diagnose(const Needs& needs) {
    if (needs.dataFolder || needs.workingFolder) {
        if (std::string problem = RegistryProblem(); !problem.empty()) return problem;
    }
    const std::string registry = platform::RegistryFilePath().string();
    if (needs.dataFolder) {
        std::optional<std::string> root;
        if (std::string problem = RootProblem(frame::kDataRootValue, registry, root);
            !problem.empty()) {
            return problem;
        }
        const std::optional<std::string> formed = frame::DataFolderOf(*root);
        if (!formed) {
            return "the data folder below " + *root +
                   " would be longer than 499 characters: choose a shorter data root";
        }
        const fs::path folder = *formed;
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            return "the data folder " + folder.string() +
                   (fs::exists(folder, error) ? " is not a folder" : " does not exist") +
                   ": create it (mkdir -p " + folder.string() + "), run " + kInitHint +
                   ", or mount the share";
        }
        if (needs.writeDataFolder) {
            if (std::string problem = FolderProblem(folder, "the data folder", "");
                !problem.empty()) {
                return problem;
            }
        }
    }
    if (needs.workingFolder) {
        std::optional<std::string> root;
        if (std::string problem = RootProblem(frame::kSystemRootValue, registry, root);
            !problem.empty()) {
            return problem;
        }
        const std::optional<std::string> folder = frame::WorkingFolderOf(*root);
        if (!folder) {
            return "the working folder below " + *root +
                   " would be longer than 499 characters: choose a shorter system root";
        }
        if (std::string problem =
                FolderProblem(*folder, "the working folder",
                              "create it (mkdir " + *folder + ") or run " + kInitHint);
            !problem.empty()) {
            return problem;
        }
    }
    for (const fs::path& file : needs.readFiles) {
        if (std::string problem = ReadProblem(file); !problem.empty()) return problem;
    }
    for (const fs::path& file : needs.writeFiles) {
        if (std::string problem = WriteProblem(file); !problem.empty()) return problem;
    }
    return "";
}

}  // namespace quillet::host
