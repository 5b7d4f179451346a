// Temporary installations and file helpers for the tests.
#include "support/temp_install.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/file_lock.h"

namespace quillet::testing {

namespace {
fs::path MakeTempFolder(const fs::path& parent = {}) {
    std::string pattern =
        ((parent.empty() ? fs::temp_directory_path() : parent) / "quillet-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}
}  // namespace

TempFolder::TempFolder() : path_(MakeTempFolder()) {}
TempFolder::~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

TempInstallation::TempInstallation() : TempInstallation(Options{}) {}

TempInstallation::TempInstallation(const Options& options) : base_(MakeTempFolder(options.parent)) {
    if (const char* previous = std::getenv("QUILLET_REGISTRY")) {
        hadRegistry_ = true;
        previousRegistry_ = previous;
    }
    fs::create_directories(base_ / "data");
    fs::create_directories(base_ / "system");
    if (options.dataFolder) fs::create_directories(DataFolder());
    if (options.workingFolder) fs::create_directories(WorkingFolder());
    std::string body = "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n";
    if (options.dataRoot) body += "\"ParentComputerRoot\"=\"" + DataRoot() + "\"\n";
    if (options.systemRoot) body += "\"VELDSystemRoot\"=\"" + SystemRoot() + "\"\n";
    WriteRegistry(body);
    ::setenv("QUILLET_REGISTRY", RegistryFile().c_str(), 1);
}

TempInstallation::~TempInstallation() {
    if (hadRegistry_) {
        ::setenv("QUILLET_REGISTRY", previousRegistry_.c_str(), 1);
    } else {
        ::unsetenv("QUILLET_REGISTRY");
    }
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(base_, ec);
         it != fs::recursive_directory_iterator(); ++it) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(base_, ec);
}

std::string TempInstallation::DataRoot() const { return (base_ / "data").string() + "/"; }
std::string TempInstallation::SystemRoot() const { return (base_ / "system").string() + "/"; }

void TempInstallation::WriteRegistry(std::string_view bodyAfterHeader) const {
    WriteFile(RegistryFile(),
              "Windows Registry Editor Version 5.00\n\n" + std::string(bodyAfterHeader));
}

ScopedEnv::ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (const auto& [name, value] : values) {
        const char* previous = std::getenv(name);
        saved_.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
}

ScopedEnv::ScopedEnv(const std::string& name, const std::optional<std::string>& value)
    : ScopedEnv({{name.c_str(), value ? value->c_str() : nullptr}}) {}

ScopedEnv::~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        it->second ? ::setenv(it->first.c_str(), it->second->c_str(), 1)
                   : ::unsetenv(it->first.c_str());
    }
}

bool LockFree(const fs::path& path) {
    const bool folder = fs::is_directory(path);
    const int fd = ::open(path.c_str(), (folder ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) return true;
    bool free = false;
    if (folder) {
        free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    } else {
        struct flock range {};
        range.l_type = F_WRLCK;
        range.l_whence = SEEK_SET;
        range.l_start = platform::kFileLockOffset;
        range.l_len = 1;
        free = ::fcntl(fd, F_OFD_SETLK, &range) == 0;
    }
    ::close(fd);
    return free;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const fs::path& path, std::string_view contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::vector<std::string>> FixtureRows(const fs::path& path) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(ReadFile(path));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (line.ends_with(" |")) line += ' ';  // an empty last field
        std::vector<std::string>& row = rows.emplace_back(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line.compare(i, 3, " | ") == 0) {
                row.emplace_back();
                i += 2;
            } else if (line[i] != '\\' || i + 1 == line.size()) {
                row.back() += line[i];
            } else if (const char c = line[++i]; c == 'x') {
                row.back() += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                const std::string_view from = "nrt0", to("\n\r\t\0", 4);
                const std::size_t at = from.find(c);
                row.back() += at == std::string_view::npos ? c : to[at];
            }
        }
    }
    return rows;
}

}  // namespace quillet::testing
