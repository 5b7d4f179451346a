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
// Every wait is bounded by kLockWaitLimit: a workstation that stopped while
// it held a lock (a frozen process, a lost connection) makes the others'
// operations fail after that time, never wait forever, and nothing is
// written without the lock after a time-out.
//
// Neither lock may be held while a message box or a dialog is open.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_ops.h"

namespace quillet::platform {

// How long an operation waits for a lock another holds before it fails.
inline constexpr std::chrono::seconds kLockWaitLimit{30};

class FolderLock {
public:
    // Waits up to kLockWaitLimit for the exclusive lock on folder. When the
    // folder cannot be opened the lock is not held and the caller goes on:
    // its own file operations will then fail as usual. After a time-out the
    // caller must not touch the folder's files (TimedOut()).
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool TimedOut() const { return timedOut_; }

private:
    int fd_ = -1;
    bool timedOut_ = false;
};

// The byte the file locks cover: 1 GiB, far past the content of any of the
// module's files (SQLite locks the same region for the same reason).
inline constexpr long long kFileLockOffset = 0x40000000LL;

class FileLock {
public:
    enum class State {
        Locked,    // the lock is held on the file the path names now
        Unlocked,  // the file is open for writing, but the file system
                   // refuses locks: go on as a workstation that takes none
        Missing,   // no file by that name
        Busy,      // another process held the lock for kLockWaitLimit
        ReadOnly,  // the user may not write the file
        Link,      // a symbolic link stands in place of the file
        Failed,    // the name exists but is no file that can be opened
    };

    // Opens path for writing (never creating it, never following a final
    // symbolic link) and waits up to kLockWaitLimit for the exclusive lock.
    // When the path was renamed over or removed while this process waited,
    // the lock is taken again on the file the path names now; the server is
    // asked which file that is, not the client's attribute cache.
    explicit FileLock(const std::filesystem::path& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State GetState() const { return state_; }
    // True when the file may be written: Locked or Unlocked. Any state but
    // Missing is then a failure of the operation.
    bool Open() const { return state_ == State::Locked || state_ == State::Unlocked; }
    // The open file's mode and group (for platform::AtomicReplace).
    HeldFile Held() const { return held_; }

    // The file's bytes, read through the locked descriptor (no new open);
    // call it once, before Append. nullopt when the file is not open or the
    // read fails.
    std::optional<std::string> Read() const;

    // Appends record at the file's current end with one write, as the last
    // step of a read-then-append under the lock, then removes the file's
    // stale temporary files. A short write is cut back to the old length.
    // False when the file is not open or the write failed.
    bool Append(std::string_view record) const;

private:
    std::filesystem::path path_;
    int fd_ = -1;
    HeldFile held_;
    std::size_t size_ = 0;
    State state_ = State::Failed;
};

// What one workstation can learn of the locks of the file system holding a
// file, taking a shared lock through one open of the file and testing it
// through a second (read-only, nothing written):
enum class LockProbe {
    Refused,       // the file system refuses locks (ENOLCK, EOPNOTSUPP, ...)
    NotExclusive,  // granted, but the second open does not see the first's
    Exclusive,     // they exclude each other on this workstation
};
// nullopt when the file cannot be opened.
std::optional<LockProbe> ProbeLocks(const std::filesystem::path& file);

// True when another open file description (another process, another
// workstation whose locks reach the server) holds the lock of file now.
bool LockedElsewhere(const std::filesystem::path& file);

}  // namespace quillet::platform
