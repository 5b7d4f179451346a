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

constexpr int kInteger = static_cast<int>(frame::SettingValueKind::Integer);

// The path of the save-option file, or nullopt without a data root.
std::optional<std::string> SaveOptionPath() {
    const std::optional<std::string> root = frame::DataRoot();
    if (!root) return std::nullopt;
    return platform::ComposePath(*root, {"data/Othmcn", kPdlSaveOptionFile});
}

int ReadInteger(const platform::ProfileDocument& document, std::string_view key) {
    return frame::ReadSetting(frame::SettingValueKind::Integer, document,
                              std::string(kPdlSaveOptionSection), std::string(key))
        .integer;
}

void WriteInteger(platform::ProfileDocument& document, std::string_view key, int value) {
    frame::WriteSettingValue(kInteger, 0, std::string(), value, 0.0, document,
                             std::string(kPdlSaveOptionSection), std::string(key));
}

}  // namespace

int LoadPdlSaveOptions(PdlSaveOptions& options) {
    const std::optional<std::string> path = SaveOptionPath();
    if (!path) return -1;
    const std::optional<std::string> bytes = platform::ReadWholeFile(*path);
    if (!bytes) return -1;
    const platform::ProfileDocument document = platform::ProfileDocument::FromBytes(*path, *bytes);
    options.saveSwitch = ReadInteger(document, kPdlSaveOptionSwitchKey);
    for (int k = 0; k < kPdlTableCount; ++k) {
        options.tables[k] = ReadInteger(document, kPdlSaveOptionTableKeys[k]);
    }
    return 0;
}

namespace {

// Writes the fourteen keys; true when the document changed.
bool WriteOptions(platform::ProfileDocument& document, const PdlSaveOptions& options) {
    WriteInteger(document, kPdlSaveOptionSwitchKey, options.saveSwitch);
    for (int k = 0; k < kPdlTableCount; ++k) {
        WriteInteger(document, kPdlSaveOptionTableKeys[k], options.tables[k]);
    }
    return document.Dirty();
}

}  // namespace

int SavePdlSaveOptions(const PdlSaveOptions& options) {
    const std::optional<std::string> path = SaveOptionPath();
    if (!path) return -1;
    // The usual save changes no option: one read, no lock, no write.
    const std::optional<std::string> bytes = platform::ReadWholeFile(*path);
    if (!bytes) return -1;
    platform::ProfileDocument unchanged = platform::ProfileDocument::FromBytes(*path, *bytes);
    if (!WriteOptions(unchanged, options)) return 0;
    // A change is written under the file's lock into the file as it is now.
    const platform::FileLock lock(*path);
    if (!lock.Open()) return -1;
    const std::optional<std::string> now = lock.Read();
    if (!now) return -1;
    platform::ProfileDocument document = platform::ProfileDocument::FromBytes(*path, *now);
    WriteOptions(document, options);
    return document.Save(lock.Mode()) ? 0 : -1;
}

bool PdlSaveOptionBoxShown(int saveSwitch, PdlCutTable editedTable, PdlCutTable table) {
    if (saveSwitch == 0) return false;
    return frame::GroupBegin(editedTable) == frame::GroupBegin(table);
}

std::vector<int> PdlSaveTargets(PdlCutTable editedTable, const PdlSaveOptions& options) {
    if (options.saveSwitch == 0) return {editedTable};
    std::vector<int> targets;
    for (int k = frame::GroupBegin(editedTable); k < frame::GroupEnd(editedTable); ++k) {
        if (options.tables[k] == 1) targets.push_back(k);
    }
    return targets;
}

}  // namespace quillet::pdl
