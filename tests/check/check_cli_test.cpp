// quillet-host check as an administrator runs it: exit codes, the plain
// report of the damaged sample folder against its reviewed baseline, --json.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_install.h"

namespace {

namespace fs = std::filesystem;
using quillet::testing::TempFolder;
using quillet::testing::TempInstallation;

struct HostRun {
    int exitCode = -1;
    std::string out;
};

HostRun RunHost(const std::string& arguments) {
    HostRun run;
    const std::string command = std::string(QUILLET_HOST) + " check " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

fs::path CopySample(const TempFolder& to, const char* name) {
    fs::copy(std::string(QUILLET_CHECK_DATA) + "/" + name, to.Path(), fs::copy_options::recursive);
    return to.Path();
}

TEST(CheckCliTest, ExitCodes) {
    TempFolder clean;
    CopySample(clean, "clean");
    TempFolder damaged;
    CopySample(damaged, "damaged");
    TempFolder empty;

    const struct {
        std::string arguments;
        int exitCode;
    } rows[] = {
        {"--data-root " + clean.Path().string(), 0},
        {"--data-root " + clean.Path().string() + "/ --system-root " + clean.Path().string() +
             "/system/",
         0},
        {"--data-root " + damaged.Path().string(), 1},
        {"--data-root " + empty.Path().string(), 70},  // no data/Othmcn below it
        {"--data-root", 64},
        {"--bogus", 64},
        {"--data-root " + clean.Path().string() + " extra", 64},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RunHost(row.arguments).exitCode, row.exitCode) << row.arguments;
    }
}

TEST(CheckCliTest, RegistryDataRootIsTheDefault) {
    TempInstallation install;
    EXPECT_EQ(RunHost("").exitCode, 0);  // an empty data folder is fine
    quillet::testing::WriteFile(install.DataFolder() / "Othmcn.dat", "\n[QM700]135MC01\n");
    quillet::testing::WriteFile(install.WorkingFolder() / "MD_NC_TEMP.ini", "");
    const HostRun run = RunHost("");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Othmcn.dat:1: error: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[marker-not-first]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("TEMP/MD_NC_TEMP.ini: warning: "), std::string::npos) << run.out;

    install.WriteRegistry("");
    EXPECT_EQ(RunHost("").exitCode, 70);
}

TEST(CheckCliTest, DamagedSampleReportMatchesBaseline) {
    TempFolder damaged;
    CopySample(damaged, "damaged");
    const HostRun run = RunHost("--data-root " + damaged.Path().string() + " --system-root " +
                                damaged.Path().string() + "/system/");
    const std::string baselinePath = std::string(QUILLET_CHECK_DATA) + "/damaged.expected";
    const std::string baseline = quillet::testing::ReadFile(baselinePath);
    if (run.out != baseline) {
        quillet::testing::WriteFile("damaged.out", run.out);
    }
    EXPECT_EQ(run.out, baseline) << "output left in damaged.out of the test folder for review";

    const HostRun json = RunHost("--json --data-root " + damaged.Path().string());
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.out.rfind("[\n  {\"severity\": ", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("\"code\": \"name-with-space\", \"file\": \"Othmcn.dat\", \"line\": 3"),
              std::string::npos)
        << json.out;
}

}  // namespace
