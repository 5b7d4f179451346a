// quillet-host init: sets up a workstation. It creates the data folder
// below the data root (shared by every workstation) and the working folder
// below the system root (local), and writes the registry file that names
// both. With --group the folders are prepared for several user accounts of
// one group (see docs/SHARED-FOLDER.md).
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "check/check.h"
#include "cli.h"
#include "diagnose.h"
#include "frame/roots.h"
#include "platform/file_ops.h"
#include "platform/registry.h"

namespace quillet::host {

namespace {

// Gives path the group and the group's rights: read and write, and for a
// folder also search and setgid, so that every file made in it gets the
// group. Only what differs is changed. "" when done, else why not.
std::string ShareWithGroup(const fs::path& path, gid_t group) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return "";
    const bool folder = S_ISDIR(st.st_mode);
    const mode_t wanted = st.st_mode | S_IRGRP | S_IWGRP | (folder ? S_IXGRP | S_ISGID : 0);
    if (st.st_gid != group && ::chown(path.c_str(), static_cast<uid_t>(-1), group) != 0) {
        return "cannot give " + path.string() + " the group: " + std::strerror(errno) +
               " (run init as its owner, uid " + std::to_string(st.st_uid) + ", or as root)";
    }
    if ((wanted & 07777) != (st.st_mode & 07777) && ::chmod(path.c_str(), wanted & 07777) != 0) {
        return "cannot make " + path.string() + " group-writable: " + std::strerror(errno) +
               " (run init as its owner, uid " + std::to_string(st.st_uid) + ", or as root)";
    }
    return "";
}

// A data root given where an installation's data folder already is: the
// data folder itself or a folder inside it (whose own data/Othmcn would be
// a second, empty installation), or the folder "data" that holds it. ""
// when the root is none of these, else why, with the root meant.
std::string RootInsideDataFolder(fs::path dataRoot) {
    std::error_code error;
    if (!dataRoot.has_filename()) dataRoot = dataRoot.parent_path();
    const fs::path below = std::string(frame::kDataFolderBelowRoot);  // "data/Othmcn"
    if (dataRoot.filename() == below.parent_path() &&
        fs::is_directory(dataRoot / below.filename(), error)) {
        return dataRoot.string() + " holds " + below.filename().string() +
               ": it is the folder above an installation's data folder; give its data root " +
               dataRoot.parent_path().string();
    }
    for (fs::path folder = dataRoot; folder.has_relative_path(); folder = folder.parent_path()) {
        if (folder.filename() == below.filename() &&
            folder.parent_path().filename() == below.parent_path() &&
            fs::is_directory(folder, error)) {
            return dataRoot.string() + " lies inside the data folder " + folder.string() +
                   " of an existing installation: give its data root " +
                   folder.parent_path().parent_path().string();
        }
    }
    return "";
}

// What the data folder holds already: "existing: N machines, M materials, K
// condition files", or that it is new.
Json DataFolderContents(const fs::path& folder, std::string& text) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        text = "new: created empty";
        return {{"existed", false}};
    }
    const std::vector<check::RegisteredMachine> machines = check::ReadRecordStore(folder);
    std::size_t materials = 0;
    for (const check::RegisteredMachine& machine : machines) materials += machine.materials.size();
    const std::size_t conditionFiles = check::ListPdlFiles(folder).size();
    text = "existing: " + Counted(machines.size(), "machine") + ", " +
           Counted(materials, "material") + ", " + Counted(conditionFiles, "condition file");
    return {{"existed", true},
            {"machines", machines.size()},
            {"materials", materials},
            {"conditionFiles", conditionFiles}};
}

}  // namespace

