// Open, commit and cancel of a driver settings edit; the laser save options.
#include "driver_ui/driver_setting_edit.h"

#include <filesystem>

#include "frame/module.h"
#include "frame/setting_values.h"
#include "frame/status.h"
#include "platform/paths.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
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
    const int saved = driver::BuildDriverSettingPath(savedPath_, kind_, machine_, name_);
    if (saved == kSystemError) return kSystemError;
    driver::LoadDriverConditions(driver_, items_, kind_, kDialogItemLimit);
    if (driver::BuildDriverWorkingPath(workingPath_, kind_) != 1) return kSystemError;
    if (saved == 0) {
        platform::FolderLock lock(FolderOf(workingPath_));
        // When the working copy cannot be made the choices are read from the
        // saved file itself, which the read does not change.
        const bool copied =
            platform::CopyFileOver(savedPath_, workingPath_, platform::Durability::Scratch);
        const std::string& source = copied ? workingPath_ : savedPath_;
        driver::ReadDriverSettingFile(items_, kind_, source, section_);
        if (readMore) readMore(source);
    }
    return saved;
}

int DriverSettingEdit::Commit(
    const std::vector<std::string>& furtherSections,
    const std::function<void(platform::ProfileDocument& file)>& writeMore) {
    if (items_.empty()) {
        Cancel();
        return kDone;
    }
    platform::FolderLock lock(FolderOf(workingPath_));
    int status = kDone;
    // Start from the saved file as it is now (another edit may have saved
    // other sections, or replaced the fixed-name working copy, meanwhile).
    bool ready = true;
    if (platform::FileExists(savedPath_)) {
        ready = platform::CopyFileOver(savedPath_, workingPath_, platform::Durability::Scratch);
    } else {
        platform::DeleteFile(workingPath_);
    }
    if (!ready) {
        // Writing into a missing or stale working copy and copying it back
        // would drop the file's other sections.
        status = kSystemError;
    } else if (WriteWorkingCopy(furtherSections, writeMore)) {
        if (!platform::CopyFileOver(workingPath_, savedPath_)) status = kSystemError;
    } else {
        status = kSystemError;
    }
    platform::DeleteFile(workingPath_);
    return status;
}

bool DriverSettingEdit::WriteWorkingCopy(
    const std::vector<std::string>& furtherSections,
    const std::function<void(platform::ProfileDocument& file)>& writeMore) {
    if (kind_ == driver::DriverSettingKind::Nc) {
        return driver::WriteDriverSettingFile(items_, kind_, workingPath_, section_) == 1;
    }
    // The save options and every section go into the working copy in one
    // rewrite.
    platform::ProfileDocument document = platform::ProfileDocument::Load(workingPath_);
    if (writeMore) writeMore(document);
    if (driver::WriteDriverSettingSection(items_, kind_, document, section_) != 1) return false;
    for (const std::string& section : furtherSections) {
        driver::WriteDriverSettingSection(items_, kind_, document, section);
    }
    return document.Save();
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
