// The pair of a PDL command. See pdl_pair.h.
#include "pdl_pair.h"

#include <vector>

#include "diagnose.h"
#include "pdl/pdl_files.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "quillet/quillet.h"

namespace quillet::host {

std::optional<fs::path> ConditionFile(const std::string& machine, const std::string& material) {
    const std::optional<std::string> path = pdl::PdlConditionFilePath(machine, material);
    return path ? std::optional<fs::path>(*path) : std::nullopt;
}

std::optional<int> ResolvePair(const Report& report, PdlPair& pair, bool creating) {
    return ResolveFileNames(
        report, {{"machine", &pair.machine}, {"material", &pair.material}},
        [](const std::vector<std::string>& names) {
            const std::optional<fs::path> file = ConditionFile(names[0], names[1]);
            return file && platform::FileExists(*file);
        },
        creating, pair.nameForms);
}

std::optional<int> RefuseMissingPair(const Report& report, const PdlPair& pair, bool allowed,
                                     const std::string& fix) {
    const std::string& machine = pair.machine;
    const std::string& material = pair.material;
    // Names the export refuses itself (empty, or holding a separator) go to
    // the export, which reports it.
    if (allowed || machine.empty() || material.empty() || platform::NameHoldsSeparator(machine) ||
        platform::NameHoldsSeparator(material)) {
        return std::nullopt;
    }
    const std::optional<fs::path> file = ConditionFile(machine, material);
    if (!file || platform::FileExists(*file)) return std::nullopt;
    return report.Fail(kExitNotDone, kExitNotDone,
                       machine + " / " + material + " has no condition file " + file->string(),
                       "check the names (quillet-host pdl-list)" + fix);
}

std::optional<int> TakePair(const Report& report, PdlPair& pair, bool create) {
    if (const std::optional<int> refused = ResolvePair(report, pair, create)) return refused;
    return RefuseMissingPair(report, pair, create,
                             ", or give --create to make it from PDL_CUT_MASTER.ini");
}

std::string PdlCause(int status, const std::optional<fs::path>& written) {
    if (status == QUILLET_INVALID_ARGUMENTS) {
        return "names must not be empty nor hold '/', tables are K..P103 or 0-12, machine types "
               "12000-13998";
    }
    std::vector<fs::path> files;
    if (written) files.push_back(*written);
    std::string cause = Diagnose({true, true, true, {}, files});
    if (cause.empty()) {
        if (const std::optional<fs::path> folder = DataFolder()) {
            cause = ReadProblem(*folder / pdl::kPdlMasterFile);
            if (!cause.empty()) cause = "no master to create a condition file from: " + cause;
        }
    }
    return cause;
}

}  // namespace quillet::host
