// What every dialog command and every command that writes asks. See cli.h.
#include "cli.h"

#include <sys/stat.h>

#include "platform/display.h"

namespace quillet::host {

std::optional<int> RefuseWithoutDisplay(const Report& report) {
    const std::string problem = platform::DialogDisplayProblem();
    if (problem.empty()) return std::nullopt;
    return report.Fail(kExitNoDisplay, kExitNoDisplay, "cannot show the dialog: " + problem,
                       "set DISPLAY (or WAYLAND_DISPLAY) to a display that runs, or "
                       "QT_QPA_PLATFORM=offscreen to run it without a screen");
}

FileStamp StampOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return FileStamp{
        true, static_cast<std::uintmax_t>(info.st_size), static_cast<std::int64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace quillet::host
