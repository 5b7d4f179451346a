// NC generation, special sequences and the current files of a job.
#include "driver/driver_operations.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "driver/driver_library.h"
#include "driver/driver_settings.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace quillet::driver {

namespace {

constexpr int kMaxClampLocations = 5;
constexpr std::size_t kMaxSpecialSequences = 99;

using DriverText = std::array<char, kDriverTextSize>;

// Copies text into a zeroed driver buffer; false when it does not fit.
bool ToDriverText(std::string_view text, DriverText& buffer) {
    buffer.fill('\0');
    if (text.size() >= buffer.size() || text.find('\0') != std::string_view::npos) return false;
    std::memcpy(buffer.data(), text.data(), text.size());
    return true;
}

// Everything MD_CreateNC calls, bound before the first call.
struct GenerationFunctions {
    fn::Text load, setSheetName;
    fn::Int setMachineType, setUnitMode, setNumberOfClamps, setNumberOfParts;
    fn::Clamp setClampLocation;
    fn::RealPair setTableSize, setSheetSize, setProgrammedOffset;
    fn::Real setSheetThickness;
    fn::Text initial;
    fn::Generate generate;
    fn::Plain end;
    fn::ReadMachine readMachine;
    fn::Status check, open, close;
    fn::ReadRecord read;

    bool Bind() {
        constexpr ClosedLibrary k = ClosedLibrary::Korvid;
        constexpr ClosedLibrary d = ClosedLibrary::Dravik;
        FunctionBinder b;
        b.Bind(load, k, "MD_LoadMachineDriver")
            .Bind(setSheetName, k, "MD_SetSheetName")
            .Bind(setMachineType, k, "MD_SetMachineType")
            .Bind(setUnitMode, k, "MD_SetUnitMode")
            .Bind(setNumberOfClamps, k, "MD_SetNumberOfClamps")
            .Bind(setClampLocation, k, "MD_SetClampLocation")
            .Bind(setTableSize, k, "MD_SetTableSize")
            .Bind(setSheetSize, k, "MD_SetSheetSize")
            .Bind(setSheetThickness, k, "MD_SetSheetThickness")
            .Bind(setProgrammedOffset, k, "MD_SetProgrammedOffset")
            .Bind(setNumberOfParts, k, "MD_SetNumberOfPartOnSheet")
            .Bind(initial, k, "MD_InitialDriverNcGeneration")
            .Bind(generate, k, "MD_DriverNcCodeGeneration")
            .Bind(end, k, "MD_EndDriverNcGeneratioin")
            .Bind(readMachine, d, "MD_Param_Read_Machine")
            .Bind(check, d, "MD_Data_File_check")
            .Bind(open, d, "MD_Data_File_Open")
            .Bind(read, d, "MD_Data_File_Read")
            .Bind(close, d, "MD_Data_File_Close");
        return b.Complete();
    }
};

bool Present(const char* text) { return text != nullptr && text[0] != '\0'; }

}  // namespace

std::optional<int> CreateNc(std::string_view driverName, char* target) {
    DriverText driver;
    if (target == nullptr || !ToDriverText(driverName, driver)) return std::nullopt;
    GenerationFunctions f;
    if (!f.Bind()) return std::nullopt;

    const auto lock = LockClosedLibraries();
    f.load(driver.data());

    md_machine_inf_ machine{};
    if (const int status = f.readMachine(&machine); status != 0) return status;
    char sheetName[sizeof machine.sheetName + 1] = {};
    std::memcpy(sheetName, machine.sheetName, sizeof machine.sheetName);
    f.setSheetName(sheetName);
    f.setMachineType(machine.machineType);
    f.setUnitMode(machine.unitMode);
    f.setNumberOfClamps(machine.clampCount);
    // The record holds five locations; a larger count sets those five.
    const int locations = std::min(machine.clampCount, kMaxClampLocations);
    for (int k = 1; k <= locations; ++k) f.setClampLocation(k, machine.clampLocations[k - 1]);
    f.setTableSize(machine.tableSize[0], machine.tableSize[1]);
    f.setSheetSize(machine.sheetSize[0], machine.sheetSize[1]);
    f.setSheetThickness(machine.sheetThickness);
    f.setProgrammedOffset(machine.programmedOffset[0], machine.programmedOffset[1]);
    f.setNumberOfParts(machine.partCount);

    if (const int status = f.check(); status != 0) return status;
    if (const int status = f.open(); status != 0) return status;

    // The host's own buffer, unchanged: the parameter is writable and the
    // driver may use it as such.
    f.initial(target);
    md_ncg_dat_ record{};
    const fn::ReadRecord read = f.read;
    const fn::Generate generate = f.generate;
    while (read(&record) == 0) {
        generate(record.codes[0], record.codes[1], record.codes[2], record.codes[3], record.values);
    }
    f.end();
    return f.close();
}

