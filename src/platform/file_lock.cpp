// Byte-range locks on shared files and flock on the local TEMP folder, each
// waited for a bounded time.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "platform/file_fault.h"

namespace quillet::platform {

namespace {

using Clock = std::chrono::steady_clock;

struct flock LockRange(short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(kFileLockOffset);
    range.l_len = 1;
    return range;
}

// Takes the lock on fd without waiting. An open-file-description lock
// belongs to this descriptor alone, so another open of the same file in
// this process (a read, a copy) neither releases nor shares it; kernels
// without them get a classic POSIX lock. Returns 0 or the errno value
// (EAGAIN or EACCES: another holds it).
int TryLock(int fd, short type) {
    for (;;) {
        struct flock range = LockRange(type);
#ifdef F_OFD_SETLK
        int result = ::fcntl(fd, F_OFD_SETLK, &range);
        if (result != 0 && errno == EINVAL) {
            range = LockRange(type);
            result = ::fcntl(fd, F_SETLK, &range);
        }
#else
        const int result = ::fcntl(fd, F_SETLK, &range);
#endif
        if (result == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

bool HeldByAnother(int error) { return error == EAGAIN || error == EACCES; }

// Waits for take() to stop answering "held by another", polling with a
// growing pause (a blocking wait could not be bounded without a signal, and
// NFS clients poll a blocked lock all the same) until kLockWaitLimit.
// Returns take()'s last answer: 0, a refusal, or EAGAIN after the time-out.
template <typename Take>
int WaitFor(Take take) {
    const int overrideMs = testing::LockWaitLimitOverride();
    const Clock::time_point deadline =
        Clock::now() + (overrideMs > 0 ? std::chrono::milliseconds(overrideMs)
                                       : std::chrono::milliseconds(kLockWaitLimit));
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const int error = take();
        if (!HeldByAnother(error)) return error;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return EAGAIN;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(100));
    }
}

// The file the path names now, as the file server sees it: NFS clients keep
// attributes and names for up to a minute, so a plain stat could still give
// the file that another workstation has just replaced.
bool PathNamesFile(const std::filesystem::path& path, const struct stat& held) {
    struct statx now {};
    if (::statx(AT_FDCWD, path.c_str(), AT_STATX_FORCE_SYNC | AT_SYMLINK_NOFOLLOW, STATX_INO,
                &now) == 0) {
        return now.stx_ino == held.st_ino &&
               makedev(now.stx_dev_major, now.stx_dev_minor) == held.st_dev;
    }
    // Without statx a new open asks the server for the name (close-to-open
    // consistency).
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) return false;
    struct stat st {};
    const bool same = ::fstat(fd, &st) == 0 && st.st_ino == held.st_ino && st.st_dev == held.st_dev;
    ::close(fd);
    return same;
}

int OpenForProbe(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether another open file description holds a lock on fd's file, tested
// through fd; nullopt when the kernel cannot test it.
std::optional<bool> SeesLock(int fd) {
    struct flock range = LockRange(F_WRLCK);
#ifdef F_OFD_GETLK
    if (::fcntl(fd, F_OFD_GETLK, &range) != 0) return std::nullopt;
#else
    if (::fcntl(fd, F_GETLK, &range) != 0) return std::nullopt;
#endif
    return range.l_type != F_UNLCK;
}

}  // namespace

FolderLock::FolderLock(const std::filesystem::path& folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    const int error = WaitFor([this] {
        for (;;) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return 0;
            if (errno != EINTR) return errno == EWOULDBLOCK ? EAGAIN : errno;
        }
    });
    if (error != 0) {
        timedOut_ = HeldByAnother(error);
        ::close(fd_);
        fd_ = -1;
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

FileLock::FileLock(const std::filesystem::path& path) : path_(path) {
    for (;;) {
        // An exclusive byte-range lock needs the file open for writing (NFS
        // insists), and so does every operation that takes this lock.
        fd_ = OpenForUpdate(path);
        if (fd_ < 0) {
            const int error = errno;
            if (error == ELOOP) {
                state_ = State::Link;
            } else if (error == EACCES || error == EROFS || error == EPERM) {
                state_ = State::ReadOnly;
            } else {
                state_ = error == ENOENT ? State::Missing : State::Failed;
            }
            return;
        }
        const int error = WaitFor([this] { return TryLock(fd_, F_WRLCK); });
        if (HeldByAnother(error)) {
            // Never go on unlocked after a time-out.
            ::close(fd_);
            fd_ = -1;
            state_ = State::Busy;
            return;
        }
        // What the file is once the lock is held (taking it makes an NFS
        // client revalidate the file's attributes).
        struct stat held {};
        if (::fstat(fd_, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            state_ = State::Failed;
            return;
        }
        held_ = HeldFile{static_cast<unsigned>(held.st_mode & 07777),
                         static_cast<unsigned>(held.st_gid)};
        size_ = static_cast<std::size_t>(held.st_size);
        if (error != 0) {
            // ENOLCK, EOPNOTSUPP and the like: the file system does not carry
            // locks, so this workstation goes on as one that takes none.
            state_ = State::Unlocked;
            return;
        }
        // While this process waited, another may have replaced the file by
        // rename (or removed it): its lock then guards a file nobody reads.
        if (PathNamesFile(path, held)) {
            state_ = State::Locked;
            return;
        }
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases its lock
}

std::optional<std::string> FileLock::Read() const {
    if (fd_ < 0) return std::nullopt;
    return ReadDescriptor(fd_, size_);
}

bool FileLock::Append(std::string_view record) const {
    if (!Open() || !AppendToDescriptor(fd_, record)) return false;
    RemoveStaleTemporaries(path_);
    return true;
}

std::optional<LockProbe> ProbeLocks(const std::filesystem::path& file) {
    const int first = OpenForProbe(file);
    if (first < 0) return std::nullopt;
    const int second = OpenForProbe(file);
    std::optional<LockProbe> probe;
    if (second >= 0) {
        const int error = TryLock(first, F_RDLCK);
        // Another's exclusive lock refusing the shared one shows exclusion
        // as well.
        // (A kernel that cannot test the lock is taken at its word.)
        probe = HeldByAnother(error)              ? LockProbe::Exclusive
                : error != 0                      ? LockProbe::Refused
                : SeesLock(second).value_or(true) ? LockProbe::Exclusive
                                                  : LockProbe::NotExclusive;
        ::close(second);
    }
    ::close(first);
    return probe;
}

bool LockedElsewhere(const std::filesystem::path& file) {
    const int fd = OpenForProbe(file);
    if (fd < 0) return false;
    const bool held = SeesLock(fd).value_or(false);
    ::close(fd);
    return held;
}

}  // namespace quillet::platform
