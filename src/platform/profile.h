// The profile engine: INI files read and written the way the Windows profile
// functions do, so that setting files shared with Windows workstations stay
// byte-for-byte intact apart from the values changed.
//
// A ProfileDocument holds one file's lines in memory; reads and edits work on
// it and Save() rewrites the file once, atomically, only when something
// changed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_ops.h"
#include "platform/profile_syntax.h"

namespace quillet::platform {

class ProfileDocument {
public:
    // Reads path; a missing or unreadable file gives an empty document whose
    // Exists() is false. Never creates anything.
    static ProfileDocument Load(const std::filesystem::path& path);
    // Parses bytes as if they were the file at path (fuzzing, tests).
    static ProfileDocument FromBytes(const std::filesystem::path& path, std::string_view bytes);

    ProfileDocument(ProfileDocument&&) noexcept;
    ProfileDocument& operator=(ProfileDocument&&) noexcept;
    ~ProfileDocument();

    const std::filesystem::path& Path() const;
    bool Exists() const;

    // The value of key in section, or nullopt when the section or key is
    // missing or the key's line has no '='. Quotes are stripped as the
    // profile functions strip them; no length limit.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // The value as the Windows profile functions read it: Find, or
    // defaultText (trimmed and unquoted the same way) when missing, cut to
    // bufferSize - 1 bytes.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText, std::size_t bufferSize = 256) const;

    // Sets a value as the Windows profile functions write it: replaces the
    // value in place, adds the key at the end of its section or the section
    // at the end of the file. Returns true when the document changed; a
    // value, key or section that would change the file's structure (a line
    // break or NUL, '=' in the key, a key read back as a header) is refused.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);

    // True when edits are waiting to be saved.
    bool Dirty() const;

    // Writes the document back through the atomic-replace helper when it is
    // dirty (the file is created when missing; a missing folder fails, and
    // so does a file that exists but could not be read, which is kept).
    // Returns true when nothing needed writing or the write succeeded.
    // held: the file's attributes when the caller holds it open for writing
    // (see AtomicReplace).
    bool Save(std::optional<HeldFile> held = std::nullopt);

    // The bytes Save() would write.
    std::string Serialize() const;

private:
    struct Impl;
    explicit ProfileDocument(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// GetString on the bytes of a file without building a document: the same
// result as ProfileDocument::FromBytes(path, bytes).GetString(...), found in
// one walk over the lines that parses only the headers and the lines that
// start with the key, and stops at the key (profile_scan.cpp). For read-only
// look-ups of one value in a file read once; the profile fuzz target holds
// it to the document's answer.
std::string GetProfileStringFromBytes(std::string_view bytes, std::string_view section,
                                      std::string_view key, std::string_view defaultText,
                                      std::size_t bufferSize = 256);

}  // namespace quillet::platform
