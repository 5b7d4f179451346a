// Open, commit and cancel of a driver settings edit; the laser save options.
#include "driver_ui/driver_setting_edit.h"

#include <filesystem>

#include "frame/module.h"
#include "frame/setting_values.h"
#include "frame/status.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace quillet::driver_ui {

namespace {

constexpr unsigned kDialogItemLimit = 99;
constexpr int kDriverFileMessage = 488;

std::filesystem::path FolderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path();
}

std::string SaveOptionKey(int index) {
    return std::string(kSaveOptionKey) + "_" +
           std::string(frame::kCuttingConditionNames[static_cast<std::size_t>(index)]);
}

}  // namespace

std::optional<int> CheckDialogStart(const char* driverFile,
                                    std::initializer_list<const char*> names) {
    if (driverFile == nullptr || driverFile[0] == '\0' ||
        !platform::CanOpenForReading(driverFile)) {
        frame::ShowStringMessage(kDriverFileMessage);
        return kDone;
    }
    for (const char* name : names) {
        if (name == nullptr || name[0] == '\0') return kInvalidArguments;
        // A separator would reach outside the data folder.
        if (platform::NameHoldsSeparator(name)) return kInvalidArguments;
    }
    return std::nullopt;
}

DriverSettingEdit::DriverSettingEdit(driver::DriverSettingKind kind, std::string driver,
                                     std::string machine, std::string name, std::string section)
    : kind_(kind),
      driver_(std::move(driver)),
      machine_(std::move(machine)),
      name_(kind == driver::DriverSettingKind::Nc ? std::string() : std::move(name)),
      section_(kind == driver::DriverSettingKind::Nc ? std::string() : std::move(section)) {}

int DriverSettingEdit::Open(const std::function<void(const std::string& file)>& readMore) {
    const std::optional<std::string> saved = driver::FormDriverSettingPath(kind_, machine_, name_);
    if (!saved) return kSystemError;
    savedPath_ = *saved;
    // The saved file is read with one open; what follows works on the copy.
    int found = 100;
    const std::optional<std::string> bytes = driver::ReadSavedDriverFile(savedPath_, found);
    driver::LoadDriverConditions(driver_, items_, kind_, kDialogItemLimit);
    if (driver::BuildDriverWorkingPath(workingPath_, kind_) != 1) return kSystemError;
    if (found == 0) {
        platform::FolderLock lock(FolderOf(workingPath_));
        // When the working copy cannot be made the choices are read from the
        // saved file itself, which the read does not change.
        const bool copied =
            bytes && platform::AtomicReplace(workingPath_, *bytes, platform::Durability::Scratch);
        const std::string& source = copied ? workingPath_ : savedPath_;
        driver::ReadDriverSettingFile(items_, kind_, source, section_);
        if (readMore) readMore(source);
    }
    return found;
}

int DriverSettingEdit::Commit(
    const std::vector<std::string>& furtherSections,
    const std::function<void(platform::ProfileDocument& file)>& writeMore) {
    if (items_.empty()) {
        Cancel();
        return kDone;
    }
    // The working folder's lock first, then the saved file's: every commit
    // takes them in this order, and neither is held while a dialog is open.
    platform::FolderLock lock(FolderOf(workingPath_));
    const int status = CommitLocked(furtherSections, writeMore);
    platform::DeleteFile(workingPath_);
    return status;
}

