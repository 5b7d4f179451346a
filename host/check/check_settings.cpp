// Audit of the INI-style setting files: PDL condition files and their
// master, the PDL save options, the machine-type alias, machine.ini and the
// driver setting files.
#include <cmath>
#include <limits>
#include <map>

#include "check/check_internal.h"
#include "driver/driver_names.h"
#include "frame/cutting_conditions.h"
#include "pdl/pdl_machine.h"
#include "pdl/pdl_save_options.h"
#include "pdl/pdl_table.h"

namespace quillet::check::detail {

namespace {

constexpr std::size_t kFlagsLength = pdl::kPdlParamCount;

bool IsFirstOf(const IniFile&, const IniSection& section) { return section.first; }

bool IsFirstOf(const IniSection&, const IniEntry& entry) { return entry.first; }

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "%d" of a non-negative number: digits without a leading zero.
bool IsCanonicalNumber(std::string_view text) {
    return AllDigits(text) && (text.size() == 1 || text.front() != '0');
}

std::string Section(const IniSection& section) { return "[" + section.name + "]"; }

// One finding for the keys a section lacks, naming the first few.
void ReportMissingKeys(const std::vector<std::string_view>& missing, std::size_t total,
                       const IniSection& section, const std::string& file, const char* readsAs,
                       Findings& findings) {
    if (missing.empty()) return;
    std::string names;
    for (std::size_t i = 0; i < missing.size() && i < 5; ++i) {
        names += (i == 0 ? "" : ", ") + std::string(missing[i]);
    }
    if (missing.size() > 5) names += ", ...";
    findings.Warning("key-missing", file, section.line,
                     Section(section) + " lacks " + std::to_string(missing.size()) + " of its " +
                         std::to_string(total) + " keys (they read as " + readsAs + "): " + names);
}

// A value kept as a check-box or switch state: 0 or 1.
void CheckSwitchValue(const IniEntry& entry, const std::string& file, Findings& findings) {
    const NumberRead read = ReadInteger(entry.value);
    CheckNumber(entry, true, file, findings);
    if (read.form != NumberForm::NotANumber && read.value != 0 && read.value != 1) {
        findings.Warning("switch-value", file, entry.line,
                         entry.key + "=" + entry.value + ": a switch holds 0 or 1" +
                             (read.value == -1 ? "; -1 reads as not set" : "; it reads as on"));
    }
}

// The save-option keys: the master switch and one per cutting condition.
std::vector<std::string> SaveOptionKeys() {
    std::vector<std::string> keys = {std::string(frame::kSaveOptionSwitchKey)};
    for (int index = 0; index < frame::kCuttingConditionCount; ++index) {
        keys.push_back(frame::SaveOptionKey(index));
    }
    return keys;
}

void CheckSaveOptionEntries(const IniSection& section, const std::string& file, bool reportMissing,
                            Findings& findings) {
    const std::vector<std::string> keys = SaveOptionKeys();
    std::vector<std::string_view> missing;
    for (const std::string& key : keys) {
        if (FindEntry(section, key) == nullptr) missing.push_back(key);
    }
    if (reportMissing) ReportMissingKeys(missing, keys.size(), section, file, "-1", findings);
    for (const IniEntry& entry : section.entries) {
        if (!entry.hasValue || !IsFirstOf(section, entry)) continue;
        bool known = false;
        for (const std::string& key : keys)
            known = known || EqualsIgnoringAsciiCase(key, entry.key);
        if (!known) {
            findings.Warning("unknown-key", file, entry.line,
                             "key " + entry.key + " is no save option: never read");
            continue;
        }
        CheckSwitchValue(entry, file, findings);
    }
}

// One item value of a driver setting file (an INI entry or a plain line).
void CheckDriverValue(const IniEntry& entry, bool tool, const std::string& file,
                      Findings& findings) {
    const std::optional<driver::DriverKeyParts> key = driver::ParseDriverKey(entry.key);
    if (!key) {
        findings.Warning("bad-key", file, entry.line,
                         "key " + entry.key +
                             " does not follow <id>_<type>OnOff|Value1|Value2|Timing: never read");
        return;
    }
    if (key->valueType < 2 || key->valueType > 4) {
        findings.Warning("bad-key", file, entry.line,
                         "key " + entry.key + ": value type " + std::to_string(key->valueType) +
                             " is not 2, 3 or 4, so no item has it");
        return;
    }
    if (key->suffix == driver::DriverKeySuffix::OnOff) {
        CheckSwitchValue(entry, file, findings);
    } else if (key->suffix == driver::DriverKeySuffix::Timing) {
        const NumberRead read = ReadInteger(entry.value);
        const double value = CheckNumber(entry, true, file, findings);
        if (tool && read.form != NumberForm::NotANumber && (value < 0 || value > 2)) {
            findings.Warning(
                "timing-value", file, entry.line,
                entry.key + "=" + entry.value + ": Timing is 0, 1 or 2; it reads as 1");
        }
    } else if (key->valueType == 2) {
        findings.Warning("bad-key", file, entry.line,
                         "key " + entry.key + ": switch-only items (type 2) have no values");
    } else {
        CheckNumber(entry, key->valueType == 3, file, findings);
    }
}

}  // namespace

void CheckPdlConditionFile(const std::string& file, const IniFile& ini, Findings& findings) {
    bool anyTable = false;
    for (const std::string_view name : pdl::kPdlTableSections) {
        anyTable = anyTable || FindSection(ini, name) != nullptr;
    }
    if (!anyTable) {
        findings.Warning("section-missing", file, 0,
                         "no table section PDL_CUT_K to PDL_CUT_P103: every table reads as -1");
        return;
    }
    for (const std::string_view name : pdl::kPdlTableSections) {
        const IniSection* section = FindSection(ini, name);
        if (section == nullptr) {
            findings.Warning("section-missing", file, 0,
                             "section [" + std::string(name) +
                                 "] is missing: its table reads as -1 in every parameter");
            continue;
        }
        std::vector<std::string_view> missing;
        for (const std::string_view key : pdl::kPdlParamKeys) {
            if (FindEntry(*section, key) == nullptr) missing.push_back(key);
        }
        ReportMissingKeys(missing, pdl::kPdlParamKeys.size(), *section, file, "-1", findings);
        for (const IniEntry& entry : section->entries) {
            if (!entry.hasValue || !IsFirstOf(*section, entry)) continue;
            bool known = false;
            for (const std::string_view key : pdl::kPdlParamKeys) {
                known = known || EqualsIgnoringAsciiCase(key, entry.key);
            }
            if (!known) {
                findings.Warning("unknown-key", file, entry.line,
                                 "key " + entry.key + " is no parameter key: never read");
                continue;
            }
            const double value = CheckNumber(entry, false, file, findings);
            if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) {
                findings.Error("not-finite", file, entry.line,
                               entry.key + "=" + entry.value +
                                   ": beyond what the table's float holds; it reads as infinity");
            }
        }
    }
}

