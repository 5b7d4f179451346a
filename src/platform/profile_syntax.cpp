// The line grammar of INI files and the walk over their lines. See
// profile_syntax.h.
#include "platform/profile_syntax.h"

#include <algorithm>
#include <cstring>

#include "platform/ascii.h"

namespace quillet::platform {

namespace {

constexpr auto Trim = TrimProfileSpace;

// A NUL byte ends the text of a line.
std::string_view CutAtNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
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

std::string ProfileAnswer(std::optional<std::string> value, std::string_view defaultText,
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

std::optional<ProfileTextLine> ProfileLineWalk::Next() {
    if (start_ >= units_.size()) return std::nullopt;
    std::size_t stop = start_;
    if (unitSize_ != 1) {
        while (stop < units_.size() && ProfileLineEndLength(units_, stop, unitSize_) == 0) {
            stop += unitSize_;
        }
        stop = std::min(stop, units_.size());
    } else {
        // Bytes: every CR and LF ends a line; memchr finds them fastest.
        const char* const begin = units_.data();
        const void* lf = std::memchr(begin + start_, '\n', units_.size() - start_);
        stop = lf != nullptr ? static_cast<const char*>(lf) - begin : units_.size();
        if (mayHoldCr_) {
            if (const void* cr = std::memchr(begin + start_, '\r', stop - start_)) {
                stop = static_cast<const char*>(cr) - begin;
            }
        }
    }
    const std::size_t endLength =
        stop < units_.size() ? ProfileLineEndLength(units_, stop, unitSize_) : 0;
    const ProfileTextLine line{units_.substr(start_, stop - start_),
                               units_.substr(stop, endLength)};
    start_ = stop + endLength;
    return line;
}

void ProfileLineWalk::SkipToLineOf(std::size_t pos) {
    if (pos == std::string_view::npos || pos >= units_.size()) {
        start_ = units_.size();
        return;
    }
    // A line starts after any CR or LF: after the last one before pos.
    std::size_t lineStart = pos;
    while (lineStart > start_ && units_[lineStart - 1] != '\n' && units_[lineStart - 1] != '\r') {
        --lineStart;
    }
    start_ = std::max(start_, lineStart);
}

}  // namespace quillet::platform