int DriverSettingEdit::CommitLocked(
    const std::vector<std::string>& furtherSections,
    const std::function<void(platform::ProfileDocument& file)>& writeMore) {
    if (kind_ == driver::DriverSettingKind::Nc) {
        // The plain file is this dialog's alone: written whole, under the
        // saved file's lock so that saves of it follow one another.
        if (driver::WriteDriverSettingFile(items_, kind_, workingPath_, section_) != 1) {
            return kSystemError;
        }
        const platform::FileLock saved(savedPath_);
        return platform::CopyFileOver(workingPath_, savedPath_) ? kDone : kSystemError;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Start from the saved file as it is now, reread under its lock:
        // sections and options another workstation saved meanwhile are kept,
        // and only this dialog's sections change.
        const platform::FileLock saved(savedPath_);
        if (saved.GetState() == platform::FileLock::State::Failed) return kSystemError;
        std::optional<std::string> bytes = std::string();
        if (saved.Open()) bytes = saved.Read();
        if (!bytes) return kSystemError;
        platform::ProfileDocument document =
            platform::ProfileDocument::FromBytes(workingPath_, *bytes);
        if (writeMore) writeMore(document);
        if (driver::WriteDriverSettingSection(items_, kind_, document, section_) != 1) {
            return kSystemError;
        }
        for (const std::string& section : furtherSections) {
            driver::WriteDriverSettingSection(items_, kind_, document, section);
        }
        const std::string contents = document.Serialize();
        if (!platform::AtomicReplace(workingPath_, contents, platform::Durability::Scratch)) {
            return kSystemError;
        }
        if (saved.Open()) {
            return platform::AtomicReplace(savedPath_, contents, platform::Durability::Durable,
                                           saved.Mode())
                       ? kDone
                       : kSystemError;
        }
        // No saved file yet: created holding the sections, unless another
        // workstation created one meanwhile, whose sections are then kept.
        if (platform::CreateExclusive(savedPath_, contents)) return kDone;
    }
    return kSystemError;
}

void DriverSettingEdit::Cancel() {
    if (workingPath_.empty()) return;
    platform::FolderLock lock(FolderOf(workingPath_));
    platform::DeleteFile(workingPath_);
}

void LoadLaserSaveOptions(const platform::ProfileDocument& file, int conditionIndex,
                          LaserSaveOptions& options) {
    int switchValue = 0, integer = 0;
    double real = 0.0;
    std::string text;
    const int kind = static_cast<int>(frame::SettingValueKind::Switch);
    if (frame::ReadSettingValueOr(kind, switchValue, text, integer, real, file, kSaveOptionSection,
                                  kSaveOptionKey, -1) == 1) {
        options.saveOption = switchValue;
    }
    for (int index = frame::GroupBegin(conditionIndex); index < frame::GroupEnd(conditionIndex);
         ++index) {
        if (frame::ReadSettingValueOr(kind, switchValue, text, integer, real, file,
                                      kSaveOptionSection, SaveOptionKey(index), -1) == 1) {
            options.switches[static_cast<std::size_t>(index)] = switchValue;
        }
    }
}

void StoreLaserSaveOptions(platform::ProfileDocument& file, int conditionIndex,
                           const LaserSaveOptions& options) {
    const int kind = static_cast<int>(frame::SettingValueKind::Switch);
    frame::WriteSettingValue(kind, options.saveOption, "", 0, 0.0, file, kSaveOptionSection,
                             kSaveOptionKey);
    if (options.saveOption == 0) return;
    for (int index = frame::GroupBegin(conditionIndex); index < frame::GroupEnd(conditionIndex);
         ++index) {
        frame::WriteSettingValue(kind, options.switches[static_cast<std::size_t>(index)], "", 0,
                                 0.0, file, kSaveOptionSection, SaveOptionKey(index));
    }
}

std::vector<std::string> LaserCopySections(int conditionIndex, const LaserSaveOptions& options) {
    std::vector<std::string> sections;
    if (options.saveOption == 0 || !frame::IsCuttingConditionIndex(conditionIndex)) {
        return sections;
    }
    for (int index = frame::GroupBegin(conditionIndex); index < frame::GroupEnd(conditionIndex);
         ++index) {
        if (index != conditionIndex && options.switches[static_cast<std::size_t>(index)] != 0) {
            sections.emplace_back(frame::kCuttingConditionNames[static_cast<std::size_t>(index)]);
        }
    }
    return sections;
}

LaserSaveVisibility LaserVisibility(bool itemsEmpty, int saveOption, int conditionIndex) {
    LaserSaveVisibility visibility;
    visibility.optionShown = !itemsEmpty;
    if (saveOption != 0) {
        for (int index = frame::GroupBegin(conditionIndex); index < frame::GroupEnd(conditionIndex);
             ++index) {
            visibility.conditionShown[static_cast<std::size_t>(index)] = true;
        }
    }
    return visibility;
}

}  // namespace quillet::driver_ui
