// The profile engine (see profile.h). A document is the file's lines grouped
// by section, each line kept with its own line end (and, for UTF-16 files,
// its original bytes) so that only the lines an edit touches change. A
// per-section key index makes each lookup and edit independent of file size.
#include "platform/profile.h"
#include "platform/ascii.h"

#include <string.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/file_ops.h"
#include "platform/unicode.h"

namespace quillet::platform {

namespace {

constexpr auto Trim = TrimProfileSpace;

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
    return text;
}

// A NUL byte ends the text of a line.
std::string_view CutAtNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// GetString's answer from the value found (nullopt: missing).
std::string FinishValue(std::optional<std::string> value, std::string_view defaultText,
                        std::size_t bufferSize) {
    if (bufferSize == 0) return std::string();
    if (!value) {
        // The default loses its trailing spaces and one pair of quotes.
        std::string_view text = defaultText;
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        value = std::string(UnquoteProfileValue(text));
    }
    if (value->size() > bufferSize - 1) value->resize(bufferSize - 1);
    return *std::move(value);
}

// False for a value, key or section name that would change the file's
// structure when written: a line break or NUL anywhere, '=' in a key, or a key
// that would read back as a section header.
bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
    auto hasBreak = [](std::string_view text) {
        return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
    };
    if (hasBreak(section) || hasBreak(key) || hasBreak(value)) return false;
    if (key.find('=') != std::string_view::npos) return false;
    const std::string_view trimmedKey = Trim(key);
    if (!trimmedKey.empty() && trimmedKey.front() == '[') return false;
    return true;
}

}  // namespace

ProfileLine ScanProfileLine(std::string_view text) {
    ProfileLine parsed;
    const std::string_view line = Trim(text);
    if (line.empty()) return parsed;
    if (line.front() == '[') {
        const std::size_t close = line.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = ProfileLineKind::Header;
            parsed.name = Trim(CutAtNul(line.substr(1, close - 1)));
            return parsed;
        }
        // Without ']' the line is an entry of the current section.
    }
    parsed.kind = ProfileLineKind::Entry;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        parsed.name = Trim(CutAtNul(line));
        return parsed;
    }
    parsed.name = Trim(CutAtNul(line.substr(0, eq)));
    parsed.hasValue = true;
    parsed.value = Trim(CutAtNul(line.substr(eq + 1)));
    return parsed;
}

