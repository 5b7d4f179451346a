// Installation roots read from the registry file, and the folder layout.
#include "frame/roots.h"

#include <utility>

#include "platform/paths.h"
#include "platform/registry.h"

namespace quillet::frame {

bool IsAbsoluteRoot(std::string_view root) { return !root.empty() && root.front() == '/'; }

namespace {

std::optional<std::string> ReadRoot(const char* valueName) {
    auto value = platform::ReadRegistryValue(kRootsKey, valueName);
    if (!value || value->type != platform::RegistryValueType::String) return std::nullopt;
    // The value must fit a 500-byte buffer with its NUL, as on Windows. An
    // empty or relative root is no root: the module's folders would land
    // below whatever the host's current folder happens to be.
    if (value->data.size() > platform::kMaxPathLength || !IsAbsoluteRoot(value->data)) {
        return std::nullopt;
    }
    return std::move(value->data);
}

}  // namespace

std::optional<std::string> DataRoot() { return ReadRoot(kDataRootValue); }
std::optional<std::string> SystemRoot() { return ReadRoot(kSystemRootValue); }

std::optional<std::string> DataFolderOf(std::string_view dataRoot) {
    return platform::ComposePath(dataRoot, {kDataFolderBelowRoot});
}

std::optional<std::string> WorkingFolderOf(std::string_view systemRoot) {
    return platform::ComposePath(systemRoot, {kWorkingFolderBelowRoot});
}

std::optional<std::string> DataFolder() {
    const std::optional<std::string> root = DataRoot();
    return root ? DataFolderOf(*root) : std::nullopt;
}

std::optional<std::string> WorkingFolder() {
    const std::optional<std::string> root = SystemRoot();
    return root ? WorkingFolderOf(*root) : std::nullopt;
}

}  // namespace quillet::frame
