// The edit behind the three driver settings dialogs, free of any window: the
// common start of their exports, opening the edit (saved file, driver items,
// working copy), committing it back to the saved file, cancelling it, and the
// laser dialog's simultaneous-save options.
//
// Working copies have fixed names in the working folder, so every stretch
// that touches them holds platform::FolderLock on that folder; the saved
// file in the shared data folder is updated under its own lock
// (platform::FileLock). No lock is held across the modal dialog: another
// workstation's dialog (or, in this process, an export called from inside
// the dialog's event loop) would block on it for as long as the user keeps
// the dialog open. Instead the commit rereads the saved file under its lock
// before it writes its sections, so sections and options saved meanwhile by
// another workstation are kept and only this dialog's sections change.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver_settings.h"
#include "frame/cutting_conditions.h"

namespace quillet::platform {
class ProfileDocument;
}

namespace quillet::driver_ui {

// How the start shared by the three dialog exports ends, before the dialog
// exists.
enum class DialogStart {
    Go,
    DriverFileMissing,  // it cannot be opened for reading (null, missing, a folder)
    InvalidName,        // a name is null or empty, or holds a path separator
};
// The driver file is tested first; when it is missing, message 488 is shown.
DialogStart CheckDialogStart(const char* driverFile, std::initializer_list<const char*> names);

class DriverSettingEdit {
public:
    // name: laser material (Cut), die layout (Tool), ignored for Nc.
    // section: the cutting-condition name or T number, ignored for Nc.
    DriverSettingEdit(driver::DriverSettingKind kind, std::string driver, std::string machine,
                      std::string name, std::string section);

    // What an opening found.
    enum class Opened {
        SavedFile,    // the saved file's choices are on the items
        NoSavedFile,  // the items are the driver's
        Failed,       // a path could not be formed: the edit cannot go on
    };

    // Forms the saved path, reads the saved file (one open), loads the
    // driver's items (at most 99), forms the working path and, when the saved
    // file exists, writes it to the working copy and overlays its choices on
    // the items; readMore (when given) reads further values from the same
    // file under the same lock.
    Opened Load(const std::function<void(const std::string& file)>& readMore = {});

    // Under the saved file's lock, rereads the saved file, writes the items
    // into it (section first, then each of furtherSections; writeMore, when
    // given, before the sections) through the working copy, and replaces the
    // saved file once; a missing saved file is created (O_EXCL). The Nc
    // plain file is written whole. The working copy is deleted in every
    // case. An empty item list writes nothing. False when the saved file
    // could not be read or written (it is then unchanged).
    bool Save(const std::vector<std::string>& furtherSections = {},
              const std::function<void(platform::ProfileDocument& file)>& writeMore = {});

    // Deletes the working copy; the saved file is never touched.
    void Cancel();

    driver::DriverConditionList& Items() { return items_; }
    const driver::DriverConditionList& Items() const { return items_; }
    const std::string& SavedPath() const { return savedPath_; }

private:
    // The save under the working folder's lock.
    bool SaveLocked(const std::vector<std::string>& furtherSections,
                    const std::function<void(platform::ProfileDocument& file)>& writeMore);

    driver::DriverSettingKind kind_;
    std::string driver_;
    std::string machine_;
    std::string name_;
    std::string section_;
    driver::DriverConditionList items_;
    std::string savedPath_;
    std::string workingPath_;
};

// The laser dialog's simultaneous-save switch and its 13 condition switches.
struct LaserSaveOptions {
    bool saveOption = false;
    std::array<bool, frame::kCuttingConditionCount> switches{};
};

inline constexpr const char* kSaveOptionSection = driver::kLaserSaveOptionSection;

// Reads "OnOff_SaveOpt" and the switches of the current condition's save
// group ("OnOff_SaveOpt_K" ...); a key that is missing, holds -1 or reads as
// 0 is off.
LaserSaveOptions LoadLaserSaveOptions(const platform::ProfileDocument& file, int conditionIndex);
// Stores "OnOff_SaveOpt" always, and with the option on the switches of the
// current save group in index order (with it off those keys stay).
void StoreLaserSaveOptions(platform::ProfileDocument& file, int conditionIndex,
                           const LaserSaveOptions& options);
// The further conditions that receive a copy of the current one: with the
// option on, the switched-on conditions of the current group other than the
// current one, in index order.
std::vector<std::string> LaserCopySections(int conditionIndex, const LaserSaveOptions& options);

struct LaserSaveVisibility {
    bool optionShown = true;  // check box 1046 and group box 1051
    std::array<bool, frame::kCuttingConditionCount> conditionShown{};  // 1033 to 1045
};
LaserSaveVisibility LaserVisibility(bool itemsEmpty, bool saveOption, int conditionIndex);

}  // namespace quillet::driver_ui