std::string_view UnquoteProfileValue(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::size_t ProfileLineEndLength(std::string_view units, std::size_t i, std::size_t unitSize) {
    auto unitIs = [&](std::size_t at, char c) {
        if (at + unitSize > units.size() || units[at] != c) return false;
        for (std::size_t k = 1; k < unitSize; ++k) {
            if (units[at + k] != '\0') return false;
        }
        return true;
    };
    if (unitIs(i, '\n')) return unitSize;
    if (!unitIs(i, '\r')) return 0;
    if (unitIs(i + unitSize, '\n')) return 2 * unitSize;
    if (unitIs(i + unitSize, '\r') && unitIs(i + 2 * unitSize, '\n')) return 3 * unitSize;
    return unitSize;
}

struct ProfileDocument::Impl {
    struct Line {
        std::string text;  // UTF-8, without the line end
        std::string end;   // "", "\n", "\r\n", "\r" or "\r\r\n"
        // UTF-16 files: the line's bytes as read, until the line is changed.
        std::optional<std::string> original;
    };
    struct Section {
        std::vector<Line> lines;  // the header line first, except for the unnamed section
        // Folded key -> index in lines of its first entry.
        std::unordered_map<std::string, std::size_t> keys;
    };

    std::filesystem::path path;
    bool exists = false;
    // The file is there but could not be read: saving would lose its contents.
    bool unreadable = false;
    bool utf16 = false;
    std::string mark;               // byte-order mark kept at the start
    std::vector<Section> sections;  // sections[0] is the unnamed section
    std::unordered_map<std::string, std::size_t> sectionIndex;  // folded name -> first section
    bool dirty = false;

    void AddLine(Line line) {
        const ProfileLine parsed = ScanProfileLine(line.text);
        if (parsed.kind == ProfileLineKind::Header) {
            const std::string folded = AsciiFolded(parsed.name);
            sections.emplace_back();
            sectionIndex.emplace(folded, sections.size() - 1);  // only the first counts
        } else if (parsed.kind == ProfileLineKind::Entry) {
            Section& section = sections.back();
            section.keys.emplace(AsciiFolded(parsed.name), section.lines.size());
        }
        sections.back().lines.push_back(std::move(line));
    }

    void Parse(std::string_view bytes) {
        sections.clear();
        sectionIndex.clear();
        sections.emplace_back();
        sectionIndex.emplace(std::string(), 0);
        if (bytes.substr(0, 2) == kProfileUtf16Mark) {
            utf16 = true;
            mark = std::string(kProfileUtf16Mark);
            bytes.remove_prefix(2);
            // An odd last byte is dropped.
            bytes = bytes.substr(0, bytes.size() - bytes.size() % 2);
            ForEachProfileLine(bytes, 2, [&](std::string_view content, std::string_view end) {
                AddLine({Utf16LeToUtf8(content), Utf16LeToUtf8(end), std::string(content)});
            });
            return;
        }
        if (bytes.substr(0, 3) == kProfileUtf8Mark) {
            mark = std::string(kProfileUtf8Mark);
            bytes.remove_prefix(3);
        }
        ForEachProfileLine(bytes, 1, [&](std::string_view content, std::string_view end) {
            AddLine({std::string(content), std::string(end), std::nullopt});
        });
    }

    // The first section of that name, or nullptr.
    const Section* FindSection(std::string_view section) const {
        const auto it = sectionIndex.find(AsciiFolded(Trim(section)));
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }

    const Line* FindLine(std::string_view section, std::string_view key) const {
        const Section* found = FindSection(section);
        if (found == nullptr) return nullptr;
        const auto it = found->keys.find(AsciiFolded(Trim(key)));
        return it == found->keys.end() ? nullptr : &found->lines[it->second];
    }

    // Makes sure line has a line end before another line follows it.
    static void EndLine(Line& line) {
        if (line.end.empty()) line.end = "\n";
    }

    // The last line of the document, or nullptr when it is empty.
    Line* LastLine() {
        for (auto it = sections.rbegin(); it != sections.rend(); ++it) {
            if (!it->lines.empty()) return &it->lines.back();
        }
        return nullptr;
    }

    bool Set(std::string_view sectionArg, std::string_view keyArg, std::string_view valueArg) {
        const std::string_view sectionName = Trim(sectionArg);
        const std::string_view keyName = Trim(keyArg);
        const std::string_view value = TrimLeft(valueArg);
        const std::string foldedSection = AsciiFolded(sectionName);
        const std::string foldedKey = AsciiFolded(keyName);

        const auto sectionIt = sectionIndex.find(foldedSection);
        if (sectionIt == sectionIndex.end()) {
            // A new section goes at the end, directly after the last line.
            if (Line* last = LastLine()) EndLine(*last);
            Section section;
            section.lines.push_back({"[" + std::string(sectionName) + "]", "\n", std::nullopt});
            section.lines.push_back(
                {std::string(keyName) + "=" + std::string(value), "\n", std::nullopt});
            section.keys.emplace(foldedKey, 1);
            sections.push_back(std::move(section));
            sectionIndex.emplace(foldedSection, sections.size() - 1);
            dirty = true;
            return true;
        }

        Section& section = sections[sectionIt->second];
        const auto keyIt = section.keys.find(foldedKey);
        if (keyIt != section.keys.end()) {
            Line& line = section.lines[keyIt->second];
            const ProfileLine parsed = ScanProfileLine(line.text);
            if (parsed.hasValue && parsed.value == value) return false;
            // The entry stays where it is with its stored spelling and line end.
            line.text = std::string(parsed.name) + "=" + std::string(value);
            line.original.reset();
            dirty = true;
            return true;
        }

        // A new key goes after the last non-blank line of the section (its
        // header when it has no entries); trailing blank lines stay after it.
        std::size_t insertAt = 0;
        for (std::size_t i = section.lines.size(); i > 0; --i) {
            if (!Trim(section.lines[i - 1].text).empty()) {
                insertAt = i;
                break;
            }
        }
        if (insertAt > 0) {
            EndLine(section.lines[insertAt - 1]);
        }
        section.lines.insert(
            section.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
            Line{std::string(keyName) + "=" + std::string(value), "\n", std::nullopt});
        // Only blank lines followed the insertion point, so no indexed key moved.
        section.keys.emplace(foldedKey, insertAt);
        dirty = true;
        return true;
    }

    std::string Serialize() const {
        std::string out = mark;
        for (const Section& section : sections) {
            for (const Line& line : section.lines) {
                if (!utf16) {
                    out += line.text;
                    out += line.end;
                } else {
                    out += line.original ? *line.original : Utf8ToUtf16Le(line.text);
                    out += Utf8ToUtf16Le(line.end);
                }
            }
        }
        return out;
    }
};

ProfileDocument::ProfileDocument(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ProfileDocument::ProfileDocument(ProfileDocument&&) noexcept = default;
ProfileDocument& ProfileDocument::operator=(ProfileDocument&&) noexcept = default;
ProfileDocument::~ProfileDocument() = default;

ProfileDocument ProfileDocument::Load(const std::filesystem::path& path) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    ProfileDocument document = FromBytes(path, bytes ? std::string_view(*bytes) : "");
    document.impl_->exists = bytes.has_value();
    std::error_code error;
    document.impl_->unreadable = !bytes && std::filesystem::exists(path, error);
    return document;
}

ProfileDocument ProfileDocument::FromBytes(const std::filesystem::path& path,
                                           std::string_view bytes) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->exists = true;
    impl->Parse(bytes);
    return ProfileDocument(std::move(impl));
}

