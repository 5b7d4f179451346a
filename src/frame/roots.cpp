// Installation roots read from the registry file, and the folder layout.
#include "frame/roots.h"

#include <utility>

#include "platform/paths.h"
#include "platform/registry.h"

namespace quillet::frame {

namespace {

std::optional<std::string> ReadRoot(const char* valueName) {
    auto value = platform::ReadRegistryValue(kRootsKey, valueName);
    if (!value || value->type != platform::RegistryValueType::String) return std::nullopt;
    // The value must fit a 500-byte buffer with its NUL, as on Windows.
    if (value->data.size() > platform::kMaxPathLength) return std::nullopt;
    return std::move(value->data);
}

int ReadInto(const char* valueName, char* buffer) {
    const std::optional<std::string> root = ReadRoot(valueName);
    if (!root) return 0;
    return platform::CopyToBuffer(*root, buffer, platform::kPathBufferSize) ? 1 : 0;
}

}  // namespace

int ReadDataRoot(char* buffer) { return ReadInto("ParentComputerRoot", buffer); }
int ReadSystemRoot(char* buffer) { return ReadInto("VELDSystemRoot", buffer); }

std::optional<std::string> DataRoot() { return ReadRoot("ParentComputerRoot"); }
std::optional<std::string> SystemRoot() { return ReadRoot("VELDSystemRoot"); }

std::optional<std::string> DataFolder() {
    const std::optional<std::string> root = DataRoot();
    if (!root) return std::nullopt;
    return platform::ComposePath(*root, {"data/Othmcn"});
}

std::optional<std::string> WorkingFolder() {
    const std::optional<std::string> root = SystemRoot();
    if (!root) return std::nullopt;
    return platform::ComposePath(*root, {"TEMP"});
}

}  // namespace quillet::frame
