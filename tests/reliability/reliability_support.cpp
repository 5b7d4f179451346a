// Helpers of the reliability tests.
#include "reliability_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace quillet::testing {

Snapshot TakeSnapshot(const fs::path& root) {
    Snapshot files;
    std::error_code ec;
    if (!fs::is_directory(root, ec)) return files;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file()) {
            files[fs::relative(it->path(), root).string()] = ReadFile(it->path());
        }
    }
    return files;
}

Snapshot InstallationFiles(const TempInstallation& install) {
    Snapshot files;
    for (const auto& [name, contents] : TakeSnapshot(install.DataFolder())) {
        files["data/" + name] = contents;
    }
    for (const auto& [name, contents] : TakeSnapshot(install.WorkingFolder())) {
        files["temp/" + name] = contents;
    }
    return files;
}

std::string Differences(const Snapshot& a, const Snapshot& b) {
    std::string out;
    for (const auto& [name, contents] : a) {
        if (!b.count(name))
            out += " -" + name;
        else if (b.at(name) != contents)
            out += " ~" + name;
    }
    for (const auto& [name, contents] : b) {
        if (!a.count(name)) out += " +" + name;
    }
    return out;
}

pid_t StartChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 111;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    return pid;
}

int WaitChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

int RunInChild(const std::function<int()>& body) { return WaitChild(StartChild(body)); }

fs::path SamplePath(const std::string& relative) {
    return fs::path(QUILLET_SOURCE_DIR) / "samples" / relative;
}

}  // namespace quillet::testing
