// quillet-host check as an administrator runs it: exit codes, the plain
// report of the damaged sample folder against its reviewed baseline, --json.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace quillet::testing;

ProgramRun Check(std::vector<std::string> args) {
    args.insert(args.begin(), {QUILLET_HOST, "check"});
    return RunProgram(args);
}

std::string CopySample(const TempFolder& to, const char* name) {
    fs::copy(std::string(QUILLET_CHECK_DATA) + "/" + name, to.Path(), fs::copy_options::recursive);
    return to.Path().string();
}

TEST(CheckCliTest, ExitCodes) {
    TempFolder cleanCopy, damagedCopy, empty;
    const std::string clean = CopySample(cleanCopy, "clean");
    const std::string damaged = CopySample(damagedCopy, "damaged");
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } rows[] = {
        {{"--data-root", clean}, 0},
        {{"--data-root", clean + "/", "--system-root", clean + "/system/"}, 0},
        {{"--data-root", damaged}, 1},
        {{"--data-root", empty.Path().string()}, 70},  // no data/Othmcn below it
        {{"--data-root"}, 64},
        {{"--bogus"}, 64},
        {{"--data-root", clean, "extra"}, 64},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Check(row.args).exitCode, row.exitCode) << row.args.back();
    }
}

TEST(CheckCliTest, RegistryDataRootIsTheDefault) {
    TempInstallation install;
    EXPECT_EQ(Check({}).exitCode, 0);  // an empty data folder is fine
    WriteFile(install.DataFolder() / "Othmcn.dat", "\n[QM700]135MC01\n");
    WriteFile(install.WorkingFolder() / "MD_NC_TEMP.ini", "");
    const ProgramRun run = Check({});
    EXPECT_EQ(run.exitCode, 1);
    for (const char* text :
         {"Othmcn.dat:1: error: ", "[marker-not-first]", "TEMP/MD_NC_TEMP.ini: warning: "}) {
        EXPECT_NE(run.out.find(text), std::string::npos) << run.out;
    }
    install.WriteRegistry("");
    EXPECT_EQ(Check({}).exitCode, 70);
}

TEST(CheckCliTest, DamagedSampleReportMatchesBaselineAndJson) {
    TempFolder copy;
    const std::string damaged = CopySample(copy, "damaged");
    const ProgramRun run = Check({"--data-root", damaged, "--system-root", damaged + "/system/"});
    const std::string baseline = ReadFile(std::string(QUILLET_CHECK_DATA) + "/damaged.expected");
    if (run.out != baseline) WriteFile("damaged.out", run.out);
    EXPECT_EQ(run.out, baseline) << "output left in damaged.out of the test folder for review";

    const ProgramRun json = Check({"--json", "--data-root", damaged});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.out.rfind("[\n  {\"severity\": ", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("\"code\": \"name-with-space\", \"file\": \"Othmcn.dat\", \"line\": 3"),
              std::string::npos)
        << json.out;
}

}  // namespace
