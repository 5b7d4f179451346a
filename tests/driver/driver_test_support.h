// Helpers of the driver tests: driver definition files, scripts for the
// recording double and its call log, environment variables set for one
// test.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver_settings.h"

namespace quillet::testing {

// Sets (or, with nullopt, unsets) an environment variable for the life of
// the object and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// The lines of a text file (without line ends); empty when missing.
std::vector<std::string> ReadLines(const std::filesystem::path& path);

// Compact form of an item for comparisons: "id/type/count/name".
std::string Describe(const driver::DriverCondition& item);
std::vector<std::string> Describe(const driver::DriverConditionList& list);

}  // namespace quillet::testing
