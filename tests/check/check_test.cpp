// The audit on the sample data roots under data/: each one's plain report
// equals its reviewed data/<name>.expected, the exit code follows its
// errors, and nothing the audit reads changes. A differing report is left
// as <name>.out in the test's folder for review.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>

#include "check/check.h"
#include "check/check_internal.h"
#include "support/temp_install.h"

namespace {

namespace fs = std::filesystem;
using namespace quillet::check;
using quillet::testing::ReadFile;
using quillet::testing::TempFolder;

// Every entry below root with its bytes and modification time.
std::map<fs::path, std::pair<std::string, fs::file_time_type>> Snapshot(const fs::path& root) {
    std::map<fs::path, std::pair<std::string, fs::file_time_type>> out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        out[entry.path()] = {entry.is_regular_file() ? ReadFile(entry.path()) : "",
                             entry.last_write_time()};
    }
    return out;
}

TEST(CheckTest, EverySampleGivesItsReviewedReportAndStaysUnchanged) {
    int samples = 0;
    for (const auto& entry : fs::directory_iterator(QUILLET_CHECK_DATA)) {
        if (!entry.is_directory()) continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++samples;
        TempFolder copy;
        fs::copy(entry.path(), copy.Path(), fs::copy_options::recursive);
        // A master holding only "sample" stands for the sample installation's master.
        const fs::path master = copy.Path() / "data" / "Othmcn" / "PDL_CUT_MASTER.ini";
        if (fs::exists(master) && ReadFile(master) == "sample\n") {
            fs::copy_file(QUILLET_SAMPLE_MASTER, master, fs::copy_options::overwrite_existing);
        }
        // A file holding only "link: TARGET" stands for a symbolic link to
        // TARGET; a temporary file, for one a writer left long ago.
        for (const auto& file : fs::recursive_directory_iterator(copy.Path())) {
            const std::string text = file.is_regular_file() ? ReadFile(file.path()) : "";
            if (text.starts_with("link: ")) {
                fs::remove(file.path());
                fs::create_symlink(text.substr(6, text.size() - 7), file.path());
            } else if (file.path().extension() == ".tmp") {
                fs::last_write_time(file.path(),
                                    fs::file_time_type::clock::now() - std::chrono::hours(1));
            }
        }
        const auto before = Snapshot(copy.Path());
        std::optional<fs::path> working;
        if (fs::exists(copy.Path() / "system")) working = copy.Path() / "system" / "TEMP";
        const CheckResult result =
            CheckDataFolder(CheckOptions{copy.Path() / "data" / "Othmcn", working});
        // Paths in the report name the copy: {root} stands for it.
        std::string report = FormatPlain(result);
        for (std::size_t at; (at = report.find(copy.Path().string())) != std::string::npos;) {
            report.replace(at, copy.Path().string().size(), "{root}");
        }
        const std::string expected = ReadFile(entry.path().string() + ".expected");
        if (report != expected) quillet::testing::WriteFile(name + ".out", report);
        EXPECT_EQ(report, expected);
        EXPECT_EQ(ExitCodeFor(result), report.find(": error: ") != std::string::npos ? 1 : 0);
        EXPECT_EQ(Snapshot(copy.Path()), before);
    }
    EXPECT_GE(samples, 18);
    const CheckResult missing = CheckDataFolder(CheckOptions{"/no/such/folder", std::nullopt});
    EXPECT_FALSE(missing.readable);
    EXPECT_EQ(ExitCodeFor(missing), 70);
}

// How far the locks of the data folder's mount reach, from mountinfo lines.
TEST(CheckTest, LockReachOfTheMountHoldingTheFolder) {
    using quillet::check::detail::LockReach;
    const std::string root = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n";
    const struct {
        std::string mount;
        std::optional<LockReach> reach;
    } rows[] = {
        {"", LockReach::Local},
        {"40 22 0:50 / /srv/q rw - nfs4 s:/q rw,vers=4.2,local_lock=none\n", LockReach::Unknown},
        {"40 22 0:50 / /srv/q rw - nfs s:/q rw,vers=3,nolock,local_lock=all\n",
         LockReach::ClientOnly},
        {"40 22 0:50 / /srv/q rw - cifs //s/q rw,nobrl,vers=3.1.1\n", LockReach::ClientOnly},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(quillet::check::detail::LockReachOf(root + row.mount, "/srv/q/data/Othmcn"),
                  row.reach)
            << row.mount;
    }
    EXPECT_EQ(quillet::check::detail::LockReachOf("", "/srv/q"), std::nullopt);
}

}  // namespace
