// The machine index and the material lists: fixed-width records read by
// column, names compared without regard to ASCII letter case, old files
// without markers converted when first met. See record_store.h.
#include "othmac/record_store.h"
#include "platform/ascii.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "frame/module.h"
#include "frame/roots.h"
#include "frame/status.h"
#include "othmac/text_lines.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::othmac {

namespace {

namespace fs = std::filesystem;

constexpr const char* kMarker = "[QM700]";
constexpr std::size_t kMarkerWidth = 7;
constexpr const char* kIndexFile = "/Othmcn.dat";
constexpr const char* kListSuffix = ".__1";
constexpr const char* kTemplateSuffix = ".CUT";

// Message ids of the string table.
constexpr int kMessageNoRoot = 201;
constexpr int kMessageNotSetUp = 202;
constexpr int kMessageNameTooLong = 203;

std::string PadRight(const std::string& text, std::size_t width) {
    std::string out = text;
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

// Columns [first, first + width) of line (0-based), as far as the line goes.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t width) {
    if (first >= line.size()) return {};
    return line.substr(first, width);
}

// A name read back from its field ends at the field's first space. A line
// break inside a field only happens on a short, hand-edited line; it is no
// part of a name either.
std::string_view FieldName(std::string_view field) {
    std::size_t end = 0;
    while (end < field.size() && field[end] != ' ' && field[end] != '\r' && field[end] != '\n') {
        ++end;
    }
    return field.substr(0, end);
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi of a field: leading white space skipped, optional sign, digits.
int FieldInteger(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && IsCSpace(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
    }
    return static_cast<int>(negative ? -value : value);
}

// atof of a field in the C locale.
double FieldReal(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && IsCSpace(field[i])) ++i;
    if (i < field.size() && field[i] == '+') ++i;
    double value = 0.0;
    const char* first = field.data() + i;
    const auto [ptr, ec] = std::from_chars(first, field.data() + field.size(), value);
    (void)ptr;
    return ec == std::errc() ? value : 0.0;
}

// "%-5.1lf" in the C locale.
std::string FormatOldThickness(double value) {
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (ec != std::errc()) return PadRight("0.0", 5);
    return PadRight(std::string(buffer, end), 5);
}

using platform::EqualsIgnoringAsciiCase;

// Converts an old marker-less index or list: the new file's text from the
// old text's lines.
using Conversion = std::string (*)(std::string_view text);

std::string ConvertMachineIndex(std::string_view text) {
    // Old records: number in columns 1-3, machine name in 4-11, list file
    // name in 12-23. A record without a name (a blank line, a name field
    // starting with a space) is skipped: every valid record is kept.
    std::string contents;
    TextLineCursor lines(text);
    while (const std::optional<std::string_view> line = lines.Next()) {
        const std::string name(FieldName(Columns(*line, 3, 8)));
        if (name.empty()) continue;
        contents += MachineRecord(FieldInteger(Columns(*line, 0, 3)), name,
                                  std::string(FieldName(Columns(*line, 11, 12))));
    }
    return contents;
}

std::string ConvertMaterialList(std::string_view text) {
    // Old records: material name in columns 1-8, the sheet thickness in 9-13,
    // template file name in 14-25. The thickness becomes part of the name
    // ("SPCC" and 1.6 give "SPCC1.6  "); records without a name are skipped.
    std::string contents;
    TextLineCursor lines(text);
    while (const std::optional<std::string_view> line = lines.Next()) {
        const std::string name(FieldName(Columns(*line, 0, 8)));
        if (name.empty()) continue;
        contents += MaterialRecord(name + FormatOldThickness(FieldReal(Columns(*line, 8, 5))),
                                   std::string(FieldName(Columns(*line, 13, 12))));
    }
    return contents;
}

// True when text (in text mode) is an old marker-less file: its first line,
// as fgets gives it and cut at a NUL byte, lacks the marker. A current file
// whose first line was blanked or damaged by hand still carries the marker
// further down and is no old file.
bool IsOldFormat(const std::string& text) {
    const std::optional<std::string_view> first =
        platform::FgetsReader(text, kLineBufferSize).Next();
    if (!first || Contains(first->substr(0, first->find('\0')), kMarker)) return false;
    return !Contains(text, kMarker);
}

// An index or list read once for a look-up, converted first when it is an
// old file. text is nullopt when the file cannot be read; converted is
// false when a conversion was needed and the rewrite failed.
struct RecordFile {
    std::optional<std::string> text;
    bool converted = true;
};

RecordFile ReadRecordFile(const fs::path& path, Conversion convert) {
    RecordFile file{ReadTextModeFile(path)};
    if (!file.text || !IsOldFormat(*file.text)) return file;
    // The conversion is a rewrite: under the file's lock, from the file as
    // it is now (another workstation may have converted it meanwhile).
    const platform::FileLock lock(path);
    std::optional<std::string> now = lock.Read();
    if (!now) return RecordFile{std::nullopt, false};
    ToTextMode(*now);
    if (!IsOldFormat(*now)) return RecordFile{std::move(now), true};
    std::string contents = convert(*now);
    if (!platform::AtomicReplace(path, contents)) return RecordFile{std::move(file.text), false};
    // The rewritten file reads back as exactly these bytes (no CR LF).
    file.text = std::move(contents);
    return file;
}

// A name that could leave the data folder or split a record line.
bool UnsafeName(const std::string& name) {
    return platform::NameHoldsSeparator(name) || name.find_first_of("\r\n") != std::string::npos;
}

// The bytes that append record to a file holding text: a last line left
// without its line break (a hand edit, a foreign writer) is ended first, in
// the same write, or the record would join that line and never be found.
std::string OnNewLine(const std::string& text, const std::string& record) {
    return !text.empty() && text.back() != '\n' ? "\n" + record : record;
}

// A file name taken from a record: one name inside the data folder.
bool SafeFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && !UnsafeName(name);
}

