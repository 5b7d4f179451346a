// The PDL condition file set: one condition file per machine and laser
// material in the data folder, created from the master file when missing,
// and the operations of the exports and of the dialog's save on it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pdl/pdl_table.h"

namespace quillet::pdl {

// File names in the data folder and the working folder.
inline constexpr std::string_view kPdlMasterFile = "PDL_CUT_MASTER.ini";
inline constexpr std::string_view kPdlWorkingFile = "PDL_CUT_TEMP.ini";

// True when name can name a condition file: not empty and without a path
// separator (Shift-JIS aware), so that it cannot reach outside the data
// folder. The exports refuse other names with -2 before touching any file.
bool IsValidPdlName(const char* name);

// The name of a pair's condition file: "PDL_CUT_<machine>_<material>.ini".
std::string PdlConditionFileName(std::string_view machine, std::string_view material);
// Its path: data folder + "/" + the name; nullopt without a data root or
// when the path would pass 499 characters.
std::optional<std::string> PdlConditionFilePath(std::string_view machine,
                                                std::string_view material);

// What stands between "PDL_CUT_" and ".ini" in a name of that form (a
// condition file, the master, the save options); nullopt for another name.
// ignoreCase: letter case ignored, as a Windows share matches names.
std::optional<std::string_view> PdlConditionFileNames(std::string_view fileName,
                                                      bool ignoreCase = false);
// The pairs a file name can be the condition file of: each split of
// PDL_CUT_<machine>_<material>.ini at a '_' that leaves both names
// non-empty, in the order of the '_'. None for any other name (the master,
// the save options, the alias file ...).
std::vector<std::pair<std::string, std::string>> PdlConditionFilePairs(std::string_view fileName);

// Every operation starts by preparing the pair's condition file: it is read
// with one open, and a missing one is created as a copy of the master file,
// only where no file exists, published whole; an empty one (left by a
// workstation that stopped while it created it) counts as missing and is
// filled from the master under its lock. The preparation fails when there is
// no data root, a path would pass 499 characters, the file exists but cannot
// be read, or neither file nor master exists.

// Table (0-12) of the pair's condition file: all 128 slots cleared, then
// 0-87 filled (-1 for keys the section lacks). nullopt when the file cannot
// be prepared or the system root is missing.
std::optional<PdlCutCondition> ReadPdlTable(std::string_view machine, std::string_view material,
                                            PdlCutTable table);

// One table of a save and the values it receives.
struct PdlTableWrite {
    PdlCutTable table = 0;
    PdlCutCondition record;
};

// The save of a condition file (dialog 129's OK, quillet-host pdl-import):
// takes the condition file's lock (platform::FileLock), rereads the file as
// it is on disk, writes each record into its table (in the given order;
// tables outside 0-12 are skipped) and replaces the file once, atomically.
// Only the written tables change: tables another workstation saved
// meanwhile are kept. A missing file is first prepared. No write leaves the
// file as it is. False when the data root or the system root is missing, the
// file cannot be prepared or read, or the rewrite failed (the file is then
// unchanged). No message is shown, and no lock outlives the call.
bool SavePdlTables(std::string_view machine, std::string_view material,
                   const std::vector<PdlTableWrite>& writes);

// Deletes the pair's condition file. True when it is gone (also when only
// the master existed); false when the data root is missing, neither file nor
// master exists, or the file could not be removed.
bool DeletePdlFile(std::string_view machine, std::string_view material);

// Copies the source pair's condition file over the target pair's (all
// thirteen tables), under the target's lock so that no save in progress
// writes an older file back over the copy. Both are prepared first. False
// when either cannot be prepared or the copy failed (the target is then
// unchanged).
bool CopyPdlFile(std::string_view sourceMachine, std::string_view sourceMaterial,
                 std::string_view targetMachine, std::string_view targetMaterial);

}  // namespace quillet::pdl
