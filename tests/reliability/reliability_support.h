// Helpers of the reliability tests: snapshots of the installation's files,
// the sample files and the records most saves write.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "pdl/pdl_files.h"
#include "support/child_process.h"
#include "support/temp_install.h"

namespace quillet::testing {

// Every regular file below root (relative path -> contents).
using Snapshot = std::map<std::string, std::string>;
inline Snapshot TakeSnapshot(const fs::path& root, const std::string& prefix = "") {
    Snapshot files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file())
            files[prefix + fs::relative(it->path(), root).string()] = ReadFile(it->path());
    }
    return files;
}

// Files in the data and working folders of install ("data/...", "temp/...").
inline Snapshot InstallationFiles(const TempInstallation& install) {
    Snapshot files = TakeSnapshot(install.DataFolder(), "data/");
    files.merge(TakeSnapshot(install.WorkingFolder(), "temp/"));
    return files;
}

// The names of files changed or removed ( name) or added (+name) from a to b.
inline std::string Differences(const Snapshot& a, const Snapshot& b) {
    std::string out;
    for (const auto& [name, contents] : a) {
        if (!b.count(name) || b.at(name) != contents) out += " " + name;
    }
    for (const auto& [name, contents] : b) {
        if (!a.count(name)) out += " +" + name;
    }
    return out;
}

inline fs::path SamplePath(const std::string& relative) {
    return fs::path(QUILLET_SOURCE_DIR) / "samples" / relative;
}

inline void WriteMaster(const TempInstallation& install) {
    WriteFile(install.DataFolder() / "PDL_CUT_MASTER.ini",
              ReadFile(SamplePath("pdl/PDL_CUT_MASTER.ini")));
}

// Registers machine and material (creating them).
inline othmac::Outcome Register(const std::string& machine, const std::string& material,
                                int type = 131) {
    othmac::LookupRequest request;
    request.create = true;
    request.machineTypeNo = type;
    request.machineName = machine;
    request.materialName = material;
    return othmac::LocateConditionFile(request).status;
}

// Template texts of a version: O<version>, then sixteen texts of 400 bytes
// (over 6 KiB in all).
inline othmac::NcTemplateTexts Texts(int version) {
    othmac::NcTemplateTexts texts;
    texts[othmac::NcText::NcStart] = "O" + std::to_string(version) + "\r\n";
    for (std::size_t i = 1; i < othmac::kNcTextCount; ++i) {
        texts.texts[i] = std::string(400, static_cast<char>('A' + i)) + "\r\n";
    }
    return texts;
}

// Saves a record holding value in every slot into each of tables of the
// pair's condition file, in one save.
inline bool SaveRecord(const std::string& machine, const std::string& material, float value,
                       std::initializer_list<int> tables) {
    pdl::PdlCutCondition record;
    record.slot.fill(value);
    std::vector<pdl::PdlTableWrite> writes;
    for (const int table : tables) writes.push_back({table, record});
    return pdl::SavePdlTables(machine, material, writes);
}

}  // namespace quillet::testing
