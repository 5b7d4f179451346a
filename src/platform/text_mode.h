// Text files as a Windows program reads them: in text mode (CR LF read as
// LF) and line by line through fgets into a fixed buffer. The one line
// reader of the module's plain text files (record store, NC templates, plain
// driver setting files) and of every tool that must see them as the module
// does (the audit of a data folder).
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::platform {

// bytes as a Windows text-mode read gives them: each CR LF pair becomes LF;
// every other byte stays. Converted in place (a large index file is not
// copied).
std::string TextModeBytes(std::string bytes);

// The bytes of path as text mode reads them, with one open of the file;
// nullopt when it cannot be opened for reading (a folder never can).
std::optional<std::string> ReadTextModeFile(const std::filesystem::path& path);

// One piece of text as an fgets call leaves it in its buffer.
struct FgetsPiece {
    // At most bufferSize - 1 bytes, ending with the LF that ended them when
    // it fitted; a view into the text read.
    std::string_view chunk;
    // The C string in the buffer: chunk cut at its first NUL byte.
    std::string_view cString;
    int line = 1;          // the 1-based line the piece belongs to
    bool newline = false;  // chunk ends its line with LF
    bool last = false;     // no text follows the piece

    // The text the piece holds: the C string without its LF.
    std::string_view Text() const {
        return cString.ends_with('\n') ? cString.substr(0, cString.size() - 1) : cString;
    }
    // The line goes on in the next piece: it was longer than the buffer.
    bool Overlong() const { return !newline && !last; }
};

// The lines of text where LF, CR LF or a lone CR ends each one (the last
// line also without a line end), as views into text: how the registry
// reader and quillet-host's CSV reader take lines from any system.
std::vector<std::string_view> SplitLines(std::string_view text);

// Reads text (in text mode already, see TextModeBytes) the way an fgets loop
// with a bufferSize buffer does: each call yields the next piece, nullopt at
// the end; a line longer than the buffer comes as several pieces of the same
// line number. The text must outlive the reader.
class FgetsReader {
public:
    FgetsReader(std::string_view text, std::size_t bufferSize)
        : text_(text), bufferSize_(bufferSize), firstNul_(text.find('\0')) {}
    std::optional<FgetsPiece> Next();

private:
    std::string_view text_;
    std::size_t bufferSize_;
    std::size_t firstNul_;  // only pieces past it need a search for NUL
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace quillet::platform
