// Fuzz target: the profile engine on arbitrary file bytes. Checks that an
// unchanged document serializes to its input, that the one-pass reader of
// read-only look-ups answers as the document does, and that a value written
// can be read back, both from the document and from its serialized form.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace {

using quillet::platform::GetProfileStringFromBytes;
using quillet::platform::ProfileDocument;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// Names to try: a few fixed ones and printable runs taken from the input.
std::vector<std::string> Names(std::string_view bytes) {
    std::vector<std::string> names = {"", "S", "a", "K", "Sect", "13300", "1"};
    std::string run;
    for (const char c : bytes) {
        if (c > ' ' && c < 0x7F && c != '=' && c != '[' && c != ']') {
            run.push_back(c);
            continue;
        }
        if (!run.empty() && run.size() <= 16 && names.size() < 14) names.push_back(run);
        run.clear();
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ProfileDocument document = ProfileDocument::FromBytes("fuzz.ini", bytes);
    const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE";
    if (!utf16 || size % 2 == 0) Check(document.Serialize() == bytes);

    const std::vector<std::string> names = Names(bytes);
    for (const std::string& section : names) {
        for (const std::string& key : names) {
            Check(GetProfileStringFromBytes(bytes, section, key, " \"dflt\" ") ==
                  document.GetString(section, key, " \"dflt\" "));
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& section = names[i];
        const std::string& key = names[(i * 7 + 3) % names.size()];
        (void)document.GetString(section, key, "d", 8);
        document.SetString(section, key, "v" + std::to_string(i));
        Check(document.Find(section, key) == "v" + std::to_string(i));
        // A raw value from the input: only no crash and a consistent document.
        document.SetString(key, section, std::string(bytes.substr(std::min(i, size), 12)));
    }
    const std::string serialized = document.Serialize();
    const ProfileDocument reread = ProfileDocument::FromBytes("fuzz.ini", serialized);
    Check(reread.Serialize() == serialized);
    return 0;
}