void CheckSaveOptionFile(const std::string& file, const IniFile& ini, Findings& findings) {
    const IniSection* section = FindSection(ini, pdl::kPdlSaveOptionSection);
    if (section == nullptr) {
        findings.Warning("section-missing", file, 0,
                         "section [" + std::string(pdl::kPdlSaveOptionSection) +
                             "] is missing: every option reads as -1");
        return;
    }
    CheckSaveOptionEntries(*section, file, true, findings);
}

void CheckAliasFile(const std::string& file, const IniFile& ini, Findings& findings) {
    const IniSection* section = FindSection(ini, pdl::kPdlAliasSection);
    if (section == nullptr) {
        findings.Warning("section-missing", file, 0,
                         "section [" + std::string(pdl::kPdlAliasSection) +
                             "] is missing: every machine type reads as -1 (the defaults are "
                             "only written when the file does not exist)");
        return;
    }
    for (const IniEntry& entry : section->entries) {
        if (!entry.hasValue || !IsFirstOf(*section, entry)) continue;
        const std::string_view key = entry.key;
        const bool negative = !key.empty() && key.front() == '-';
        if (!IsCanonicalNumber(negative ? key.substr(1) : key)) {
            findings.Warning("alias-key", file, entry.line,
                             "key " + entry.key +
                                 " is not a machine type written as a plain integer: never "
                                 "looked up");
            continue;
        }
        CheckNumber(entry, true, file, findings);
    }
}

