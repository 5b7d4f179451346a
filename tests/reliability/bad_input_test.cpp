// The bad-input catalogue (docs/BAD-INPUT.md), one row per input, through
// the shared module: each row sets up its own installation, makes one call
// and checks the status and that nothing outside the data and working
// folders was written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "frame/roots.h"
#include "quillet/quillet.h"
#include "reliability_support.h"

namespace quillet::testing {
namespace {

const std::string kDriver = SamplePath("drivers/laser.drv").string();
const std::string kLong600(600, 'N');
const std::string kName51(51, 'M');
const std::string kName46(46, 'M');  // with a 50-byte machine: a template name over 100
const std::string kName50(50, 'M');
const std::string kName56(56, 'R');

std::string Binary(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    return bytes;
}

int Lookup(int create, const char* machine, const char* material, int type = 131, int show = 0) {
    char path[QUILLET_PATH_BUFFER_SIZE];
    return SddGetOthMacCondPath(create, show, type, machine, material, "", 0, 0, path);
}

// The number of special sequences listed (5 when the record was not filled).
int Sequences(const std::string& driver, int family) {
    md_ssi_all_ result;
    result.count = 5;
    MD_GetSpecialSequence(CString(driver.c_str()), family, &result);
    return result.count;
}

int Path(char* out, int create, int show, int type, const char* machine, const char* material,
         const char* reserved = "", int reserved1 = 0, int reserved2 = 0) {
    return SddGetOthMacCondPath(create, show, type, machine, material, reserved, reserved1,
                                reserved2, out);
}

int Current(const char* machine, const char* material, const char* die,
            const std::string& driver = kDriver) {
    return MD_SetCurrentInfo(driver.c_str(), machine, material, die);
}

int CreateNc(const std::string& driver, std::string target) {
    return MD_CreateNC(CString(driver.c_str()), target.data());
}

float g_block[QUILLET_PDL_SLOTS];
const TempInstallation* g_install = nullptr;  // the installation of the running row

std::string InBase(const char* name) { return (g_install->Base() / name).string(); }
std::string InData(const char* name) { return (g_install->DataFolder() / name).string(); }
// The status of call when the message log then holds exactly logged (-99
// otherwise), and the path buffers the exports were handed start with NUL.
char g_path[QUILLET_PATH_BUFFER_SIZE];
int Logs(const std::string& logged, const std::function<int(char*)>& call) {
    std::strcpy(g_path, "stale");
    const int status = call(g_path);
    const fs::path log = g_install->Base() / "messages.log";
    const std::string text = fs::exists(log) ? ReadFile(log) : std::string();
    return text == logged && (status != 0 || g_path[0] != '\0') && (status == 0 || !g_path[0])
               ? status
               : -99;
}
int Dialog(int create, int show, int type, const std::string& machine, const char* reserved = "") {
    return SddOthMacCondDLG(create, show, type, machine.c_str(), "SPCC", reserved, 0, 0, g_path);
}

int GetInf(const char* machine, const char* material, int table = 0, int type = 13400) {
    return SddPDLOthMacLasCutGetInf(machine, type, material, table, g_block);
}

// The refusal of a dialog without a display, as the message log holds it.
const std::string kNoDisplay =
    "SddOthMacCondDLG: no dialog shown: no display: DISPLAY, WAYLAND_DISPLAY and "
    "QT_QPA_PLATFORM are not set (set DISPLAY or WAYLAND_DISPLAY to a reachable display, or "
    "QT_QPA_PLATFORM)\n";

// "あ/x" in UTF-8 (E3 81 82 2F 78).
const char* const kJapaneseSlash = "\xE3\x81\x82/x";

// Runs call under LANG=ja_JP.UTF-8 and under C.UTF-8; both must give the
// same status, which is returned (else -99).
std::function<int()> InBothLocales(std::function<int()> call) {
    return [call] {
        int statuses[2];
        int i = 0;
        for (const char* locale : {"ja_JP.UTF-8", "C.UTF-8"}) {
            const ScopedEnv env{{"LC_ALL", nullptr}, {"LC_CTYPE", nullptr}, {"LANG", locale}};
            statuses[i++] = call();
        }
        return statuses[0] == statuses[1] ? statuses[0] : -99;
    };
}

using In = const TempInstallation&;
using Setup = std::function<void(In)>;

// Writes a file (or a FIFO) of the data folder, after the setup first.
Setup Put(const std::string& name, const std::string& contents, Setup first = {}) {
    return [=](In install) {
        if (first) first(install);
        WriteFile(install.DataFolder() / name, contents);
    };
}
Setup Fifo(const std::string& name, Setup first = {}) {
    return [=](In install) {
        if (first) first(install);
        ::mkfifo((install.DataFolder() / name).c_str(), 0666);
    };
}
Setup PutInBase(const std::string& name, const std::string& contents) {
    return [=](In install) { WriteFile(install.Base() / name, contents); };
}
// name in the data folder as a symbolic link to a file target of the base.
Setup LinkTo(const std::string& name, const std::string& target, Setup first = {}) {
    return [=](In install) {
        if (first) first(install);
        WriteFile(install.Base() / target, othmac::MachineRecord(131, "OTHER", "OTHER.__1"));
        fs::create_symlink(install.Base() / target, install.DataFolder() / name);
    };
}
std::string Roots(const std::string& dataRoot, const std::string& systemRoot) {
    return "[" + std::string(frame::kRootsKey) + "]\n\"ParentComputerRoot\"=\"" + dataRoot +
           "\"\n\"VELDSystemRoot\"=\"" + systemRoot + "\"\n";
}
Setup Folder(const std::string& name) {
    return [=](In install) { fs::create_directory(install.DataFolder() / name); };
}
Setup RemoveFolder(const char* below) {
    return [=](In install) { fs::remove_all(install.Base() / below); };
}

struct Row {
    const char* id;
    Setup setup;
    std::function<int()> call;
    int expected;
};

const Setup kRegistered = [](In) { ASSERT_EQ(Lookup(1, "MC01", "SPCC"), 0); };
const Setup kMaster = [](In install) { WriteMaster(install); };

// The calls most rows make.
const std::function<int()> kRegister = [] { return Lookup(1, "MC01", "SPCC"); };
const std::function<int()> kAddMaterial = [] { return Lookup(1, "MC01", "AL2.0"); };
const std::function<int()> kAlias = [] { return SddPDLOthMacTypeGet(13400); };
const std::function<int()> kPdlRead = [] { return GetInf("M1", "SPCC"); };
const std::function<int()> kCutInfo = [] { return SddGetOthCutInf(InData("t.CUT").c_str()); };

// clang-format off
const Row kRows[] = {
    // Null pointers.
    {"N1", {}, [] { return Lookup(1, nullptr, "SPCC"); }, 999},
    {"N2", {}, [] { return Lookup(1, "MC01", nullptr); }, 999},
    {"N3", {}, [] { return SddGetOthMacCondPath(1, 0, 131, "MC01", "SPCC", nullptr, 0, 0, nullptr); }, 999},
    {"N4", {}, [] { return SddGetOthCutInf(nullptr); }, 999},
    {"N5", {}, [] { return MD_SetCurrentInfo(nullptr, "MC01", nullptr, nullptr); }, -2},
    {"N6", {}, [] { return MD_SetCurrentInfo(kDriver.c_str(), nullptr, "SPCC", nullptr); }, -2},
    {"N7", {}, [] { return MD_CreateNC(CString(kDriver.c_str()), nullptr); }, 999},
    {"N8", {}, [] {MD_GetSpecialSequence(CString(kDriver.c_str()), 1, nullptr); return 0; }, 0},
    {"N9", {}, [] { return GetInf(nullptr, "SPCC"); }, -2},
    {"N10", {}, [] { return SddPDLOthMacLasCutGetInf("M1", 13400, "SPCC", 0, nullptr); }, -2},
    {"N11", {}, [] { return SddPDLOthMacLasCutFileCopy("M1", "S", nullptr, "S"); }, -2},
    {"N12", {}, [] { return SddPDLOthMacLasCutFileDelete(nullptr, "S"); }, -2},
    {"N13", {}, [] { return MD_OthMacLasCutDLG(kDriver.c_str(), nullptr, "SPCC", 0); }, -2},
    {"N14", {}, [] { return SddPDLOthMacLasCutDLG(nullptr, 13400, "SPCC", 0); }, -2},
    // Empty and over-long texts.
    {"T1", {}, [] { return Lookup(1, "", "SPCC"); }, 999},
    {"T2", {}, [] { return Lookup(1, "MC01", ""); }, 999},
    {"T3", {}, [] { return Lookup(1, kName51.c_str(), "SPCC"); }, 101},
    {"T4", {}, [] { return Lookup(1, "MC01", kName51.c_str()); }, 0},
    {"T5", kRegistered, [] { return Lookup(0, kLong600.c_str(), "SPCC"); }, 100},
    {"T6", {}, [] { return SddGetOthCutInf(""); }, 999},
    {"T7", {}, [] { return MD_SetCurrentInfo("", "MC01", nullptr, nullptr); }, -2},
    {"T8", {}, [] { return MD_SetCurrentInfo(kLong600.c_str(), "MC01", nullptr, nullptr); }, 999},
    {"T9", {}, [] { return CreateNc(kLong600, "/dev/null"); }, 999},
    {"T10", {}, [] { return Sequences(kLong600, 1); }, 0},
    {"T11", {}, [] { return GetInf("", "SPCC"); }, -2},
    {"T12", kMaster, [] { return GetInf(kLong600.c_str(), "SPCC"); }, -1},
    {"T13", kMaster, [] { return GetInf(std::string(5000, 'L').c_str(), "SPCC"); }, -1},
    // Names with path separators or control characters.
    {"S1", {}, [] { return Lookup(1, "../evil", "SPCC"); }, 999},
    {"S2", {}, [] { return Lookup(1, "MC01", "..\\evil"); }, 999},
    {"S3", {}, [] { return Lookup(1, "MC\n01", "SPCC"); }, 999},
    {"S4", {}, [] { return Lookup(1, "MC01", "SP\rCC"); }, 999},
    {"S5", {}, [] { return Lookup(1, "MC 01", "SPCC"); }, 0},
    {"S6", {}, [] { return Lookup(1, "MC\x01\t01", "SPCC"); }, 0},
    {"S7", {}, [] { return MD_SetCurrentInfo(kDriver.c_str(), "../x", nullptr, nullptr); }, -2},
    {"S8", {}, [] { return MD_SetCurrentInfo(kDriver.c_str(), "MC01", "a/b", nullptr); }, -2},
    {"S9", {}, [] { return MD_SetCurrentInfo(kDriver.c_str(), "MC01", nullptr, "..\\d"); }, -2},
    {"S10", kMaster, [] { return GetInf("../../x", "SPCC"); }, -2},
    {"S11", kMaster, [] { return SddPDLOthMacLasCutFileCopy("M1", "S", "M2", "../../S"); }, -2},
    {"S12", kMaster, [] { return SddPDLOthMacLasCutFileDelete("M1", "a\\b"); }, -2},
    {"S13", kMaster, [] { return GetInf("M\x01", "S\tP"); }, 0},
    {"S14", {}, [] { return MD_OthMacLasCutDLG(kDriver.c_str(), "a/b", "SPCC", 0); }, -2},
    // Refused before any file is touched, also by a look-up without create
    // and with messages on (a name is never cut to fit its files).
    {"S19", {}, [] { return Lookup(0, "../MC01", "SPCC"); }, 999},
    {"S20", {}, [] { return Logs("", [](char* p) { return Path(p, 1, 1, 131, "MC01", "a/b"); }); }, 999},
    // "表" written by a Windows workstation (95 5C) is one character in every
    // locale: a name that is not UTF-8 keeps a '\' that ends a character.
    {"S21", {}, InBothLocales([] { return Lookup(1, "MC\x95\x5C", "SPCC"); }), 0},
    {"S23", kMaster, InBothLocales([] { return GetInf("\x95\x5C" "1", "SPCC"); }), 0},
    {"S24", {}, InBothLocales([] { return Lookup(1, "\xE3\x81\x82\\x", "SPCC"); }), 999},
    {"S22", {}, InBothLocales([] { return Lookup(1, "M", kJapaneseSlash); }), 999},
    {"T17", {}, [] { return Lookup(0, "", "SPCC"); }, 100},
    {"T18", {}, [] { return Lookup(1, std::string(50, 'A').c_str(), kName46.c_str()); }, 999},
    // "あ/x": '/' after a Japanese character is a separator in every locale.
    {"S15", {}, InBothLocales([] { return Lookup(1, kJapaneseSlash, "SPCC"); }), 999},
    {"S16", kMaster, InBothLocales([] { return GetInf(kJapaneseSlash, "SPCC"); }), -2},
    {"S17", kMaster, InBothLocales([] { return SddPDLOthMacLasCutFileDelete(kJapaneseSlash, "SPCC"); }), -2},
    {"S18", {}, InBothLocales([] { return Current(kJapaneseSlash, "S", nullptr); }), -2},
    // Out-of-range numbers.
    {"R1", {}, [] { return SddGetOthMacCondPath(2, 0, 131, "M", "S", "", 0, 0, nullptr); }, 999},
    {"R2", {}, [] { return Lookup(0, "M", "S", 131, -1); }, 999},
    {"R3", {}, [] { return Lookup(1, "MC01", "SPCC", 129); }, 999},
    {"R4", {}, [] { return Lookup(1, "MC01", "SPCC", 140); }, 999},
    {"R5", {}, [] { return Lookup(1, "MC01", "SPCC", -2147483647 - 1); }, 999},
    {"R6", kMaster, [] { return GetInf("M1", "SPCC", 13); }, -2},
    {"R7", kMaster, [] { return GetInf("M1", "SPCC", -1); }, -2},
    {"R8", kMaster, [] { return GetInf("M1", "SPCC", 0, 11999); }, -2},
    {"R9", kMaster, [] { return GetInf("M1", "SPCC", 0, 13999); }, -2},
    {"R10", {}, [] { return SddPDLOthMacTypeGet(-2147483647 - 1); }, -1},
    {"R11", {}, [] { return Sequences(kDriver, 3); }, 0},
    {"R12", {}, [] { return SddPDLOthMacLasCutDLG("M1", 13400, "SPCC", 99); }, -2},
    // Argument messages, shown whatever showMessages says; outPath emptied.
    {"R13", {}, [] { return Logs("system error：1[2]\nsystem error：1[2]\n", [](char* p) {
         return Path(p, 2, 0, 130, "M", "S") + Dialog(2, 0, 130, "M") - 999; }); }, 999},
    {"R14", {}, [] { return Logs("system error：2[7]\n", [](char* p) { return Path(p, 0, 7, 130, "M", "S"); }); }, 999},
    {"R15", {}, [] { return Logs("system error：3[-2147483648]\n", [](char*) { return Dialog(0, 0, INT_MIN, "M"); }); }, 999},
    // Dialog 102: over-long texts are refused silently, and valid arguments
    // without a display show nothing.
    {"T14", {}, [] { return Logs("", [](char*) { return Dialog(1, 1, 130, kName51); }); }, 999},
    {"T15", {}, [] { return Logs("", [](char*) { return Dialog(1, 1, 130, "M", kName56.c_str()); }); }, 999},
    {"T16", {}, [] { return Logs(kNoDisplay, [](char*) { return Dialog(1, 1, 130, kName50, "r"); }); }, 999},
    // The path handed back, found again without letter case.
    {"E1", kRegistered, [] { return Logs("", [](char* p) {
         return Path(p, 1, 1, 131, "mc01", "spcc", "any", -1, 99) != 0 || InData("MC01-SPCC.CUT") != p; }); }, 0},
    // Malformed, binary and huge files.
    {"F1", Put("Othmcn.dat", Binary(4096, 1)), kRegister, 0},
    {"F2", Put("MC01.__1", Binary(4096, 2), kRegistered), kAddMaterial, 0},
    {"F3", Put("Othmcn.dat", std::string(8 << 20, 'x')), kRegister, 0},
    {"F4", [](In install) { fs::create_directory(install.DataFolder() / "Othmcn.dat"); }, kRegister, 999},
    {"F5", Put("t.CUT", Binary(65536, 3)), kCutInfo, 0},
    {"F6", Put("t.CUT", "###CUTCOND-K\n" + std::string(4 << 20, 'y')), kCutInfo, 1},
    {"F7", Put("PDL_CUT_M1_SPCC.ini", Binary(65536, 4), kMaster), kPdlRead, 0},
    {"F8", Put("PDL_CUT_MASTER.ini", Binary(65536, 5)), kPdlRead, 0},
    {"F9", Put("PDL_MACTYPE_ALIAS.ini", Binary(8192, 6)), kAlias, -1},
    {"F10", Put("PDL_MACTYPE_ALIAS.ini", "[MAC_ALIAS]\n13400=abc\n"), kAlias, 0},
    {"F11", Folder("PDL_MACTYPE_ALIAS.ini"), kAlias, -1},
    {"F12", [](In install) { WriteFile(install.RegistryFile(), Binary(4096, 7)); }, kRegister, 999},
    {"F13", [](In install) { WriteFile(install.RegistryFile(), std::string(16 << 20, '[')); }, kAlias, -1},
    {"F14", Put("MD_CUT_MC01_SPCC.ini", Binary(8192, 8)), [] { return Current("MC01", "SPCC", nullptr); }, 0},
    {"F15", PutInBase("bad.drv", Binary(8192, 9)), [] { return Current("MC01", "SPCC", nullptr, InBase("bad.drv")); }, 0},
    {"F16", PutInBase("bad.job", Binary(8192, 10)), [] {
         const ScopedEnv job{{"QUILLET_JOB", InBase("bad.job").c_str()}};
         return CreateNc(kDriver, InBase("out.nc")); }, 0},
    {"F17", Put("Othmcn.dat", othmac::MachineRecord(131, "MC01", "../../../escaped.__1")), kRegister, 999},
    {"F18", Put("MC01.__1", othmac::MaterialRecord("AL2.0", "../../../escaped.CUT"), kRegistered),
     kAddMaterial, 999},
    {"F23", Put("Othmcn.dat", othmac::MachineRecord(131, "MC01", "othmcn.DAT")), kRegister, 999},
    {"F24", Put("MC01.__1", othmac::MaterialRecord("AL2.0", "MC01.__1"), kRegistered), kAddMaterial, 999},
    // A hand edit dropped the last line break: registered once, found the
    // second time, and the index holds two lines.
    {"F19", Put("Othmcn.dat", othmac::MachineRecord(131, "OTHER", "OTHER.__1").substr(0, 160)), [] {
         if (Lookup(1, "MC01", "SPCC") != 0 || Lookup(1, "MC01", "SPCC") != 0) return -99;
         const std::string index = ReadFile(g_install->DataFolder() / "Othmcn.dat");
         return static_cast<int>(std::count(index.begin(), index.end(), '\n')); }, 2},
    {"F20", Fifo("PDL_MACTYPE_ALIAS.ini"), kAlias, -1},
    {"F21", [](In install) { fs::remove(install.RegistryFile()); ::mkfifo(install.RegistryFile().c_str(), 0666); },
     kRegister, 999},
    {"F22", Fifo("PDL_CUT_M1_SPCC.ini", kMaster), kPdlRead, 0},
    // Missing folders and folders in the place of files.
    {"D1", RemoveFolder("data/data/Othmcn"), kRegister, 0},
    {"D2", RemoveFolder("data"), kRegister, 999},
    {"D3", [](In install) { fs::remove_all(install.DataFolder()); WriteFile(install.DataFolder(), "a file"); },
     kRegister, 999},
    {"D4", RemoveFolder("system/TEMP"), [] { return Current("MC01", "SPCC", nullptr); }, 999},
    {"D5", [](In install) {WriteMaster(install); fs::remove_all(install.WorkingFolder()); }, kPdlRead, 0},
    {"D6", [](In install) { install.WriteRegistry(""); }, kRegister, 999},
    {"D7", [](In install) { install.WriteRegistry(""); }, kAlias, -1},
    {"D8", [](In install) { fs::remove(install.RegistryFile()); }, kPdlRead, -1},
    {"D9", RemoveFolder("data/data/Othmcn"), kAlias, -1},
    {"D10", {}, [] { return SddGetOthCutInf("/"); }, 999},
    {"D11", {}, [] { return CreateNc(kDriver, "/nonexistent-folder/out.nc"); }, 2},
    // An empty or relative root is no root.
    {"D12", [](In install) { install.WriteRegistry(Roots("", install.SystemRoot())); }, kRegister, 999},
    {"D13", [](In install) { install.WriteRegistry(Roots("./", install.SystemRoot())); }, kPdlRead, -1},
    // A link planted in place of a file that is updated: refused, and the
    // file it leads to (outside the data folder) is left alone.
    {"F25", LinkTo("Othmcn.dat", "outside.dat"), kRegister, 999},
    {"F26", LinkTo("PDL_CUT_M2_S.ini", "outside.ini", kMaster),
     [] { return SddPDLOthMacLasCutFileCopy("M1", "SPCC", "M2", "S"); }, -1},
};
// clang-format on

class BadInputTest : public ::testing::TestWithParam<Row> {};

TEST_P(BadInputTest, StatusAndNothingWrittenOutside) {
    const Row& row = GetParam();
    TempInstallation install;
    ::setenv("QUILLET_MESSAGE_LOG", (install.Base() / "messages.log").c_str(), 1);
    if (row.setup) row.setup(install);
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
    const int status = row.call();
    EXPECT_EQ(status, row.expected);
    EXPECT_EQ(Differences(before, outside()), "");
    // A refusal on a clean installation touches no file of the data folder.
    if (!row.setup && (status == 999 || status == -2)) {
        EXPECT_TRUE(fs::is_empty(install.DataFolder()));
    }
    ::setenv("QUILLET_MESSAGE_LOG", "", 1);
    g_install = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInputTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.id; });

}  // namespace
}  // namespace quillet::testing
