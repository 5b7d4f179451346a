// Placeholder: the .reg reader is being written.
#include "platform/registry.h"

#include <cstdlib>

namespace quillet::platform {

std::filesystem::path RegistryFilePath() {
    const char* env = std::getenv("QUILLET_REGISTRY");
    if (env != nullptr && env[0] != '\0') return env;
    return "/etc/quillet/registry.reg";
}

std::optional<RegistryValue> FindRegistryValue(std::string_view, std::string_view,
                                               std::string_view) {
    return std::nullopt;
}

std::optional<RegistryValue> ReadRegistryValue(const std::filesystem::path&, std::string_view,
                                               std::string_view) {
    return std::nullopt;
}

}  // namespace quillet::platform
