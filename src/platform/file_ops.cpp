// POSIX implementations of the module's file operations.
#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

// Reads fd from its current position to the end; expected is the size to
// reserve. nullopt when a read fails.
std::optional<std::string> ReadAll(int fd, std::size_t expected) {
    std::string data;
    // One read fills a buffer of the file's size plus one byte, which also
    // shows the end of the file; a file that grew meanwhile reads on.
    data.resize(expected + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == data.size()) data.resize(data.size() * 2);
        const ssize_t n = ::read(fd, data.data() + used, data.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    data.resize(used);
    return data;
}

std::string UniqueSuffix() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    char buf[32];
    std::snprintf(buf, sizeof buf, ".%d.%016llx.tmp", static_cast<int>(::getpid()),
                  static_cast<unsigned long long>(rng()));
    return buf;
}

void SyncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        Fsync(fd);
        ::close(fd);
    }
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
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        failure = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return std::nullopt;
    }
    std::optional<std::string> data = ReadAll(fd, static_cast<std::size_t>(st.st_size));
    ::close(fd);
    if (!data) failure = EIO;
    return data;
}

int OpenForUpdate(const fs::path& path) {
    return OpenForWriting(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

std::optional<std::string> ReadDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    if (::lseek(fd, 0, SEEK_SET) != 0) return std::nullopt;
    return ReadAll(fd, static_cast<std::size_t>(st.st_size));
}

bool AppendToDescriptor(int fd, std::string_view record) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    // O_APPEND: a workstation whose file system refuses locks still never
    // writes over a record appended since the fstat (on a local disk).
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_APPEND) != 0) return false;
    const ssize_t n = WriteSome(fd, record.data(), record.size());
    bool ok = n == static_cast<ssize_t>(record.size());
    // Never leave half a record behind.
    if (!ok && n > 0 && ::ftruncate(fd, st.st_size) != 0) ok = false;
    return (Fsync(fd) == 0) && ok;
}

bool AtomicReplace(const fs::path& target, std::string_view contents, Durability durability,
                   std::optional<unsigned> knownMode) {
    const bool durable = durability == Durability::Durable;
    // One stat of the target unless its mode is known: a folder is never
    // replaced, and the file being replaced gives its permission bits to the
    // new one.
    struct stat st {};
    bool existed = knownMode.has_value();
    if (existed) {
        st.st_mode = static_cast<mode_t>(*knownMode);
    } else {
        existed = ::stat(target.c_str(), &st) == 0;
        if (existed && S_ISDIR(st.st_mode)) return false;
    }
    const fs::path folder = target.parent_path();
    const fs::path temp = fs::path(target).concat(UniqueSuffix());
    const int fd = OpenForWriting(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, contents) && (!durable || Fsync(fd) == 0);
    if (ok && existed) ::fchmod(fd, st.st_mode & 07777);
    ok = (::close(fd) == 0) && ok;
    if (ok && Rename(temp.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    if (durable) SyncFolder(folder);
    return true;
}

bool CreateExclusive(const fs::path& path, std::string_view contents) {
    const int fd = OpenForWriting(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, contents) && Fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) ::unlink(path.c_str());
    return ok;
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

std::string TextModeBytes(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        out.push_back(raw[i]);
    }
    return out;
}

std::optional<std::string_view> FgetsReader::Next() {
    if (pos_ >= text_.size() || bufferSize_ < 2) return std::nullopt;
    const std::size_t window = std::min(bufferSize_ - 1, text_.size() - pos_);
    const void* const newline = std::memchr(text_.data() + pos_, '\n', window);
    const std::size_t end =
        newline != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(newline) - text_.data()) + 1
            : pos_ + window;
    std::string_view chunk = text_.substr(pos_, end - pos_);
    pos_ = end;
    return chunk;
}

}  // namespace quillet::platform
