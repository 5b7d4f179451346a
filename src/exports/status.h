// Status results of the exports, by name: the numbers are the public
// header's. Only the exports turn the subsystems' outcomes into them.
#pragma once

#include "quillet/quillet.h"

namespace quillet::driver {
enum class Outcome;
}

namespace quillet::exports {

inline constexpr int kDone = QUILLET_DONE;
inline constexpr int kCancelled = QUILLET_CANCELLED;        // dialog closed by Cancel
inline constexpr int kNotSetUp = QUILLET_NOT_SET_UP;        // NC data not set up, or a file missing
inline constexpr int kNameTooLong = QUILLET_NAME_TOO_LONG;  // machine name over 50 bytes
inline constexpr int kSystemError = QUILLET_SYSTEM_ERROR;
inline constexpr int kPdlUnavailable = QUILLET_PDL_UNAVAILABLE;  // root, file or list missing
inline constexpr int kInvalidArguments = QUILLET_INVALID_ARGUMENTS;
// SddGetOthCutInf's answers.
inline constexpr int kNo = 0;
inline constexpr int kYes = 1;

// The status of a driver operation or dialog: 0, -2 or 999.
int StatusOf(driver::Outcome outcome);

}  // namespace quillet::exports
