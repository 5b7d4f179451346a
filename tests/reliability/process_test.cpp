// Faults that need a process of their own: a full disk (RLIMIT_FSIZE with
// SIGXFSZ ignored), a save loop killed with SIGKILL, and several processes
// registering and saving in one data folder at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "pdl/pdl_files.h"
#include "platform/profile.h"
#include "reliability_support.h"

namespace quillet::testing {
namespace {

// The lines of a record file, each expected whole (width bytes with its
// line break).
std::vector<std::string> WholeLines(const fs::path& file, std::size_t width) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(file));
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.size() + 1, width) << file.filename() << ": " << line;
        lines.push_back(line);
    }
    return lines;
}

// Saves into a data folder that takes no more: a full disk (RLIMIT_FSIZE with
// SIGXFSZ ignored) and a read-only folder (as root the child first becomes
// nobody; skipped where impossible). Each save reports its failure and every
// earlier file stays as it was.
TEST(UnwritableFolderTest, FailedSavesLeaveTheEarlierFiles) {
    TempInstallation install;
    const fs::path folder = install.DataFolder();
    // 25 machines: the index is 4025 bytes, one record short of the limit;
    // the template is over 6 KiB, so it gets there first at the old size.
    for (int i = 0; i < 25; ++i) ASSERT_EQ(Register("M" + std::to_string(i), "SPCC"), 0);
    ASSERT_TRUE(othmac::WriteNcTemplate(Texts(1), folder / "T.CUT"));
    ASSERT_GT(fs::file_size(folder / "T.CUT"), 6000u);
    WriteFile(folder / "a.ini", "[S]\r\nK=" + std::string(4000, 'v') + "\r\n");
    WriteMaster(install);
    const Snapshot before = InstallationFiles(install);

    const struct {
        const char* what;
        bool onFullDisk;              // the save grows a file past the limit
        std::function<bool()> fails;  // true: the failure was reported
    } saves[] = {
        {"index append", true, [] { return Register("LATE", "SPCC") == 999; }},
        {"material list append", false, [] { return Register("M1", "AL") == 999; }},
        {"template rewrite", true,
         [&] { return !othmac::WriteNcTemplate(Texts(2), folder / "T.CUT"); }},
        {"INI rewrite", true,
         [&] {
             return !platform::WritePrivateProfileString("S", "L", std::string(200, 'w'),
                                                         folder / "a.ini");
         }},
        {"PDL file from master", true,
         [] {
             pdl::PdlCutCondition record;
             return pdl::ReadPdlCutTable("M1", "SPCC", 0, record) != 0;
         }},
    };
    for (const auto& save : saves) {
        if (!save.onFullDisk) continue;
        SCOPED_TRACE(save.what);
        EXPECT_EQ(RunInChild([&] {
                      ::signal(SIGXFSZ, SIG_IGN);
                      const rlimit limit{4100, 4100};
                      return ::setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 99 : save.fails() ? 0 : 1;
                  }),
                  0);
        EXPECT_EQ(Differences(InstallationFiles(install), before), "");
    }

    using fs::perms;
    const perms readable = perms::owner_all | perms::group_read | perms::group_exec |
                           perms::others_read | perms::others_exec;
    for (fs::path p = folder; p != install.Base().parent_path(); p = p.parent_path()) {
        fs::permissions(p, readable);
    }
    fs::permissions(install.WorkingFolder(), perms::all);
    fs::permissions(folder, readable & ~perms::owner_write);
    const int readOnly = RunInChild([&] {
        if (::geteuid() == 0 && ::setuid(65534) != 0) return 77;
        if (::access(folder.c_str(), W_OK) == 0) return 77;  // still writable: cannot test
        int wrong = 0;
        for (const auto& save : saves) wrong += save.fails() ? 0 : 1;
        return wrong;
    });
    fs::permissions(folder, perms::owner_all);
    EXPECT_EQ(Differences(InstallationFiles(install), before), "");
    // Nothing torn: the index still takes the next record whole.
    EXPECT_EQ(Register("LATE", "SPCC"), 0);
    WholeLines(folder / "Othmcn.dat", 161);
    if (readOnly == 77) GTEST_SKIP() << "no way to make the folder read-only here";
    EXPECT_EQ(readOnly, 0) << "saves that did not fail in a read-only folder";
}

