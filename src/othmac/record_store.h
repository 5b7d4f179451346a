// The other-machine record store: the machine index Othmcn.dat and the
// per-machine material lists that name each machine's NC template files.
#pragma once

#include <filesystem>
#include <string>

namespace quillet::othmac {

// Machine type numbers the exports accept.
inline constexpr int kMinMachineTypeNo = 130;
inline constexpr int kMaxMachineTypeNo = 139;
// Widths of the name fields of the records; a name is read back from its
// field only, so longer names never match.
inline constexpr std::size_t kNameFieldWidth = 50;
inline constexpr std::size_t kFileFieldWidth = 100;
// The reserved material name of a machine's master template.
inline constexpr const char* kMasterMaterial = "Oth_MASTER";

// The arguments of a lookup, in the order of the exports.
struct LookupRequest {
    int create = 0;        // 1: register what is missing; 0: look up only
    int showMessages = 0;  // 1: show messages 201, 202, 203
    int machineTypeNo = 0;
    std::string machineName;
    std::string materialName;
    std::string reservedText;  // passed on; nothing depends on them
    int reservedNo1 = 0;
    int reservedNo2 = 0;
};

struct LookupResult {
    int status = 0;    // 0, 100, 101 or 999
    std::string path;  // the template file's path when status is 0
};

// Finds, and with create 1 registers, the NC template file of a machine and
// material. Results: 0 with the path; 100 when look-up only finds something
// missing (message 202); 101 when a machine record would have to be created
// for a name over 50 bytes (message 203); 999 when the data root is missing
// (message 201) or the request cannot be served safely: a name holding a
// path separator or a line break (refused before any file is touched), a
// new record the files could not read back (an empty name, a template file
// name over 100 characters), a path over 499 characters, or an index file
// that could not be created, converted or appended to. A pair already
// registered is found with create 1 exactly as with create 0: the
// registration's refusals apply only where a record must be written. A name
// with a space is registered in full and read back cut at the space, so each
// registration of it appends another record and still gives its path.
// Messages only with showMessages 1, and never while a lock is held; the 999
// refusals of this build show none. Only a registration or a conversion
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

// The record lines as written ("[QM700]%3d%-50s%-100s\n" and
// "[QM700]%-50s%-100s\n").
std::string MachineRecord(int machineTypeNo, const std::string& machineName,
                          const std::string& listFileName);
std::string MaterialRecord(const std::string& materialName, const std::string& templateFileName);

// The range checks of the exports: "system error：1[%d]" for create,
// "：2" for showMessages, "：3" for machineTypeNo, always shown. True when the
// arguments are in range.
bool CheckLookupArguments(int create, int showMessages, int machineTypeNo);

}  // namespace quillet::othmac
