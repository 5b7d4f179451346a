// The audit on the sample data roots under data/: each one's plain report
// equals its reviewed data/<name>.expected, the exit code follows its
// errors, and nothing the audit reads changes. A differing report is left
// as <name>.out in the test's folder for review.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "check/check.h"
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

}  // namespace