// The record store's own files: the index, and a material list by its
// suffix. A damaged record naming one of them as a list or a template would
// have records appended to, or a template written over, the wrong file.
bool IsRecordStoreFile(std::string_view name) {
    const std::string_view suffix = kListSuffix;
    return EqualsIgnoringAsciiCase(name, std::string_view(kIndexFile).substr(1)) ||
           (name.size() >= suffix.size() &&
            EqualsIgnoringAsciiCase(name.substr(name.size() - suffix.size()), suffix));
}

// Searches the records of text (in text mode) for a name: the file name of
// the first match, or nullopt.
using RecordSearch = std::function<std::optional<std::string>(std::string_view text)>;

// The outcome of a registration's write.
struct Registration {
    bool written = false;              // the record was appended or the file created
    std::optional<std::string> found;  // another workstation registered it meanwhile
};

// Writes record into the index or list at path: creates the file holding it
// when there was none (O_EXCL, so nobody's file is written over), else takes
// the file's lock, rereads the file and appends the record unless a record
// that search finds is there by now. The lock is held only for this
// read-then-append.
Registration Register(const fs::path& path, const RecordSearch& search, const std::string& record,
                      bool exists) {
    for (int attempt = 0; attempt < 2; ++attempt, exists = false) {
        if (!exists && platform::CreateExclusive(path, record)) {
            return Registration{true, std::nullopt};
        }
        const platform::FileLock lock(path);
        if (lock.GetState() == platform::FileLock::State::Missing) continue;  // removed meanwhile
        std::optional<std::string> text = lock.Read();
        if (!text) return Registration{};
        std::string lines = *text;
        ToTextMode(lines);
        // An old file is converted by the read before; one that turned up
        // meanwhile is left to the next look-up rather than appended to.
        if (IsOldFormat(lines)) return Registration{};
        if (std::optional<std::string> name = search(lines)) return Registration{false, name};
        return Registration{lock.Append(OnNewLine(*text, record)), std::nullopt};
    }
    return Registration{};
}

