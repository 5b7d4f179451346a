// The save-option file and the save-target rule.
#include "pdl/pdl_save_options.h"

#include <optional>
#include <string>

#include "frame/cutting_conditions.h"
#include "frame/roots.h"
#include "frame/setting_values.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::pdl {

namespace {

// The path of the save-option file, or nullopt without a data root.
std::optional<std::string> SaveOptionPath() {
    const std::optional<std::string> folder = frame::DataFolder();
    if (!folder) return std::nullopt;
    return platform::ComposePath(*folder, {"/", kPdlSaveOptionFile});
}

// Writes the fourteen keys in file order; true when the document changed.
bool WriteOptions(platform::ProfileDocument& document, const PdlSaveOptions& options) {
    const std::string section(kPdlSaveOptionSection);
    const auto write = [&](const std::string& key, bool on) {
        frame::WriteSettingValue(frame::SettingValueKind::Integer,
                                 frame::SettingValue::Integer(on ? 1 : 0), document, section, key);
    };
    write(std::string(frame::kSaveOptionSwitchKey), options.saveSwitch);
    for (int table = 0; table < kPdlTableCount; ++table) {
        write(frame::SaveOptionKey(table), options.tables[static_cast<std::size_t>(table)]);
    }
    return document.Dirty();
}

}  // namespace

std::optional<PdlSaveOptions> LoadPdlSaveOptions() {
    const std::optional<std::string> path = SaveOptionPath();
    if (!path) return std::nullopt;
    const std::optional<std::string> bytes = platform::ReadWholeFile(*path);
    if (!bytes) return std::nullopt;
    const platform::ProfileDocument document = platform::ProfileDocument::FromBytes(*path, *bytes);
    const std::string section(kPdlSaveOptionSection);
    const auto read = [&](const std::string& key) {
        return frame::ReadSetting(frame::SettingValueKind::Integer, document, section, key)
                   .integer == 1;
    };
    PdlSaveOptions options;
    options.saveSwitch = read(std::string(frame::kSaveOptionSwitchKey));
    for (int table = 0; table < kPdlTableCount; ++table) {
        options.tables[static_cast<std::size_t>(table)] = read(frame::SaveOptionKey(table));
    }
    return options;
}

bool SavePdlSaveOptions(const PdlSaveOptions& options) {
    const std::optional<std::string> path = SaveOptionPath();
    if (!path) return false;
    // The usual save changes no option: one read, no lock, no write.
    const std::optional<std::string> bytes = platform::ReadWholeFile(*path);
    if (!bytes) return false;
    platform::ProfileDocument unchanged = platform::ProfileDocument::FromBytes(*path, *bytes);
    if (!WriteOptions(unchanged, options)) return true;
    // A change is written under the file's lock into the file as it is on disk.
    const platform::FileLock lock(*path);
    const std::optional<std::string> current = lock.Read();
    if (!current) return false;
    platform::ProfileDocument document = platform::ProfileDocument::FromBytes(*path, *current);
    WriteOptions(document, options);
    return document.Save(lock.Held());
}

bool PdlSaveOptionBoxShown(bool saveSwitch, PdlCutTable editedTable, PdlCutTable table) {
    return frame::TakesPartInSave(saveSwitch, editedTable, table);
}

std::vector<int> PdlSaveTargets(PdlCutTable editedTable, const PdlSaveOptions& options) {
    std::vector<int> targets;
    for (int table = 0; table < kPdlTableCount; ++table) {
        if (frame::TakesPartInSave(options.saveSwitch, editedTable, table) &&
            options.tables[static_cast<std::size_t>(table)]) {
            targets.push_back(table);
        }
    }
    if (targets.empty()) targets.push_back(editedTable);
    return targets;
}

}  // namespace quillet::pdl
