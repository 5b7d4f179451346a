// Test-only fault injection for the file operations: FailAfter(n) makes the
// n-th following write-side call of file_ops (open for writing, write, fsync,
// rename) fail as a full or failing disk would, once. Tests rerun an
// operation with the failure moved to each successive call and check that
// the earlier file is intact. Unused, it costs one relaxed atomic load per
// call.
#pragma once

#include <atomic>

namespace quillet::platform::testing {

namespace detail {
inline std::atomic<int> faultCountdown{0};
inline std::atomic<bool> faultFired{false};
}  // namespace detail

// Arms the countdown (n >= 1), or disarms it (n == 0).
inline void FailAfter(int n) {
    detail::faultFired.store(false);
    detail::faultCountdown.store(n < 0 ? 0 : n);
}

// True when the armed failure has happened since FailAfter.
inline bool FaultFired() { return detail::faultFired.load(); }

// Called by file_ops before each write-side call: true when this one fails.
inline bool InjectFault() {
    if (detail::faultCountdown.load(std::memory_order_relaxed) == 0) return false;
    if (detail::faultCountdown.fetch_sub(1) != 1) return false;
    detail::faultFired.store(true);
    return true;
}

}  // namespace quillet::platform::testing
