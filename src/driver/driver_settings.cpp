// The driver's setting items and the files that keep the user's choices:
// loading the items from the machine driver, the saved/working/current file
// paths, the sectioned form (Cut, Tool) and the plain form (Nc and every
// generated current file).
#include "driver/driver_settings.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include "driver/driver_library.h"
#include "frame/roots.h"
#include "frame/setting_values.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace quillet::driver {

namespace {

using frame::SettingValueKind;

constexpr std::size_t kMaxNameLength = 128;  // the driver's item names
constexpr std::size_t kPlainLineBuffer = 256;
constexpr std::size_t kPlainValueLength = 128;

bool KnownKind(DriverSettingKind kind) {
    return kind == DriverSettingKind::Cut || kind == DriverSettingKind::Tool ||
           kind == DriverSettingKind::Nc;
}

// Integer values are held as doubles; they are written truncated toward
// zero. Values beyond the int range are outside what a driver offers; they
// are held at the range's ends instead of overflowing.
int TruncateToInt(double value) {
    if (!(value == value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

bool HasValues(const DriverCondition& item) { return item.valueType != 2 && item.valueCount >= 1; }

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

// Applies the item rules to one driver entry; false when it is passed over.
bool AcceptEntry(DriverSettingKind kind, DriverCondition& item) {
    if (item.valueType != 2 && item.valueType != 3 && item.valueType != 4) return false;
    if (item.valueType == 2) {
        if (kind == DriverSettingKind::Nc) return false;
        item.valueCount = 0;
    } else if (item.valueCount < 0 || item.valueCount > 2) {
        return false;
    }
    if (kind == DriverSettingKind::Nc) item.valueCount = 1;
    return true;
}

std::optional<std::string> FolderPath(std::optional<std::string> folder, DriverSettingKind kind,
                                      const char* fileName) {
    if (!folder || !KnownKind(kind)) return std::nullopt;
    return platform::ComposePath(*folder, {"/MD_", KindPrefix(kind), fileName});
}

}  // namespace

const char* KindPrefix(DriverSettingKind kind) {
    switch (kind) {
        case DriverSettingKind::Cut:
            return "CUT_";
        case DriverSettingKind::Tool:
            return "TOOL_";
        case DriverSettingKind::Nc:
            return "NC_";
    }
    return "";
}

std::string DriverKey(int id, int valueType, const char* suffix) {
    return std::to_string(id) + "_" + std::to_string(valueType) + suffix;
}

std::optional<std::string> FormDriverSettingPath(DriverSettingKind kind, const std::string& machine,
                                                 const std::string& name) {
    if (!KnownKind(kind) || machine.empty() || platform::NameHoldsSeparator(machine)) {
        return std::nullopt;
    }
    const bool named = kind != DriverSettingKind::Nc;
    if (named && (name.empty() || platform::NameHoldsSeparator(name))) return std::nullopt;
    const std::optional<std::string> folder = frame::DataFolder();
    if (!folder) return std::nullopt;
    return named ? platform::ComposePath(*folder,
                                         {"/MD_", KindPrefix(kind), machine, "_", name, ".ini"})
                 : platform::ComposePath(*folder, {"/MD_", KindPrefix(kind), machine, ".ini"});
}

int BuildDriverSettingPath(std::string& path, DriverSettingKind kind, const std::string& machine,
                           const std::string& name) {
    const std::optional<std::string> formed = FormDriverSettingPath(kind, machine, name);
    if (!formed) return 999;
    path = *formed;
    return platform::FileExists(path) ? 0 : 100;
}

std::optional<std::string> ReadSavedDriverFile(const std::string& path, int& found) {
    int error = 0;
    std::optional<std::string> bytes = platform::ReadWholeFile(path, &error);
    // A folder, a FIFO or a missing name is no saved file; a file that exists
    // but cannot be read is one whose choices cannot be had.
    found = bytes || (error != ENOENT && error != EISDIR && error != EINVAL) ? 0 : 100;
    return bytes;
}

int BuildDriverWorkingPath(std::string& path, DriverSettingKind kind) {
    const std::optional<std::string> formed = FolderPath(frame::WorkingFolder(), kind, "TEMP.ini");
    if (!formed) return 0;
    path = *formed;
    return 1;
}

int BuildDriverDefaultPath(std::string& path, DriverSettingKind kind) {
    const std::optional<std::string> formed =
        FolderPath(frame::WorkingFolder(), kind, "default.ini");
    if (!formed) return 0;
    path = *formed;
    return 1;
}

void BuildDriverSectionName(std::string& section, DriverSettingKind kind, const std::string& name) {
    if (kind != DriverSettingKind::Cut && kind != DriverSettingKind::Tool) return;
    section = std::string("MD_") + KindPrefix(kind) + name;
}

bool CanLoadDriverConditions(const std::string& driver, DriverSettingKind kind) {
    ConditionFunctions f;
    return KnownKind(kind) && DriverNameFits(driver) && BindConditionFunctions(kind, f);
}

bool LoadDriverConditions(const std::string& driver, DriverConditionList& list,
                          DriverSettingKind kind, unsigned limit) {
    list.clear();
    if (!DriverNameFits(driver)) return false;
    ConditionFunctions f;
    if (KnownKind(kind)) {
        if (!BindConditionFunctions(kind, f)) return false;
    } else {
        // Other kinds list nothing; only the driver is loaded.
        FunctionBinder binder;
        if (!binder.Bind(f.load, ClosedLibrary::Korvid, "MD_LoadMachineDriver").Complete()) {
            return false;
        }
    }

    std::array<char, kDriverTextSize> driverBuffer{};
    std::memcpy(driverBuffer.data(), driver.data(), driver.size());
    f.load(driverBuffer.data());
    if (!KnownKind(kind)) return true;

    const int count = f.count();
    for (int n = 1; n <= count; ++n) {
        if (list.size() >= limit) break;
        DriverCondition item;
        std::array<char, kDriverTextSize> name{};
        if (kind == DriverSettingKind::Nc) {
            double real = 0.0;
            int integer = 0;
            f.defaultSetting(n, &item.id, name.data(), &item.valueType, &real, &integer);
            if (!AcceptEntry(kind, item)) continue;
            if (FindDriverCondition(list, item.id, item.valueType)) continue;
            if (item.valueType == 3 && integer >= -99999 && integer <= 99999) {
                item.value1 = integer;
            } else if (item.valueType == 4 && real >= -99999.9999 && real <= 99999.9999) {
                item.value1 = real;
            }
        } else {
            f.entry(n, &item.id, &item.valueType, &item.valueCount, name.data());
            if (!AcceptEntry(kind, item)) continue;
            if (FindDriverCondition(list, item.id, item.valueType)) continue;
        }
        name.back() = '\0';
        item.name.assign(name.data(), strnlen(name.data(), kMaxNameLength));
        list.push_back(std::move(item));
    }
    return true;
}

int FindDriverCondition(const DriverConditionList& list, int id, int valueType) {
    for (const DriverCondition& item : list) {
        if (item.id == id && item.valueType == valueType) return 1;
    }
    return 0;
}

int ReadDriverSettingFile(DriverConditionList& list, DriverSettingKind kind,
                          const std::string& path, const std::string& sectionName) {
    if (path.empty()) return 0;
    if (kind != DriverSettingKind::Nc && sectionName.empty()) return 0;
    if (list.empty()) return 1;
    if (kind == DriverSettingKind::Nc) {
        ReadPlainDriverFile(list, path);
        return 1;
    }
    if (!KnownKind(kind)) return 0;

    std::string section;
    BuildDriverSectionName(section, kind, sectionName);
    const platform::ProfileDocument document = platform::ProfileDocument::Load(path);
    int switchValue = 0;
    std::string text;
    int integer = 0;
    double real = 0.0;
    const auto readValue = [&](const DriverCondition& item, const char* suffix) {
        const std::string key = DriverKey(item.id, item.valueType, suffix);
        if (item.valueType == 3) {
            frame::ReadSettingValueOr(static_cast<int>(SettingValueKind::Integer), switchValue,
                                      text, integer, real, document, section, key, 0);
            return static_cast<double>(integer);
        }
        frame::ReadSettingValueOr(static_cast<int>(SettingValueKind::Real), switchValue, text,
                                  integer, real, document, section, key, 0);
        return real;
    };
    for (DriverCondition& item : list) {
        if (frame::ReadSettingValueOr(static_cast<int>(SettingValueKind::Switch), switchValue, text,
                                      integer, real, document, section,
                                      DriverKey(item.id, item.valueType, "OnOff"), -1) == 1) {
            item.onOff = switchValue;
        }
        if (HasValues(item)) {
            item.value1 = readValue(item, "Value1");
            if (item.valueCount == 2) item.value2 = readValue(item, "Value2");
        }
        if (kind == DriverSettingKind::Tool) {
            frame::ReadSettingValueOr(static_cast<int>(SettingValueKind::Integer), switchValue,
                                      text, integer, real, document, section,
                                      DriverKey(item.id, item.valueType, "Timing"), 1);
            item.timing = (integer < 0 || integer > 2) ? 1 : integer;
        }
    }
    return 1;
}

int WriteDriverSettingFile(const DriverConditionList& list, DriverSettingKind kind,
                           const std::string& path, const std::string& sectionName) {
    if (path.empty()) return 0;
    if (kind != DriverSettingKind::Nc && sectionName.empty()) return 0;
    if (list.empty()) return 0;
    if (kind == DriverSettingKind::Nc) return WritePlainDriverFile(list, kind, path);
    if (!KnownKind(kind)) return 0;
    platform::ProfileDocument document = platform::ProfileDocument::Load(path);
    WriteDriverSettingSection(list, kind, document, sectionName);
    // A file that could not be written is reported, so that a commit does
    // not copy a stale working copy over the saved file.
    return document.Save() ? 1 : 0;
}

int WriteDriverSettingSection(const DriverConditionList& list, DriverSettingKind kind,
                              platform::ProfileDocument& document, const std::string& sectionName) {
    if (sectionName.empty() || list.empty()) return 0;
    if (kind != DriverSettingKind::Cut && kind != DriverSettingKind::Tool) return 0;
    std::string section;
    BuildDriverSectionName(section, kind, sectionName);
    const auto writeInteger = [&](int value, const std::string& key) {
        frame::WriteSettingValue(static_cast<int>(SettingValueKind::Integer), 0, {}, value, 0.0,
                                 document, section, key);
    };
    const auto writeValue = [&](const DriverCondition& item, double value, const char* suffix) {
        const std::string key = DriverKey(item.id, item.valueType, suffix);
        if (item.valueType == 3) {
            writeInteger(TruncateToInt(value), key);
        } else {
            frame::WriteSettingValue(static_cast<int>(SettingValueKind::Real), 0, {}, 0, value,
                                     document, section, key);
        }
    };
    for (const DriverCondition& item : list) {
        frame::WriteSettingValue(static_cast<int>(SettingValueKind::Switch), item.onOff, {}, 0, 0.0,
                                 document, section, DriverKey(item.id, item.valueType, "OnOff"));
        if (HasValues(item)) {
            writeValue(item, item.value1, "Value1");
            if (item.valueCount == 2) writeValue(item, item.value2, "Value2");
        }
        if (kind == DriverSettingKind::Tool) {
            writeInteger(item.timing, DriverKey(item.id, item.valueType, "Timing"));
        }
    }
    return 1;
}

int WritePlainDriverFile(const DriverConditionList& list, DriverSettingKind kind,
                         const std::string& path) {
    if (path.empty()) return 0;
    std::string text;
    const auto line = [&text](const DriverCondition& item, const char* suffix,
                              const std::string& value) {
        text += DriverKey(item.id, item.valueType, suffix);
        text += '=';
        text += value;
        text += '\n';
    };
    const auto valueLine = [&](const DriverCondition& item, double value, const char* suffix) {
        if (item.valueType == 3) {
            line(item, suffix, frame::FormatInteger(TruncateToInt(value)));
        } else if (item.valueType == 4) {
            line(item, suffix, frame::FormatReal(value));
        }
    };
    for (const DriverCondition& item : list) {
        line(item, "OnOff", frame::FormatInteger(item.onOff));
        if (HasValues(item)) {
            valueLine(item, item.value1, "Value1");
            if (item.valueCount == 2) valueLine(item, item.value2, "Value2");
        }
        if (kind == DriverSettingKind::Tool)
            line(item, "Timing", frame::FormatInteger(item.timing));
    }
    return platform::AtomicReplace(path, text) ? 1 : 0;
}

void ReadPlainDriverFile(DriverConditionList& list, const std::string& path) {
    if (path.empty() || !platform::CanOpenForReading(path)) return;
    const std::optional<std::string> raw = platform::ReadWholeFile(path);
    if (!raw) return;
    const std::string text = platform::TextModeBytes(*raw);
    platform::FgetsReader reader(text, kPlainLineBuffer);
    // The value is what follows the key and the one character after it
    // (normally '='), at most 128 characters.
    const auto valueAfter = [](std::string_view line, std::size_t keyLength) {
        if (line.size() <= keyLength + 1) return std::string();
        return std::string(line.substr(keyLength + 1, kPlainValueLength));
    };
    while (const std::optional<std::string_view> line = reader.Next()) {
        for (DriverCondition& item : list) {
            const std::string onOffKey = DriverKey(item.id, item.valueType, "OnOff");
            if (line->starts_with(onOffKey)) {
                item.onOff = frame::CLocaleAtoi(valueAfter(*line, onOffKey.size()).c_str());
                break;
            }
            if (item.valueType != 3 && item.valueType != 4) continue;
            const std::string valueKey = DriverKey(item.id, item.valueType, "Value1");
            if (line->starts_with(valueKey)) {
                const std::string value = valueAfter(*line, valueKey.size());
                item.value1 = item.valueType == 3 ? frame::CLocaleAtoi(value.c_str())
                                                  : frame::CLocaleAtof(value.c_str());
                break;
            }
        }
    }
}

int WriteCurrentFileFromDriver(const std::string& driver, const std::string& path,
                               DriverSettingKind kind) {
    DriverConditionList list;
    if (!LoadDriverConditions(driver, list, kind, static_cast<unsigned>(-1))) return 0;
    return WritePlainDriverFile(list, kind, path);
}

std::unique_ptr<platform::FolderLock> LockDriverWorkingFolder() {
    const std::optional<std::string> folder = frame::WorkingFolder();
    if (!folder) return nullptr;
    return std::make_unique<platform::FolderLock>(*folder);
}

}  // namespace quillet::driver
