// Open, commit and cancel of a driver settings edit; the laser save options.
#include "driver_ui/driver_setting_edit.h"

#include <filesystem>

#include "frame/module.h"
#include "frame/resources.h"
#include "frame/setting_values.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace quillet::driver_ui {

namespace {

constexpr unsigned kDialogItemLimit = 99;

std::filesystem::path FolderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path();
}

// The conditions of conditionIndex's save group, in index order.
std::vector<int> SaveGroup(int conditionIndex) {
    std::vector<int> group;
    for (int index = 0; index < frame::kCuttingConditionCount; ++index) {
        if (frame::TakesPartInSave(true, conditionIndex, index)) group.push_back(index);
    }
    return group;
}

}  // namespace

DialogStart CheckDialogStart(const char* driverFile, std::initializer_list<const char*> names) {
    if (driverFile == nullptr || driverFile[0] == '\0' ||
        !platform::CanOpenForReading(driverFile)) {
        frame::ShowStringMessage(frame::kStringBadDriverFile);
        return DialogStart::DriverFileMissing;
    }
    for (const char* name : names) {
        if (name == nullptr || name[0] == '\0') return DialogStart::InvalidName;
        // A separator would reach outside the data folder.
        if (platform::NameHoldsSeparator(name)) return DialogStart::InvalidName;
    }
    return DialogStart::Go;
}

DriverSettingEdit::DriverSettingEdit(driver::DriverSettingKind kind, std::string driver,
                                     std::string machine, std::string name, std::string section)
    : kind_(kind),
      driver_(std::move(driver)),
      machine_(std::move(machine)),
      name_(kind == driver::DriverSettingKind::Nc ? std::string() : std::move(name)),
      section_(kind == driver::DriverSettingKind::Nc ? std::string() : std::move(section)) {}

DriverSettingEdit::Opened DriverSettingEdit::Load(
    const std::function<void(const std::string& file)>& readMore) {
    const std::optional<std::string> saved = driver::BuildDriverSettingPath(kind_, machine_, name_);
    if (!saved) return Opened::Failed;
    savedPath_ = *saved;
    // The saved file is read with one open; what follows works on the copy.
    const driver::SavedDriverFile file = driver::ReadSavedDriverFile(savedPath_);
    items_ = driver::LoadDriverConditions(driver_, kind_, kDialogItemLimit)
                 .value_or(driver::DriverConditionList());
    const std::optional<std::string> working = driver::BuildDriverWorkingPath(kind_);
    if (!working) return Opened::Failed;
    workingPath_ = *working;
    if (!file.exists) return Opened::NoSavedFile;
    platform::FolderLock lock(FolderOf(workingPath_));
    if (lock.TimedOut()) return Opened::Failed;
    // When the working copy cannot be made the choices are read from the
    // saved file itself, which the read does not change.
    const bool copied = file.bytes && platform::AtomicReplace(workingPath_, *file.bytes,
                                                              platform::Durability::Scratch);
    const std::string& source = copied ? workingPath_ : savedPath_;
    driver::ReadDriverSettingFile(items_, kind_, source, section_);
    if (readMore) readMore(source);
    return Opened::SavedFile;
}

bool DriverSettingEdit::Save(
    const std::vector<std::string>& furtherSections,
    const std::function<void(platform::ProfileDocument& file)>& writeMore) {
    if (items_.empty()) {
        Cancel();
        return true;
    }
    // The working folder's lock first, then the saved file's: every save
    // takes them in this order, and neither is held while a dialog is open.
    platform::FolderLock lock(FolderOf(workingPath_));
    if (lock.TimedOut()) return false;
    const bool saved = SaveLocked(furtherSections, writeMore);
    platform::DeleteFile(workingPath_);
    return saved;
}

