// Byte-range locks on shared files and flock on the local TEMP folder.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_ops.h"

namespace quillet::platform {

namespace {

struct flock LockRange(short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(kFileLockOffset);
    range.l_len = 1;
    return range;
}

// Takes the lock on fd (waiting when wait is set). An open-file-description
// lock belongs to this descriptor alone, so another open of the same file
// in this process (a read, a copy) neither releases nor shares it; kernels
// without them get a classic POSIX lock. Returns 0 or the errno value.
int TakeLock(int fd, short type, bool wait) {
    for (;;) {
        struct flock range = LockRange(type);
#ifdef F_OFD_SETLKW
        int result = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &range);
        if (result != 0 && errno == EINVAL) {
            range = LockRange(type);
            result = ::fcntl(fd, wait ? F_SETLKW : F_SETLK, &range);
        }
#else
        const int result = ::fcntl(fd, wait ? F_SETLKW : F_SETLK, &range);
#endif
        if (result == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FolderLock::FolderLock(const std::filesystem::path& folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

FileLock::FileLock(const std::filesystem::path& path) {
    for (;;) {
        // An exclusive byte-range lock needs the file open for writing (NFS
        // insists); a read-only file is still read through the descriptor.
        fd_ = OpenForUpdate(path);
        writable_ = fd_ >= 0;
        if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        }
        if (fd_ < 0) {
            state_ = errno == ENOENT ? State::Missing : State::Failed;
            return;
        }
        struct stat held {};
        if (::fstat(fd_, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            state_ = State::Failed;
            return;
        }
        mode_ = static_cast<unsigned>(held.st_mode & 07777);
        if (!writable_ || TakeLock(fd_, F_WRLCK, true) != 0) {
            // ENOLCK, EOPNOTSUPP and the like: the file system does not carry
            // locks, so this workstation goes on as one that takes none.
            state_ = State::Unlocked;
            return;
        }
        // While this process waited, another may have replaced the file by
        // rename (or removed it): its lock then guards a file nobody reads.
        struct stat named {};
        if (::stat(path.c_str(), &named) == 0 && SameFile(held, named)) {
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
    return ReadDescriptor(fd_);
}

bool FileLock::Append(std::string_view record) const {
    if (fd_ < 0 || !writable_) return false;
    return AppendToDescriptor(fd_, record);
}

std::optional<bool> FileSystemCarriesLocks(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    // A shared lock that another workstation's exclusive one blocks still
    // shows the file system carries locks (EAGAIN / EACCES).
    const int error = TakeLock(fd, F_RDLCK, false);
    ::close(fd);
    return error == 0 || error == EAGAIN || error == EACCES;
}

}  // namespace quillet::platform
