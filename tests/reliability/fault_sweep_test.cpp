// Every kind of write the module does, rerun with an injected failure at
// each successive write-side file call (open for writing, write, fsync,
// rename): a reported failure leaves every file as it was (or, where a kind
// may finish part of its work, each file whole in its old or new state); a
// success leaves exactly the state of a clean run; a retry reaches the clean
// state with nothing doubled; no temporary file is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>

#include "driver/driver_operations.h"
#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "platform/file_fault.h"
#include "reliability_support.h"
#include "support/ini_value.h"

namespace quillet::testing {
namespace {

namespace ft = platform::testing;

const std::string kDriver = SamplePath("drivers/laser.drv").string();

using In = const TempInstallation&;

fs::path Data(In install, const char* name) { return install.DataFolder() / name; }

bool Registers(const char* machine, const char* material) {
    return Register(machine, material) == othmac::Outcome::Done;
}

struct WriteKind {
    const char* name;
    std::function<void(In)> prepare;
    std::function<bool(In)> run;  // true: success reported
    // A failure may leave files in their new state or holding its first
    // whole records (an old index converted, an append whose flush failed,
    // current files deleted before the new ones are laid down).
    bool partialAllowed = false;
};

// clang-format off
const WriteKind kKinds[] = {
    {"first registration creates index and list", [](In) {},
     [](In) { return Registers("LASER1", "SPCC1.6"); }, true},
    {"index append and material list creation", [](In) { ASSERT_TRUE(Registers("LASER1", "SPCC1.6")); },
     [](In) { return Registers("LASER2", "SUS2.0"); }, true},
    {"material list append", [](In) { ASSERT_TRUE(Registers("LASER1", "SPCC1.6")); },
     [](In) { return Registers("LASER1", "AL3.0"); }, true},
    {"old index converted, then appended", [](In i) { WriteFile(Data(i, "Othmcn.dat"), "131OLDMAC  OLDMAC.__1 \n"); },
     [](In) { return Registers("NEWMAC", "SPCC1.6"); }, true},
    {"template rewrite", [](In i) { ASSERT_TRUE(othmac::WriteNcTemplate(Texts(1000), Data(i, "T.CUT"))); },
     [](In i) { return othmac::WriteNcTemplate(Texts(2000), Data(i, "T.CUT")); }},
    {"INI value write", [](In i) { WriteFile(Data(i, "a.ini"), "[S]\r\nK=old\r\nL=keep\r\n"); },
     [](In i) { return SetIniValue(Data(i, "a.ini"), "S", "K", "new"); }},
    {"alias defaults", [](In) {}, [](In) { return pdl::PdlMachineTypeGet(13400) == 22; }},
    {"PDL condition file from master", [](In i) { WriteMaster(i); },
     [](In) { return pdl::ReadPdlTable("M1", "SPCC", 0).has_value(); }},
    {"empty PDL condition file refilled from master",
     [](In i) { WriteMaster(i); WriteFile(Data(i, "PDL_CUT_M1_SPCC.ini"), ""); },
     [](In) { return pdl::ReadPdlTable("M1", "SPCC", 0).has_value(); }},
    {"PDL table write",
     [](In i) { WriteMaster(i); ASSERT_TRUE(SaveRecord("M1", "SPCC", 1.5f, {0})); },
     [](In) { return SaveRecord("M1", "SPCC", 2.5f, {0, 3, 12}); }},
    {"PDL file copy",
     [](In i) {
         WriteMaster(i);
         ASSERT_TRUE(SaveRecord("M1", "SPCC", 1.5f, {0}));
         ASSERT_TRUE(SaveRecord("M2", "SUS", 7.0f, {1}));
     },
     [](In) { return pdl::CopyPdlFile("M1", "SPCC", "M2", "SUS"); }},
    {"working-copy copy-back",
     [](In i) { WriteFile(Data(i, "MD_CUT_LASER1_SPCC.ini"), "[MD_CUT_K]\r\n2_3OnOff=0\r\n2_3Value1=5\r\n[Other]\r\nx=1\r\n"); },
     [](In) {
         driver_ui::DriverSettingEdit edit(driver::DriverSettingKind::Cut, kDriver, "LASER1", "SPCC", "K");
         if (edit.Load() != driver_ui::DriverSettingEdit::Opened::SavedFile) return false;
         for (auto& item : edit.Items()) item.onOff = 1, item.value1 = 42;
         return edit.Save();
     }},
    {"current files",
     [](In i) {
         WriteFile(Data(i, "MD_CUT_LASER1_SPCC.ini"), "2_3OnOff=1\r\n");
         WriteFile(i.WorkingFolder() / "MD_NC_default.ini", "old nc\n");
         WriteFile(i.WorkingFolder() / "MD_CUT_default.ini", "old cut\n");
     },
     [](In) { return driver::SetCurrentInfo(kDriver.c_str(), "LASER1", "SPCC", nullptr) == driver::Outcome::Done; }, true},
};
// clang-format on

class FaultSweepTest : public ::testing::TestWithParam<WriteKind> {
protected:
    void TearDown() override { ft::FailAfter(0); }
};

TEST_P(FaultSweepTest, EveryFailurePointLeavesWholeFiles) {
    const WriteKind& kind = GetParam();
    Snapshot clean;
    {
        TempInstallation install;
        kind.prepare(install);
        ASSERT_TRUE(kind.run(install)) << "clean run";
        clean = InstallationFiles(install);
    }
    int injected = 0;
    for (int n = 1; n < 100; ++n) {
        TempInstallation install;
        kind.prepare(install);
        const Snapshot before = InstallationFiles(install);
        ft::FailAfter(n);
        const bool ok = kind.run(install);
        const bool fired = ft::FaultFired();
        ft::FailAfter(0);
        const Snapshot after = InstallationFiles(install);
        SCOPED_TRACE("failure at write-side call " + std::to_string(n));
        EXPECT_FALSE(std::any_of(after.begin(), after.end(),
                                 [](const auto& file) { return file.first.ends_with(".tmp"); }));
        if (!fired) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(Differences(after, clean), "");
            break;
        }
        ++injected;
        if (ok) {
            // Only a failed flush of the folder may pass unreported.
            EXPECT_EQ(Differences(after, clean), "");
            continue;
        }
        if (!kind.partialAllowed) {
            EXPECT_EQ(Differences(after, before), "");
        } else {
            for (const auto& [name, contents] : after) {
                const bool old = before.count(name) && before.at(name) == contents;
                const bool now = clean.count(name) && clean.at(name) == contents;
                // Whole records of the new file (an old index converted, the
                // new record not yet appended).
                const bool records = clean.count(name) && !contents.empty() &&
                                     contents.back() == '\n' &&
                                     clean.at(name).compare(0, contents.size(), contents) == 0;
                EXPECT_TRUE(old || now || records)
                    << name << " is neither old nor new: " << contents;
            }
        }
        // A retry completes the work, with no record doubled.
        EXPECT_TRUE(kind.run(install));
        EXPECT_EQ(Differences(InstallationFiles(install), clean), "");
    }
    EXPECT_GT(injected, 0);
}

INSTANTIATE_TEST_SUITE_P(WriteKinds, FaultSweepTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<WriteKind>& info) {
                             std::string name = info.param.name;
                             std::erase_if(name, [](char c) {
                                 return !std::isalnum(static_cast<unsigned char>(c));
                             });
                             return name;
                         });

}  // namespace
}  // namespace quillet::testing