void CheckMachineFile(const std::string& file, const IniFile& ini, Findings& findings) {
    const IniSection* header = FindSection(ini, pdl::kMachineListHeader);
    const IniEntry* countEntry =
        header != nullptr ? FindEntry(*header, pdl::kMachineCountKey) : nullptr;
    long long count = -1;
    int countLine = 0;
    if (countEntry == nullptr || !countEntry->hasValue) {
        findings.Error("machine-count", file, countEntry ? countEntry->line : 0,
                       "[Header] has no MachineCount: it reads as -1 and no machine is found");
    } else {
        countLine = countEntry->line;
        count = static_cast<long long>(CheckNumber(*countEntry, true, file, findings));
    }

    std::map<long long, const IniSection*> machines;
    for (std::size_t s = 1; s < ini.sections.size(); ++s) {
        const IniSection& section = ini.sections[s];
        const std::string_view prefix = pdl::kMachineSectionPrefix;
        if (!IsFirstOf(ini, section) ||
            !platform::StartsWithIgnoringAsciiCase(section.name, prefix)) {
            continue;
        }
        const std::string_view number = std::string_view(section.name).substr(prefix.size());
        if (!AllDigits(number)) continue;
        if (!IsCanonicalNumber(number) || number == "0" || number.size() > 9) {
            findings.Warning("machine-section-name", file, section.line,
                             Section(section) +
                                 " is never read: the sections are Machine1, "
                                 "Machine2, ... up to MachineCount");
            continue;
        }
        machines.emplace(static_cast<long long>(ReadInteger(number).value), &section);
    }

    // Gaps among Machine1 to MachineCount.
    auto reportGap = [&](long long first, long long last) {
        const std::string range = first == last
                                      ? "[Machine" + std::to_string(first) + "] is"
                                      : "[Machine" + std::to_string(first) + "] to [Machine" +
                                            std::to_string(last) + "] are";
        findings.Error("machine-section-missing", file, countLine,
                       range + " missing (MachineCount is " + std::to_string(count) +
                           "): their IDs read as -1");
    };
    long long previous = 0;
    for (const auto& [n, section] : machines) {
        if (n > count) break;
        if (n > previous + 1) reportGap(previous + 1, n - 1);
        previous = n;
    }
    if (count > previous) reportGap(previous + 1, count);

    std::map<long long, std::pair<long long, int>> ids;
    for (const auto& [n, section] : machines) {
        if (n > count) {
            findings.Warning("machine-section-extra", file, section->line,
                             Section(*section) + " lies beyond MachineCount " +
                                 std::to_string(count) + ": it is ignored");
            continue;
        }
        const IniEntry* id = FindEntry(*section, pdl::kMachineIdKey);
        if (id == nullptr || !id->hasValue) {
            findings.Error("machine-id", file, section->line,
                           Section(*section) + " has no ID: it reads as -1");
        } else {
            const auto value = static_cast<long long>(CheckNumber(*id, true, file, findings));
            const auto [it, fresh] = ids.emplace(value, std::make_pair(n, id->line));
            if (!fresh) {
                findings.Warning("duplicate-id", file, id->line,
                                 "ID " + std::to_string(value) + " is also the ID of [Machine" +
                                     std::to_string(it->second.first) + "] (line " +
                                     std::to_string(it->second.second) +
                                     "): only the first is used");
            }
        }
        for (const std::string_view key : pdl::kUsedFlagsKeys) {
            const IniEntry* flags = FindEntry(*section, key);
            if (flags == nullptr || !flags->hasValue) {
                findings.Warning("flags-missing", file, section->line,
                                 Section(*section) + " has no " + std::string(key) +
                                     ": it reads as '-1', which shows parameter 1 only");
                continue;
            }
            const std::size_t bad = flags->value.find_first_not_of("01");
            if (bad != std::string::npos) {
                findings.Warning("flags-chars", file, flags->line,
                                 std::string(key) + " holds '" + flags->value.substr(bad, 1) +
                                     "' at position " + std::to_string(bad + 1) +
                                     ": only '0' and '1' belong there ('1' marks a used "
                                     "parameter)");
            }
            if (flags->value.size() < kFlagsLength) {
                findings.Warning("flags-length", file, flags->line,
                                 std::string(key) + " has " + std::to_string(flags->value.size()) +
                                     " characters, not 88: parameters " +
                                     std::to_string(flags->value.size()) +
                                     " to 87 are never shown");
            } else if (flags->value.size() > kFlagsLength) {
                findings.Warning("flags-length", file, flags->line,
                                 std::string(key) + " has " + std::to_string(flags->value.size()) +
                                     " characters, not 88: those after the 88th are ignored");
            }
        }
    }
}

