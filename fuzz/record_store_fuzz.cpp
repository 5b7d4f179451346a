// Fuzz target: the record store on arbitrary index and material-list bytes
// (marker format and old format, which is converted in place). The first
// byte chooses the file the rest becomes; a look-up and a registration run
// on it. Checks: a registration is found again by a
// look-up, every appended record is whole, nothing is written outside the
// data folder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_install.h"
#include "othmac/record_store.h"
#include "platform/file_ops.h"

using namespace quillet;
using quillet::fuzz::Check;
namespace fs = std::filesystem;

namespace {

othmac::LookupResult Locate(bool create, const std::string& machine, const std::string& material) {
    return othmac::LocateConditionFile({create, false, 131, machine, material, "", 0, 0});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto& install = fuzz::FuzzInstallation::Get();
    install.Reset();
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool listInput = (data[0] & 1) != 0;
    const std::string material = (data[0] & 2) != 0 ? "SPCC1.6" : "spcc1.6";
    if (listInput) {
        fuzz::WriteFile(install.dataFolder / "Othmcn.dat",
                        othmac::MachineRecord(131, "FZ", "FZ.__1"));
        fuzz::WriteFile(install.dataFolder / "FZ.__1", bytes);
    } else {
        fuzz::WriteFile(install.dataFolder / "Othmcn.dat", bytes);
    }

    (void)Locate(false, "FZ", material);
    const fs::path index = install.dataFolder / "Othmcn.dat";
    const auto indexBefore = platform::ReadWholeFile(index);
    const othmac::LookupResult created = Locate(true, "FZ", material);
    if (created.status == othmac::Outcome::Done) {
        // The template's own file, then a look-up finds the same path.
        fuzz::WriteFile(created.path, "###NCSTART\n###END\n");
        const othmac::LookupResult found = Locate(false, "FZ", material);
        Check(found.status == othmac::Outcome::Done && found.path == created.path);
        const auto indexAfter = platform::ReadWholeFile(index);
        // An index that grew without a conversion grew by one whole record,
        // after a line break when its last line had none.
        if (indexBefore && indexAfter && indexAfter->size() > indexBefore->size() &&
            indexAfter->compare(0, indexBefore->size(), *indexBefore) == 0) {
            const bool ended = indexBefore->empty() || indexBefore->back() == '\n';
            Check(indexAfter->size() - indexBefore->size() == (ended ? 161u : 162u));
        }
    }
    Check(install.NothingOutside());
    return 0;
}
