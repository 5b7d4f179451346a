// Exports of the other-machine NC data: template lookup, cutting-condition
// test and the template dialog.
#include <optional>
#include <string>

#include "exports/export_guard.h"
#include "exports/status.h"
#include "othmac/nc_data_dialog.h"
#include "othmac/nc_template.h"
#include "othmac/record_store.h"
#include "platform/paths.h"
#include "quillet/quillet.h"

using namespace quillet;
using namespace quillet::exports;

namespace {

// Widths of the text fields the dialog keeps its arguments in.
constexpr std::size_t kDialogNameField = 50;
constexpr std::size_t kDialogReservedField = 55;

// The request of a lookup or dialog call; nullopt when a number is out of
// range (CheckLookupArguments shows the refusal first), a text is missing (a
// null pointer) or, for the dialog, longer than its field (limits 0:
// unbounded).
std::optional<othmac::LookupRequest> MakeRequest(int create, int showMessages, int machineTypeNo,
                                                 const char* machineName, const char* materialName,
                                                 const char* reservedText, int reservedNo1,
                                                 int reservedNo2, std::size_t nameLimit,
                                                 std::size_t reservedLimit) {
    if (!othmac::CheckLookupArguments(create, showMessages, machineTypeNo)) return std::nullopt;
    if (machineName == nullptr || materialName == nullptr || reservedText == nullptr) {
        return std::nullopt;
    }
    auto tooLong = [](const char* text, std::size_t limit) {
        return limit != 0 && platform::BoundedLength(text, limit) > limit;
    };
    if (tooLong(machineName, nameLimit) || tooLong(materialName, nameLimit) ||
        tooLong(reservedText, reservedLimit)) {
        return std::nullopt;
    }
    return othmac::LookupRequest{create == 1,  showMessages == 1, machineTypeNo, machineName,
                                 materialName, reservedText,      reservedNo1,   reservedNo2};
}

// The one place where the subsystem's outcomes become export statuses.
int StatusOf(othmac::Outcome outcome) {
    switch (outcome) {
        case othmac::Outcome::Done:
            return kDone;
        case othmac::Outcome::Cancelled:
            return kCancelled;
        case othmac::Outcome::NotSetUp:
            return kNotSetUp;
        case othmac::Outcome::NameTooLong:
            return kNameTooLong;
        case othmac::Outcome::SystemError:
            break;
    }
    return kSystemError;
}

}  // namespace

extern "C" QUILLET_EXPORT int QUILLET_API
SddGetOthMacCondPath(int create, int showMessages, int machineTypeNo, const char* machineName,
                     const char* materialName, const char* reservedText, int reservedNo1,
                     int reservedNo2, char* outPath) {
    if (outPath != nullptr) outPath[0] = '\0';
    return exports::Guarded(kSystemError, [&] {
        if (outPath == nullptr) return kSystemError;
        const std::optional<othmac::LookupRequest> request =
            MakeRequest(create, showMessages, machineTypeNo, machineName, materialName,
                        reservedText, reservedNo1, reservedNo2, 0, 0);
        if (!request) return kSystemError;
        const othmac::LookupResult found = othmac::LocateConditionFile(*request);
        if (found.status != othmac::Outcome::Done) return StatusOf(found.status);
        if (!platform::CopyToBuffer(found.path, outPath, platform::kPathBufferSize)) {
            return kSystemError;
        }
        return kDone;
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API SddGetOthCutInf(const char* templatePath) {
    return exports::Guarded(kSystemError, [&] {
        if (templatePath == nullptr) return kSystemError;
        const std::optional<bool> defined = othmac::TemplateDefinesCuttingConditions(templatePath);
        if (!defined) return kSystemError;
        return *defined ? kYes : kNo;
    });
}

extern "C" QUILLET_EXPORT int QUILLET_API
SddOthMacCondDLG(int create, int showMessages, int machineTypeNo, const char* machineName,
                 const char* materialName, const char* reservedText, int reservedNo1,
                 int reservedNo2, char* buffer) {
    if (buffer != nullptr) buffer[0] = '\0';
    return exports::Guarded(kSystemError, [&] {
        // The dialog keeps its texts in fields of 50, 50 and 55 bytes; a text
        // that does not fit is refused, not cut.
        const std::optional<othmac::LookupRequest> request = MakeRequest(
            create, showMessages, machineTypeNo, machineName, materialName, reservedText,
            reservedNo1, reservedNo2, kDialogNameField, kDialogReservedField);
        if (!request) return kSystemError;
        return StatusOf(othmac::RunNcDataDialog(*request));
    });
}
