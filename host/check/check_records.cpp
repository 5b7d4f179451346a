// Audit of the other-machine record store (Othmcn.dat and the material
// lists), of the NC template files they name, and of files no record names.
#include <algorithm>
#include <array>
#include <charconv>
#include <map>

#include "check/check_internal.h"
#include "othmac/nc_template.h"
#include "othmac/record_layout.h"
#include "othmac/text_lines.h"
#include "platform/ascii.h"
#include "platform/text_mode.h"
#include "text.h"

namespace quillet::check::detail {

namespace {

using othmac::kFileFieldWidth;
using othmac::kNameFieldWidth;
using othmac::kRecordMarker;
const std::string kIndexFile(othmac::kIndexFileName);

// A file of the record store: its records' fields, those of its old format,
// and what the fields are called in findings.
struct Layout {
    bool machineIndex;
    const othmac::RecordLayout& fields;
    const othmac::RecordLayout& oldFields;
    const char* nameWhat;
    const char* fileWhat;
};
const Layout kIndexLayout{true, othmac::kIndexRecord, othmac::kOldIndexRecord, "machine name",
                          "material list name"};
const Layout kListLayout{false, othmac::kListRecord, othmac::kOldListRecord, "material name",
                         "template file name"};

struct Record {
    int line = 0;
    int number = 0;
    std::string name;
    std::string file;
    bool numberReported = false;
};

std::string Field(const std::string& line, othmac::RecordField field) {
    return std::string(othmac::FieldText(line, field));
}

std::string FieldName(const std::string& field) { return std::string(othmac::FieldName(field)); }

std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// What a new registration of a pair writes as its template file name: the
// name, or nothing when the name would not fit its field.
std::string NewTemplateName(const std::string& name) {
    if (name.size() > kFileFieldWidth) {
        return "a new registration of this pair is refused: its template name " + Quoted(name) +
               " would pass the 100-character field";
    }
    return "a new registration would name " + Quoted(name);
}

// A marker record wider than its fields: say which field overran.
std::string DescribeOverrun(const std::string& line, const Layout& layout) {
    std::string rest = line.substr(layout.fields.name.first);
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < rest.size();) {
        const std::size_t start = rest.find_first_not_of(' ', i);
        if (start == std::string::npos) break;
        const std::size_t end = std::min(rest.find(' ', start), rest.size());
        tokens.push_back(rest.substr(start, end - start));
        i = end;
    }
    if (!tokens.empty() && tokens[0].size() > kNameFieldWidth) {
        return std::string(layout.nameWhat) + " " + Quoted(tokens[0]) + " is " +
               std::to_string(tokens[0].size()) +
               " bytes, wider than its 50-column field: it never matches and the " +
               layout.fileWhat + " is read from the wrong columns";
    }
    if (tokens.size() > 1 && tokens[1].size() > kFileFieldWidth) {
        return std::string(layout.fileWhat) + " is " + std::to_string(tokens[1].size()) +
               " characters, wider than its 100-column field: it reads back cut";
    }
    return "record is " + std::to_string(line.size()) + " characters wide where " +
           std::to_string(layout.fields.file.first + kFileFieldWidth) +
           " are read: its fields stand in the wrong columns";
}

class RecordReader {
public:
    RecordReader(std::string file, const Layout& layout, Findings& findings)
        : file_(std::move(file)), layout_(layout), findings_(findings) {}

    std::vector<Record> Read(std::string_view bytes);

private:
    void ReadMarkerLine(const platform::FgetsPiece& line);
    void ReadOldLines(const std::vector<platform::FgetsPiece>& lines);
    // Checks common to both formats; adds the record when it can be used.
    void Accept(Record record);

