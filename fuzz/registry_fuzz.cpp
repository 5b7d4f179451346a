// Fuzz target: the registry file reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view kKey =
        "HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation";
    for (const std::string_view name : {"ParentComputerRoot", "VELDSystemRoot", ""}) {
        const auto value = quillet::platform::FindRegistryValue(bytes, kKey, name);
        // A string value comes from a quoted text of the input: it is never longer.
        if (value && value->type == quillet::platform::RegistryValueType::String &&
            value->data.size() > size * 2) {
            __builtin_trap();
        }
    }
    return 0;
}
