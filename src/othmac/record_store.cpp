// The machine index and the material lists: fixed-width records read by
// column, names compared without regard to ASCII letter case, old files
// without markers converted when first met. See record_store.h.
#include "othmac/record_store.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "frame/module.h"
#include "frame/roots.h"
#include "frame/status.h"
#include "othmac/text_lines.h"
#include "platform/code_page.h"
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
std::string Columns(const std::string& line, std::size_t first, std::size_t width) {
    if (first >= line.size()) return {};
    return line.substr(first, width);
}

// A name read back from its field ends at the field's first space. A line
// break inside a field only happens on a short, hand-edited line; it is no
// part of a name either.
std::string FieldName(const std::string& field) {
    return field.substr(0, field.find_first_of(" \r\n"));
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi of a field: leading white space skipped, optional sign, digits.
int FieldInteger(const std::string& field) {
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
double FieldReal(const std::string& field) {
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

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

bool FirstLineHasMarker(const std::vector<std::string>& lines) {
    return !lines.empty() && Contains(lines.front(), kMarker);
}

// A name that could leave the data folder or split a record line.
bool UnsafeName(const std::string& name) {
    return platform::HasPathSeparator(name) || name.find_first_of("\r\n") != std::string::npos;
}

// What a registration writes must read back: no empty name, no space in a
// name (a name is cut at its first space), no material name wider than its
// field and no template file name wider than its field.
bool RegistrationReadsBack(const LookupRequest& request) {
    if (request.machineName.empty() || request.materialName.empty()) return false;
    if (request.machineName.find(' ') != std::string::npos) return false;
    if (request.materialName.find(' ') != std::string::npos) return false;
    if (request.materialName.size() > kNameFieldWidth) return false;
    const std::size_t templateLength = request.machineName.size() + 1 +
                                       request.materialName.size() +
                                       std::char_traits<char>::length(kTemplateSuffix);
    return templateLength <= kFileFieldWidth;
}

class Lookup {
public:
    explicit Lookup(const LookupRequest& request)
        : request_(request), create_(request.create != 0), show_(request.showMessages == 1) {}

    LookupResult Run();

private:
    LookupResult Fail(int status, int messageId = 0) const {
        if (messageId != 0 && show_) frame::ShowStringMessage(messageId);
        return LookupResult{status, {}};
    }
    std::optional<std::string> FindListFile(const fs::path& indexPath, LookupResult& failure);
    std::optional<std::string> FindTemplateFile(const fs::path& listPath, bool& registered,
                                                LookupResult& failure);

    const LookupRequest& request_;
    const bool create_;
    const bool show_;
};

std::optional<std::string> Lookup::FindListFile(const fs::path& indexPath, LookupResult& failure) {
    const std::string& machine = request_.machineName;
    const std::string record =
        MachineRecord(request_.machineTypeNo, machine, machine + kListSuffix);
    std::optional<std::vector<std::string>> lines = ReadTextLines(indexPath);
    if (!lines) {
        if (!create_) return failure = Fail(kNotSetUp, kMessageNotSetUp), std::nullopt;
        if (machine.size() > kNameFieldWidth) {
            return failure = Fail(kNameTooLong, kMessageNameTooLong), std::nullopt;
        }
        if (platform::CreateExclusive(indexPath, record)) return machine + kListSuffix;
        // Someone who does not take the folder lock may have created it just
        // now; read theirs rather than write over it.
        lines = ReadTextLines(indexPath);
        if (!lines) return failure = Fail(kSystemError), std::nullopt;
    }
    for (const std::string& line : *lines) {
        const int number = FieldInteger(Columns(line, kMarkerWidth, 3));
        const std::string name = FieldName(Columns(line, kMarkerWidth + 3, kNameFieldWidth));
        if (number == request_.machineTypeNo && EqualsIgnoringAsciiCase(name, machine)) {
            return FieldName(Columns(line, kMarkerWidth + 3 + kNameFieldWidth, kFileFieldWidth));
        }
    }
    if (!create_) return failure = Fail(kNotSetUp, kMessageNotSetUp), std::nullopt;
    if (machine.size() > kNameFieldWidth) {
        return failure = Fail(kNameTooLong, kMessageNameTooLong), std::nullopt;
    }
    if (!platform::AppendRecord(indexPath, record))
        return failure = Fail(kSystemError), std::nullopt;
    return machine + kListSuffix;
}

std::optional<std::string> Lookup::FindTemplateFile(const fs::path& listPath, bool& registered,
                                                    LookupResult& failure) {
    const std::string templateName =
        request_.machineName + "-" + request_.materialName + kTemplateSuffix;
    const std::string record = MaterialRecord(request_.materialName, templateName);
    std::optional<std::vector<std::string>> lines = ReadTextLines(listPath);
    if (!lines) {
        if (!create_) return failure = Fail(kNotSetUp, kMessageNotSetUp), std::nullopt;
        // A new list is created holding its first record, in one write.
        if (platform::CreateExclusive(listPath, record)) return registered = true, templateName;
        lines = ReadTextLines(listPath);
        if (!lines) return failure = Fail(kSystemError), std::nullopt;
    }
    for (const std::string& line : *lines) {
        const std::string name = FieldName(Columns(line, kMarkerWidth, kNameFieldWidth));
        if (EqualsIgnoringAsciiCase(name, request_.materialName)) {
            return FieldName(Columns(line, kMarkerWidth + kNameFieldWidth, kFileFieldWidth));
        }
    }
    if (!create_) return failure = Fail(kNotSetUp, kMessageNotSetUp), std::nullopt;
    if (!platform::AppendRecord(listPath, record))
        return failure = Fail(kSystemError), std::nullopt;
    registered = true;
    return templateName;
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

    if (create_ && machine.size() <= kNameFieldWidth) {
        // Refuse what could not be found again, or not be named, before any
        // record is written.
        if (!RegistrationReadsBack(request_)) return Fail(kSystemError);
        if (!platform::ComposePath(*folder, {"/", machine, kListSuffix}) ||
            !platform::ComposePath(*folder,
                                   {"/", machine, "-", request_.materialName, kTemplateSuffix})) {
            return Fail(kSystemError);
        }
    }

    // Read-then-append of the index and the list is serialised between
    // processes sharing the data folder.
    const platform::FolderLock lock(*folder);
    if (!UpgradeMachineIndex(*indexPath)) return Fail(kSystemError);

    LookupResult failure;
    const std::optional<std::string> listName = FindListFile(*indexPath, failure);
    if (!listName) return failure;
    const std::optional<std::string> listPath = platform::ComposePath(*folder, {"/", *listName});
    if (!listPath) return Fail(kSystemError);
    if (!UpgradeMaterialList(*listPath)) return Fail(kSystemError);

    bool registered = false;
    const std::optional<std::string> templateName =
        FindTemplateFile(*listPath, registered, failure);
    if (!templateName) return failure;
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
    const std::optional<std::vector<std::string>> lines = ReadTextLines(path);
    if (!lines || lines->empty() || FirstLineHasMarker(*lines)) return true;
    // Old records: number in columns 1-3, machine name in 4-11, list file
    // name in 12-23. The old table ended at the first record without a name.
    std::string contents;
    for (const std::string& line : *lines) {
        const std::string name = FieldName(Columns(line, 3, 8));
        if (name.empty()) break;
        contents += MachineRecord(FieldInteger(Columns(line, 0, 3)), name,
                                  FieldName(Columns(line, 11, 12)));
    }
    return platform::AtomicReplace(path, contents);
}

bool UpgradeMaterialList(const std::filesystem::path& path) {
    const std::optional<std::vector<std::string>> lines = ReadTextLines(path);
    if (!lines || lines->empty() || FirstLineHasMarker(*lines)) return true;
    // Old records: material name in columns 1-8, the sheet thickness in 9-13,
    // template file name in 14-25. The thickness becomes part of the name
    // ("SPCC" and 1.6 give "SPCC1.6  "); records without a name are skipped.
    std::string contents;
    for (const std::string& line : *lines) {
        const std::string name = FieldName(Columns(line, 0, 8));
        if (name.empty()) continue;
        contents += MaterialRecord(name + FormatOldThickness(FieldReal(Columns(line, 8, 5))),
                                   FieldName(Columns(line, 13, 12)));
    }
    return platform::AtomicReplace(path, contents);
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
