// POSIX implementations of the module's file operations.
#include "platform/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include "platform/file_fault.h"

namespace quillet::platform {

namespace {

// The write-side system calls, each with the test-only fault seam.
bool Faulted(int error) {
    if (!testing::InjectFault()) return false;
    errno = error;
    return true;
}
int OpenForWriting(const char* path, int flags, mode_t mode = 0666) {
    return Faulted(EACCES) ? -1 : ::open(path, flags, mode);
}
ssize_t WriteSome(int fd, const char* data, std::size_t size) {
    return Faulted(ENOSPC) ? -1 : ::write(fd, data, size);
}
int Fsync(int fd) { return Faulted(EIO) ? -1 : ::fsync(fd); }
int Rename(const char* from, const char* to) { return Faulted(EIO) ? -1 : ::rename(from, to); }
int Link(const char* from, const char* to) { return Faulted(EIO) ? -1 : ::link(from, to); }

bool IsRegular(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Writes all of data to fd, retrying on EINTR and partial writes.
bool WriteAll(int fd, std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = WriteSome(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads fd from offset to the end into a buffer of expected + 1 bytes
// (growing it when the file is larger). A read that returns less than it was
// asked for has met the end of the regular file: no further read is made
// for it. nullopt when a read fails (errno set).
std::optional<std::string> ReadFrom(int fd, off_t offset, std::size_t expected) {
    std::string data(expected + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == data.size()) data.resize(data.size() * 2);
        const std::size_t room = data.size() - used;
        const ssize_t n = ::pread(fd, data.data() + used, room, offset + static_cast<off_t>(used));
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        used += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < room) break;
    }
    data.resize(used);
    return data;
}

// The first read of a file is made into a buffer this large before its size
// is asked for: the module's files are smaller, so one read brings them whole.
constexpr std::size_t kFirstReadSize = std::size_t{64} * 1024;

// The temporary file names: "<name>.<pid>.<16 hex>.tmp". A name longer
// than kTemporaryPrefixLimit gives only its first bytes, so that the
// temporary name stays within the file system's 255 bytes.
constexpr std::size_t kTemporaryPrefixLimit = 200;
constexpr std::string_view kTemporarySuffix = ".tmp";

fs::path TemporaryPath(const fs::path& target) {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%d.%016llx.tmp", static_cast<int>(::getpid()),
                  static_cast<unsigned long long>(rng()));
    const std::string name = target.filename().string();
    return target.parent_path() / (name.substr(0, kTemporaryPrefixLimit) + suffix);
}

fs::path FolderOf(const fs::path& path) {
    return path.parent_path().empty() ? fs::path(".") : path.parent_path();
}

// After target was published: flushes its folder (when durable) and removes
// the temporary files of target that a killed writer left behind (older
// than kStaleTemporaryAgeSeconds), through one open of the folder: one
// listing, a look only at the names of target's temporary files.
void FinishPublishing(const fs::path& target, bool durable) {
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    if (durable) Fsync(fd);
    const std::string name = target.filename().string();
    const std::string_view prefix = std::string_view(name).substr(0, kTemporaryPrefixLimit);
    const time_t limit = ::time(nullptr) - kStaleTemporaryAgeSeconds;
    alignas(8) char buffer[32 * 1024];
    for (;;) {
        const ssize_t n = ::getdents64(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            if (TemporaryFileTarget(entry->d_name) != prefix) continue;
            struct stat st {};
            if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode) && st.st_mtime < limit) {
                ::unlinkat(fd, entry->d_name, 0);
            }
        }
    }
    ::close(fd);
}

// The permission bits and group a new file of folder gets: when the folder
// is group-writable (a folder shared by the accounts of one group), the
// group may read and write it whatever the umask, and it is the folder's.
struct NewFileRule {
    bool shared = false;
    gid_t group = 0;
};
NewFileRule NewFileRuleOf(const fs::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || (st.st_mode & S_IWGRP) == 0) return {};
    return NewFileRule{true, st.st_gid};
}

// Gives the open temporary file fd the mode and group it must have: those
// of the file it replaces (held), else those of a new file of its folder.
// False when the group cannot be kept and the old group had rights that
// others lack: the replaced file would lock that group out.
bool SetAttributes(int fd, const std::optional<HeldFile>& held, const fs::path& folder) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    mode_t mode = st.st_mode & 07777;
    gid_t group = st.st_gid;
    bool groupNeeded = false;
    if (held) {
        mode = static_cast<mode_t>(held->mode) & 07777;
        group = static_cast<gid_t>(held->group);
        groupNeeded = ((mode >> 3) & 07 & ~mode) != 0;
    } else if (const NewFileRule rule = NewFileRuleOf(folder); rule.shared) {
        mode |= S_IRGRP | S_IWGRP;
        group = rule.group;
    }
    if (group != st.st_gid && ::fchown(fd, static_cast<uid_t>(-1), group) != 0 && groupNeeded) {
        errno = EPERM;
        return false;
    }
    return mode == (st.st_mode & 07777) || ::fchmod(fd, mode) == 0;
}

// Writes contents to a new temporary file beside target, flushed when
// durable, with the attributes SetAttributes gives it. Its path, or nullopt
// (nothing left behind).
std::optional<fs::path> WriteTemporary(const fs::path& target, std::string_view contents,
                                       bool durable, const std::optional<HeldFile>& held) {
    const fs::path temp = TemporaryPath(target);
    const int fd = OpenForWriting(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    testing::AfterTemporaryCreated(temp.c_str());
    bool ok = WriteAll(fd, contents) && (!durable || Fsync(fd) == 0) &&
              SetAttributes(fd, held, FolderOf(target));
    const int error = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok) return temp;
    ::unlink(temp.c_str());
    errno = error;
    return std::nullopt;
}

}  // namespace

