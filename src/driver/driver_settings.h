// Driver setting items and their files: the list of items a machine driver
// publishes, the saved, working and current setting files, the key scheme
// "%d_%d%s" and the sectioned and plain file forms.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_lock.h"

namespace quillet::platform {
class ProfileDocument;
}

namespace quillet::driver {

enum class DriverSettingKind : int { Cut = 0, Tool = 1, Nc = 2 };

// One setting item of the driver with the user's choices.
struct DriverCondition {
    int id = 0;
    std::string name;    // at most 128 characters
    int valueType = -1;  // 2 switch only, 3 integer values, 4 real values
    int valueCount = 0;  // 0, 1 or 2
    int onOff = 0;
    double value1 = 0.0;
    double value2 = 0.0;
    int timing = 1;  // Tool only: 0 just before, 1 just after, 2 just after the last
};

// Items in driver order; the pair (id, valueType) is unique.
using DriverConditionList = std::vector<DriverCondition>;

// File name prefix of a kind: "CUT_", "TOOL_", "NC_".
const char* KindPrefix(DriverSettingKind kind);

// Forms the saved file's path: data folder + "/MD_" + prefix + machine +
// ("_" + name for Cut and Tool) + ".ini". Returns 0 when it exists, 100 when
// not (path formed either way), 999 when machine is empty, the data root
// cannot be read, name is empty for Cut or Tool, or the path would not fit.
int BuildDriverSettingPath(std::string& path, DriverSettingKind kind, const std::string& machine,
                           const std::string& name);

// The saved file's path as BuildDriverSettingPath forms it, without testing
// whether the file exists; nullopt where that gives 999.
std::optional<std::string> FormDriverSettingPath(DriverSettingKind kind, const std::string& machine,
                                                 const std::string& name);

// Reads the saved file at path with one open: its bytes, or nullopt. found
// is set as BuildDriverSettingPath reports existence: 0 when a file is
// there (also one that cannot be read), 100 when there is none.
std::optional<std::string> ReadSavedDriverFile(const std::string& path, int& found);

// Working copy "MD_<prefix>TEMP.ini" and current file "MD_<prefix>default.ini"
// in the working folder. 1, or 0 when the system root cannot be read.
int BuildDriverWorkingPath(std::string& path, DriverSettingKind kind);
int BuildDriverDefaultPath(std::string& path, DriverSettingKind kind);

// "MD_" + prefix + name for Cut and Tool; section untouched for Nc.
void BuildDriverSectionName(std::string& section, DriverSettingKind kind, const std::string& name);

// Fills list from the driver (filtering, first (id, valueType) wins, Nc
// defaults in range). limit is compared unsigned (99 for the dialogs, -1 for
// no limit). Returns false, list empty, when the machine-driver library or
// one of its functions cannot be bound, or when driver is longer than 255
// bytes (the driver's name buffer holds 256); the driver is not called then.
bool LoadDriverConditions(const std::string& driver, DriverConditionList& list,
                          DriverSettingKind kind, unsigned limit);

// Overlays the choices stored in the file on list. 1, or 0 when path is
// empty or (for Cut and Tool) sectionName is empty.
int ReadDriverSettingFile(DriverConditionList& list, DriverSettingKind kind,
                          const std::string& path, const std::string& sectionName);

// Stores list in the file (Cut, Tool: the section's keys, one rewrite; Nc:
// the plain file). 1, or 0 when path or sectionName is missing, the list is
// empty, or the plain file cannot be written.
int WriteDriverSettingFile(const DriverConditionList& list, DriverSettingKind kind,
                           const std::string& path, const std::string& sectionName);

// The sectioned form (Cut, Tool) on an open document, for a caller that
// writes several sections and saves once. 1, or 0 when sectionName or the
// list is empty or the kind has no sections; nothing is saved here.
int WriteDriverSettingSection(const DriverConditionList& list, DriverSettingKind kind,
                              platform::ProfileDocument& document, const std::string& sectionName);

// 1 when an item with (id, valueType) is in list.
int FindDriverCondition(const DriverConditionList& list, int id, int valueType);

// Key of an item's value in a setting file: "%d_%d%s" of id, valueType and
// suffix ("OnOff", "Value1", "Value2", "Timing"): 12_4OnOff.
std::string DriverKey(int id, int valueType, const char* suffix);

// The plain file form (the Nc files and every generated current file): per
// item "<key>OnOff=%d", Value1/Value2 ("%d" truncated for type 3, "%lf" for
// type 4) when the item has values, and for Tool "<key>Timing=%d". Written
// through the atomic-replace helper. 1, or 0 when path is empty or the file
// cannot be written (an empty list gives an empty file).
int WritePlainDriverFile(const DriverConditionList& list, DriverSettingKind kind,
                         const std::string& path);
// Reads a plain file into list: each line (as read through a 256-byte
// buffer) sets the onOff or, for types 3 and 4, value1 of the first item
// whose key begins the line. An unreadable file leaves list as it is.
void ReadPlainDriverFile(DriverConditionList& list, const std::string& path);

// True when LoadDriverConditions for kind could reach the driver: the name
// fits its buffer and the library and every function it needs are bound.
// Calls nothing in the driver.
bool CanLoadDriverConditions(const std::string& driver, DriverSettingKind kind);

// Loads the driver's items of kind with no limit and writes them to path as
// a plain file. 1, or 0 when the driver cannot be reached or the file cannot
// be written.
int WriteCurrentFileFromDriver(const std::string& driver, const std::string& path,
                               DriverSettingKind kind);

// Serialises operations on the fixed-name working copies and current files
// between processes: the exclusive lock on the working folder, or nullptr
// when the working folder cannot be formed. Hold it for the whole operation;
// do not take it twice in one thread (the second would wait forever).
std::unique_ptr<platform::FolderLock> LockDriverWorkingFolder();

}  // namespace quillet::driver