bool DriverSettingEdit::SaveLocked(
    const std::vector<std::string>& furtherSections,
    const std::function<void(platform::ProfileDocument& file)>& writeMore) {
    if (kind_ == driver::DriverSettingKind::Nc) {
        // The plain file is this dialog's alone: written whole, under the
        // saved file's lock so that saves of it follow one another.
        if (!driver::WritePlainDriverFile(items_, kind_, workingPath_)) return false;
        const platform::FileLock saved(savedPath_);
        if (!saved.Open() && saved.GetState() != platform::FileLock::State::Missing) return false;
        return platform::CopyFileOver(workingPath_, savedPath_);
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Start from the saved file as it is on disk, reread under its lock:
        // sections and options another workstation saved meanwhile are kept,
        // and only this dialog's sections change.
        const platform::FileLock saved(savedPath_);
        if (!saved.Open() && saved.GetState() != platform::FileLock::State::Missing) return false;
        std::optional<std::string> bytes = std::string();
        if (saved.Open()) bytes = saved.Read();
        if (!bytes) return false;
        platform::ProfileDocument document =
            platform::ProfileDocument::FromBytes(workingPath_, *bytes);
        if (writeMore) writeMore(document);
        if (!driver::WriteDriverSettingFile(items_, kind_, document, section_)) return false;
        for (const std::string& section : furtherSections) {
            driver::WriteDriverSettingFile(items_, kind_, document, section);
        }
        const std::string contents = document.Serialize();
        if (!platform::AtomicReplace(workingPath_, contents, platform::Durability::Scratch)) {
            return false;
        }
        if (saved.Open()) {
            return platform::AtomicReplace(savedPath_, contents, platform::Durability::Durable,
                                           saved.Held());
        }
        // No saved file yet: created holding the sections, unless another
        // workstation created one meanwhile, whose sections are then kept.
        if (platform::CreateExclusive(savedPath_, contents)) return true;
    }
    return false;
}

void DriverSettingEdit::Cancel() {
    if (workingPath_.empty()) return;
    platform::FolderLock lock(FolderOf(workingPath_));
    if (!lock.TimedOut()) platform::DeleteFile(workingPath_);
}

LaserSaveOptions LoadLaserSaveOptions(const platform::ProfileDocument& file, int conditionIndex) {
    // The default -1 marks a switch that is not set: it stays off.
    const auto read = [&file](const std::string& key) {
        const std::optional<frame::SettingValue> value = frame::ReadSettingValueOr(
            frame::SettingValueKind::Switch, file, kSaveOptionSection, key, -1);
        return value && value->switchValue != 0;
    };
    LaserSaveOptions options;
    options.saveOption = read(std::string(frame::kSaveOptionSwitchKey));
    for (const int index : SaveGroup(conditionIndex)) {
        options.switches[static_cast<std::size_t>(index)] = read(frame::SaveOptionKey(index));
    }
    return options;
}

void StoreLaserSaveOptions(platform::ProfileDocument& file, int conditionIndex,
                           const LaserSaveOptions& options) {
    const auto write = [&file](const std::string& key, bool on) {
        frame::WriteSettingValue(frame::SettingValueKind::Switch, frame::SettingValue::Switch(on),
                                 file, kSaveOptionSection, key);
    };
    write(std::string(frame::kSaveOptionSwitchKey), options.saveOption);
    if (!options.saveOption) return;
    for (const int index : SaveGroup(conditionIndex)) {
        write(frame::SaveOptionKey(index), options.switches[static_cast<std::size_t>(index)]);
    }
}

std::vector<std::string> LaserCopySections(int conditionIndex, const LaserSaveOptions& options) {
    std::vector<std::string> sections;
    if (!options.saveOption || !frame::IsCuttingConditionIndex(conditionIndex)) {
        return sections;
    }
    for (const int index : SaveGroup(conditionIndex)) {
        if (index != conditionIndex && options.switches[static_cast<std::size_t>(index)]) {
            sections.emplace_back(frame::kCuttingConditionNames[static_cast<std::size_t>(index)]);
        }
    }
    return sections;
}

LaserSaveVisibility LaserVisibility(bool itemsEmpty, bool saveOption, int conditionIndex) {
    LaserSaveVisibility visibility;
    visibility.optionShown = !itemsEmpty;
    for (int index = 0; index < frame::kCuttingConditionCount; ++index) {
        visibility.conditionShown[static_cast<std::size_t>(index)] =
            frame::TakesPartInSave(saveOption, conditionIndex, index);
    }
    return visibility;
}

}  // namespace quillet::driver_ui