void CheckDriverCutOrToolFile(const std::string& file, const IniFile& ini, bool tool,
                              Findings& findings) {
    const driver::DriverSettingKind kind =
        tool ? driver::DriverSettingKind::Tool : driver::DriverSettingKind::Cut;
    for (std::size_t s = 1; s < ini.sections.size(); ++s) {
        const IniSection& section = ini.sections[s];
        if (!IsFirstOf(ini, section)) continue;
        const std::string_view name =
            driver::ParseDriverSectionName(kind, section.name).value_or("");
        bool known = false;
        if (!name.empty() && tool) {
            known = IsCanonicalNumber(name);
        } else if (!name.empty()) {
            for (const std::string_view condition : frame::kCuttingConditionNames) {
                known = known || EqualsIgnoringAsciiCase(condition, name);
            }
            if (EqualsIgnoringAsciiCase(section.name, driver::kLaserSaveOptionSection)) {
                CheckSaveOptionEntries(section, file, false, findings);
                continue;
            }
        }
        if (!known) {
            findings.Warning("unknown-section", file, section.line,
                             Section(section) + " is no section of a " +
                                 (tool ? "tool condition file (MD_TOOL_<T number>)"
                                       : "laser condition file (MD_CUT_K to MD_CUT_P103)") +
                                 ": never read");
            continue;
        }
        for (const IniEntry& entry : section.entries) {
            if (entry.hasValue && IsFirstOf(section, entry)) {
                CheckDriverValue(entry, tool, file, findings);
            }
        }
    }
}

void CheckDriverPlainFile(const std::string& file, std::string_view bytes, Findings& findings) {
    // Plain files are read line by line through the module's buffer.
    const std::string text = platform::TextModeBytes(std::string(bytes));
    platform::FgetsReader reader(text, driver::kPlainLineBuffer);
    while (const std::optional<platform::FgetsPiece> piece = reader.Next()) {
        const std::string line(piece->Text());
        if (piece->Overlong()) {
            findings.Warning("long-line", file, piece->line,
                             "line is longer than " + std::to_string(driver::kPlainLineBuffer - 2) +
                                 " characters: the rest is read as a further line");
        }
        if (IsBlankLine(line)) continue;
        const std::size_t eq = line.find('=');
        IniEntry entry;
        entry.line = piece->line;
        entry.hasValue = true;
        entry.key = line.substr(0, eq);
        if (eq == std::string::npos || !driver::ParseDriverKey(entry.key)) {
            findings.Warning("bad-line", file, piece->line,
                             "line is not <id>_<type>OnOff|Value1|Value2|Timing=<value>: never "
                             "read");
            continue;
        }
        entry.value = line.substr(eq + 1);
        while (!entry.value.empty() && (entry.value.back() == ' ' || entry.value.back() == '\r')) {
            entry.value.pop_back();
        }
        CheckDriverValue(entry, false, file, findings);
    }
}

}  // namespace quillet::check::detail
