// The profile engine (see profile.h). A document is the file's lines grouped
// by section, each line kept with its own line end (and, for UTF-16 files,
// its original bytes) so that only the lines an edit touches change. A
// per-section key index makes each lookup and edit independent of file size.
#include "platform/profile.h"
#include "platform/ascii.h"

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
    return trimmedKey.empty() || trimmedKey.front() != '[';
}

}  // namespace

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
    return ProfileAnswer(Find(section, key), defaultText, bufferSize);
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

}  // namespace quillet::platform
