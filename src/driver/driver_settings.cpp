// The driver's setting items and the files that keep the user's choices:
// loading the items from the machine driver, the saved/working/current file
// paths, the sectioned form (Cut, Tool) and the plain form (Nc and every
// generated current file).
#include "driver/driver_settings.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "driver/driver_library.h"
#include "frame/roots.h"
#include "frame/setting_values.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text_mode.h"

namespace quillet::driver {

namespace {

using frame::SettingValueKind;

constexpr std::size_t kMaxNameLength = 128;  // the driver's item names
constexpr std::size_t kPlainValueLength = 128;

bool KnownKind(DriverSettingKind kind) {
    return kind == DriverSettingKind::Cut || kind == DriverSettingKind::Tool ||
           kind == DriverSettingKind::Nc;
}

// The functions LoadDriverConditions calls for kind.
struct ConditionFunctions {
    fn::Text load = nullptr;
    fn::Count count = nullptr;
    fn::Entry entry = nullptr;
    fn::DefaultSetting defaultSetting = nullptr;
};

bool BindConditionFunctions(DriverSettingKind kind, ConditionFunctions& f) {
    FunctionBinder binder;
    binder.Bind(f.load, ClosedLibrary::Korvid, "MD_LoadMachineDriver");
    switch (kind) {
        case DriverSettingKind::Cut:
            binder.Bind(f.count, ClosedLibrary::Korvid, "MD_GetNumberOfCuttingCondition")
                .Bind(f.entry, ClosedLibrary::Korvid, "MD_GetCuttingCondition");
            break;
        case DriverSettingKind::Tool:
            binder.Bind(f.count, ClosedLibrary::Korvid, "MD_GetNumberOfToolCondition")
                .Bind(f.entry, ClosedLibrary::Korvid, "MD_GetToolCondition");
            break;
        case DriverSettingKind::Nc:
            binder.Bind(f.count, ClosedLibrary::Korvid, "MD_GetNumberOfDefaultSetting")
                .Bind(f.defaultSetting, ClosedLibrary::Korvid, "MD_GetDefaultSetting");
            break;
    }
    return binder.Complete();
}

bool DriverNameFits(const std::string& driver) {
    return driver.size() < static_cast<std::size_t>(kDriverTextSize) &&
           driver.find('\0') == std::string::npos;
}

// Applies the item rules to one driver entry of type code typeCode; false
// when it is passed over.
bool AcceptEntry(DriverSettingKind kind, int typeCode, DriverCondition& item) {
    const std::optional<DriverValueType> type = DriverValueTypeOf(typeCode);
    if (!type) return false;
    item.valueType = *type;
    if (item.valueType == DriverValueType::Switch) {
        if (kind == DriverSettingKind::Nc) return false;
        item.valueCount = 0;
    } else if (item.valueCount < 0 || item.valueCount > 2) {
        return false;
    }
    if (kind == DriverSettingKind::Nc) item.valueCount = 1;
    return true;
}

bool Listed(const DriverConditionList& items, const DriverCondition& item) {
    for (const DriverCondition& other : items) {
        if (other.id == item.id && other.valueType == item.valueType) return true;
    }
    return false;
}

// An Nc item's default from the driver: its value type's default when in
// the grid's range, else 0.
double NcDefault(DriverValueType type, int integer, double real) {
    if (type == DriverValueType::Integer && integer >= kDriverIntegerMin &&
        integer <= kDriverIntegerMax) {
        return integer;
    }
    if (type == DriverValueType::Real && real >= kDriverRealMin && real <= kDriverRealMax) {
        return real;
    }
    return 0.0;
}

std::optional<std::string> WorkingFolderFile(DriverSettingKind kind, const std::string& fileName) {
    const std::optional<std::string> folder = frame::WorkingFolder();
    if (!folder || !KnownKind(kind)) return std::nullopt;
    return platform::ComposePath(*folder, {"/", fileName});
}

// The key of an item's value.
std::string Key(const DriverCondition& item, DriverKeySuffix suffix) {
    return DriverKey(item.id, item.valueType, suffix);
}

// The text of an item's value as the files hold it: "%d" of the truncated
// value for integers, "%lf" for reals.
std::string ValueText(const DriverCondition& item, double value) {
    return item.valueType == DriverValueType::Integer
               ? frame::FormatInteger(frame::ClampToInt(value))
               : frame::FormatReal(value);
}

}  // namespace

std::optional<DriverValueType> DriverValueTypeOf(int code) {
    switch (code) {
        case static_cast<int>(DriverValueType::Switch):
        case static_cast<int>(DriverValueType::Integer):
        case static_cast<int>(DriverValueType::Real):
            return static_cast<DriverValueType>(code);
        default:
            return std::nullopt;
    }
}

std::optional<std::string> BuildDriverSettingPath(DriverSettingKind kind,
                                                  const std::string& machine,
                                                  const std::string& name) {
    if (!KnownKind(kind) || machine.empty() || platform::NameHoldsSeparator(machine)) {
        return std::nullopt;
    }
    const bool named = HasSections(kind);
    if (named && (name.empty() || platform::NameHoldsSeparator(name))) return std::nullopt;
    const std::optional<std::string> folder = frame::DataFolder();
    if (!folder) return std::nullopt;
    return platform::ComposePath(*folder, {"/", DriverSettingFileName(kind, machine, name)});
}

SavedDriverFile ReadSavedDriverFile(const std::string& path) {
    int error = 0;
    SavedDriverFile saved;
    saved.bytes = platform::ReadWholeFile(path, &error);
    // A folder, a FIFO or a missing name is no saved file; a file that exists
    // but cannot be read is one whose choices cannot be had.
    saved.exists = saved.bytes || (error != ENOENT && error != EISDIR && error != EINVAL);
    return saved;
}

std::optional<std::string> BuildDriverWorkingPath(DriverSettingKind kind) {
    return WorkingFolderFile(kind, DriverWorkingFileName(kind));
}

std::optional<std::string> BuildDriverDefaultPath(DriverSettingKind kind) {
    return WorkingFolderFile(kind, DriverCurrentFileName(kind));
}

bool CanLoadDriverConditions(const std::string& driver, DriverSettingKind kind) {
    ConditionFunctions f;
    return KnownKind(kind) && DriverNameFits(driver) && BindConditionFunctions(kind, f);
}

std::optional<DriverConditionList> LoadDriverConditions(const std::string& driver,
                                                        DriverSettingKind kind, unsigned limit) {
    if (!DriverNameFits(driver)) return std::nullopt;
    ConditionFunctions f;
    if (KnownKind(kind)) {
        if (!BindConditionFunctions(kind, f)) return std::nullopt;
    } else {
        // Other kinds list nothing; only the driver is loaded.
        FunctionBinder binder;
        if (!binder.Bind(f.load, ClosedLibrary::Korvid, "MD_LoadMachineDriver").Complete()) {
            return std::nullopt;
        }
    }

    std::array<char, kDriverTextSize> driverBuffer{};
    std::memcpy(driverBuffer.data(), driver.data(), driver.size());
    const auto lock = LockClosedLibraries();
    f.load(driverBuffer.data());
    DriverConditionList items;
    if (!KnownKind(kind)) return items;

    const int count = f.count();
    for (int n = 1; n <= count && items.size() < limit; ++n) {
        DriverCondition item;
        int typeCode = -1;
        std::array<char, kDriverTextSize> name{};
        double real = 0.0;
        int integer = 0;
        if (kind == DriverSettingKind::Nc) {
            f.defaultSetting(n, &item.id, name.data(), &typeCode, &real, &integer);
        } else {
            f.entry(n, &item.id, &typeCode, &item.valueCount, name.data());
        }
        if (!AcceptEntry(kind, typeCode, item) || Listed(items, item)) continue;
        if (kind == DriverSettingKind::Nc) item.value1 = NcDefault(item.valueType, integer, real);
        name.back() = '\0';
        item.name.assign(name.data(), strnlen(name.data(), kMaxNameLength));
        items.push_back(std::move(item));
    }
    return items;
}

void ReadDriverSettingFile(DriverConditionList& items, DriverSettingKind kind,
                           const std::string& path, const std::string& sectionName) {
    if (path.empty() || items.empty()) return;
    if (kind == DriverSettingKind::Nc) {
        ReadPlainDriverFile(items, path);
        return;
    }
    if (!HasSections(kind) || sectionName.empty()) return;

    const std::string section = BuildDriverSectionName(kind, sectionName);
    const platform::ProfileDocument document = platform::ProfileDocument::Load(path);
    // A value key reads as its kind with default 0.
    const auto readValue = [&](const DriverCondition& item, DriverKeySuffix suffix) {
        const std::string key = Key(item, suffix);
        if (item.valueType == DriverValueType::Integer) {
            return static_cast<double>(
                frame::ReadSettingValueOr(SettingValueKind::Integer, document, section, key, 0)
                    .value()
                    .integer);
        }
        return frame::ReadSettingValueOr(SettingValueKind::Real, document, section, key, 0)
            .value()
            .real;
    };
    for (DriverCondition& item : items) {
        // The default -1 marks a switch that is not set: the loaded one stays.
        if (const auto onOff =
                frame::ReadSettingValueOr(SettingValueKind::Switch, document, section,
                                          Key(item, DriverKeySuffix::OnOff), -1)) {
            item.onOff = onOff->switchValue;
        }
        if (item.HasValues()) {
            item.value1 = readValue(item, DriverKeySuffix::Value1);
            if (item.valueCount == 2) item.value2 = readValue(item, DriverKeySuffix::Value2);
        }
        if (kind == DriverSettingKind::Tool) {
            const int timing =
                frame::ReadSettingValueOr(SettingValueKind::Integer, document, section,
                                          Key(item, DriverKeySuffix::Timing), 1)
                    .value()
                    .integer;
            item.timing = (timing < 0 || timing > 2) ? 1 : timing;
        }
    }
}

bool WriteDriverSettingFile(const DriverConditionList& items, DriverSettingKind kind,
                            platform::ProfileDocument& document, const std::string& sectionName) {
    if (sectionName.empty() || items.empty() || !HasSections(kind)) return false;
    const std::string section = BuildDriverSectionName(kind, sectionName);
    using frame::SettingValue;
    const auto write = [&](SettingValueKind valueKind, const SettingValue& value,
                           const DriverCondition& item, DriverKeySuffix suffix) {
        frame::WriteSettingValue(valueKind, value, document, section, Key(item, suffix));
    };
    const auto writeValue = [&](const DriverCondition& item, double value, DriverKeySuffix suffix) {
        if (item.valueType == DriverValueType::Integer) {
            write(SettingValueKind::Integer, SettingValue::Integer(frame::ClampToInt(value)), item,
                  suffix);
        } else {
            write(SettingValueKind::Real, SettingValue::Real(value), item, suffix);
        }
    };
    for (const DriverCondition& item : items) {
        write(SettingValueKind::Switch, SettingValue::Switch(item.onOff), item,
              DriverKeySuffix::OnOff);
        if (item.HasValues()) {
            writeValue(item, item.value1, DriverKeySuffix::Value1);
            if (item.valueCount == 2) writeValue(item, item.value2, DriverKeySuffix::Value2);
        }
        if (kind == DriverSettingKind::Tool) {
            write(SettingValueKind::Integer, SettingValue::Integer(item.timing), item,
                  DriverKeySuffix::Timing);
        }
    }
    return true;
}

bool WritePlainDriverFile(const DriverConditionList& items, DriverSettingKind kind,
                          const std::string& path) {
    if (path.empty()) return false;
    std::string text;
    const auto line = [&text](const DriverCondition& item, DriverKeySuffix suffix,
                              const std::string& value) {
        text += Key(item, suffix);
        text += '=';
        text += value;
        text += '\n';
    };
    for (const DriverCondition& item : items) {
        line(item, DriverKeySuffix::OnOff, frame::FormatInteger(item.onOff));
        if (item.HasValues()) {
            line(item, DriverKeySuffix::Value1, ValueText(item, item.value1));
            if (item.valueCount == 2)
                line(item, DriverKeySuffix::Value2, ValueText(item, item.value2));
        }
        if (kind == DriverSettingKind::Tool) {
            line(item, DriverKeySuffix::Timing, frame::FormatInteger(item.timing));
        }
    }
    return platform::AtomicReplace(path, text);
}

void ReadPlainDriverFile(DriverConditionList& items, const std::string& path) {
    if (path.empty()) return;
    const std::optional<std::string> text = platform::ReadTextModeFile(path);
    if (!text) return;
    platform::FgetsReader reader(*text, kPlainLineBuffer);
    // The value is what follows the key and the one character after it
    // (normally '='), at most 128 characters.
    const auto valueAfter = [](std::string_view line, std::size_t keyLength) {
        if (line.size() <= keyLength + 1) return std::string();
        return std::string(line.substr(keyLength + 1, kPlainValueLength));
    };
    while (const std::optional<platform::FgetsPiece> piece = reader.Next()) {
        // The piece as the buffer holds it; a value ends at a NUL byte when
        // it is read as a number.
        const std::string_view line = piece->chunk;
        for (DriverCondition& item : items) {
            const std::string onOffKey = Key(item, DriverKeySuffix::OnOff);
            if (line.starts_with(onOffKey)) {
                item.onOff = frame::CLocaleAtoi(valueAfter(line, onOffKey.size()).c_str());
                break;
            }
            if (item.valueType == DriverValueType::Switch) continue;
            const std::string valueKey = Key(item, DriverKeySuffix::Value1);
            if (line.starts_with(valueKey)) {
                const std::string value = valueAfter(line, valueKey.size());
                item.value1 = item.valueType == DriverValueType::Integer
                                  ? frame::CLocaleAtoi(value.c_str())
                                  : frame::CLocaleAtof(value.c_str());
                break;
            }
        }
    }
}

bool WriteCurrentFileFromDriver(const std::string& driver, const std::string& path,
                                DriverSettingKind kind) {
    const std::optional<DriverConditionList> items =
        LoadDriverConditions(driver, kind, kNoItemLimit);
    return items && WritePlainDriverFile(*items, kind, path);
}

std::unique_ptr<platform::FolderLock> LockDriverWorkingFolder() {
    const std::optional<std::string> folder = frame::WorkingFolder();
    if (!folder) return nullptr;
    return std::make_unique<platform::FolderLock>(*folder);
}

}  // namespace quillet::driver