const std::filesystem::path& ProfileDocument::Path() const { return impl_->path; }
bool ProfileDocument::Exists() const { return impl_->exists; }

std::optional<std::string> ProfileDocument::Find(std::string_view section,
                                                 std::string_view key) const {
    const Impl::Line* line = impl_->FindLine(section, key);
    if (line == nullptr) return std::nullopt;
    const ProfileLine parsed = ScanProfileLine(line->text);
    if (!parsed.hasValue) return std::nullopt;
    return std::string(UnquoteProfileValue(parsed.value));
}

std::string ProfileDocument::GetString(std::string_view section, std::string_view key,
                                       std::string_view defaultText, std::size_t bufferSize) const {
    if (bufferSize == 0) return std::string();
    return FinishValue(Find(section, key), defaultText, bufferSize);
}

bool ProfileDocument::SetString(std::string_view section, std::string_view key,
                                std::string_view value) {
    if (!IsWritable(section, key, value)) return false;
    return impl_->Set(section, key, value);
}

bool ProfileDocument::Dirty() const { return impl_->dirty; }

bool ProfileDocument::Save(std::optional<HeldFile> held) {
    if (!impl_->dirty) return true;
    if (impl_->unreadable ||
        !AtomicReplace(impl_->path, impl_->Serialize(), Durability::Durable, held)) {
        return false;
    }
    impl_->dirty = false;
    impl_->exists = true;
    return true;
}

std::string ProfileDocument::Serialize() const { return impl_->Serialize(); }

namespace {

// True when only whitespace stands between the start of pos's line and pos.
bool StartsLine(std::string_view bytes, std::size_t pos) {
    for (; pos > 0; --pos) {
        const char c = bytes[pos - 1];
        if (c == '\n' || c == '\r') return true;
        if (!IsProfileSpace(c)) return false;
    }
    return true;
}

// The value of key in the first section named section (both trimmed, key
// without letters or line breaks, so that its spelling is its only case),
// found by searching for the header and the key text instead of parsing
// every line: the first line of the section that starts with the key text
// and parses as an entry of that name answers. nullopt when missing or
// without '='.
template <typename LineEnd>
std::optional<std::string> FindCaselessKey(std::string_view bytes, std::string_view section,
                                           std::string_view key, const LineEnd& lineEnd) {
    // The header lines at or after from, in order: [line start, line end).
    auto nextHeader = [&](std::size_t from, std::size_t& begin, std::size_t& end,
                          ProfileLine& parsed) {
        for (std::size_t pos = bytes.find('[', from); pos != std::string_view::npos;
             pos = bytes.find('[', pos + 1)) {
            if (!StartsLine(bytes, pos)) continue;
            end = lineEnd(pos);
            parsed = ScanProfileLine(bytes.substr(pos, end - pos));
            if (parsed.kind != ProfileLineKind::Header) {
                pos = end;
                if (pos >= bytes.size()) break;
                continue;
            }
            begin = pos;
            return true;
        }
        return false;
    };
    std::size_t begin = 0;
    std::size_t end = 0;
    ProfileLine parsed;
    std::size_t from = 0;
    for (;;) {
        if (!nextHeader(from, begin, end, parsed)) return std::nullopt;
        if (EqualsIgnoringAsciiCase(parsed.name, section)) break;
        from = end;
    }
    const std::size_t sectionBegin = end;
    std::size_t checked = sectionBegin;  // no header in [sectionBegin, checked)
    // memmem: string_view::find compares at every occurrence of the key's
    // first character, which in a list of numbers is almost everywhere.
    for (std::size_t from = sectionBegin; from < bytes.size();) {
        const void* found =
            ::memmem(bytes.data() + from, bytes.size() - from, key.data(), key.size());
        if (found == nullptr) return std::nullopt;
        const std::size_t pos =
            static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
        from = pos + 1;
        if (!StartsLine(bytes, pos)) continue;
        // A header between the last line looked at and this one ends the
        // section.
        for (const char* bracket = nullptr;
             checked < pos && (bracket = static_cast<const char*>(
                                   std::memchr(bytes.data() + checked, '[', pos - checked)));) {
            const std::size_t at = static_cast<std::size_t>(bracket - bytes.data());
            checked = at + 1;
            if (StartsLine(bytes, at) && ScanProfileLine(bytes.substr(at, lineEnd(at) - at)).kind ==
                                             ProfileLineKind::Header) {
                return std::nullopt;
            }
        }
        checked = pos;
        const std::size_t lineStop = lineEnd(pos);
        const ProfileLine entry = ScanProfileLine(bytes.substr(pos, lineStop - pos));
        if (entry.kind == ProfileLineKind::Entry && entry.name == key) {
            if (!entry.hasValue) return std::nullopt;
            return std::string(UnquoteProfileValue(entry.value));
        }
    }
    return std::nullopt;
}

}  // namespace

