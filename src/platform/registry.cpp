// The registry file: a reader of the registry editor's export format that
// stands in for the Windows registry (see registry.h).
#include "platform/registry.h"
#include "platform/ascii.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <vector>

#include "platform/file_ops.h"
#include "platform/text_mode.h"
#include "platform/unicode.h"

namespace quillet::platform {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Reads a quoted string starting at text[0] == '"', undoing the \\ and \"
// escapes (any other backslash stays as written). Returns the position just
// past the closing quote, or npos when the quote is not closed.
std::size_t ReadQuoted(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') return i + 1;
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            out.push_back(text[i + 1]);
            ++i;
            continue;
        }
        out.push_back(c);
    }
    return std::string_view::npos;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "12,ab,00" -> bytes; pieces that are not hex bytes are skipped.
std::string DecodeHexBytes(std::string_view list) {
    std::string bytes;
    std::size_t pos = 0;
    while (pos <= list.size()) {
        std::size_t comma = list.find(',', pos);
        if (comma == std::string_view::npos) comma = list.size();
        const std::string_view piece = TrimBlanks(list.substr(pos, comma - pos));
        if (piece.size() == 2 && HexDigit(piece[0]) >= 0 && HexDigit(piece[1]) >= 0) {
            bytes.push_back(static_cast<char>(HexDigit(piece[0]) * 16 + HexDigit(piece[1])));
        }
        pos = comma + 1;
    }
    return bytes;
}

// Parses the data after '=' of a value line. nullopt for a deletion ("-")
// or text that is no value.
std::optional<RegistryValue> ParseData(std::string_view data) {
    data = TrimBlanks(data);
    RegistryValue value;
    if (!data.empty() && data.front() == '"') {
        if (ReadQuoted(data, value.data) == std::string_view::npos) return std::nullopt;
        value.type = RegistryValueType::String;
        return value;
    }
    if (StartsWithIgnoringAsciiCase(data, "dword:")) {
        value.type = RegistryValueType::Dword;
        value.data = std::string(TrimBlanks(data.substr(6)));
        return value;
    }
    if (StartsWithIgnoringAsciiCase(data, "hex")) {
        const std::size_t colon = data.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        const std::string_view kind = TrimBlanks(data.substr(3, colon - 3));
        value.type = EqualsIgnoringAsciiCase(kind, "(2)") ? RegistryValueType::ExpandString
                                                          : RegistryValueType::Other;
        value.data = DecodeHexBytes(data.substr(colon + 1));
        return value;
    }
    return std::nullopt;
}

// The text of a registry file as UTF-8: a UTF-8 mark is dropped, a file with
// the UTF-16LE mark is converted, anything else is taken as it is.
std::string RegistryTextToUtf8(std::string_view bytes) {
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB &&
        static_cast<unsigned char>(bytes[2]) == 0xBF) {
        return std::string(bytes.substr(3));
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return Utf16LeToUtf8(bytes.substr(2));
    }
    return std::string(bytes);
}

const char* RegistryFileName() {
    const char* env = std::getenv("QUILLET_REGISTRY");
    if (env != nullptr && env[0] != '\0') return env;
    return "/etc/quillet/registry.reg";
}

}  // namespace

std::filesystem::path RegistryFilePath() { return RegistryFileName(); }

std::string FormatRegistryFile(
    std::string_view keyPath,
    const std::vector<std::pair<std::string_view, std::string_view>>& strings) {
    const auto quoted = [](std::string_view text) {
        std::string out = "\"";
        for (const char c : text) {
            if (c == '\\' || c == '"') out += '\\';
            out += c;
        }
        return out + "\"";
    };
    std::string file = std::string(kHeader5) + "\n\n[" + std::string(keyPath) + "]\n";
    for (const auto& [name, value] : strings) file += quoted(name) + "=" + quoted(value) + "\n";
    return file;
}

