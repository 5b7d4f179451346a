// Helpers of the driver tests and the fixture that reads the stand-ins' call trace.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "driver/driver_settings.h"
#include "support/temp_install.h"

namespace quillet::testing {

using Lines = std::vector<std::string>;

// The sample driver of samples/drivers (QUILLET_SAMPLES names the folder):
// cutting items 1 (switch), 2 (integer, 1 value), 3 (real, 2 values) and
// three more; tool items 10 (switch), 11 (integer, 1 value), 12; NC defaults
// 100 (integer 3), 101 (real 1.5) to 104.
inline const std::string kSamples =
    std::getenv("QUILLET_SAMPLES") ? std::getenv("QUILLET_SAMPLES") : "samples";
inline const std::string kDriver = kSamples + "/drivers/laser.drv";

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

// Points the stand-ins' call trace (QUILLET_STANDIN_TRACE) at a file of the
// test's own; the files the test writes are named without their folder in
// the calls.
class TraceTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) const {
        WriteFile(folder_.Path() / name, text);
        return (folder_.Path() / name).string();
    }
    std::string Driver(const std::string& text) const { return Write("drv", text); }
    // text without the test's folder.
    std::string Named(std::string text) const {
        const std::string prefix = folder_.Path().string() + "/";
        for (std::size_t at; (at = text.find(prefix)) != std::string::npos;) {
            text.erase(at, prefix.size());
        }
        return text;
    }
    // The calls since the last look.
    Lines Calls() const {
        Lines calls = ReadLines(folder_.Path() / "trace");
        fs::remove(folder_.Path() / "trace");
        for (std::string& call : calls) call = Named(call);
        return calls;
    }

    TempFolder folder_;
    ScopedEnv trace_{"QUILLET_STANDIN_TRACE", (folder_.Path() / "trace").string()};
};

}  // namespace quillet::testing
