// File operations that replace the Windows file functions: whole-file reads,
// the one atomic-replace helper every rewrite goes through, single-write
// appends, copies and deletes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::platform {

namespace fs = std::filesystem;

// True when path names a regular file that can be opened for reading. A
// folder is never a file. One open of the path (no separate stat).
bool CanOpenForReading(const fs::path& path);

// True when path names an existing regular file (FindFirstFile semantics for
// the module's purposes: a folder does not count).
bool FileExists(const fs::path& path);

// Reads the whole file as bytes with one open of the path. nullopt when it
// cannot be opened or is not a regular file; error (when given) then holds
// ENOENT for a name that does not exist, EISDIR for a folder, EINVAL for
// another kind of file that is no regular file (a FIFO, a device), another
// errno value for a file that exists but cannot be read.
std::optional<std::string> ReadWholeFile(const fs::path& path, int* error = nullptr);
// The same for a path the caller holds as text (no path object is built).
std::optional<std::string> ReadWholeFile(const char* path, int* error = nullptr);

// Opens an existing file for reading and appending (never creating it, never
// blocking on a FIFO, never following a symbolic link in place of the file:
// ELOOP); the descriptor, or -1 with errno set. A write-side call: the
// test-only fault seam can fail it.
int OpenForUpdate(const fs::path& path);

// The whole content of the open regular file fd, read from its start; size:
// its size as last seen. nullopt when a read fails.
std::optional<std::string> ReadDescriptor(int fd, std::size_t size);

// Appends record at the end of fd (opened by OpenForUpdate) with one write
// and flushes it; a short write is cut back to the old length. False on
// failure.
bool AppendToDescriptor(int fd, std::string_view record);

// What a rewrite keeps of the file it replaces: its permission bits and its
// group. A caller that holds the file open for writing (platform::FileLock)
// knows them, and knows that its user may write the file.
struct HeldFile {
    unsigned mode = 0;
    unsigned group = 0;
};

// Replaces target with contents: writes a uniquely named temporary file in
// the same folder, flushes it to disk, renames it over target and flushes the
// folder. On any failure the temporary file is removed, target is left as it
// was and false is returned. A target in a missing folder fails.
// Durability::Scratch skips the flushes: for working copies in the local TEMP
// folder, which live only for one operation.
//
// Several user accounts of one group share a data folder: the new file keeps
// the old one's permission bits and group (a group the user cannot give it,
// where the group had rights others lack, fails: EPERM), and a file its user
// could not write in place is never replaced (EACCES; a folder: EISDIR). A
// symbolic link in place of target is replaced, never followed. A new file
// is made as CreateExclusive makes one. Temporary files of target left by a
// killed writer are removed once older than kStaleTemporaryAge.
// held: the target's attributes when the caller holds it open for writing,
// which saves the look at the target.
enum class Durability { Durable, Scratch };
bool AtomicReplace(const fs::path& target, std::string_view contents,
                   Durability durability = Durability::Durable,
                   std::optional<HeldFile> held = std::nullopt);

// Creates path holding contents only when no file of that name exists yet:
// the name appears with the whole content at once (a temporary file in the
// same folder, flushed, then link(2) to the name), never empty. False when
// the name exists (errno EEXIST: another workstation was first) or the file
// cannot be created. When the folder is group-writable the new file is
// group-readable and -writable whatever the umask, and gets the folder's
// group where the user may give it.
bool CreateExclusive(const fs::path& path, std::string_view contents);

// Temporary files: "<name>.<pid>.<16 hex digits>.tmp" beside the file they
// replace. A writer that is killed leaves one behind; one older than
// kStaleTemporaryAge belongs to no live writer (a live one writes it within
// the call) and the next writer of that file removes it.
inline constexpr int kStaleTemporaryAgeSeconds = 5 * 60;
// The name of the file whose temporary file name is (its first 200 bytes
// for a longer name); nullopt for any other name.
std::optional<std::string_view> TemporaryFileTarget(std::string_view name);
// Removes the temporary files of target older than kStaleTemporaryAgeSeconds
// (one listing of its folder). AtomicReplace and CreateExclusive do it after
// they publish; a writer that appends calls it after its append.
void RemoveStaleTemporaries(const fs::path& target);

// CopyFile with overwrite: the target is replaced atomically by a copy of
// source. False when source cannot be read or the target cannot be written.
bool CopyFileOver(const fs::path& source, const fs::path& target,
                  Durability durability = Durability::Durable);

// Deletes a file; false when it did not exist or could not be removed
// (errno then tells which: ENOENT for a missing name).
bool DeleteFile(const fs::path& path);

// Creates one folder (not its parents); false when it could not be created
// or already exists.
bool CreateFolder(const fs::path& path);

}  // namespace quillet::platform
