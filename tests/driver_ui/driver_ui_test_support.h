// Helpers of the driver dialog tests: stand-in driver files and reading
// values back from setting files.
#pragma once

#include <filesystem>
#include <string>

#include "platform/profile.h"
#include "support/temp_install.h"

namespace quillet::testing {

// A driver definition file for the stand-in libkorvid.so in folder:
// cutting items 1 (switch), 2 (integer, 1 value), 3 (real, 2 values); tool
// items 10 (switch), 11 (integer, 1 value); NC defaults 100 (integer 3) and
// 101 (real 1.5).
inline std::filesystem::path WriteSampleDriver(const std::filesystem::path& folder) {
    WriteFile(folder / "sample.drv",
              "[cutting]\n"
              "id=1 type=2 count=0 name=Assist gas purge\n"
              "id=2 type=3 count=1 name=Pierce time\n"
              "id=3 type=4 count=2 name=Focus offset\n"
              "[tool]\n"
              "id=10 type=2 count=0 name=Tool change stop\n"
              "id=11 type=3 count=1 name=Punch count\n"
              "[default]\n"
              "id=100 type=3 int=3 real=0 name=Program number digits\n"
              "id=101 type=4 int=0 real=1.5 name=Lead-in length\n");
    return folder / "sample.drv";
}

// The value of key in section of an INI file, or "<missing>".
inline std::string IniValue(const std::filesystem::path& file, const std::string& section,
                            const std::string& key) {
    return platform::ProfileDocument::Load(file).Find(section, key).value_or("<missing>");
}

}  // namespace quillet::testing