std::string GetProfileStringFromBytes(std::string_view bytes, std::string_view section,
                                      std::string_view key, std::string_view defaultText,
                                      std::size_t bufferSize) {
    if (bufferSize == 0) return std::string();
    // UTF-16 text is converted line by line by the document.
    if (bytes.substr(0, 2) == kProfileUtf16Mark) {
        return ProfileDocument::FromBytes(std::filesystem::path(), bytes)
            .GetString(section, key, defaultText, bufferSize);
    }
    if (bytes.substr(0, 3) == kProfileUtf8Mark) bytes.remove_prefix(3);
    const std::string_view wantedSection = Trim(section);
    const std::string_view wantedKey = Trim(key);
    // Every CR and LF ends a line here: the line ends the document knows
    // (LF, CR LF, CR, CR CR LF) differ from that only by blank lines, which
    // mean nothing. Only the first section of a name is searched, and the
    // unnamed section (before the first header) only with the name "".
    const bool keyIsCaseless =
        !wantedKey.empty() && std::none_of(wantedKey.begin(), wantedKey.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '\r' || c == '\n';
        });
    if (!wantedSection.empty() && keyIsCaseless) {
        auto shortLineEnd = [&](std::size_t from) {
            while (from < bytes.size() && bytes[from] != '\n' && bytes[from] != '\r') ++from;
            return from;
        };
        return FinishValue(FindCaselessKey(bytes, wantedSection, wantedKey, shortLineEnd),
                           defaultText, bufferSize);
    }
    bool inSection = wantedSection.empty();
    const bool hasCr = bytes.find('\r') != std::string_view::npos;
    auto lineEnd = [&](std::size_t from) {
        if (!hasCr) return std::min(bytes.find('\n', from), bytes.size());
        while (from < bytes.size() && bytes[from] != '\n' && bytes[from] != '\r') ++from;
        return from;
    };
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = lineEnd(start);
        const std::string_view text = bytes.substr(start, end - start);
        start = end + 1;
        // Only a header or, inside the section, an entry that starts with
        // the key can matter; the rest is passed over unparsed.
        std::size_t first = 0;
        while (first < text.size() && IsProfileSpace(text[first])) ++first;
        if (first == text.size()) continue;
        if (text[first] != '[' &&
            (!inSection ||
             !EqualsIgnoringAsciiCase(text.substr(first, wantedKey.size()), wantedKey))) {
            continue;
        }
        const ProfileLine parsed = ScanProfileLine(text);
        if (parsed.kind == ProfileLineKind::Header) {
            if (inSection) break;
            inSection =
                EqualsIgnoringAsciiCase(parsed.name, wantedSection) && !wantedSection.empty();
        } else if (parsed.kind == ProfileLineKind::Entry && inSection &&
                   EqualsIgnoringAsciiCase(parsed.name, wantedKey)) {
            // The first entry of the key answers, with or without a value.
            return FinishValue(parsed.hasValue ? std::optional<std::string>(
                                                     std::string(UnquoteProfileValue(parsed.value)))
                                               : std::nullopt,
                               defaultText, bufferSize);
        }
    }
    return FinishValue(std::nullopt, defaultText, bufferSize);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, std::size_t bufferSize,
                                    const std::filesystem::path& file) {
    return ProfileDocument::Load(file).GetString(section, key, defaultText, bufferSize);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& file) {
    if (!IsWritable(section, key, value)) return false;
    ProfileDocument document = ProfileDocument::Load(file);
    document.SetString(section, key, value);
    return document.Save();
}

}  // namespace quillet::platform