class Lookup {
public:
    explicit Lookup(const LookupRequest& request)
        : request_(request), create_(request.create != 0), show_(request.showMessages == 1) {}

    LookupResult Run();

private:
    // Messages are shown here only, never while a lock is held.
    LookupResult Fail(int status, int messageId = 0) const {
        if (messageId != 0 && show_) frame::ShowStringMessage(messageId);
        return LookupResult{status, {}};
    }
    std::optional<std::string> SearchIndex(std::string_view text) const;
    std::optional<std::string> SearchList(std::string_view text) const;
    // What a new record needs before anything is written: every name of the
    // registration fits its field and its path.
    bool CanRegister(const std::string& folder) const;

    const LookupRequest& request_;
    const bool create_;
    const bool show_;
};

std::optional<std::string> Lookup::SearchIndex(std::string_view text) const {
    TextLineCursor lines(text);
    while (const std::optional<std::string_view> line = lines.Next()) {
        if (FieldInteger(Columns(*line, kMarkerWidth, 3)) != request_.machineTypeNo) continue;
        const std::string_view name = FieldName(Columns(*line, kMarkerWidth + 3, kNameFieldWidth));
        if (EqualsIgnoringAsciiCase(name, request_.machineName)) {
            return std::string(
                FieldName(Columns(*line, kMarkerWidth + 3 + kNameFieldWidth, kFileFieldWidth)));
        }
    }
    return std::nullopt;
}

std::optional<std::string> Lookup::SearchList(std::string_view text) const {
    TextLineCursor lines(text);
    while (const std::optional<std::string_view> line = lines.Next()) {
        const std::string_view name = FieldName(Columns(*line, kMarkerWidth, kNameFieldWidth));
        if (EqualsIgnoringAsciiCase(name, request_.materialName)) {
            return std::string(
                FieldName(Columns(*line, kMarkerWidth + kNameFieldWidth, kFileFieldWidth)));
        }
    }
    return std::nullopt;
}

// A registration needs both names and a template file name that fits its
// field (one over 100 characters would not read back whole). A name with a
// space is written in full and read back cut at the space, so such a record
// is never found again and each registration appends another: that is the
// stored format, and callers still get their path.
bool Lookup::CanRegister(const std::string& folder) const {
    const std::string& machine = request_.machineName;
    const std::string& material = request_.materialName;
    if (machine.empty() || material.empty()) return false;
    if (machine.size() + 1 + material.size() + std::char_traits<char>::length(kTemplateSuffix) >
        kFileFieldWidth) {
        return false;
    }
    return platform::ComposePath(folder, {"/", machine, kListSuffix}) &&
           platform::ComposePath(folder, {"/", machine, "-", material, kTemplateSuffix});
}