std::vector<SpecialSequence> ListSpecialSequences(std::string_view driverName, int family) {
    std::vector<SpecialSequence> list;
    DriverText driver;
    if (!ToDriverText(driverName, driver)) return list;

    fn::Text load = nullptr;
    fn::Count count = nullptr;
    fn::Entry entry = nullptr;
    FunctionBinder binder;
    binder.Bind(load, ClosedLibrary::Korvid, "MD_LoadMachineDriver");
    if (family == 1) {
        binder.Bind(count, ClosedLibrary::Korvid, "MD_GetSpecialSequenceNumberOfCutting")
            .Bind(entry, ClosedLibrary::Korvid, "MD_GetSpecialSequenceOfCutting");
    } else if (family == 2) {
        binder.Bind(count, ClosedLibrary::Korvid, "MD_GetSpecialSequenceNumberOfPunching")
            .Bind(entry, ClosedLibrary::Korvid, "MD_GetSpecialSequenceOfPunching");
    }
    if (!binder.Complete()) return list;

    const auto lock = LockClosedLibraries();
    load(driver.data());
    if (count == nullptr) return list;
    const int n = count();
    for (int i = 1; i <= n && list.size() < kMaxSpecialSequences; ++i) {
        int id = 0;
        int valueType = 0;
        int valueCount = 0;
        DriverText name{};
        entry(i, &id, &valueType, &valueCount, name.data());
        const std::optional<DriverValueType> type = DriverValueTypeOf(valueType);
        if (!type) continue;
        name.back() = '\0';
        list.push_back(
            {id, name.data(), valueType, type == DriverValueType::Switch ? 0 : valueCount});
    }
    return list;
}

Outcome SetCurrentInfo(const char* driverName, const char* machineName,
                       const char* laserMaterialName, const char* dieLayoutName) {
    if (!Present(driverName) || !Present(machineName)) return Outcome::InvalidArguments;
    // One sequence from the first look at the driver to the last file it
    // generates.
    const auto libraries = LockClosedLibraries();
    const std::string driver = driverName;
    const std::string machine = machineName;
    struct Request {
        DriverSettingKind kind;
        std::string name;
    };
    std::vector<Request> requests{{DriverSettingKind::Nc, {}}};
    if (Present(laserMaterialName)) requests.push_back({DriverSettingKind::Cut, laserMaterialName});
    if (Present(dieLayoutName)) requests.push_back({DriverSettingKind::Tool, dieLayoutName});

    // Names that would reach outside the data folder are refused before any
    // file is touched.
    if (platform::NameHoldsSeparator(machine)) return Outcome::InvalidArguments;
    for (const Request& r : requests) {
        if (platform::NameHoldsSeparator(r.name)) return Outcome::InvalidArguments;
    }
    // Each saved file is read once, before anything is deleted. A kind that
    // has to be generated needs the driver: when it cannot be reached the
    // call fails before the earlier current files are deleted.
    struct Source {
        DriverSettingKind kind = DriverSettingKind::Nc;
        bool formed = false;  // the saved file's path could be formed
        SavedDriverFile saved;
    };
    std::vector<Source> sources;
    for (const Request& r : requests) {
        Source source;
        source.kind = r.kind;
        if (const std::optional<std::string> path =
                BuildDriverSettingPath(r.kind, machine, r.name)) {
            source.formed = true;
            source.saved = ReadSavedDriverFile(*path);
            if (!source.saved.exists && !CanLoadDriverConditions(driver, r.kind)) {
                return Outcome::Failed;
            }
        }
        sources.push_back(std::move(source));
    }

    const std::unique_ptr<platform::FolderLock> lock = LockDriverWorkingFolder();
    if (lock && lock->TimedOut()) return Outcome::Failed;
    for (DriverSettingKind kind :
         {DriverSettingKind::Nc, DriverSettingKind::Cut, DriverSettingKind::Tool}) {
        if (const std::optional<std::string> current = BuildDriverDefaultPath(kind)) {
            platform::DeleteFile(*current);
        }
    }
    for (const Source& source : sources) {
        if (!source.formed) return Outcome::Failed;
        const std::optional<std::string> current = BuildDriverDefaultPath(source.kind);
        if (!current) return Outcome::Failed;
        // A saved file that exists but cannot be read fails as its copy would.
        if (source.saved.exists && !source.saved.bytes) return Outcome::Failed;
        const bool placed = source.saved.bytes
                                ? platform::AtomicReplace(*current, *source.saved.bytes,
                                                          platform::Durability::Scratch)
                                : WriteCurrentFileFromDriver(driver, *current, source.kind);
        if (!placed) return Outcome::Failed;
    }
    return Outcome::Done;
}

}  // namespace quillet::driver
