// Names of the driver setting files, sections and keys. See driver_names.h.
#include "driver/driver_names.h"

#include <array>
#include <charconv>

#include "platform/ascii.h"

namespace quillet::driver {

namespace {

constexpr std::string_view kFilePrefix = "MD_";
constexpr std::string_view kIniSuffix = ".ini";

constexpr std::array<std::string_view, 4> kSuffixes = {"OnOff", "Value1", "Value2", "Timing"};

// "MD_<KIND>_"
std::string KindPrefix(DriverSettingKind kind) {
    return std::string(kFilePrefix) + std::string(KindName(kind)) + "_";
}

// The decimal number that is all of text (digits only).
std::optional<int> Digits(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return ec == std::errc() ? value : 0;
}

}  // namespace

std::string_view KindName(DriverSettingKind kind) {
    switch (kind) {
        case DriverSettingKind::Cut:
            return "CUT";
        case DriverSettingKind::Tool:
            return "TOOL";
        case DriverSettingKind::Nc:
            return "NC";
    }
    return "";
}

std::string DriverSettingFileName(DriverSettingKind kind, std::string_view machine,
                                  std::string_view name) {
    std::string file = KindPrefix(kind) + std::string(machine);
    if (HasSections(kind)) file.append("_").append(name);
    return file.append(kIniSuffix);
}

std::optional<DriverFileNames> ParseDriverSettingFileName(std::string_view fileName) {
    if (!fileName.ends_with(kIniSuffix)) return std::nullopt;
    for (const DriverSettingKind kind :
         {DriverSettingKind::Cut, DriverSettingKind::Tool, DriverSettingKind::Nc}) {
        const std::string prefix = KindPrefix(kind);
        if (fileName.starts_with(prefix)) {
            return DriverFileNames{
                kind, fileName.substr(prefix.size(),
                                      fileName.size() - prefix.size() - kIniSuffix.size())};
        }
    }
    return std::nullopt;
}

std::string DriverWorkingFileName(DriverSettingKind kind) { return KindPrefix(kind) + "TEMP.ini"; }

std::string DriverCurrentFileName(DriverSettingKind kind) {
    return KindPrefix(kind) + "default.ini";
}

std::string BuildDriverSectionName(DriverSettingKind kind, std::string_view name) {
    return HasSections(kind) ? KindPrefix(kind) + std::string(name) : std::string();
}

std::optional<std::string_view> ParseDriverSectionName(DriverSettingKind kind,
                                                       std::string_view section) {
    const std::string prefix = KindPrefix(kind);
    if (!HasSections(kind) || !platform::StartsWithIgnoringAsciiCase(section, prefix)) {
        return std::nullopt;
    }
    return section.substr(prefix.size());
}

std::string DriverKey(int id, DriverValueType valueType, DriverKeySuffix suffix) {
    return std::to_string(id) + "_" + std::to_string(static_cast<int>(valueType)) +
           std::string(kSuffixes[static_cast<std::size_t>(suffix)]);
}

std::optional<DriverKeyParts> ParseDriverKey(std::string_view key) {
    const std::size_t underscore = key.find('_');
    if (underscore == std::string_view::npos) return std::nullopt;
    const std::optional<int> id = Digits(key.substr(0, underscore));
    const std::string_view rest = key.substr(underscore + 1);
    const std::size_t digits = rest.find_first_not_of("0123456789");
    if (!id || digits == 0 || digits == std::string_view::npos) return std::nullopt;
    for (std::size_t s = 0; s < kSuffixes.size(); ++s) {
        if (platform::EqualsIgnoringAsciiCase(rest.substr(digits), kSuffixes[s])) {
            return DriverKeyParts{*id, Digits(rest.substr(0, digits)).value_or(0),
                                  static_cast<DriverKeySuffix>(s)};
        }
    }
    return std::nullopt;
}

}  // namespace quillet::driver
