// Each non-dialog export called 10,000 times in one process: resident
// memory does not grow (the sanitizer build adds LeakSanitizer's check at
// exit). QUILLET_MEMORY_ITERATIONS lowers the count for slow builds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "quillet/quillet.h"
#include "reliability_support.h"

namespace quillet::testing {
namespace {

long ResidentKiB() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr || std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    if (f != nullptr) std::fclose(f);
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

TEST(MemoryTest, TenThousandCallsOfEachExportKeepResidentMemoryFlat) {
    TempInstallation install;
    WriteMaster(install);
    const std::string driver = SamplePath("drivers/laser.drv").string();
    ::setenv("QUILLET_JOB", SamplePath("jobs/sample.job").c_str(), 1);
    std::string target = (install.WorkingFolder() / "out.nc").string();
    char path[QUILLET_PATH_BUFFER_SIZE];
    ASSERT_EQ(SddGetOthMacCondPath(1, 0, 131, "MC01", "SPCC", "", 0, 0, path), 0);
    WriteFile(path, "###CUTCOND-K\nM102\n###END\n");
    const std::string templatePath = path;
    float block[QUILLET_PDL_SLOTS];

    const struct {
        const char* name;
        std::function<bool(int)> call;  // true when the call gave its expected result
    } exports[] = {
        {"SddGetOthMacCondPath",
         [&](int i) {
             return SddGetOthMacCondPath(i % 2, 0, 131, "MC01", "SPCC", "", 0, 0, path) == 0;
         }},
        {"SddGetOthCutInf", [&](int) { return SddGetOthCutInf(templatePath.c_str()) == 1; }},
        {"MD_SetCurrentInfo",
         [&](int) { return MD_SetCurrentInfo(driver.c_str(), "MC01", "SPCC", "DIE1") == 0; }},
        {"MD_CreateNC", [&](int) { return MD_CreateNC(driver.c_str(), target.data()) == 0; }},
        {"MD_GetSpecialSequence",
         [&](int i) {
             md_ssi_all_ result;
             MD_GetSpecialSequence(driver.c_str(), 1 + i % 2, &result);
             return result.count > 0;
         }},
        {"SddPDLOthMacLasCutGetInf",
         [&](int i) { return SddPDLOthMacLasCutGetInf("M1", 13400, "SPCC", i % 13, block) == 0; }},
        {"SddPDLOthMacLasCutFileCopy + Delete",
         [&](int) {
             return SddPDLOthMacLasCutFileCopy("M1", "SPCC", "M2", "SUS") == 0 &&
                    SddPDLOthMacLasCutFileDelete("M2", "SUS") == 0;
         }},
        {"SddPDLOthMacTypeGet", [&](int i) { return SddPDLOthMacTypeGet(13400 + i % 5) > 0; }},
    };
    const char* iterations = std::getenv("QUILLET_MEMORY_ITERATIONS");
    const int n = std::max(1000, iterations ? std::atoi(iterations) : 10000);
    for (const auto& e : exports) {
        for (int i = 0; i < 200; ++i) ASSERT_TRUE(e.call(i)) << e.name;  // warm-up
        const long before = ResidentKiB();
        int failures = 0;
        for (int i = 0; i < n; ++i) failures += e.call(i) ? 0 : 1;
        [[maybe_unused]] const long growth = ResidentKiB() - before;
        EXPECT_EQ(failures, 0) << e.name;
        // A leak of 100 bytes a call would show as about 1 MiB. AddressSanitizer
        // holds freed memory in quarantine; its leak check runs at exit instead.
#if !defined(__SANITIZE_ADDRESS__)
        EXPECT_LT(growth, 512) << e.name << " grew by " << growth << " KiB";
#endif
    }
    ::unsetenv("QUILLET_JOB");
}

}  // namespace
}  // namespace quillet::testing
