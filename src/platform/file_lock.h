// Locks that serialise read-modify-write sequences between processes and
// workstations.
//
// FileLock is the lock of a shared file in the data folder: a POSIX
// byte-range lock (open-file-description lock where the kernel has it) on
// the file being updated, taken at a byte far beyond any real content. NFS
// and SMB clients carry such locks to the server, and readers of the content
// (Windows workstations included, whose SMB locks are mandatory) are never
// blocked by it. No lock file is added and no name or format changes.
//
// FolderLock is the lock of the local TEMP folder (flock on the folder),
// which only this workstation uses.
//
// Neither lock may be held while a message box or a dialog is open.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::platform {

class FolderLock {
public:
    // Blocks until the exclusive lock on folder is held. When the folder
    // cannot be opened the lock is not held and the caller goes on
    // unserialised: its own file operations will then fail as usual.
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

// The byte the file locks cover: 1 GiB, far past the content of any of the
// module's files (SQLite locks the same region for the same reason).
inline constexpr long long kFileLockOffset = 0x40000000LL;

class FileLock {
public:
    enum class State {
        Locked,    // the lock is held on the file the path names now
        Unlocked,  // the file is open, but the file system refuses locks or
                   // the file is read-only: go on as an unlocked workstation
        Missing,   // no file by that name
        Failed,    // the name exists but is no file that can be opened
    };

    // Opens path (never creating it) and blocks until the exclusive lock is
    // held. When the path was renamed over or removed while this process
    // waited, the lock is taken again on the file the path names now.
    explicit FileLock(const std::filesystem::path& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State GetState() const { return state_; }
    // The permission bits of the open file (for platform::AtomicReplace).
    unsigned Mode() const { return mode_; }
    bool Open() const { return state_ == State::Locked || state_ == State::Unlocked; }

    // The file's bytes as they are now, read through the locked descriptor
    // (one read per call, no new open). nullopt when the file is not open or
    // the read fails.
    std::optional<std::string> Read() const;

    // Appends record at the file's current end with one write, as the last
    // step of a read-then-append under the lock. A short write is cut back
    // to the old length. False when the file is not open for writing or the
    // write failed.
    bool Append(std::string_view record) const;

private:
    int fd_ = -1;
    bool writable_ = false;
    unsigned mode_ = 0;
    State state_ = State::Failed;
};

// Whether the file system holding file carries byte-range locks: takes and
// drops a shared lock on the (existing) file, opened for reading only, at
// kFileLockOffset. nullopt when the file cannot be opened; false when the
// file system refuses the lock (ENOLCK, EOPNOTSUPP, ...). Writes nothing.
std::optional<bool> FileSystemCarriesLocks(const std::filesystem::path& file);

}  // namespace quillet::platform
