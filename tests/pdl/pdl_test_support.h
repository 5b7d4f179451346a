// Shared fixtures of the PDL tests: a record with distinct values per table
// and slot, and an installation holding a master file and machine.ini.
#pragma once

#include <filesystem>
#include <string>

#include "pdl/pdl_table.h"
#include "support/temp_install.h"

namespace quillet::pdl::testing {

// Slot i of table t holds t * 1000 + i (exact in float and in "%lf").
PdlCutCondition DistinctRecord(int table);

// Writes a master file with all thirteen DistinctRecord tables.
void WriteMaster(const quillet::testing::TempInstallation& install);

// Writes machine.ini with one machine: ID, CCUsed and PCUsed as given.
void WriteMachineList(const quillet::testing::TempInstallation& install, int id,
                      const std::string& ccUsed, const std::string& pcUsed);

std::filesystem::path ConditionFile(const quillet::testing::TempInstallation& install,
                                    const std::string& machine, const std::string& material);

}  // namespace quillet::pdl::testing