    std::string file_;
    const Layout& layout_;
    Findings& findings_;
    std::vector<Record> records_;
    std::map<std::string, int> seen_;
    std::map<std::string, std::pair<int, std::string>> shown_;  // shown text -> line, bytes
};

std::vector<Record> RecordReader::Read(std::string_view bytes) {
    const std::string text = platform::TextModeBytes(std::string(bytes));
    std::vector<platform::FgetsPiece> lines;
    platform::FgetsReader reader = othmac::TextLines(text);
    while (const std::optional<platform::FgetsPiece> line = reader.Next()) lines.push_back(*line);
    if (lines.empty()) return {};
    // A file is current when its first line carries the marker anywhere.
    if (!othmac::Contains(lines.front().Text(), kRecordMarker)) {
        for (const platform::FgetsPiece& line : lines) {
            if (line.Text().starts_with(kRecordMarker)) {
                findings_.Error("marker-not-first", file_, 1,
                                "the first line lacks the [QM700] marker while line " +
                                    std::to_string(line.line) +
                                    " has it: the next look-up converts the file as an old one "
                                    "and garbles or drops its records");
                return {};
            }
        }
        findings_.Warning("old-format", file_, 1,
                          "old format without [QM700] markers: will be converted on first use");
        ReadOldLines(lines);
        return records_;
    }
    for (const platform::FgetsPiece& line : lines) ReadMarkerLine(line);
    return records_;
}

void RecordReader::ReadMarkerLine(const platform::FgetsPiece& line) {
    const std::string text(line.Text());
    if (line.Overlong()) {
        findings_.Error("long-line", file_, line.line,
                        "line is longer than 498 characters: the rest is read as a further record");
        return;
    }
    if (IsBlankLine(text)) {
        findings_.Info("blank-line", file_, line.line,
                       "empty line: read as a record without a name");
        return;
    }
    if (text.substr(0, kRecordMarker.size()) != kRecordMarker) {
        findings_.Error("missing-marker", file_, line.line,
                        "line lacks the [QM700] marker at its start: its fields are read from the "
                        "wrong columns");
        return;
    }
    const std::size_t width = layout_.fields.file.first + kFileFieldWidth;
    // A written record is exactly this wide; a longer one had a field that
    // overran and pushed the rest out of place (its padding too).
    if (text.size() > width &&
        (!IsBlankLine(text.substr(width)) ||
         TrimRight(Field(text, layout_.fields.name)).size() == kNameFieldWidth)) {
        findings_.Error("record-too-wide", file_, line.line, DescribeOverrun(text, layout_));
        return;
    }
    Record record;
    record.line = line.line;
    if (layout_.machineIndex) {
        const std::string field = Field(text, layout_.fields.number);
        record.number = othmac::FieldInteger(field);
        // "%3d": spaces, then the digits.
        const std::size_t digits = field.find_first_not_of(' ');
        if (digits == std::string::npos ||
            field.find_first_not_of("-0123456789", digits) != std::string::npos) {
            findings_.Warning("bad-type-number", file_, line.line,
                              "columns 8 to 10 hold " + Quoted(field) + ": read as machine type " +
                                  std::to_string(record.number));
            record.numberReported = true;
        }
    }
    const std::string nameField = TrimRight(Field(text, layout_.fields.name));
    record.name = FieldName(nameField);
    if (nameField.empty() || record.name.empty()) {
        findings_.Error("empty-name", file_, line.line,
                        std::string("record without a ") + layout_.nameWhat + ": it never matches");
        return;
    }
    if (record.name != nameField) {
        findings_.Error("name-with-space", file_, line.line,
                        std::string(layout_.nameWhat) + " " + Quoted(nameField) +
                            " contains a space: it reads back as " + Quoted(record.name) +
                            " and never matches");
        return;
    }
    const std::string fileField = TrimRight(Field(text, layout_.fields.file));
    record.file = FieldName(fileField);
    if (record.file != fileField) {
        findings_.Error("file-name-with-space", file_, line.line,
                        std::string(layout_.fileWhat) + " " + Quoted(fileField) +
                            " contains a space: it reads back as " + Quoted(record.file));
        return;
    }
    Accept(std::move(record));
}

void RecordReader::ReadOldLines(const std::vector<platform::FgetsPiece>& lines) {
    for (const platform::FgetsPiece& line : lines) {
        const std::optional<othmac::OldRecord> old =
            othmac::ReadOldRecord(line.Text(), layout_.oldFields);
        if (!old) {
            if (!IsBlankLine(line.Text())) {
                findings_.Warning("old-record-dropped", file_, line.line,
                                  std::string("record without a ") + layout_.nameWhat +
                                      ": the conversion drops it");
            }
            continue;
        }
        // The name as the converted record reads back.
        Accept(Record{line.line, old->number, FieldName(old->name), old->file, false});
    }
}

void RecordReader::Accept(Record record) {
    if (layout_.machineIndex && !record.numberReported &&
        (record.number < 130 || record.number > 139)) {
        findings_.Warning("bad-type-number", file_, record.line,
                          "machine type number " + std::to_string(record.number) +
                              " is outside 130 to 139: the exports never look it up");
    }
    if (record.file.empty()) {
        findings_.Error(
            "empty-file-name", file_, record.line,
            std::string("record without a ") + layout_.fileWhat + ": look-ups of it fail");
        return;
    }
    if (UnsafeFileName(record.file)) {
        findings_.Error("unsafe-file-name", file_, record.line,
                        std::string(layout_.fileWhat) + " " + Quoted(record.file) +
                            " holds a path separator: it names a file outside the data folder");
        return;
    }
    const std::string key =
        (layout_.machineIndex ? std::to_string(record.number) + " " : std::string()) +
        AsciiFolded(record.name);
    const auto [it, fresh] = seen_.emplace(key, record.line);
    if (!fresh) {
        findings_.Warning("duplicate-record", file_, record.line,
                          std::string("same ") + (layout_.machineIndex ? "machine" : "material") +
                              " as line " + std::to_string(it->second) +
                              " (letter case ignored): this record is never used");
        return;
    }
    // A name in CP932 and the same name in UTF-8 (written by a Linux tool)
    // are two records to the module but one name to the user.
    const std::string shown =
        (layout_.machineIndex ? std::to_string(record.number) + " " : std::string()) +
        AsciiFolded(host::DisplayText(record.name));
    const auto [twin, first] = shown_.emplace(shown, std::pair{record.line, record.name});
    if (!first) {
        findings_.Warning("same-name-encodings", file_, record.line,
                          std::string(layout_.nameWhat) + " " + Quoted(record.name) +
                              " reads as the same text as line " +
                              std::to_string(twin->second.first) +
                              " in another encoding (CP932 and UTF-8): two records for one " +
                              (layout_.machineIndex ? "machine" : "material") +
                              "; keep the CP932 one, which Windows workstations read");
    }
    records_.push_back(std::move(record));
}

}  // namespace

