// Faults that need a process of their own: a full disk (RLIMIT_FSIZE with
// SIGXFSZ ignored), a save loop killed with SIGKILL, and several processes
// registering and saving in one data folder at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "pdl/pdl_files.h"
#include "platform/profile.h"
#include "reliability_support.h"

namespace quillet::testing {
namespace {

int Register(const std::string& machine, const std::string& material) {
    othmac::LookupRequest request;
    request.create = 1;
    request.machineTypeNo = 132;
    request.machineName = machine;
    request.materialName = material;
    return othmac::LocateConditionFile(request).status;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
    return lines;
}

othmac::NcTemplateTexts Texts(int version) {
    othmac::NcTemplateTexts texts;
    texts[othmac::NcText::NcStart] = "O" + std::to_string(version) + "\r\n";
    // Seventeen texts of 400 bytes: over 6 KiB.
    for (std::size_t i = 1; i < othmac::kNcTextCount; ++i) {
        texts.texts[i] = std::string(400, static_cast<char>('A' + i)) + "\r\n";
    }
    return texts;
}

pdl::PdlCutCondition Record(float value) {
    pdl::PdlCutCondition record;
    record.slot.fill(value);
    return record;
}

float PdlValue(const std::string& machine, int table) {
    pdl::PdlCutCondition record;
    EXPECT_EQ(pdl::ReadPdlCutTable(machine, "SPCC", table, record), 0);
    return record.slot[0];
}

void WriteMaster(const TempInstallation& install) {
    WriteFile(install.DataFolder() / "PDL_CUT_MASTER.ini",
              ReadFile(SamplePath("pdl/PDL_CUT_MASTER.ini")));
}

// A child process with a file size limit; writes past it fail with EFBIG.
int WithFileSizeLimit(rlim_t bytes, const std::function<int()>& body) {
    return RunInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 99;
        return body();
    });
}

TEST(FullDiskTest, FailedSavesLeaveTheEarlierFiles) {
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

    struct Row {
        const char* what;
        std::function<bool()> save;  // true: reported success
    } rows[] = {
        {"index append cut short", [] { return Register("LATE", "SPCC") == 0; }},
        {"template rewrite", [&] { return othmac::WriteNcTemplate(Texts(2), folder / "T.CUT"); }},
        {"INI rewrite",
         [&] {
             return platform::WritePrivateProfileString("S", "L", std::string(200, 'w'),
                                                        folder / "a.ini");
         }},
        {"PDL file from master",
         [] {
             pdl::PdlCutCondition record;
             return pdl::ReadPdlCutTable("M1", "SPCC", 0, record) == 0;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(WithFileSizeLimit(4100, [&] { return row.save() ? 1 : 0; }), 0);
        EXPECT_EQ(Differences(InstallationFiles(install), before), "");
    }
    // Nothing torn: the index still takes the next record whole.
    EXPECT_EQ(Register("LATE", "SPCC"), 0);
    for (const std::string& line : Lines(ReadFile(folder / "Othmcn.dat"))) {
        EXPECT_EQ(line.size(), 161u);
    }
}

// A read-only data folder. Root writes anyway, so as root the child gives
// up its rights first (to nobody); skipped where that is impossible.
TEST(ReadOnlyFolderTest, SavesFailAndLeaveTheEarlierFiles) {
    TempInstallation install;
    const fs::path folder = install.DataFolder();
    ASSERT_EQ(Register("M1", "SPCC"), 0);
    ASSERT_TRUE(othmac::WriteNcTemplate(Texts(1), folder / "T.CUT"));
    WriteFile(folder / "a.ini", "[S]\r\nK=old\r\n");
    const Snapshot before = InstallationFiles(install);
    for (fs::path p = folder; p != install.Base().parent_path(); p = p.parent_path()) {
        fs::permissions(p, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    }
    fs::permissions(install.WorkingFolder(), fs::perms::all);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const int result = RunInChild([&] {
        if (::geteuid() == 0 && ::setuid(65534) != 0) return 77;
        if (::access(folder.c_str(), W_OK) == 0) return 77;  // still writable: cannot test
        int wrong = 0;
        wrong += Register("M2", "SPCC") == 999 ? 0 : 1;
        wrong += Register("M1", "AL") == 999 ? 0 : 1;
        wrong += othmac::WriteNcTemplate(Texts(2), folder / "T.CUT") ? 1 : 0;
        wrong += platform::WritePrivateProfileString("S", "K", "new", folder / "a.ini") ? 1 : 0;
        return wrong;
    });
    fs::permissions(folder, fs::perms::owner_all);
    if (result == 77) GTEST_SKIP() << "no way to make the folder read-only here";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Differences(InstallationFiles(install), before), "");
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
        if (fs::exists(folder / "Othmcn.dat")) {
            for (const std::string& line : Lines(ReadFile(folder / "Othmcn.dat"))) {
                EXPECT_EQ(line.size(), 161u);
            }
        }
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
    std::vector<std::string> index = Lines(ReadFile(folder / "Othmcn.dat"));
    EXPECT_EQ(index.size(), static_cast<std::size_t>(kMachines));
    std::set<std::string> machines;
    for (const std::string& line : index) {
        EXPECT_EQ(line.size(), 161u);
        machines.insert(line.substr(10, 50));
    }
    EXPECT_EQ(machines.size(), static_cast<std::size_t>(kMachines));
    for (int m = 0; m < kMachines; ++m) {
        std::multiset<std::string> materials;
        for (const std::string& line :
             Lines(ReadFile(folder / ("MAC" + std::to_string(m) + ".__1")))) {
            EXPECT_EQ(line.size(), 158u);
            materials.insert(
                othmac::MaterialRecord(line.substr(7, line.find(' ', 7) - 7), "x").substr(0, 57));
        }
        std::multiset<std::string> expected{othmac::MaterialRecord("COMMON", "x").substr(0, 57)};
        for (int p = 0; p < kProcesses; ++p) {
            for (int j = m; j < kPerProcess; j += kMachines) {
                expected.insert(
                    othmac::MaterialRecord("P" + std::to_string(p) + "_" + std::to_string(j), "x")
                        .substr(0, 57));
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

    EXPECT_EQ(PdlValue("M1", 2), 2000.0f + kSaves);
    EXPECT_EQ(PdlValue("M1", 7), 7000.0f + kSaves);
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
