// Faults that need a process of their own: a full disk (RLIMIT_FSIZE with
// SIGXFSZ ignored), a save loop killed with SIGKILL, and several processes
// registering and saving in one data folder at once.
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "check/check.h"
#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "frame/cutting_conditions.h"
#include "frame/roots.h"
#include "pdl/pdl_files.h"
#include "platform/file_fault.h"
#include "platform/file_ops.h"
#include "reliability_support.h"
#include "support/ini_value.h"

namespace quillet::testing {
namespace {

constexpr othmac::Outcome kDone = othmac::Outcome::Done;
constexpr othmac::Outcome kFailed = othmac::Outcome::SystemError;

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
    for (int i = 0; i < 25; ++i) ASSERT_EQ(Register("M" + std::to_string(i), "SPCC"), kDone);
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
        // clang-format off
        {"index append", true, [] { return Register("LATE", "SPCC") == kFailed; }},
        {"material list append", false, [] { return Register("M1", "AL") == kFailed; }},
        {"template rewrite", true, [&] { return !othmac::WriteNcTemplate(Texts(2), folder / "T.CUT"); }},
        {"INI rewrite", true,
         [&] { return !SetIniValue(folder / "a.ini", "S", "L", std::string(200, 'w')); }},
        {"PDL file from master", true,
         [] { return !pdl::ReadPdlTable("M1", "SPCC", 0); }},
        // clang-format on
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
    EXPECT_EQ(Register("LATE", "SPCC"), kDone);
    WholeLines(folder / "Othmcn.dat", 161);
    if (readOnly == 77) GTEST_SKIP() << "no way to make the folder read-only here";
    EXPECT_EQ(readOnly, 0) << "saves that did not fail in a read-only folder";
}

TEST(KilledSaveTest, SigkillInASaveLoopLeavesAWholeFile) {
    TempInstallation install;
    const fs::path folder = install.DataFolder();
    WriteMaster(install);
    ASSERT_TRUE(othmac::WriteNcTemplate(Texts(0), folder / "T.CUT"));
    ASSERT_TRUE(SaveRecord("M1", "SPCC", 0, {0}));
    for (int round = 0; round < 3; ++round) {
        const pid_t child = StartChild([&] {
            for (int i = 1;; ++i) {
                othmac::WriteNcTemplate(Texts(i), folder / "T.CUT");
                SaveRecord("M1", "SPCC", static_cast<float>(i), {0});
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
        EXPECT_TRUE(pdl::ReadPdlTable("M1", "SPCC", 1));
        if (fs::exists(folder / "Othmcn.dat")) WholeLines(folder / "Othmcn.dat", 161);
    }

    // A creator killed right after it made its temporary file leaves no
    // name behind, only that file; the next creator publishes its own, and
    // once the left-over is old the next writer of the file removes it.
    const fs::path index = folder / "Othmcn.dat";
    fs::remove(index);
    const pid_t creator = StartChild([] {
        platform::testing::SetTemporaryCreatedHook([](const char*) { ::pause(); });
        return Register("NEW", "SPCC") == kDone ? 0 : 1;
    });
    // Its temporary file: Othmcn.dat.<pid>.<hex>.tmp.
    const std::string own = "Othmcn.dat." + std::to_string(creator) + ".";
    fs::path left;
    for (int wait = 0; left.empty() && wait < 2000; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with(own)) left = entry.path();
        }
    }
    ::kill(creator, SIGKILL);
    ASSERT_EQ(WaitChild(creator), 128 + SIGKILL);
    ASSERT_FALSE(left.empty());
    EXPECT_FALSE(fs::exists(index));
    ASSERT_EQ(Register("OTHER", "SPCC"), kDone);
    fs::last_write_time(left, fs::file_time_type::clock::now() - std::chrono::minutes(6));
    ASSERT_TRUE(platform::AtomicReplace(index, ReadFile(index)));
    EXPECT_FALSE(fs::exists(left));
}

// Two user accounts of one group, umask 022, on a group-writable setgid data
// folder: each adds to and rewrites the files the other made, every file
// stays the group's and group-writable; a file its owner made read-only is
// never replaced by the other, and check tells that account so. Needs root
// to become the two accounts (unused ids).
TEST(SharedGroupTest, TwoAccountsOfOneGroupShareTheFolderAndItsFiles) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two accounts";
    TempInstallation install;
    WriteMaster(install);
    constexpr gid_t kGroup = 42700;
    const fs::path folder = install.DataFolder();
    for (fs::path p = install.RegistryFile(); p != install.Base().parent_path();
         p = p.parent_path())
        ::chmod(p.c_str(), fs::is_directory(p) ? 0755 : 0644);
    for (const fs::path& shared : {folder, install.WorkingFolder()}) {
        ASSERT_EQ(::chown(shared.c_str(), 0, kGroup) | ::chmod(shared.c_str(), 02775), 0);
    }
    ::chmod(folder.parent_path().c_str(), 0755);
    // body as account user of the group, umask 022: 0 when it did all.
    const auto as = [&](uid_t user, const std::function<bool()>& body) {
        return RunInChild([&] {
            ::umask(022);
            if (::setgroups(1, &kGroup) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
                return 99;
            return body() ? 0 : 1;
        });
    };
    EXPECT_EQ(as(42701,
                 [] { return Register("MC01", "SPCC") == kDone && SaveRecord("M1", "S", 1, {0}); }),
              0);
    EXPECT_EQ(as(42702,
                 [] {
                     return Register("MC01", "AL") == kDone && Register("MC02", "AL") == kDone &&
                            SaveRecord("M1", "S", 2, {1});
                 }),
              0);
    for (const char* name : {"Othmcn.dat", "MC01.__1", "MC02.__1", "PDL_CUT_M1_S.ini"}) {
        struct stat st {};
        ASSERT_EQ(::stat((folder / name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_gid, kGroup) << name;
        EXPECT_EQ(st.st_mode & 0777, 0664u) << name;
    }
    EXPECT_EQ(pdl::ReadPdlTable("M1", "S", 1)->slot[0] + pdl::ReadPdlTable("M1", "S", 0)->slot[0],
              3);

    // The first account keeps its condition file to itself; the second one
    // neither replaces it nor is left unaware.
    const fs::path file = folder / "PDL_CUT_M1_S.ini";
    ASSERT_EQ(::chown(file.c_str(), 42701, kGroup) | ::chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(::chown((folder / "MC02.__1").c_str(), 42702, 0), 0);
    const std::string before = ReadFile(file);
    EXPECT_EQ(
        as(42702,
           [&] {
               std::set<std::string> found;
               for (const check::Finding& f :
                    check::CheckDataFolder(check::CheckOptions{folder, std::nullopt}).findings)
                   found.insert(f.code + " " + f.file);
               return !SaveRecord("M1", "S", 3, {2}) &&
                      found.count("not-writable PDL_CUT_M1_S.ini") &&
                      found.count("group-differs MC02.__1");
           }),
        0);
    EXPECT_EQ(ReadFile(file), before);
}

void StallFourTimes(const char*) {
    static int stalls = 0;
    if (++stalls <= 4) std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

// Eight workstations sharing one data root, each with its own system root
// and TEMP folder (and so its own fixed-name working copies), each doing 100
// operations at once on the same files: registrations into one index and
// material list, saves of its own table of one condition file, commits of
// its own cutting condition of one driver setting file. Nothing is lost and
// no line is torn.
TEST(WorkstationsTest, EightWorkstationsOnOneShareLoseNoUpdate) {
    TempInstallation install;
    WriteMaster(install);
    const std::string driverFile = SamplePath("drivers/laser.drv").string();
    constexpr int kStations = 8, kOperations = 100;
    const std::string dataRoot = install.DataRoot();
    std::vector<pid_t> children;
    for (int w = 0; w < kStations; ++w) {
        children.push_back(StartChild([&, w] {
            const fs::path own = install.Base() / ("station" + std::to_string(w));
            fs::create_directories(own / "system" / "TEMP");
            WriteFile(own / "registry.reg", "REGEDIT4\n\n[" + std::string(frame::kRootsKey) +
                                                "]\n\"ParentComputerRoot\"=\"" + dataRoot +
                                                "\"\n\"VELDSystemRoot\"=\"" +
                                                (own / "system").string() + "/\"\n");
            ::setenv("QUILLET_REGISTRY", (own / "registry.reg").c_str(), 1);
            // Half the workstations stall right after each of their first
            // temporary files (new files among them): the others come meanwhile.
            if (w % 2 == 0) platform::testing::SetTemporaryCreatedHook(StallFourTimes);
            const std::string condition(frame::kCuttingConditionNames[w]);
            int failures = 0;
            for (int i = 0; i < kOperations; ++i) {
                const std::string name = "W" + std::to_string(w) + "_" + std::to_string(i);
                switch (i % 3) {
                    case 0:
                        failures += Register("MAC" + std::to_string(i % 2), name) != kDone;
                        failures += Register("MAC" + std::to_string(i % 2), "COMMON") != kDone;
                        break;
                    case 1:
                        failures += !SaveRecord("M1", "SPCC", w * 1000.0f + i, {w});
                        break;
                    default: {
                        driver_ui::DriverSettingEdit edit(driver::DriverSettingKind::Cut,
                                                          driverFile, "LASER1", "SPCC", condition);
                        failures += edit.Load() == driver_ui::DriverSettingEdit::Opened::Failed;
                        for (auto& item : edit.Items()) item.onOff = 1, item.value1 = i;
                        failures += !edit.Save();
                    }
                }
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
    EXPECT_EQ(machines.size(), 2u);
    std::multiset<std::string> materials, expected{"COMMON", "COMMON"};
    for (int m = 0; m < 2; ++m) {
        for (const std::string& line :
             WholeLines(folder / ("MAC" + std::to_string(m) + ".__1"), 158))
            materials.insert(line.substr(7, line.find(' ', 7) - 7));
    }
    const int last[3] = {99, 97, 98};  // the last i of each operation kind
    for (int w = 0; w < kStations; ++w) {
        for (int i = 0; i < kOperations; i += 3)
            expected.insert("W" + std::to_string(w) + "_" + std::to_string(i));
        const std::optional<pdl::PdlCutCondition> record = pdl::ReadPdlTable("M1", "SPCC", w);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->slot[0], w * 1000.0f + last[1]) << "table " << w;
        EXPECT_EQ(IniValue(folder / "MD_CUT_LASER1_SPCC.ini",
                           "MD_CUT_" + std::string(frame::kCuttingConditionNames[w]), "2_3Value1"),
                  std::to_string(last[2]))
            << "condition " << w;
    }
    EXPECT_EQ(materials, expected);
    (void)last[0];
}

}  // namespace
}  // namespace quillet::testing
