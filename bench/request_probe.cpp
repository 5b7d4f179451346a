// One call of one export (or of dialog 129's or 130's save path), for
// scripts/bench_requests.sh, which counts under strace the file-system
// requests that name a path in the data folder. The installation comes from
// QUILLET_REGISTRY; QUILLET_PROBE_DRIVER names the driver file.
//   quillet_request_probe SCENARIO
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <unistd.h>

#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_save_options.h"
#include "quillet/quillet.h"

namespace {

const char* Driver() {
    const char* driver = std::getenv("QUILLET_PROBE_DRIVER");
    return driver != nullptr ? driver : "laser.drv";
}

int Run(const std::string& scenario) {
    char path[500] = {};
    float block[128] = {};
    if (scenario == "lookup") {
        return SddGetOthMacCondPath(0, 0, 131, "MC01", "SPCC1.6", "", 0, 0, path);
    }
    if (scenario == "register") {
        const std::string material = "NEW" + std::to_string(std::rand());
        return SddGetOthMacCondPath(1, 0, 131, "MC01", material.c_str(), "", 0, 0, path);
    }
    if (scenario == "cut-inf") {
        SddGetOthMacCondPath(0, 0, 131, "MC01", "SPCC1.6", "", 0, 0, path);
        return SddGetOthCutInf(path) == 999;
    }
    if (scenario == "set-current") return MD_SetCurrentInfo(Driver(), "MC01", "SPCC1.6", "DIE1");
    if (scenario == "get-inf") return SddPDLOthMacLasCutGetInf("MC01", 13300, "SPCC1.6", 0, block);
    if (scenario == "copy") return SddPDLOthMacLasCutFileCopy("MC01", "SPCC1.6", "MC02", "SPCC1.6");
    if (scenario == "delete") return SddPDLOthMacLasCutFileDelete("MC02", "SPCC1.6");
    if (scenario == "type-get") return SddPDLOthMacTypeGet(13300) < 0;
    if (scenario == "pdl-save") {
        // Dialog 129's OK: the edited table, then the save options.
        quillet::pdl::PdlCutCondition record;
        record.slot.fill(static_cast<float>(std::rand() % 1000));
        const quillet::pdl::PdlSaveOptions options;
        const bool saved = quillet::pdl::SavePdlTables("MC01", "SPCC1.6", {{0, record}});
        return saved && quillet::pdl::SavePdlSaveOptions(options) ? 0 : 1;
    }
    if (scenario == "driver-commit") {
        // Dialog 130 opened and closed with OK.
        quillet::driver_ui::DriverSettingEdit edit(quillet::driver::DriverSettingKind::Cut,
                                                   Driver(), "MC01", "SPCC1.6", "L");
        using Opened = quillet::driver_ui::DriverSettingEdit::Opened;
        if (edit.Load() == Opened::Failed) return 1;
        for (auto& item : edit.Items()) item.value1 = std::rand() % 1000;
        return edit.Save() ? 0 : 1;
    }
    std::fprintf(stderr, "quillet_request_probe: unknown scenario %s\n", scenario.c_str());
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 64;
    std::srand(static_cast<unsigned>(std::time(nullptr)) ^ static_cast<unsigned>(getpid()));
    return Run(argv[1]) == 0 ? 0 : 1;
}