int RunInit(int argc, char** argv) {
    ArgParser args("init",
                   "--data-root FOLDER --system-root FOLDER [--registry FILE] [--group NAME] "
                   "[--replace] [--json]",
                   "init --data-root /srv/quillet/data --system-root /opt/quillet/system "
                   "--registry /etc/quillet/registry.reg");
    args.Option("data-root", "the shared data root (data/Othmcn is created below it)", true);
    args.Option("system-root", "the local system root (TEMP is created below it)", true);
    args.Option(
        "registry",
        "registry file to write (default: QUILLET_REGISTRY, else /etc/quillet/registry.reg)");
    args.Option("group",
                "share the data folder with the user accounts of this group: the folders get "
                "the group, group write and setgid, the data folder's files the group and group "
                "write");
    args.Flag("replace", "overwrite an existing registry file");
    args.Flag("json", "print a JSON object");
    int exitCode = 0;
    if (!args.Parse(argc, argv, exitCode)) return exitCode;
    const Report report = args.MakeReport();
    if (args.Get("data-root").empty() || args.Get("system-root").empty()) {
        return report.Usage("--data-root and --system-root need a folder");
    }
    std::error_code error;
    const fs::path dataRoot = fs::absolute(args.Get("data-root"), error).lexically_normal();
    const fs::path systemRoot = fs::absolute(args.Get("system-root"), error).lexically_normal();
    const fs::path registry =
        args.Has("registry") ? fs::path(args.Get("registry")) : platform::RegistryFilePath();
    if (registry.empty()) return report.Usage("--registry needs a file");
    std::optional<gid_t> group;
    if (args.Has("group")) {
        const struct group* named = ::getgrnam(args.Get("group").c_str());
        if (named == nullptr) {
            return report.Usage("--group: there is no group '" + args.Get("group") +
                                "' (see getent group; groupadd creates one)");
        }
        group = named->gr_gid;
    }
    if (const std::string inside = RootInsideDataFolder(dataRoot); !inside.empty()) {
        return report.Usage("--data-root " + inside);
    }

    if (fs::exists(registry, error) && !args.Has("replace")) {
        return report.Fail(kExitNotDone, kExitNotDone,
                           "the registry file " + registry.string() + " exists already",
                           "give --replace to overwrite it (it names the roots of every export)");
    }
    // The roots as the module appends to them: ending with '/'.
    const std::string dataText = (dataRoot / "").string();
    const std::string systemText = (systemRoot / "").string();
    const std::optional<fs::path> dataFolder = DataFolderOf(dataRoot);
    const std::optional<fs::path> workingFolder = WorkingFolderOf(systemRoot);
    if (!dataFolder || !workingFolder) {
        return report.Usage("the roots are too long: the module's paths hold 499 characters");
    }
    std::string contents;
    const Json dataFolderContents = DataFolderContents(*dataFolder, contents);
    for (const fs::path& folder : {*dataFolder, *workingFolder, registry.parent_path()}) {
        if (folder.empty()) continue;
        fs::create_directories(folder, error);
        if (error) {
            return report.HostFailure("cannot create " + folder.string() + ": " + error.message());
        }
    }
    Json unshared = Json::array();
    if (group) {
        // The folders (the data folder's parent too: a look-up creates
        // data/Othmcn there when it is missing) must be the group's; a file
        // of another owner that stays as it is is named, and check reports it.
        for (const fs::path& folder : {dataFolder->parent_path(), *dataFolder, *workingFolder}) {
            if (std::string problem = ShareWithGroup(folder, *group); !problem.empty()) {
                return report.Fail(kExitNotDone, kExitNotDone, problem,
                                   "every account of the group must be able to write the data "
                                   "folder (docs/SHARED-FOLDER.md)");
            }
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(*dataFolder, error)) {
            if (std::string problem = ShareWithGroup(entry.path(), *group); !problem.empty()) {
                PrintError("init: warning: " + problem);
                unshared.push_back(DisplayText(entry.path().string()));
            }
        }
    }
    if (!WriteRegistryFile(registry, dataRoot, systemRoot)) {
        return report.HostFailure("cannot write the registry file " + registry.string(),
                                  WriteProblem(registry));
    }
    // Read back as the module reads it.
    for (const auto& [name, expected] : {std::pair{frame::kDataRootValue, dataText},
                                         std::pair{frame::kSystemRootValue, systemText}}) {
        const std::optional<platform::RegistryValue> value =
            platform::ReadRegistryValue(registry, frame::kRootsKey, name);
        if (!value || value->data != expected) {
            return report.HostFailure("the registry file " + registry.string() +
                                      " does not read back " + name + " as " + expected);
        }
    }
    if (!report.Json()) {
        std::printf("data folder     %s (%s)\nworking folder  %s\nregistry file   %s\n",
                    DisplayText(dataFolder->string()).c_str(), contents.c_str(),
                    DisplayText(workingFolder->string()).c_str(),
                    DisplayText(registry.string()).c_str());
        if (registry != platform::RegistryFilePath()) {
            std::printf(
                "the module reads it once QUILLET_REGISTRY names it:\n  export "
                "QUILLET_REGISTRY=%s\n",
                DisplayText(fs::absolute(registry, error).string()).c_str());
        }
    }
    return report.Done(0, {{"registry", DisplayText(registry.string())},
                           {"dataRoot", DisplayText(dataText)},
                           {"systemRoot", DisplayText(systemText)},
                           {"dataFolder", DisplayText(dataFolder->string())},
                           {"dataFolderContents", dataFolderContents},
                           {"workingFolder", DisplayText(workingFolder->string())},
                           {"group", args.Get("group")},
                           {"unshared", unshared}});
}

}  // namespace quillet::host
