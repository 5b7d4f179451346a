// The other-machine record store: the machine index Othmcn.dat and the
// per-machine material lists that name each machine's NC template files.
#pragma once

#include <filesystem>
#include <string>

#include "othmac/record_layout.h"

namespace quillet::othmac {

// Machine type numbers the exports accept.
inline constexpr int kMinMachineTypeNo = 130;
inline constexpr int kMaxMachineTypeNo = 139;
// The reserved material name of a machine's master template.
inline constexpr const char* kMasterMaterial = "Oth_MASTER";

// The arguments of a lookup, in the order of the exports.
struct LookupRequest {
    bool create = false;        // register what is missing, else look up only
    bool showMessages = false;  // show messages 201, 202, 203
    int machineTypeNo = 0;
    std::string machineName;
    std::string materialName;
    std::string reservedText;  // passed on; nothing depends on them
    int reservedNo1 = 0;
    int reservedNo2 = 0;
};

// What a look-up, the dialog built on it and the cutting-condition test come
// to; the exports turn it into their status (0, 1, 100, 101, 999).
enum class Outcome { Done, Cancelled, NotSetUp, NameTooLong, SystemError };

struct LookupResult {
    Outcome status = Outcome::Done;
    std::string path;  // the template file's path when Done
};

// Finds, and with create registers, the NC template file of a machine and
// material. Results: Done with the path; NotSetUp when look-up only finds
// something missing (message 202); NameTooLong when a machine record would
// have to be created for a name over 50 bytes (message 203); SystemError
// when the data root is missing
// (message 201) or the request cannot be served safely: a name holding a
// path separator or a line break (refused before any file is touched), a
// new record the files could not read back (an empty name, a template file
// name over 100 characters), a path over 499 characters, or an index file
// that could not be created, converted or appended to. A pair already
// registered is found with create exactly as without: the
// registration's refusals apply only where a record must be written. A name
// with a space is registered in full and read back cut at the space, so each
// registration of it appends another record and still gives its path.
// Messages only with showMessages, and never while a lock is held; the
// refusals of unsafe names show none. Only a registration or a conversion
// writes, under the lock of the file it writes (platform::FileLock); a
// failed write leaves the files as they were.
LookupResult LocateConditionFile(const LookupRequest& request);

// Convert an old marker-less machine index or material list in place (one
// atomic rewrite under the file's lock). A missing file, or one whose first
// line carries the marker, is left alone; records without a name are
// skipped, every other record is kept. False only when a conversion was needed and the
// rewrite failed: the lookup must then not append a new record to the old
// file, which a later conversion would garble.
bool UpgradeMachineIndex(const std::filesystem::path& path);
bool UpgradeMaterialList(const std::filesystem::path& path);

// The range checks of the exports: "system error：1[%d]" for create,
// "：2" for showMessages, "：3" for machineTypeNo, always shown. True when the
// arguments are in range.
bool CheckLookupArguments(int create, int showMessages, int machineTypeNo);

}  // namespace quillet::othmac
