// Helpers of the driver tests and the fixture driving the recording double.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "driver/driver_settings.h"
#include "support/temp_install.h"

namespace quillet::testing {

using Lines = std::vector<std::string>;

// The lines of a text file without line ends; empty when missing.
inline Lines ReadLines(const fs::path& path) {
    Lines lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline driver::DriverCondition Item(int id, int type, int count, int onOff = 0, double v1 = 0,
                                    double v2 = 0, int timing = 1) {
    return {id, {}, static_cast<driver::DriverValueType>(type), count, onOff, v1, v2, timing};
}

// "id/type/count/name onOff value1 value2 timing" per item.
inline Lines Describe(const driver::DriverConditionList& list) {
    Lines out;
    for (const auto& i : list) {
        char text[200];
        std::snprintf(text, sizeof text, "%d/%d/%d/%s %d %.10g %.10g %d", i.id,
                      static_cast<int>(i.valueType), i.valueCount, i.name.c_str(), i.onOff,
                      i.value1, i.value2, i.timing);
        out.push_back(text);
    }
    return out;
}

// Points the recording double at a script and a call log of the test's own.
class RecordingTest : public ::testing::Test {
protected:
    void Script(const std::string& text) const { WriteFile(folder_.Path() / "script.txt", text); }
    // The calls since the last look.
    Lines Calls() const {
        Lines calls = ReadLines(folder_.Path() / "calls.log");
        fs::remove(folder_.Path() / "calls.log");
        return calls;
    }

    TempFolder folder_;
    ScopedEnv log_{"QUILLET_DOUBLE_LOG", (folder_.Path() / "calls.log").string()};
    ScopedEnv script_{"QUILLET_DOUBLE_SCRIPT", (folder_.Path() / "script.txt").string()};
};

}  // namespace quillet::testing
