// Advisory locks that serialise read-then-write sequences between processes
// sharing a folder. The lock is taken on the folder itself (flock on a
// directory descriptor), so no lock file is added beside the data files and
// a replacing rename of a file in the folder is never blocked.
#pragma once

#include <filesystem>

namespace quillet::platform {

class FolderLock {
public:
    // Blocks until the exclusive lock on folder is held. When the folder
    // cannot be opened the lock is not held (Held() false) and the caller
    // goes on unserialised: its own file operations will then fail as usual.
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace quillet::platform
