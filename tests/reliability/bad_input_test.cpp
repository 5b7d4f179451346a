// The bad-input catalogue (docs/BAD-INPUT.md), one row per input, through
// the shared module: each row sets up its installation, makes one call and
// checks the status. No call crashes, and nothing is written outside the
// data and working folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "quillet/quillet.h"
#include "reliability_support.h"

namespace quillet::testing {
namespace {

const std::string kDriver = SamplePath("drivers/laser.drv").string();
const std::string kLong600(600, 'N');
const std::string kName51(51, 'M');

std::string Binary(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    return bytes;
}

int Lookup(int create, const char* machine, const char* material, int type = 131) {
    char path[QUILLET_PATH_BUFFER_SIZE];
    return SddGetOthMacCondPath(create, 0, type, machine, material, "", 0, 0, path);
}

float g_block[QUILLET_PDL_SLOTS];
const TempInstallation* g_install = nullptr;  // the installation of the running row

std::string InBase(const char* name) { return (g_install->Base() / name).string(); }
std::string InData(const char* name) { return (g_install->DataFolder() / name).string(); }
int GetInf(const char* machine, const char* material, int table = 0, int type = 13400) {
    return SddPDLOthMacLasCutGetInf(machine, type, material, table, g_block);
}

void Master(const TempInstallation& install) {
    WriteFile(install.DataFolder() / "PDL_CUT_MASTER.ini",
              ReadFile(SamplePath("pdl/PDL_CUT_MASTER.ini")));
}

// Record lines as a damaged or hand-edited file may hold them.
namespace othmac_record {
std::string Pad(const std::string& text, std::size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}
std::string Machine(int type, const std::string& name, const std::string& list) {
    return "[QM700]" + std::to_string(type) + Pad(name, 50) + Pad(list, 100) + "\n";
}
std::string Material(const std::string& name, const std::string& file) {
    return "[QM700]" + Pad(name, 50) + Pad(file, 100) + "\n";
}
}  // namespace othmac_record

struct Row {
    const char* id;
    std::function<void(const TempInstallation&)> setup;
    std::function<int()> call;
    int expected;
};

const auto kNone = [](const TempInstallation&) {};
const auto kRegistered = [](const TempInstallation&) { ASSERT_EQ(Lookup(1, "MC01", "SPCC"), 0); };

const Row kRows[] = {
    // Null pointers.
    {"N1", kNone, [] { return Lookup(1, nullptr, "SPCC"); }, 999},
    {"N2", kNone, [] { return Lookup(1, "MC01", nullptr); }, 999},
    {"N3", kNone,
     [] { return SddGetOthMacCondPath(1, 0, 131, "MC01", "SPCC", nullptr, 0, 0, nullptr); }, 999},
    {"N4", kNone, [] { return SddGetOthCutInf(nullptr); }, 999},
    {"N5", kNone, [] { return MD_SetCurrentInfo(nullptr, "MC01", nullptr, nullptr); }, -2},
    {"N6", kNone, [] { return MD_SetCurrentInfo(kDriver.c_str(), nullptr, "SPCC", nullptr); }, -2},
    {"N7", kNone, [] { return MD_CreateNC(CString(kDriver.c_str()), nullptr); }, 999},
    {"N8", kNone,
     [] {
         MD_GetSpecialSequence(CString(kDriver.c_str()), 1, nullptr);
         return 0;
     },
     0},
    {"N9", kNone, [] { return GetInf(nullptr, "SPCC"); }, -2},
    {"N10", kNone, [] { return SddPDLOthMacLasCutGetInf("M1", 13400, "SPCC", 0, nullptr); }, -2},
    {"N11", kNone, [] { return SddPDLOthMacLasCutFileCopy("M1", "S", nullptr, "S"); }, -2},
    {"N12", kNone, [] { return SddPDLOthMacLasCutFileDelete(nullptr, "S"); }, -2},
    {"N13", kNone, [] { return MD_OthMacLasCutDLG(kDriver.c_str(), nullptr, "SPCC", 0); }, -2},
    {"N14", kNone, [] { return SddPDLOthMacLasCutDLG(nullptr, 13400, "SPCC", 0); }, -2},
    // Empty and over-long texts.
    {"T1", kNone, [] { return Lookup(1, "", "SPCC"); }, 999},
    {"T2", kNone, [] { return Lookup(1, "MC01", ""); }, 999},
    {"T3", kNone, [] { return Lookup(1, kName51.c_str(), "SPCC"); }, 101},
    {"T4", kNone, [] { return Lookup(1, "MC01", kName51.c_str()); }, 999},
    {"T5", kRegistered, [] { return Lookup(0, kLong600.c_str(), "SPCC"); }, 100},
    {"T6", kNone, [] { return SddGetOthCutInf(""); }, 999},
    {"T7", kNone, [] { return MD_SetCurrentInfo("", "MC01", nullptr, nullptr); }, -2},
    {"T8", kNone, [] { return MD_SetCurrentInfo(kLong600.c_str(), "MC01", nullptr, nullptr); },
     999},
    {"T9", kNone,
     [] {
         char target[] = "/dev/null";
         return MD_CreateNC(CString(kLong600.c_str()), target);
     },
     999},
    {"T10", kNone,
     [] {
         md_ssi_all_ result;
         result.count = 5;
         MD_GetSpecialSequence(CString(kLong600.c_str()), 1, &result);
         return result.count;
     },
     0},
    {"T11", kNone, [] { return GetInf("", "SPCC"); }, -2},
    {"T12", Master, [] { return GetInf(kLong600.c_str(), "SPCC"); }, -1},
    {"T13", Master, [] { return GetInf(std::string(5000, 'L').c_str(), "SPCC"); }, -1},
    // Names with path separators or control characters.
    {"S1", kNone, [] { return Lookup(1, "../evil", "SPCC"); }, 999},
    {"S2", kNone, [] { return Lookup(1, "MC01", "..\\evil"); }, 999},
    {"S3", kNone, [] { return Lookup(1, "MC\n01", "SPCC"); }, 999},
    {"S4", kNone, [] { return Lookup(1, "MC01", "SP\rCC"); }, 999},
    {"S5", kNone, [] { return Lookup(1, "MC 01", "SPCC"); }, 999},
    {"S6", kNone, [] { return Lookup(1, "MC\x01\t01", "SPCC"); }, 0},
    {"S7", kNone, [] { return MD_SetCurrentInfo(kDriver.c_str(), "../x", nullptr, nullptr); }, -2},
    {"S8", kNone, [] { return MD_SetCurrentInfo(kDriver.c_str(), "MC01", "a/b", nullptr); }, -2},
    {"S9", kNone, [] { return MD_SetCurrentInfo(kDriver.c_str(), "MC01", nullptr, "..\\d"); }, -2},
    {"S10", Master, [] { return GetInf("../../x", "SPCC"); }, -2},
    {"S11", Master, [] { return SddPDLOthMacLasCutFileCopy("M1", "S", "M2", "../../S"); }, -2},
    {"S12", Master, [] { return SddPDLOthMacLasCutFileDelete("M1", "a\\b"); }, -2},
    {"S13", Master, [] { return GetInf("M\x01", "S\tP"); }, 0},
    {"S14", kNone, [] { return MD_OthMacLasCutDLG(kDriver.c_str(), "a/b", "SPCC", 0); }, -2},
    // Out-of-range numbers.
    {"R1", kNone, [] { return SddGetOthMacCondPath(2, 0, 131, "M", "S", "", 0, 0, nullptr); }, 999},
    {"R2", kNone,
     [] {
         char path[QUILLET_PATH_BUFFER_SIZE];
         return SddGetOthMacCondPath(0, -1, 131, "M", "S", "", 0, 0, path);
     },
     999},
    {"R3", kNone, [] { return Lookup(1, "MC01", "SPCC", 129); }, 999},
    {"R4", kNone, [] { return Lookup(1, "MC01", "SPCC", 140); }, 999},
    {"R5", kNone, [] { return Lookup(1, "MC01", "SPCC", -2147483647 - 1); }, 999},
    {"R6", Master, [] { return GetInf("M1", "SPCC", 13); }, -2},
    {"R7", Master, [] { return GetInf("M1", "SPCC", -1); }, -2},
    {"R8", Master, [] { return GetInf("M1", "SPCC", 0, 11999); }, -2},
    {"R9", Master, [] { return GetInf("M1", "SPCC", 0, 13999); }, -2},
    {"R10", kNone, [] { return SddPDLOthMacTypeGet(-2147483647 - 1); }, -1},
    {"R11", kNone,
     [] {
         md_ssi_all_ result;
         result.count = 5;
         MD_GetSpecialSequence(CString(kDriver.c_str()), 3, &result);
         return result.count;
     },
     0},
    {"R12", kNone, [] { return SddPDLOthMacLasCutDLG("M1", 13400, "SPCC", 99); }, -2},
    // Malformed, binary and huge files.
    {"F1",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "Othmcn.dat", Binary(4096, 1));
     },
     [] { return Lookup(1, "MC01", "SPCC"); }, 0},
    {"F2",
     [](const TempInstallation& install) {
         ASSERT_EQ(Lookup(1, "MC01", "SPCC"), 0);
         WriteFile(install.DataFolder() / "MC01.__1", Binary(4096, 2));
     },
     [] { return Lookup(1, "MC01", "AL2.0"); }, 0},
    {"F3",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "Othmcn.dat", std::string(8 << 20, 'x'));
     },
     [] { return Lookup(1, "MC01", "SPCC"); }, 0},
    {"F4",
     [](const TempInstallation& install) {
         fs::create_directory(install.DataFolder() / "Othmcn.dat");
     },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"F5",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "t.CUT", Binary(65536, 3));
     },
     [] { return SddGetOthCutInf(InData("t.CUT").c_str()); }, 0},
    {"F6",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "t.CUT", "###CUTCOND-K\n" + std::string(4 << 20, 'y'));
     },
     [] { return SddGetOthCutInf(InData("t.CUT").c_str()); }, 1},
    {"F7",
     [](const TempInstallation& install) {
         Master(install);
         WriteFile(install.DataFolder() / "PDL_CUT_M1_SPCC.ini", Binary(65536, 4));
     },
     [] { return GetInf("M1", "SPCC"); }, 0},
    {"F8",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "PDL_CUT_MASTER.ini", Binary(65536, 5));
     },
     [] { return GetInf("M1", "SPCC"); }, 0},
    {"F9",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "PDL_MACTYPE_ALIAS.ini", Binary(8192, 6));
     },
     [] { return SddPDLOthMacTypeGet(13400); }, -1},
    {"F10",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "PDL_MACTYPE_ALIAS.ini", "[MAC_ALIAS]\n13400=abc\n");
     },
     [] { return SddPDLOthMacTypeGet(13400); }, 0},
    {"F11",
     [](const TempInstallation& install) {
         fs::create_directory(install.DataFolder() / "PDL_MACTYPE_ALIAS.ini");
     },
     [] { return SddPDLOthMacTypeGet(13400); }, -1},
    {"F12",
     [](const TempInstallation& install) { WriteFile(install.RegistryFile(), Binary(4096, 7)); },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"F13",
     [](const TempInstallation& install) {
         WriteFile(install.RegistryFile(), std::string(16 << 20, '['));
     },
     [] { return SddPDLOthMacTypeGet(13400); }, -1},
    {"F14",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "MD_CUT_MC01_SPCC.ini", Binary(8192, 8));
     },
     [] { return MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC", nullptr); }, 0},
    {"F15",
     [](const TempInstallation& install) {
         WriteFile(install.Base() / "bad.drv", Binary(8192, 9));
     },
     [] { return MD_SetCurrentInfo(InBase("bad.drv").c_str(), "MC01", "SPCC", nullptr); }, 0},
    {"F16",
     [](const TempInstallation& install) {
         WriteFile(install.Base() / "bad.job", Binary(8192, 10));
     },
     [] {
         ::setenv("QUILLET_JOB", InBase("bad.job").c_str(), 1);
         const std::string target = InBase("out.nc");
         const int status =
             MD_CreateNC(CString(kDriver.c_str()), const_cast<char*>(target.c_str()));
         ::unsetenv("QUILLET_JOB");
         return status;
     },
     0},
    {"F17",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "Othmcn.dat",
                   othmac_record::Machine(131, "MC01", "../../../escaped.__1"));
     },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"F18",
     [](const TempInstallation& install) {
         ASSERT_EQ(Lookup(1, "MC01", "SPCC"), 0);
         WriteFile(install.DataFolder() / "MC01.__1",
                   othmac_record::Material("AL2.0", "../../../escaped.CUT"));
     },
     [] { return Lookup(1, "MC01", "AL2.0"); }, 999},
    {"F23",
     [](const TempInstallation& install) {
         WriteFile(install.DataFolder() / "Othmcn.dat",
                   othmac_record::Machine(131, "MC01", "othmcn.DAT"));
     },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"F24",
     [](const TempInstallation& install) {
         ASSERT_EQ(Lookup(1, "MC01", "SPCC"), 0);
         WriteFile(install.DataFolder() / "MC01.__1", othmac_record::Material("AL2.0", "MC01.__1"));
     },
     [] { return Lookup(1, "MC01", "AL2.0"); }, 999},
    {"F19",
     [](const TempInstallation& install) {
         std::string index = othmac_record::Machine(131, "OTHER", "OTHER.__1");
         index.pop_back();  // a hand edit dropped the last line break
         WriteFile(install.DataFolder() / "Othmcn.dat", index);
     },
     [] {
         // Registered once, found the second time: the index holds two lines.
         if (Lookup(1, "MC01", "SPCC") != 0 || Lookup(1, "MC01", "SPCC") != 0) return -99;
         const std::string index = ReadFile(g_install->DataFolder() / "Othmcn.dat");
         return static_cast<int>(std::count(index.begin(), index.end(), '\n'));
     },
     2},
    {"F20",
     [](const TempInstallation& install) {
         ::mkfifo((install.DataFolder() / "PDL_MACTYPE_ALIAS.ini").c_str(), 0666);
     },
     [] { return SddPDLOthMacTypeGet(13400); }, -1},
    {"F21",
     [](const TempInstallation& install) {
         fs::remove(install.RegistryFile());
         ::mkfifo(install.RegistryFile().c_str(), 0666);
     },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"F22",
     [](const TempInstallation& install) {
         Master(install);
         ::mkfifo((install.DataFolder() / "PDL_CUT_M1_SPCC.ini").c_str(), 0666);
     },
     [] { return GetInf("M1", "SPCC"); }, 0},
    // Missing folders and folders in the place of files.
    {"D1", [](const TempInstallation& install) { fs::remove_all(install.DataFolder()); },
     [] { return Lookup(1, "MC01", "SPCC"); }, 0},
    {"D2", [](const TempInstallation& install) { fs::remove_all(install.Base() / "data"); },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"D3",
     [](const TempInstallation& install) {
         fs::remove_all(install.DataFolder());
         WriteFile(install.DataFolder(), "a file where the folder belongs");
     },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"D4", [](const TempInstallation& install) { fs::remove_all(install.WorkingFolder()); },
     [] { return MD_SetCurrentInfo(kDriver.c_str(), "MC01", "SPCC", nullptr); }, 999},
    {"D5",
     [](const TempInstallation& install) {
         Master(install);
         fs::remove_all(install.WorkingFolder());
     },
     [] { return GetInf("M1", "SPCC"); }, 0},
    {"D6", [](const TempInstallation& install) { install.WriteRegistry(""); },
     [] { return Lookup(1, "MC01", "SPCC"); }, 999},
    {"D7", [](const TempInstallation& install) { install.WriteRegistry(""); },
     [] { return SddPDLOthMacTypeGet(13400); }, -1},
    {"D8", [](const TempInstallation& install) { fs::remove(install.RegistryFile()); },
     [] { return GetInf("M1", "SPCC"); }, -1},
    {"D9", [](const TempInstallation& install) { fs::remove_all(install.DataFolder()); },
     [] { return SddPDLOthMacTypeGet(13400); }, -1},
    {"D10", kNone, [] { return SddGetOthCutInf("/"); }, 999},
    {"D11", kNone,
     [] {
         char target[] = "/nonexistent-folder/out.nc";
         return MD_CreateNC(CString(kDriver.c_str()), target);
     },
     2},
};

class BadInputTest : public ::testing::TestWithParam<Row> {};

TEST_P(BadInputTest, StatusAndNothingWrittenOutside) {
    const Row& row = GetParam();
    TempInstallation install;
    ::setenv("QUILLET_MESSAGE_LOG", (install.Base() / "messages.log").c_str(), 1);
    row.setup(install);
    g_install = &install;
    // Only the data folder, the working folder, the message log and a
    // generated NC program may change.
    const auto outside = [&install] {
        Snapshot files = TakeSnapshot(install.Base());
        std::erase_if(files, [](const auto& entry) {
            return entry.first.rfind("data/data/Othmcn/", 0) == 0 ||
                   entry.first.rfind("system/TEMP/", 0) == 0 || entry.first == "messages.log" ||
                   entry.first == "out.nc";
        });
        return files;
    };
    const Snapshot before = outside();
    EXPECT_EQ(row.call(), row.expected);
    EXPECT_EQ(Differences(before, outside()), "");
    ::setenv("QUILLET_MESSAGE_LOG", "", 1);
    g_install = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInputTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.id; });

}  // namespace
}  // namespace quillet::testing
