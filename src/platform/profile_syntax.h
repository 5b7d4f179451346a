// The grammar of INI files as the Windows profile functions read them, and
// the one walk over their lines. Shared by the profile document, the
// single-key look-up and every other reader of setting files (the audit of a
// data folder), so that all of them see a file alike.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace quillet::platform {

inline constexpr std::string_view kProfileUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kProfileUtf16Mark = "\xFF\xFE";

// One line: blank, a section header ('[' first, up to the last ']'), or an
// entry split at its first '=' (a line without '=' is a key without value).
enum class ProfileLineKind { Blank, Header, Entry };
struct ProfileLine {
    ProfileLineKind kind = ProfileLineKind::Blank;
    std::string_view name;   // section of a header, key of an entry; trimmed, cut at a NUL
    bool hasValue = false;   // the entry has '='
    std::string_view value;  // trimmed and cut at a NUL; its quotes still on
};
ProfileLine ScanProfileLine(std::string_view text);

// A value as reading gives it: one pair of matching quotes (" or ') around
// two or more bytes removed.
std::string_view UnquoteProfileValue(std::string_view value);

// What a read of one value answers (GetPrivateProfileString): the value
// found, or when it is missing (nullopt) defaultText without its trailing
// spaces and one pair of quotes; cut to bufferSize - 1 bytes.
std::string ProfileAnswer(std::optional<std::string> value, std::string_view defaultText,
                          std::size_t bufferSize);

// Length in bytes of the line end at units[i] (units of unitSize bytes,
// little-endian: 1 for bytes, 2 for UTF-16), or 0 when no line ends there.
// LF, CR LF, a lone CR and CR CR LF each end one line.
std::size_t ProfileLineEndLength(std::string_view units, std::size_t i, std::size_t unitSize);

// The walk over the lines of a profile text in units of unitSize bytes, a
// last line without a line end included; content and end are views into
// the text. Every reader walks a file with it, so that all of them split
// its lines alike.
struct ProfileTextLine {
    std::string_view content;
    std::string_view end;
};
class ProfileLineWalk {
public:
    ProfileLineWalk(std::string_view units, std::size_t unitSize)
        : units_(units),
          unitSize_(unitSize),
          mayHoldCr_(unitSize != 1 || units.find('\r') != std::string_view::npos) {}
    // The next line, or nullopt at the end.
    std::optional<ProfileTextLine> Next();
    // Where the next line starts.
    std::size_t Position() const { return start_; }
    // Passes over the lines before the one that holds pos (bytes only; a pos
    // before Position() changes nothing, npos ends the walk).
    void SkipToLineOf(std::size_t pos);

private:
    std::string_view units_;
    std::size_t unitSize_;
    bool mayHoldCr_;
    std::size_t start_ = 0;
};

// The walk as a loop: calls visit(content, end) for each line until visit
// returns false (a visit that returns nothing never stops it). False when
// visit stopped the walk.
template <typename Visit>
bool ForEachProfileLine(std::string_view units, std::size_t unitSize, Visit&& visit) {
    ProfileLineWalk walk(units, unitSize);
    while (const std::optional<ProfileTextLine> line = walk.Next()) {
        if constexpr (std::is_void_v<decltype(visit(line->content, line->end))>) {
            visit(line->content, line->end);
        } else if (!visit(line->content, line->end)) {
            return false;
        }
    }
    return true;
}

}  // namespace quillet::platform
