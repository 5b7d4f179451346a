// Driver setting items and their files: the list of items a machine driver
// publishes, the saved, working and current setting files, the key scheme
// "%d_%d%s" and the sectioned and plain file forms.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver_names.h"
#include "platform/file_lock.h"

namespace quillet::platform {
class ProfileDocument;
}

namespace quillet::driver {

// The value type of a driver's code; nullopt for the codes the module passes
// over.
std::optional<DriverValueType> DriverValueTypeOf(int code);

// One setting item of the driver with the user's choices.
struct DriverCondition {
    int id = 0;
    std::string name;  // at most 128 characters
    DriverValueType valueType = DriverValueType::Switch;
    int valueCount = 0;  // 0, 1 or 2
    int onOff = 0;
    double value1 = 0.0;  // integer values are held as doubles
    double value2 = 0.0;
    int timing = 1;  // Tool only: 0 just before, 1 just after, 2 just after the last

    // True when the item has value keys: not a switch, at least one value.
    bool HasValues() const { return valueType != DriverValueType::Switch && valueCount >= 1; }
};

// Items in driver order; the pair (id, valueType) is unique.
using DriverConditionList = std::vector<DriverCondition>;

// The limit of LoadDriverConditions that lets every item in.
inline constexpr unsigned kNoItemLimit = ~0u;

// The saved file's path: data folder + "/" + DriverSettingFileName. nullopt when machine is empty,
// a name holds a path separator, the data root cannot be read, name is empty for Cut or Tool, or
// the path would not fit.
std::optional<std::string> BuildDriverSettingPath(DriverSettingKind kind,
                                                  const std::string& machine,
                                                  const std::string& name);

// The saved file at path, read with one open. exists is false when no file
// is there (a folder, a FIFO or a missing name); bytes is empty also when a
// file is there but cannot be read, so its choices cannot be had.
struct SavedDriverFile {
    bool exists = false;
    std::optional<std::string> bytes;
};
SavedDriverFile ReadSavedDriverFile(const std::string& path);

// The working copy and the current file in the working folder (see
// DriverWorkingFileName); nullopt when the system root cannot be read.
std::optional<std::string> BuildDriverWorkingPath(DriverSettingKind kind);
std::optional<std::string> BuildDriverDefaultPath(DriverSettingKind kind);

// The driver's items of kind (filtering, first (id, valueType) wins, Nc
// defaults in range), at most limit. nullopt when the machine-driver library
// or one of its functions cannot be bound, or when driver is longer than 255
// bytes (the driver's name buffer holds 256); the driver is not called then.
std::optional<DriverConditionList> LoadDriverConditions(const std::string& driver,
                                                        DriverSettingKind kind, unsigned limit);

// True when LoadDriverConditions for kind could reach the driver: the name
// fits its buffer and the library and every function it needs are bound.
// Calls nothing in the driver.
bool CanLoadDriverConditions(const std::string& driver, DriverSettingKind kind);

// Overlays the choices stored in the file on items: the section of
// sectionName for Cut and Tool (nothing happens when it is empty), the plain
// form for Nc. A missing key keeps onOff and reads a value as 0.
void ReadDriverSettingFile(DriverConditionList& items, DriverSettingKind kind,
                           const std::string& path, const std::string& sectionName);

// Writes the section of sectionName (Cut, Tool) into the document; other
// sections and keys stay as they are. Nothing is saved here. False when
// sectionName or the list is empty or the kind has no sections.
bool WriteDriverSettingFile(const DriverConditionList& items, DriverSettingKind kind,
                            platform::ProfileDocument& document, const std::string& sectionName);

// The plain file form (the Nc files and every generated current file): per
// item "<key>OnOff=%d", Value1/Value2 ("%d" truncated for integers, "%lf"
// for reals) when the item has values, and for Tool "<key>Timing=%d".
// Written through the atomic-replace helper. False when path is empty or the
// file cannot be written (an empty list gives an empty file).
bool WritePlainDriverFile(const DriverConditionList& items, DriverSettingKind kind,
                          const std::string& path);
// Reads a plain file into items: each line (as read through a 256-byte
// buffer) sets the onOff or, for items with values, value1 of the first item
// whose key begins the line. An unreadable file leaves items as they are.
void ReadPlainDriverFile(DriverConditionList& items, const std::string& path);

// Loads the driver's items of kind with no limit and writes them to path as
// a plain file. False when the driver cannot be reached or the file cannot
// be written.
bool WriteCurrentFileFromDriver(const std::string& driver, const std::string& path,
                                DriverSettingKind kind);

// Serialises operations on the fixed-name working copies and current files
// between processes: the exclusive lock on the working folder, or nullptr
// when the working folder cannot be formed. Hold it for the whole operation;
// do not take it twice in one thread (the second would wait forever).
std::unique_ptr<platform::FolderLock> LockDriverWorkingFolder();

}  // namespace quillet::driver
