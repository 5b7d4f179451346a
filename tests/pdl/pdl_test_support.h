// Shared fixtures of the PDL tests: a record with distinct values per table
// and slot, an installation holding a master file and machine.ini, and one
// table of a condition file.
#pragma once

#include <filesystem>
#include <string>

#include "pdl/pdl_save_options.h"
#include "pdl/pdl_table.h"
#include "support/temp_install.h"

namespace quillet::pdl::testing {

using quillet::testing::ReadFile;
using quillet::testing::TempFolder;
using quillet::testing::TempInstallation;
using quillet::testing::WriteFile;

// Slot i of table t holds t * 1000 + i (exact in float and in "%lf").
inline PdlCutCondition DistinctRecord(int table) {
    PdlCutCondition record;
    for (int i = 0; i < kPdlParamCount; ++i) record.slot[i] = static_cast<float>(table * 1000 + i);
    return record;
}

// The one master file of the PDL tests: all thirteen DistinctRecord tables.
inline void WriteMaster(const quillet::testing::TempInstallation& install) {
    auto document = platform::ProfileDocument::Load(install.DataFolder() / "PDL_CUT_MASTER.ini");
    for (int t = 0; t < kPdlTableCount; ++t) WritePdlCutCondition(document, t, DistinctRecord(t));
    document.Save();
}

// machine.ini with machine 7 and a second one: ID, CCUsed and PCUsed as given.
inline void WriteMachineList(const quillet::testing::TempInstallation& install, int id,
                             const std::string& ccUsed, const std::string& pcUsed) {
    quillet::testing::WriteFile(install.DataFolder() / "machine.ini",
                                "[Header]\nMachineCount=2\n[Machine1]\nID=7\nCCUsed=1\n"
                                "[Machine2]\nID=" +
                                    std::to_string(id) + "\nCCUsed=" + ccUsed +
                                    "\nPCUsed=" + pcUsed + "\n");
}

inline std::filesystem::path ConditionFile(const quillet::testing::TempInstallation& install,
                                           const std::string& machine,
                                           const std::string& material) {
    return install.DataFolder() / ("PDL_CUT_" + machine + "_" + material + ".ini");
}

// Table t of a file as the table reader reads it (slots 88-127 zero).
inline PdlCutCondition TableOf(const std::filesystem::path& file, int table) {
    PdlCutCondition record;
    ReadPdlCutCondition(platform::ProfileDocument::Load(file), table, record);
    return record;
}

// Save options with the switch and the given tables on.
inline PdlSaveOptions Options(bool saveSwitch, std::initializer_list<int> onTables) {
    PdlSaveOptions options;
    options.saveSwitch = saveSwitch;
    for (int t : onTables) options.tables[static_cast<std::size_t>(t)] = true;
    return options;
}

}  // namespace quillet::pdl::testing
