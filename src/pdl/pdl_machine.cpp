// Machine-type alias and machine parameter list. Each operation reads its
// file once into a ProfileDocument and answers every key from it.
#include "pdl/pdl_machine.h"

#include <optional>

#include "frame/module.h"
#include "frame/resources.h"
#include "frame/roots.h"
#include "frame/setting_values.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::pdl {

namespace {

int ReadInteger(const platform::ProfileDocument& document, const std::string& section,
                const std::string& key) {
    return frame::ReadSetting(frame::SettingValueKind::Integer, document, section, key).integer;
}

std::optional<int> MachineId(int id) {
    return id == kNoMachineId ? std::nullopt : std::optional<int>(id);
}

}  // namespace

// clang-format off
const std::array<PdlAliasDefault, 76> kPdlAliasDefaults = {{
    {13400, 22}, {13401, 23}, {13402, 23}, {13403, 24}, {13404, 26},
    {13200, 40}, {13201, 41}, {13202, 42}, {13203, 45}, {13204, 47}, {13205, 48}, {13206, 49},
    {13207, 50}, {13208, 51}, {13209, 52}, {13210, 53}, {13211, 54}, {13212, 55},
    {13300, 60}, {13301, 61}, {13302, 62}, {13303, 63}, {13304, 65}, {13305, 66}, {13306, 71},
    {13307, 75}, {13308, 78}, {13309, 83}, {13310, 84}, {13311, 85}, {13312, 86}, {13313, 88},
    {13100, 230}, {13101, 231}, {13102, 232}, {13103, 233}, {13104, 234}, {13105, 235},
    {13106, 236}, {13107, 237}, {13108, 239}, {13109, 240}, {13110, 241}, {13111, 244},
    {13112, 245},
    {13500, 600}, {13501, 601}, {13502, 602}, {13503, 603}, {13504, 604},
    {11200, 1201}, {11201, 1202}, {11202, 1203}, {11203, 1204}, {11204, 1205}, {11205, 1206},
    {11206, 1207}, {11207, 1208}, {11208, 1209},
    {11100, 901}, {11101, 903},
    {11000, 800}, {11001, 801}, {11002, 805}, {11003, 807}, {11004, 809}, {11005, 809},
    {11006, 821}, {11007, 821}, {11008, 827}, {11009, 828}, {11010, 829}, {11011, 830},
    {12000, 808}, {12001, 818}, {12002, 820},
}};
// clang-format on

std::optional<int> PdlMachineTypeGet(int machineType) {
    const std::optional<std::string> root = frame::DataRoot();
    if (!root) {
        frame::ShowStringMessage(frame::kStringNoDataRoot);
        return std::nullopt;
    }
    const std::optional<std::string> folder = frame::DataFolderOf(*root);
    const std::optional<std::string> path =
        folder ? platform::ComposePath(*folder, {"/", kPdlAliasFile}) : std::nullopt;
    if (!path) return std::nullopt;
    const std::string section(kPdlAliasSection);
    // The usual case, an existing alias file: read once and only the one key
    // looked for, without building the whole document.
    if (const std::optional<std::string> bytes = platform::ReadWholeFile(path->c_str())) {
        return MachineId(frame::CLocaleAtoi(
            platform::GetProfileStringFromBytes(*bytes, section, frame::FormatInteger(machineType),
                                                frame::FormatInteger(kNoMachineId))
                .c_str()));
    }
    platform::ProfileDocument document = platform::ProfileDocument::Load(*path);
    // Only a file that does not exist at all gets the defaults: an existing
    // file, even one that cannot be read, is never completed or replaced.
    if (!document.Exists() && !platform::FileExists(*path)) {
        for (const PdlAliasDefault& alias : kPdlAliasDefaults) {
            frame::WriteSettingValue(frame::SettingValueKind::Integer,
                                     frame::SettingValue::Integer(alias.machineId), document,
                                     section, frame::FormatInteger(alias.machineType));
        }
        if (!document.Save()) return std::nullopt;
    }
    return MachineId(ReadInteger(document, section, frame::FormatInteger(machineType)));
}

bool LoadMachineParams(int machineId, PdlCutTable tableIndex, const PdlCutCondition& values,
                       PdlParamRows& rows) {
    auto& all = rows.all;
    for (int slot = 0; slot < kPdlSlotCount; ++slot) {
        all[slot].label = slot < kPdlParamCount
                              ? std::string(frame::ResourceString(kPdlLabelStringBase + slot))
                              : std::string();
        all[slot].value = values.slot[slot];
        all[slot].slot = slot;
    }

    const std::optional<std::string> folder = frame::DataFolder();
    if (!folder) return false;
    const std::optional<std::string> path = platform::ComposePath(*folder, {"/", kMachineListFile});
    if (!path || !platform::CanOpenForReading(*path)) return false;
    const platform::ProfileDocument document = platform::ProfileDocument::Load(*path);

    // machine.ini holds a few hundred machines at most; the bound keeps a
    // damaged count from searching for ever.
    constexpr int kMaxMachineSections = 100000;
    const int machineCount =
        ReadInteger(document, std::string(kMachineListHeader), std::string(kMachineCountKey));
    std::string flags;
    for (int n = 1; n <= machineCount && n <= kMaxMachineSections; ++n) {
        const std::string section = MachineSectionName(n);
        if (ReadInteger(document, section, std::string(kMachineIdKey)) != machineId) continue;
        flags = frame::ReadSetting(frame::SettingValueKind::Text, document, section,
                                   std::string(UsedFlagsKey(tableIndex)))
                    .text;
        break;
    }

    PdlShownParamRows& shown = rows.shown;
    shown.rows[0] = PdlParamRow{};
    int count = 0;
    for (int i = 0; i < kPdlParamCount && i < static_cast<int>(flags.size()); ++i) {
        if (flags[i] == '1') shown.rows[count++] = all[i];
    }
    shown.count = count;
    return true;
}

}  // namespace quillet::pdl
