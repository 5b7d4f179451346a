// Status results of the exports, by name.
#pragma once

namespace quillet {

inline constexpr int kDone = 0;
inline constexpr int kCancelled = 1;  // dialog closed by Cancel
inline constexpr int kNo = 0;         // SddGetOthCutInf's answers
inline constexpr int kYes = 1;
inline constexpr int kNotSetUp = 100;         // NC data not set up, or a file missing
inline constexpr int kNameTooLong = 101;      // machine name over 50 bytes to register
inline constexpr int kSystemError = 999;      // subsystems 2, 3 and 4
inline constexpr int kPdlUnavailable = -1;    // subsystem 5: root, file or list missing
inline constexpr int kInvalidArguments = -2;  // subsystems 3, 4 and 5

}  // namespace quillet
