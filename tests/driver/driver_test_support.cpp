// Helpers of the driver tests.
#include "driver_test_support.h"

#include <cstdlib>
#include <fstream>

namespace quillet::testing {

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    if (value) {
        setenv(name_.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedEnv::~ScopedEnv() {
    if (previous_) {
        setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string Describe(const driver::DriverCondition& item) {
    return std::to_string(item.id) + "/" + std::to_string(item.valueType) + "/" +
           std::to_string(item.valueCount) + "/" + item.name;
}

std::vector<std::string> Describe(const driver::DriverConditionList& list) {
    std::vector<std::string> out;
    for (const auto& item : list) out.push_back(Describe(item));
    return out;
}

}  // namespace quillet::testing
