// The save-option file and the save-target rule.
#include "pdl/pdl_save_options.h"

#include <optional>
#include <string>

#include "frame/cutting_conditions.h"
#include "frame/roots.h"
#include "frame/setting_values.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::pdl {

namespace {

constexpr int kInteger = static_cast<int>(frame::SettingValueKind::Integer);

// The path of an existing save-option file, or nullopt.
std::optional<std::string> ExistingSaveOptionFile() {
    const std::optional<std::string> root = frame::DataRoot();
    if (!root) return std::nullopt;
    std::optional<std::string> path =
        platform::ComposePath(*root, {"data/Othmcn", kPdlSaveOptionFile});
    if (!path || !platform::CanOpenForReading(*path)) return std::nullopt;
    return path;
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
    const std::optional<std::string> path = ExistingSaveOptionFile();
    if (!path) return -1;
    const platform::ProfileDocument document = platform::ProfileDocument::Load(*path);
    if (!document.Exists()) return -1;
    options.saveSwitch = ReadInteger(document, kPdlSaveOptionSwitchKey);
    for (int k = 0; k < kPdlTableCount; ++k) {
        options.tables[k] = ReadInteger(document, kPdlSaveOptionTableKeys[k]);
    }
    return 0;
}

int SavePdlSaveOptions(const PdlSaveOptions& options) {
    const std::optional<std::string> path = ExistingSaveOptionFile();
    if (!path) return -1;
    platform::ProfileDocument document = platform::ProfileDocument::Load(*path);
    if (!document.Exists()) return -1;
    WriteInteger(document, kPdlSaveOptionSwitchKey, options.saveSwitch);
    for (int k = 0; k < kPdlTableCount; ++k) {
        WriteInteger(document, kPdlSaveOptionTableKeys[k], options.tables[k]);
    }
    return document.Save() ? 0 : -1;
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
