// The machine index and the material lists: fixed-width records read by
// column, names compared without regard to ASCII letter case, old files
// without markers converted when first met. See record_store.h.
#include "othmac/record_store.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "frame/module.h"
#include "frame/resources.h"
#include "frame/roots.h"
#include "othmac/record_layout.h"
#include "othmac/text_lines.h"
#include "platform/ascii.h"
#include "platform/file_lock.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::othmac {

namespace {

namespace fs = std::filesystem;

using platform::EqualsIgnoringAsciiCase;

// Converts an old marker-less index or list: the new file's text from the
// old text's lines.
using Conversion = std::string (*)(std::string_view text);

// The new file's text from an old file's records: every record with a name
// is kept (a blank line, or a name field starting with a space, is skipped).
std::string ConvertMachineIndex(std::string_view text) {
    std::string contents;
    platform::FgetsReader lines = TextLines(text);
    while (const std::optional<platform::FgetsPiece> line = lines.Next()) {
        if (const std::optional<OldRecord> record = ReadOldRecord(line->cString, kOldIndexRecord)) {
            contents += MachineRecord(record->number, record->name, record->file);
        }
    }
    return contents;
}

std::string ConvertMaterialList(std::string_view text) {
    std::string contents;
    platform::FgetsReader lines = TextLines(text);
    while (const std::optional<platform::FgetsPiece> line = lines.Next()) {
        if (const std::optional<OldRecord> record = ReadOldRecord(line->cString, kOldListRecord)) {
            contents += MaterialRecord(record->name, record->file);
        }
    }
    return contents;
}

// True when text (in text mode) is an old marker-less file: its first line,
// as fgets gives it and cut at a NUL byte, lacks the marker. A current file
// whose first line was blanked or damaged by hand still carries the marker
// further down and is no old file.
bool IsOldFormat(const std::string& text) {
    const std::optional<platform::FgetsPiece> first = TextLines(text).Next();
    if (!first || Contains(first->cString, kRecordMarker)) return false;
    return !Contains(text, kRecordMarker);
}

// An index or list read once for a look-up, converted first when it is an
// old file. text is nullopt when the file cannot be read; converted is
// false when a conversion was needed and the rewrite failed.
struct RecordFile {
    std::optional<std::string> text;
    bool converted = true;
};

RecordFile ReadRecordFile(const fs::path& path, Conversion convert) {
    RecordFile file{platform::ReadTextModeFile(path)};
    if (!file.text || !IsOldFormat(*file.text)) return file;
    // The conversion is a rewrite: under the file's lock, from the file as
    // it is now (another workstation may have converted it meanwhile).
    const platform::FileLock lock(path);
    std::optional<std::string> now = lock.Read();
    if (!now) return RecordFile{std::nullopt, false};
    *now = platform::TextModeBytes(std::move(*now));
    if (!IsOldFormat(*now)) return RecordFile{std::move(now), true};
    std::string contents = convert(*now);
    if (!platform::AtomicReplace(path, contents, platform::Durability::Durable, lock.Held())) {
        return RecordFile{std::move(file.text), false};
    }
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
    return platform::IsSingleFileName(name) && name.find_first_of("\r\n") == std::string::npos;
}

// The record store's own files: the index, and a material list by its
// suffix. A damaged record naming one of them as a list or a template would
// have records appended to, or a template written over, the wrong file.
bool IsRecordStoreFile(std::string_view name) {
    return EqualsIgnoringAsciiCase(name, kIndexFileName) || IsMaterialListName(name);
}

// Searches the records of text (in text mode) for a name: the file name of
// the first match, or nullopt.
using RecordSearch = std::function<std::optional<std::string>(std::string_view text)>;

// The outcome of a registration's write.
struct Registration {
    bool written = false;              // the record was appended or the file created
    std::optional<std::string> found;  // another workstation registered it meanwhile
    bool busy = false;                 // another held the file's lock too long
};

// Writes record into the index or list at path: creates the file holding it
// when there was none (published whole, so nobody's file is written over and
// nobody sees it empty), else takes the file's lock, rereads the file and
// appends the record unless a record that search finds is there by now. The
// lock is held only for this read-then-append; a file that cannot be
// written (read-only, a link in its place) takes no record.
Registration Register(const fs::path& path, const RecordSearch& search, const std::string& record,
                      bool exists) {
    for (int attempt = 0; attempt < 2; ++attempt, exists = false) {
        if (!exists && platform::CreateExclusive(path, record)) {
            return Registration{true, std::nullopt};
        }
        const platform::FileLock lock(path);
        if (lock.GetState() == platform::FileLock::State::Missing) continue;  // removed meanwhile
        if (lock.GetState() == platform::FileLock::State::Busy)
            return Registration{false, std::nullopt, true};
        std::optional<std::string> text = lock.Read();
        if (!text) return Registration{};
        const std::string lines = platform::TextModeBytes(*text);
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
        : request_(request), create_(request.create), show_(request.showMessages) {}

    LookupResult Run();

private:
    // Messages are shown here only, never while a lock is held.
    LookupResult Fail(Outcome status, int messageId = 0) const {
        if (messageId != 0 && show_) frame::ShowStringMessage(messageId);
        return LookupResult{status, {}};
    }
    // A registration that wrote nothing: the message naming the file when
    // another workstation kept its lock.
    LookupResult FailRegistration(const Registration& added, const std::string& path) const {
        if (added.busy && show_) frame::ShowBusyFileMessage(path);
        return LookupResult{Outcome::SystemError, {}};
    }
    std::optional<std::string> SearchIndex(std::string_view text) const;
    std::optional<std::string> SearchList(std::string_view text) const;
    // What a new record needs before anything is written: the names of the
    // registration fit their fields and paths (the template's only for a
    // material record).
    bool CanRegister(const std::string& folder, bool material) const;
    // True when the list a new machine record would name holds the material.
    bool ListedUnderOtherType(const std::string& folder) const {
        const std::optional<std::string> text =
            platform::ReadTextModeFile(folder + "/" + MaterialListName(request_.machineName));
        return text && !IsOldFormat(*text) && SearchList(*text);
    }

    const LookupRequest& request_;
    const bool create_;
    const bool show_;
};

std::optional<std::string> Lookup::SearchIndex(std::string_view text) const {
    return FindMachineRecord(text, request_.machineTypeNo, request_.machineName);
}

std::optional<std::string> Lookup::SearchList(std::string_view text) const {
    return FindMaterialRecord(text, request_.materialName);
}

// A registration needs both names; a material record also a template file
// name that fits its field (one over 100 characters would not read back
// whole). A machine record names only the list, so a pair whose material
// record exists opens under a new machine type whatever its template name.
// A name with a space is written in full and read back cut at the space, so
// such a record is never found again and each registration appends another:
// that is the stored format, and callers still get their path.
bool Lookup::CanRegister(const std::string& folder, bool material) const {
    const std::string& machine = request_.machineName;
    const std::string& materialName = request_.materialName;
    if (machine.empty() || materialName.empty()) return false;
    if (!platform::ComposePath(folder, {"/", MaterialListName(machine)})) return false;
    if (!material) return true;
    const std::string templateName = TemplateFileName(machine, materialName);
    return templateName.size() <= kFileFieldWidth &&
           platform::ComposePath(folder, {"/", templateName});
}

LookupResult Lookup::Run() {
    const std::string& machine = request_.machineName;
    // Checked before any file is touched.
    if (UnsafeName(machine) || UnsafeName(request_.materialName)) return Fail(Outcome::SystemError);

    const std::optional<std::string> root = frame::DataRoot();
    if (!root) return Fail(Outcome::SystemError, frame::kStringNoDataRoot);
    const std::optional<std::string> folder = frame::DataFolderOf(*root);
    if (!folder) return Fail(Outcome::SystemError);
    platform::CreateFolder(*folder);  // an existing folder is no error
    const std::optional<std::string> indexPath =
        platform::ComposePath(*folder, {"/", kIndexFileName});
    if (!indexPath) return Fail(Outcome::SystemError);

    // Each file is read once (converted first when old) and searched; only a
    // registration writes, and only it takes a lock.
    RecordFile index = ReadRecordFile(*indexPath, ConvertMachineIndex);
    if (!index.converted) return Fail(Outcome::SystemError);
    std::optional<std::string> listName;
    if (index.text) listName = SearchIndex(*index.text);
    if (!listName) {
        if (!create_) return Fail(Outcome::NotSetUp, frame::kStringNotSetUp);
        if (machine.size() > kNameFieldWidth)
            return Fail(Outcome::NameTooLong, frame::kStringNameTooLong);
        // Refuse what could not be named before any record is written: the
        // material record too, unless the machine's list (shared with its
        // other type numbers) holds the material already.
        if (!CanRegister(*folder, true) &&
            !(CanRegister(*folder, false) && ListedUnderOtherType(*folder))) {
            return Fail(Outcome::SystemError);
        }
        const Registration added = Register(
            *indexPath, [this](std::string_view text) { return SearchIndex(text); },
            MachineRecord(request_.machineTypeNo, machine, MaterialListName(machine)),
            index.text.has_value());
        if (!added.written && !added.found) return FailRegistration(added, *indexPath);
        listName = added.found ? *added.found : MaterialListName(machine);
    }
    // A file name read from a damaged or hand-edited record must not lead
    // out of the data folder (nor to the folder itself).
    if (!SafeFileName(*listName) || EqualsIgnoringAsciiCase(*listName, kIndexFileName)) {
        return Fail(Outcome::SystemError);
    }
    const std::optional<std::string> listPath = platform::ComposePath(*folder, {"/", *listName});
    if (!listPath) return Fail(Outcome::SystemError);
    RecordFile list = ReadRecordFile(*listPath, ConvertMaterialList);
    if (!list.converted) return Fail(Outcome::SystemError);

    std::optional<std::string> templateName;
    if (list.text) templateName = SearchList(*list.text);
    if (!templateName) {
        if (!create_) return Fail(Outcome::NotSetUp, frame::kStringNotSetUp);
        // The refusals of a registration apply only here, where a new
        // material record must be written: a registered pair opens with
        // create 1 exactly as with create 0.
        if (!CanRegister(*folder, true)) return Fail(Outcome::SystemError);
        const std::string name = TemplateFileName(machine, request_.materialName);
        const Registration added = Register(
            *listPath, [this](std::string_view text) { return SearchList(text); },
            MaterialRecord(request_.materialName, name), list.text.has_value());
        if (!added.written && !added.found) return FailRegistration(added, *listPath);
        templateName = added.found ? *added.found : name;
    }
    if (!SafeFileName(*templateName) || IsRecordStoreFile(*templateName)) {
        return Fail(Outcome::SystemError);
    }
    const std::optional<std::string> templatePath =
        platform::ComposePath(*folder, {"/", *templateName});
    if (!templatePath) return Fail(Outcome::SystemError);
    // Look-up only: the template must exist as well. A registration leaves
    // it to the first write.
    if (!create_ && !platform::CanOpenForReading(*templatePath)) {
        return Fail(Outcome::NotSetUp, frame::kStringNotSetUp);
    }
    return LookupResult{Outcome::Done, *templatePath};
}

}  // namespace

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
