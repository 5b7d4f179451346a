// Fuzz target: the machine parameter list (machine.ini) and the machine-type
// alias file on arbitrary bytes. The first byte picks the table; the input
// becomes both files. Checks: the shown rows stay within the 88 parameters,
// in slot order, and reading the alias never rewrites an existing file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_install.h"
#include "pdl/pdl_machine.h"
#include "platform/file_ops.h"

using namespace quillet;
using quillet::fuzz::Check;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto& install = fuzz::FuzzInstallation::Get();
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    fuzz::WriteFile(install.dataFolder / "machine.ini", bytes);
    const fs::path alias = install.dataFolder / "PDL_MACTYPE_ALIAS.ini";
    fuzz::WriteFile(alias, bytes);

    pdl::PdlCutCondition values;
    for (int i = 0; i < pdl::kPdlSlotCount; ++i) values.slot[i] = static_cast<float>(i);
    const int table = data[0] % pdl::kPdlTableCount;
    for (const int id : {22, data[0] - 128}) {
        pdl::PdlParamRows rows;
        Check(pdl::LoadMachineParams(id, table, values, rows));
        const pdl::PdlShownParamRows& shown = rows.shown;
        Check(shown.count >= 0 && shown.count <= pdl::kPdlParamCount);
        for (int r = 1; r < shown.count; ++r) Check(shown.rows[r - 1].slot < shown.rows[r].slot);
    }
    for (const int type : {13400, 11000, data[0] * 100}) (void)pdl::PdlMachineTypeGet(type);
    Check(platform::ReadWholeFile(alias) == bytes);
    return 0;
}