int CheckRecordStore(const fs::path& folder, const std::set<std::string>& names,
                     const std::set<std::string>& nonFiles, Findings& findings) {
    int filesRead = 0;
    std::set<std::string> lists;
    std::set<std::string> templates;
    // Template file (letter case ignored, as on a Windows share) -> the
    // first pair naming it.
    std::map<std::string, std::string> templateOwners;
    // Machines whose list cannot be read: their templates may be named.
    std::vector<std::string> unreadOwners;
    bool indexEmpty = !nonFiles.contains(kIndexFile);
    if (names.contains(kIndexFile)) {
        const std::optional<std::string> bytes = ReadBytes(folder / kIndexFile);
        if (!bytes) {
            findings.Error("unreadable-file", kIndexFile, 0, "the file cannot be read");
        } else {
            ++filesRead;
            indexEmpty = IsBlankLine(*bytes);
            const std::vector<Record> machines =
                RecordReader(kIndexFile, kIndexLayout, findings).Read(*bytes);
            std::map<std::string, const Record*> firstOfList;
            for (const Record& machine : machines) {
                const std::string expected = othmac::MaterialListName(machine.name);
                if (machine.file != expected) {
                    findings.Info("list-name-unusual", kIndexFile, machine.line,
                                  "machine " + Quoted(machine.name) + " names the material list " +
                                      Quoted(machine.file) + " (a new registration would name " +
                                      Quoted(expected) + ")");
                }
                firstOfList.emplace(machine.file, &machine);
                lists.insert(machine.file);
            }
            for (const auto& [listName, machine] : firstOfList) {
                if (nonFiles.contains(listName)) continue;  // reported as not-a-file
                if (!names.contains(listName)) {
                    findings.Warning("list-missing", kIndexFile, machine->line,
                                     "material list missing: " + Quoted(listName) +
                                         " does not exist, look-ups of machine " +
                                         Quoted(machine->name) + " fail");
                    continue;
                }
                const std::optional<std::string> listBytes = ReadBytes(folder / listName);
                if (!listBytes) {
                    findings.Error("unreadable-file", listName, 0,
                                   "the file cannot be read: the templates of machine " +
                                       Quoted(machine->name) + " are not audited");
                    unreadOwners.push_back(AsciiFolded(machine->name) + "-");
                    continue;
                }
                ++filesRead;
                for (const Record& material :
                     RecordReader(listName, kListLayout, findings).Read(*listBytes)) {
                    const std::string expected =
                        othmac::TemplateFileName(machine->name, material.name);
                    if (material.file != expected) {
                        findings.Info("template-name-unusual", listName, material.line,
                                      "material " + Quoted(material.name) + " names the template " +
                                          Quoted(material.file) + " (" + NewTemplateName(expected) +
                                          ")");
                    }
                    templates.insert(material.file);
                    const std::string pair =
                        "machine " + Quoted(machine->name) + " / material " + Quoted(material.name);
                    const auto [owner, fresh] =
                        templateOwners.emplace(AsciiFolded(material.file), pair);
                    if (!fresh && !EqualsIgnoringAsciiCase(owner->second, pair)) {
                        findings.Error("shared-file", listName, material.line,
                                       pair + " and " + owner->second + " both use the template " +
                                           Quoted(material.file) +
                                           ": saving one overwrites the other; register one of "
                                           "them under another name");
                    }
                    if (nonFiles.contains(material.file)) continue;
                    if (!names.contains(material.file)) {
                        findings.Warning("template-missing", listName, material.line,
                                         "template file " + Quoted(material.file) +
                                             " does not exist: a look-up without registration "
                                             "gives 100 until it is saved");
                    }
                }
            }
        }
    }
    std::size_t listFiles = 0;
    for (const std::string& name : names) listFiles += othmac::IsMaterialListName(name) ? 1 : 0;
    if (indexEmpty && listFiles > 0) {
        findings.Error("index-empty", kIndexFile, 0,
                       std::string("the machine index is ") +
                           (names.contains(kIndexFile) ? "empty" : "missing") + " while " +
                           std::to_string(listFiles) +
                           " material lists exist: every look-up of their machines gives 100 and "
                           "a registration starts a new index; restore Othmcn.dat from a backup");
        return filesRead;
    }
    for (const std::string& name : names) {
        const std::string folded = AsciiFolded(name);
        if (othmac::IsMaterialListName(name) && !lists.contains(name)) {
            findings.Warning("orphan-list", name, 0,
                             "material list not named by any record of Othmcn.dat: never read");
        } else if (othmac::IsTemplateFileName(name) && !templates.contains(name) &&
                   std::none_of(
                       unreadOwners.begin(), unreadOwners.end(),
                       [&](const std::string& owner) { return folded.rfind(owner, 0) == 0; })) {
            findings.Warning("orphan-template", name, 0,
                             "template file not named by any material list: never used");
        }
    }
    return filesRead;
}

}  // namespace quillet::check::detail

namespace quillet::check {

std::vector<RegisteredMachine> ReadRecordStore(
    const std::filesystem::path& dataFolder, const std::optional<std::vector<std::string>>& names) {
    using namespace detail;
    Findings ignored;
    std::vector<RegisteredMachine> machines;
    const std::optional<std::string> index = ReadBytes(dataFolder / kIndexFile);
    if (!index) return machines;
    for (Record& record : RecordReader(kIndexFile, kIndexLayout, ignored).Read(*index)) {
        if (names && std::none_of(names->begin(), names->end(), [&](const std::string& name) {
                return platform::EqualsIgnoringAsciiCase(record.name, name);
            })) {
            continue;
        }
        RegisteredMachine machine{record.number, record.name, record.file, false, {}};
        if (const std::optional<std::string> list = ReadBytes(dataFolder / record.file)) {
            machine.listed = true;
            for (Record& material : RecordReader(record.file, kListLayout, ignored).Read(*list)) {
                machine.materials.push_back({material.name, material.file});
            }
        }
        machines.push_back(std::move(machine));
    }
    return machines;
}

}  // namespace quillet::check