TEST(KilledSaveTest, SigkillInASaveLoopLeavesAWholeFile) {
    TempInstallation install;
    const fs::path folder = install.DataFolder();
    WriteMaster(install);
    ASSERT_TRUE(othmac::WriteNcTemplate(Texts(0), folder / "T.CUT"));
    ASSERT_EQ(pdl::WritePdlCutTables("M1", "SPCC", Record(0), {0}), 0);
    for (int round = 0; round < 3; ++round) {
        const pid_t child = StartChild([&] {
            for (int i = 1;; ++i) {
                othmac::WriteNcTemplate(Texts(i), folder / "T.CUT");
                pdl::WritePdlCutTables("M1", "SPCC", Record(static_cast<float>(i)), {0});
                Register("K" + std::to_string(i % 7), "P" + std::to_string(i));
            }
            return 0;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(30 + 20 * round));
        ::kill(child, SIGKILL);
        ASSERT_EQ(WaitChild(child), 128 + SIGKILL);

        const auto texts = othmac::ReadNcTemplate(folder / "T.CUT");
        ASSERT_TRUE(texts.has_value());
        const std::string start = (*texts)[othmac::NcText::NcStart];
        ASSERT_GE(start.size(), 3u);
        EXPECT_EQ(ReadFile(folder / "T.CUT"),
                  othmac::FormatNcTemplate(Texts(std::stoi(start.substr(1)))));
        EXPECT_EQ(pdl::ReadPdlCutTable("M1", "SPCC", 1, *std::make_unique<pdl::PdlCutCondition>()),
                  0);
        if (fs::exists(folder / "Othmcn.dat")) WholeLines(folder / "Othmcn.dat", 161);
    }
}

// N processes, each registering M materials on machines that all of them
// share: every (machine, material) appears exactly once, every line whole.
TEST(ConcurrentProcessesTest, RegistrationsLoseNothingAndTearNoLine) {
    TempInstallation install;
    constexpr int kProcesses = 4;
    constexpr int kPerProcess = 20;
    constexpr int kMachines = 3;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(StartChild([p] {
            int failures = 0;
            for (int j = 0; j < kPerProcess; ++j) {
                const std::string machine = "MAC" + std::to_string(j % kMachines);
                failures += Register(machine, "P" + std::to_string(p) + "_" + std::to_string(j));
                failures += Register(machine, "COMMON");  // the same record from everyone
            }
            return failures == 0 ? 0 : 1;
        }));
    }
    for (const pid_t child : children) EXPECT_EQ(WaitChild(child), 0);

    const fs::path folder = install.DataFolder();
    std::set<std::string> machines;
    for (const std::string& line : WholeLines(folder / "Othmcn.dat", 161)) {
        EXPECT_TRUE(machines.insert(line.substr(10, 50)).second) << line;
    }
    EXPECT_EQ(machines.size(), static_cast<std::size_t>(kMachines));
    for (int m = 0; m < kMachines; ++m) {
        std::multiset<std::string> materials, expected{"COMMON"};
        for (const std::string& line :
             WholeLines(folder / ("MAC" + std::to_string(m) + ".__1"), 158)) {
            materials.insert(line.substr(7, line.find(' ', 7) - 7));
        }
        for (int p = 0; p < kProcesses; ++p) {
            for (int j = m; j < kPerProcess; j += kMachines) {
                expected.insert("P" + std::to_string(p) + "_" + std::to_string(j));
            }
        }
        EXPECT_EQ(materials, expected) << "MAC" << m;
    }
}

// Two processes saving different tables of one condition file, and two
// committing different sections of one driver setting file, through the
// fixed-name working copies: no save undoes the other's.
TEST(ConcurrentProcessesTest, WorkingCopySavesDoNotUndoEachOther) {
    TempInstallation install;
    WriteMaster(install);
    const std::string driverFile = SamplePath("drivers/laser.drv").string();
    constexpr int kSaves = 25;
    auto pdlWriter = [](int table) {
        return [table] {
            for (int i = 1; i <= kSaves; ++i) {
                const float value = static_cast<float>(table * 1000 + i);
                if (pdl::WritePdlCutTables("M1", "SPCC", Record(value), {table}) != 0) return 1;
            }
            return 0;
        };
    };
    auto driverWriter = [&](const char* section) {
        return [&driverFile, section] {
            for (int i = 1; i <= kSaves; ++i) {
                driver_ui::DriverSettingEdit edit(driver::DriverSettingKind::Cut, driverFile,
                                                  "LASER1", "SPCC", section);
                if (edit.Open() == 999) return 1;
                for (auto& item : edit.Items()) item.onOff = 1, item.value1 = i;
                if (edit.Commit() != 0) return 1;
            }
            return 0;
        };
    };
    const pid_t children[] = {StartChild(pdlWriter(2)), StartChild(pdlWriter(7)),
                              StartChild(driverWriter("K")), StartChild(driverWriter("L"))};
    for (const pid_t child : children) EXPECT_EQ(WaitChild(child), 0);

    for (const int table : {2, 7}) {
        pdl::PdlCutCondition record;
        EXPECT_EQ(pdl::ReadPdlCutTable("M1", "SPCC", table, record), 0);
        EXPECT_EQ(record.slot[0], table * 1000.0f + kSaves);
    }
    const fs::path saved = install.DataFolder() / "MD_CUT_LASER1_SPCC.ini";
    for (const char* section : {"MD_CUT_K", "MD_CUT_L"}) {
        EXPECT_EQ(platform::GetPrivateProfileString(section, "2_3Value1", "", 64, saved),
                  std::to_string(kSaves))
            << section;
    }
    EXPECT_FALSE(fs::exists(install.WorkingFolder() / "MD_CUT_TEMP.ini"));
    EXPECT_FALSE(fs::exists(install.WorkingFolder() / "PDL_CUT_TEMP.ini"));
}

}  // namespace
}  // namespace quillet::testing
