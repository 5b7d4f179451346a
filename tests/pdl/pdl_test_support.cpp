// Shared fixtures of the PDL tests.
#include "pdl_test_support.h"

namespace quillet::pdl::testing {

PdlCutCondition DistinctRecord(int table) {
    PdlCutCondition record;
    for (int i = 0; i < kPdlParamCount; ++i) record.slot[i] = static_cast<float>(table * 1000 + i);
    return record;
}

void WriteMaster(const quillet::testing::TempInstallation& install) {
    const std::string path = (install.DataFolder() / "PDL_CUT_MASTER.ini").string();
    platform::ProfileDocument document = platform::ProfileDocument::Load(path);
    for (int t = 0; t < kPdlTableCount; ++t) WritePdlCutCondition(document, t, DistinctRecord(t));
    document.Save();
}

void WriteMachineList(const quillet::testing::TempInstallation& install, int id,
                      const std::string& ccUsed, const std::string& pcUsed) {
    quillet::testing::WriteFile(install.DataFolder() / "machine.ini",
                                "[Header]\nMachineCount=2\n[Machine1]\nID=7\nCCUsed=1\n"
                                "[Machine2]\nID=" +
                                    std::to_string(id) + "\nCCUsed=" + ccUsed +
                                    "\nPCUsed=" + pcUsed + "\n");
}

std::filesystem::path ConditionFile(const quillet::testing::TempInstallation& install,
                                    const std::string& machine, const std::string& material) {
    return install.DataFolder() / ("PDL_CUT_" + machine + "_" + material + ".ini");
}

}  // namespace quillet::pdl::testing
