// The single-key look-up of the profile engine (see profile.h): one value
// found in a file's bytes without building a document, by the walk over the
// lines that every reader uses, stopped at the answer.
#include <string.h>

#include <algorithm>

#include "platform/ascii.h"
#include "platform/profile.h"

namespace quillet::platform {

namespace {

// The first position at or after from that holds text (npos: none).
std::size_t FindFrom(std::string_view bytes, std::size_t from, std::string_view text) {
    if (from >= bytes.size()) return std::string_view::npos;
    // memmem: string_view::find compares at every occurrence of the text's
    // first byte, which in a list of numbers is almost everywhere.
    const void* found =
        ::memmem(bytes.data() + from, bytes.size() - from, text.data(), text.size());
    return found == nullptr
               ? std::string_view::npos
               : static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
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
    const std::string_view wantedSection = TrimProfileSpace(section);
    const std::string_view wantedKey = TrimProfileSpace(key);
    // A key without letters has no other case: the walk may jump to where
    // its text stands.
    const bool keyIsCaseless =
        !wantedKey.empty() && std::none_of(wantedKey.begin(), wantedKey.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        });
    // Only the first section of a name is searched, and the unnamed section
    // (before the first header) only with the name "".
    bool inSection = wantedSection.empty();
    ProfileLineWalk walk(bytes, 1);
    std::size_t bracket = 0;  // the next '[' at or after the walk's position, once searched
    while (const std::optional<ProfileTextLine> line = walk.Next()) {
        // Only a header or, inside the section, an entry that starts with
        // the key can matter; the walk passes over the other lines unparsed,
        // jumping where it can to the next '[' or the next text of the key.
        const std::string_view text = line->content;
        std::size_t first = 0;
        while (first < text.size() && IsProfileSpace(text[first])) ++first;
        if (first == text.size() ||
            (text[first] != '[' &&
             (!inSection ||
              !EqualsIgnoringAsciiCase(text.substr(first, wantedKey.size()), wantedKey)))) {
            if (!inSection || keyIsCaseless) {
                if (bracket < walk.Position()) bracket = FindFrom(bytes, walk.Position(), "[");
                walk.SkipToLineOf(
                    inSection ? std::min(bracket, FindFrom(bytes, walk.Position(), wantedKey))
                              : bracket);
            }
            continue;
        }
        const ProfileLine parsed = ScanProfileLine(text);
        if (parsed.kind == ProfileLineKind::Header) {
            if (inSection) break;
            inSection =
                !wantedSection.empty() && EqualsIgnoringAsciiCase(parsed.name, wantedSection);
            continue;
        }
        if (!inSection || !EqualsIgnoringAsciiCase(parsed.name, wantedKey)) continue;
        // The first entry of the key answers, with or without a value.
        return ProfileAnswer(parsed.hasValue ? std::optional<std::string>(
                                                   std::string(UnquoteProfileValue(parsed.value)))
                                             : std::nullopt,
                             defaultText, bufferSize);
    }
    return ProfileAnswer(std::nullopt, defaultText, bufferSize);
}

}  // namespace quillet::platform
