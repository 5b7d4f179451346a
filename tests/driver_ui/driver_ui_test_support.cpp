// Helpers of the driver dialog tests.
#include "driver_ui_test_support.h"

#include "platform/profile.h"
#include "support/temp_install.h"

namespace quillet::testing {

std::filesystem::path WriteSampleDriver(const std::filesystem::path& folder) {
    const std::filesystem::path path = folder / "sample.drv";
    WriteFile(path,
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
    return path;
}

std::filesystem::path WriteEmptyDriver(const std::filesystem::path& folder) {
    const std::filesystem::path path = folder / "empty.drv";
    WriteFile(path, "# a driver that publishes nothing\n");
    return path;
}

std::string IniValue(const std::filesystem::path& file, const std::string& section,
                     const std::string& key) {
    const auto value = platform::ProfileDocument::Load(file).Find(section, key);
    return value ? *value : std::string("<missing>");
}

}  // namespace quillet::testing