bool CanOpenForReading(const fs::path& path) {
    // O_NONBLOCK: a FIFO is refused by the fstat below instead of blocking.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

bool FileExists(const fs::path& path) { return IsRegular(path); }

std::optional<std::string> ReadWholeFile(const fs::path& path, int* error) {
    return ReadWholeFile(path.c_str(), error);
}

std::optional<std::string> ReadWholeFile(const char* path, int* error) {
    int ignored = 0;
    int& failure = error != nullptr ? *error : ignored;
    failure = 0;
    // O_NONBLOCK: a FIFO put where a file belongs is refused below instead
    // of blocking the open until a writer appears; regular files ignore it.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        failure = errno;
        return std::nullopt;
    }
    // One read brings a file of the usual size whole; the size is asked for
    // only when that read says nothing of what the file is (it met the end at
    // once, or filled the buffer): a FIFO or device is no file.
    std::optional<std::string> data = std::string(kFirstReadSize, '\0');
    ssize_t n = 0;
    do {
        n = ::pread(fd, data->data(), kFirstReadSize, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        failure = errno == EISDIR ? EISDIR : errno == ESPIPE ? EINVAL : EIO;
        data.reset();
    }
    struct stat st {};
    if (data && (n == 0 || static_cast<std::size_t>(n) == kFirstReadSize) &&
        (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        failure = EINVAL;
        data.reset();
    }
    if (data) {
        data->resize(static_cast<std::size_t>(n));
        // A file that filled the buffer is read on from there, as large as it is.
        std::optional<std::string> rest;
        if (data->size() == kFirstReadSize &&
            !(rest =
                  ReadFrom(fd, n, static_cast<std::size_t>(std::max<off_t>(st.st_size, n) - n)))) {
            failure = EIO;
            data.reset();
        } else if (rest) {
            *data += *rest;
        }
    }
    ::close(fd);
    return data;
}

int OpenForUpdate(const fs::path& path) {
    return OpenForWriting(path.c_str(),
                          O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
}

std::optional<std::string> ReadDescriptor(int fd, std::size_t size) {
    return ReadFrom(fd, 0, size);
}

bool AppendToDescriptor(int fd, std::string_view record) {
    // O_APPEND (set by the open): a workstation whose file system refuses
    // locks still never writes over a record appended meanwhile (on a local
    // disk).
    const ssize_t n = WriteSome(fd, record.data(), record.size());
    bool ok = n == static_cast<ssize_t>(record.size());
    if (!ok && n > 0) {
        // Never leave half a record behind.
        struct stat st {};
        ok = false;
        if (::fstat(fd, &st) == 0) ::ftruncate(fd, st.st_size - n);
    }
    return (Fsync(fd) == 0) && ok;
}

std::optional<std::string_view> TemporaryFileTarget(std::string_view name) {
    // <target>.<pid>.<16 hex>.tmp
    if (!name.ends_with(kTemporarySuffix)) return std::nullopt;
    name.remove_suffix(kTemporarySuffix.size());
    const auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (name.size() < 17 || name[name.size() - 17] != '.' ||
        !std::all_of(name.end() - 16, name.end(), isHex)) {
        return std::nullopt;
    }
    name.remove_suffix(17);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size() ||
        !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dot) + 1, name.end(), isDigit)) {
        return std::nullopt;
    }
    return name.substr(0, dot);
}

void RemoveStaleTemporaries(const fs::path& target) { FinishPublishing(target, false); }

bool AtomicReplace(const fs::path& target, std::string_view contents, Durability durability,
                   std::optional<HeldFile> held) {
    const bool durable = durability == Durability::Durable;
    // Unless the caller holds the target open for writing, one look at it:
    // a folder is never replaced, nor a file the user could not write in
    // place; a file being replaced gives its mode and group to the new one.
    bool existed = held.has_value();
    if (!existed) {
        struct stat st {};
        existed = ::lstat(target.c_str(), &st) == 0;
        if (existed && S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        if (existed && S_ISREG(st.st_mode)) {
            if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
            held = HeldFile{st.st_mode & 07777u, st.st_gid};
        }
    }
    const std::optional<fs::path> temp = WriteTemporary(target, contents, durable, held);
    if (!temp) return false;
    if (Rename(temp->c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp->c_str());
        errno = error;
        return false;
    }
    FinishPublishing(target, durable);
    return true;
}

bool CreateExclusive(const fs::path& path, std::string_view contents) {
    const std::optional<fs::path> temp = WriteTemporary(path, contents, true, std::nullopt);
    if (!temp) return false;
    int error = Link(temp->c_str(), path.c_str()) == 0 ? 0 : errno;
    if (error != 0 && error != EEXIST) {
        // A link(2) over NFS that was retransmitted can report a failure
        // although it succeeded: the temporary file then has two names.
        struct stat st {};
        if (::stat(temp->c_str(), &st) == 0 && st.st_nlink == 2) error = 0;
    }
    ::unlink(temp->c_str());
    if (error != 0) {
        errno = error;
        return false;
    }
    FinishPublishing(path, true);
    return true;
}

bool CopyFileOver(const fs::path& source, const fs::path& target, Durability durability) {
    const std::optional<std::string> data = ReadWholeFile(source);
    if (!data) return false;
    return AtomicReplace(target, *data, durability);
}

bool DeleteFile(const fs::path& path) {
    // unlink never removes a folder (EISDIR), so no separate test is needed.
    return ::unlink(path.c_str()) == 0;
}

bool CreateFolder(const fs::path& path) { return ::mkdir(path.c_str(), 0777) == 0; }

}  // namespace quillet::platform
