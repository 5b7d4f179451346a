// Every kind of write the module does, rerun with an injected failure at
// each successive write-side file call (open for writing, write, fsync,
// rename): a failure reported leaves every file as it was or, where a kind
// is allowed to have finished part of its work, each file whole in its old
// or new state; a success leaves exactly the state of a clean run; a retry
// after a failure reaches the clean state with nothing doubled; no
// temporary file is left behind.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "driver/driver_operations.h"
#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "platform/file_fault.h"
#include "platform/profile.h"
#include "reliability_support.h"

namespace quillet::testing {
namespace {

namespace ft = platform::testing;

const std::string kDriver = SamplePath("drivers/laser.drv").string();

bool Register(const char* machine, const char* material, int type = 131) {
    othmac::LookupRequest request;
    request.create = 1;
    request.machineTypeNo = type;
    request.machineName = machine;
    request.materialName = material;
    return othmac::LocateConditionFile(request).status == 0;
}

othmac::NcTemplateTexts Texts(const std::string& start) {
    othmac::NcTemplateTexts texts;
    texts[othmac::NcText::NcStart] = start + "\r\nG90\r\n";
    texts[othmac::NcText::CutCondK] = "M102\r\n";
    return texts;
}

void WriteMaster(const TempInstallation& install) {
    WriteFile(install.DataFolder() / "PDL_CUT_MASTER.ini",
              ReadFile(SamplePath("pdl/PDL_CUT_MASTER.ini")));
}

pdl::PdlCutCondition Record(float value) {
    pdl::PdlCutCondition record;
    record.slot.fill(value);
    return record;
}

struct WriteKind {
    const char* name;
    std::function<void(const TempInstallation&)> prepare;
    std::function<bool(const TempInstallation&)> run;  // true: success reported
    // A reported failure may leave some files already in their new state
    // or holding the first whole records of it (an old index converted, an
    // append whose flush failed, current files deleted before the new ones
    // are laid down); otherwise it must leave everything as it was.
    bool partialAllowed = false;
};

const WriteKind kKinds[] = {
    {"first registration creates index and list", [](const TempInstallation&) {},
     [](const TempInstallation&) { return Register("LASER1", "SPCC1.6"); }, true},
    {"index append and material list creation",
     [](const TempInstallation&) { ASSERT_TRUE(Register("LASER1", "SPCC1.6")); },
     [](const TempInstallation&) { return Register("LASER2", "SUS2.0"); }, true},
    {"material list append",
     [](const TempInstallation&) { ASSERT_TRUE(Register("LASER1", "SPCC1.6")); },
     [](const TempInstallation&) { return Register("LASER1", "AL3.0"); }, true},
    {"old index converted, then appended",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "Othmcn.dat", "131OLDMAC  OLDMAC.__1 \n");
     },
     [](const TempInstallation&) { return Register("NEWMAC", "SPCC1.6"); }, true},
    {"template rewrite",
     [](const TempInstallation& install) {
         ASSERT_TRUE(othmac::WriteNcTemplate(Texts("O1000"), install.DataFolder() / "T.CUT"));
     },
     [](const TempInstallation& install) {
         return othmac::WriteNcTemplate(Texts("O2000"), install.DataFolder() / "T.CUT");
     }},
    {"INI value write",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "a.ini", "[S]\r\nK=old\r\nL=keep\r\n");
     },
     [](const TempInstallation& install) {
         return platform::WritePrivateProfileString("S", "K", "new",
                                                    install.DataFolder() / "a.ini");
     }},
    {"alias defaults", [](const TempInstallation&) {},
     [](const TempInstallation&) { return pdl::PdlMachineTypeGet(13400) == 22; }},
    {"PDL condition file from master",
     [](const TempInstallation& install) { WriteMaster(install); },
     [](const TempInstallation&) {
         pdl::PdlCutCondition record;
         return pdl::ReadPdlCutTable("M1", "SPCC", 0, record) == 0;
     }},
    {"PDL table write",
     [](const TempInstallation& install) {
         WriteMaster(install);
         ASSERT_EQ(pdl::WritePdlCutTables("M1", "SPCC", Record(1.5f), {0}), 0);
     },
     [](const TempInstallation&) {
         return pdl::WritePdlCutTables("M1", "SPCC", Record(2.5f), {0, 3, 12}) == 0;
     }},
    {"PDL file copy",
     [](const TempInstallation& install) {
         WriteMaster(install);
         ASSERT_EQ(pdl::WritePdlCutTables("M1", "SPCC", Record(1.5f), {0}), 0);
         ASSERT_EQ(pdl::WritePdlCutTables("M2", "SUS", Record(7.0f), {1}), 0);
     },
     [](const TempInstallation&) { return pdl::CopyPdlCutFile("M1", "SPCC", "M2", "SUS") == 0; }},
    {"working-copy copy-back",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "MD_CUT_LASER1_SPCC.ini",
                   "[MD_CUT_K]\r\n2_3OnOff=0\r\n2_3Value1=5\r\n[Other]\r\nx=1\r\n");
     },
     [](const TempInstallation&) {
         driver_ui::DriverSettingEdit edit(driver::DriverSettingKind::Cut, kDriver, "LASER1",
                                           "SPCC", "K");
         if (edit.Open() != 0) return false;
         for (auto& item : edit.Items()) item.onOff = 1, item.value1 = 42;
         return edit.Commit() == 0;
     }},
    {"current files",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "MD_CUT_LASER1_SPCC.ini", "2_3OnOff=1\r\n");
         WriteFile(install.WorkingFolder() / "MD_NC_default.ini", "old nc\n");
         WriteFile(install.WorkingFolder() / "MD_CUT_default.ini", "old cut\n");
     },
     [](const TempInstallation&) {
         return driver::SetCurrentInfo(kDriver.c_str(), "LASER1", "SPCC", nullptr) == 0;
     },
     true},
};

bool HasTemporaryFile(const Snapshot& files) {
    for (const auto& [name, contents] : files) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) return true;
    }
    return false;
}

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
        EXPECT_FALSE(HasTemporaryFile(after));
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
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             }
                             return name;
                         });

}  // namespace
}  // namespace quillet::testing
