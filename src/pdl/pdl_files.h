// The PDL condition file set: one condition file per machine and laser
// material in the data folder, created from the master file when missing,
// and the operations of the exports and of the dialog's save on it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pdl/pdl_table.h"

namespace quillet::pdl {

// File names below the data folder and the working folder.
inline constexpr std::string_view kPdlMasterFile = "/PDL_CUT_MASTER.ini";
inline constexpr std::string_view kPdlWorkingFile = "/PDL_CUT_TEMP.ini";

// True when name can name a condition file: not empty and without a path
// separator (Shift-JIS aware), so that it cannot reach outside the data
// folder. The exports refuse other names with -2 before touching any file.
bool IsValidPdlName(const char* name);

// Makes sure the condition file of machine and material exists and gives
// its path. 0: the file exists (or was just created as a copy of the master
// file). -1: no data root, a path over 499 characters, the file exists but
// cannot be read, neither file nor master exists, or the copy of the master
// failed; path is then set only when it could be formed.
int PreparePdlCutFile(std::string_view machine, std::string_view material, std::string& path);

// Reads table (0-12) of the pair's condition file into record: all 128
// slots are cleared, then 0-87 filled (-1 for keys the section lacks).
// Returns 0, or -1 (record untouched) when the file cannot be prepared or
// read or the system root is missing.
int ReadPdlCutTable(std::string_view machine, std::string_view material, PdlCutTable table,
                    PdlCutCondition& record);

// Writes record into each table of targets (in the given order) of the
// pair's condition file and replaces the file once, atomically. An empty
// target list leaves the file as it is. Returns 0, or -1 when the file
// cannot be prepared or read, the system root is missing, or the rewrite
// failed (the file is then unchanged).
int WritePdlCutTables(std::string_view machine, std::string_view material,
                      const PdlCutCondition& record, const std::vector<int>& targets);

// Deletes the pair's condition file. 0 when it is gone (also when only the
// master existed); -1 when the data root is missing, neither file nor master
// exists, or the file could not be removed.
int DeletePdlCutFile(std::string_view machine, std::string_view material);

// Copies the source pair's condition file over the target pair's (all
// thirteen tables). Both are prepared first. 0 done; -1 when either cannot
// be prepared or the copy failed (the target is then unchanged).
int CopyPdlCutFile(std::string_view sourceMachine, std::string_view sourceMaterial,
                   std::string_view targetMachine, std::string_view targetMaterial);

}  // namespace quillet::pdl