LookupResult Lookup::Run() {
    const std::string& machine = request_.machineName;
    // Checked before any file is touched.
    if (UnsafeName(machine) || UnsafeName(request_.materialName)) return Fail(kSystemError);

    const std::optional<std::string> root = frame::DataRoot();
    if (!root) return Fail(kSystemError, kMessageNoRoot);
    const std::optional<std::string> folder = platform::ComposePath(*root, {"data/Othmcn"});
    if (!folder) return Fail(kSystemError);
    platform::CreateFolder(*folder);  // an existing folder is no error
    const std::optional<std::string> indexPath = platform::ComposePath(*folder, {kIndexFile});
    if (!indexPath) return Fail(kSystemError);

    // Each file is read once (converted first when old) and searched; only a
    // registration writes, and only it takes a lock.
    RecordFile index = ReadRecordFile(*indexPath, ConvertMachineIndex);
    if (!index.converted) return Fail(kSystemError);
    std::optional<std::string> listName;
    if (index.text) listName = SearchIndex(*index.text);
    if (!listName) {
        if (!create_) return Fail(kNotSetUp, kMessageNotSetUp);
        if (machine.size() > kNameFieldWidth) return Fail(kNameTooLong, kMessageNameTooLong);
        // Refuse what could not be named before any record is written.
        if (!CanRegister(*folder)) return Fail(kSystemError);
        const Registration added = Register(
            *indexPath, [this](std::string_view text) { return SearchIndex(text); },
            MachineRecord(request_.machineTypeNo, machine, machine + kListSuffix),
            index.text.has_value());
        if (!added.written && !added.found) return Fail(kSystemError);
        listName = added.found ? *added.found : machine + kListSuffix;
    }
    // A file name read from a damaged or hand-edited record must not lead
    // out of the data folder (nor to the folder itself).
    if (!SafeFileName(*listName) || EqualsIgnoringAsciiCase(*listName, &kIndexFile[1])) {
        return Fail(kSystemError);
    }
    const std::optional<std::string> listPath = platform::ComposePath(*folder, {"/", *listName});
    if (!listPath) return Fail(kSystemError);
    RecordFile list = ReadRecordFile(*listPath, ConvertMaterialList);
    if (!list.converted) return Fail(kSystemError);

    std::optional<std::string> templateName;
    if (list.text) templateName = SearchList(*list.text);
    if (!templateName) {
        if (!create_) return Fail(kNotSetUp, kMessageNotSetUp);
        // The refusals of a registration apply only here, where a new
        // material record must be written: a registered pair opens with
        // create 1 exactly as with create 0.
        if (!CanRegister(*folder)) return Fail(kSystemError);
        const std::string name = machine + "-" + request_.materialName + kTemplateSuffix;
        const Registration added = Register(
            *listPath, [this](std::string_view text) { return SearchList(text); },
            MaterialRecord(request_.materialName, name), list.text.has_value());
        if (!added.written && !added.found) return Fail(kSystemError);
        templateName = added.found ? *added.found : name;
    }
    if (!SafeFileName(*templateName) || IsRecordStoreFile(*templateName)) {
        return Fail(kSystemError);
    }
    const std::optional<std::string> templatePath =
        platform::ComposePath(*folder, {"/", *templateName});
    if (!templatePath) return Fail(kSystemError);
    // Look-up only: the template must exist as well. A registration leaves
    // it to the first write.
    if (!create_ && !platform::CanOpenForReading(*templatePath)) {
        return Fail(kNotSetUp, kMessageNotSetUp);
    }
    return LookupResult{kDone, *templatePath};
}

}  // namespace

std::string MachineRecord(int machineTypeNo, const std::string& machineName,
                          const std::string& listFileName) {
    char number[16];
    std::snprintf(number, sizeof number, "%3d", machineTypeNo);
    return kMarker + std::string(number) + PadRight(machineName, kNameFieldWidth) +
           PadRight(listFileName, kFileFieldWidth) + "\n";
}

std::string MaterialRecord(const std::string& materialName, const std::string& templateFileName) {
    return kMarker + PadRight(materialName, kNameFieldWidth) +
           PadRight(templateFileName, kFileFieldWidth) + "\n";
}

LookupResult LocateConditionFile(const LookupRequest& request) { return Lookup(request).Run(); }

bool UpgradeMachineIndex(const std::filesystem::path& path) {
    return ReadRecordFile(path, ConvertMachineIndex).converted;
}

bool UpgradeMaterialList(const std::filesystem::path& path) {
    return ReadRecordFile(path, ConvertMaterialList).converted;
}

bool CheckLookupArguments(int create, int showMessages, int machineTypeNo) {
    auto refuse = [](int which, int value) {
        char text[128];
        std::snprintf(text, sizeof text, "system error：%d[%d]", which, value);
        frame::ShowBuiltinMessage(text);
        return false;
    };
    if (create != 0 && create != 1) return refuse(1, create);
    if (showMessages != 0 && showMessages != 1) return refuse(2, showMessages);
    if (machineTypeNo < kMinMachineTypeNo || machineTypeNo > kMaxMachineTypeNo) {
        return refuse(3, machineTypeNo);
    }
    return true;
}

}  // namespace quillet::othmac