std::optional<RegistryValue> FindRegistryValue(std::string_view fileBytes, std::string_view keyPath,
                                               std::string_view valueName) {
    const std::string text = RegistryTextToUtf8(fileBytes);
    const std::vector<std::string_view> lines = SplitLines(text);

    std::size_t index = 0;
    while (index < lines.size() && TrimBlanks(lines[index]).empty()) ++index;
    if (index == lines.size()) return std::nullopt;
    const std::string_view header = TrimBlanks(lines[index]);
    if (header != kHeader5 && header != kHeader4) return std::nullopt;
    ++index;

    const std::string_view wantedKey = TrimBlanks(keyPath);
    bool inKey = false;
    std::string name;
    for (; index < lines.size(); ++index) {
        const std::string_view line = TrimBlanks(lines[index]);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            const std::string_view key =
                close == std::string_view::npos ? std::string_view() : line.substr(1, close - 1);
            // "[-...]" deletes a key: it is no key to read from.
            inKey = close != std::string_view::npos && !key.empty() && key.front() != '-' &&
                    EqualsIgnoringAsciiCase(TrimBlanks(key), wantedKey);
            continue;
        }

        // A value line: "Name"=data or @=data.
        std::string_view rest = line;
        if (rest.front() == '@') {
            name.clear();
            rest.remove_prefix(1);
        } else if (rest.front() == '"') {
            const std::size_t end = ReadQuoted(rest, name);
            if (end == std::string_view::npos) continue;
            rest.remove_prefix(end);
        } else {
            continue;
        }
        rest = TrimBlanks(rest);
        if (rest.empty() || rest.front() != '=') continue;
        std::string data(TrimBlanks(rest.substr(1)));
        // Hex data continues over lines ending with a backslash.
        if (StartsWithIgnoringAsciiCase(data, "hex")) {
            while (!data.empty() && data.back() == '\\' && index + 1 < lines.size()) {
                data.pop_back();
                ++index;
                data += TrimBlanks(lines[index]);
            }
        }
        // The default value (@) is reached by an empty value name.
        if (!inKey || !EqualsIgnoringAsciiCase(name, valueName)) continue;
        std::optional<RegistryValue> value = ParseData(data);
        if (value) return value;
    }
    return std::nullopt;
}

namespace {

// The answers of the registry file last read, kept while the file stays the
// same: every export reads the roots, and the file changes only when the
// installation does. "The same" is decided by stat on every call (device,
// inode, size, modification and change times), and a file changed less than
// a second before it was read is never kept: a rewrite within one tick of
// the file system's clock could leave its times unchanged.
class RegistryCache {
public:
    static RegistryCache& Instance() {
        static RegistryCache cache;
        return cache;
    }

    std::optional<RegistryValue> Read(const char* file, std::string_view keyPath,
                                      std::string_view valueName) {
        struct stat before {};
        if (::stat(file, &before) != 0) return Uncached(file, keyPath, valueName);
        std::lock_guard<std::mutex> lock(mutex_);
        if (!Matches(file, before)) {
            answers_.clear();
            path_.clear();
            const std::optional<std::string> bytes = ReadWholeFile(file);
            if (!bytes) return std::nullopt;
            struct stat after {};
            if (::stat(file, &after) != 0 || !SameFile(before, after) || !Settled(after)) {
                return FindRegistryValue(*bytes, keyPath, valueName);
            }
            path_ = file;
            identity_ = after;
            bytes_ = *bytes;
        }
        for (const Answer& answer : answers_) {
            if (answer.keyPath == keyPath && answer.valueName == valueName) return answer.value;
        }
        Answer answer{std::string(keyPath), std::string(valueName),
                      FindRegistryValue(bytes_, keyPath, valueName)};
        answers_.push_back(answer);
        return answer.value;
    }

private:
    struct Answer {
        std::string keyPath;
        std::string valueName;
        std::optional<RegistryValue> value;
    };

    static std::optional<RegistryValue> Uncached(const char* file, std::string_view keyPath,
                                                 std::string_view valueName) {
        const std::optional<std::string> bytes = ReadWholeFile(file);
        if (!bytes) return std::nullopt;
        return FindRegistryValue(*bytes, keyPath, valueName);
    }

    static bool SameTime(const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    }
    static bool SameFile(const struct stat& a, const struct stat& b) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
               SameTime(a.st_mtim, b.st_mtim) && SameTime(a.st_ctim, b.st_ctim);
    }
    // Changed long enough ago that a later change shows in its times.
    static bool Settled(const struct stat& st) {
        timespec now{};
        if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
        auto nanoseconds = [](const timespec& t) {
            return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
        };
        constexpr long long kMargin = 1000000000LL;  // far beyond any clock tick
        const long long latest = std::max(nanoseconds(st.st_mtim), nanoseconds(st.st_ctim));
        return latest + kMargin < nanoseconds(now);
    }
    bool Matches(const char* file, const struct stat& st) const {
        return !path_.empty() && path_ == file && SameFile(identity_, st);
    }

    std::mutex mutex_;
    std::string path_;  // empty: nothing kept
    struct stat identity_ {};
    std::string bytes_;
    std::vector<Answer> answers_;
};

}  // namespace

std::optional<RegistryValue> ReadRegistryValue(const std::filesystem::path& file,
                                               std::string_view keyPath,
                                               std::string_view valueName) {
    return RegistryCache::Instance().Read(file.c_str(), keyPath, valueName);
}

std::optional<RegistryValue> ReadRegistryValue(std::string_view keyPath,
                                               std::string_view valueName) {
    return RegistryCache::Instance().Read(RegistryFileName(), keyPath, valueName);
}

}  // namespace quillet::platform
