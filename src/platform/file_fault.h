// Test-only seams of the file operations, each costing one relaxed atomic
// load per call when unused:
// - FailAfter(n) makes the n-th following write-side call of file_ops (open
//   for writing, write, fsync, rename, link) fail as a full or failing disk
//   would, once. Tests rerun an operation with the failure moved to each
//   successive call and check that the earlier file is intact.
// - SetTemporaryCreatedHook(f) calls f with the path of each temporary file
//   right after it is created, still empty: a test pauses a writer there, as
//   a slow or stopped workstation would be, and races another against it.
// - SetLockWaitLimit(ms) shortens the bounded wait for a lock
//   (platform::kLockWaitLimit) so that a test of the time-out runs quickly.
#pragma once

#include <atomic>

namespace quillet::platform::testing {

namespace detail {
inline std::atomic<int> faultCountdown{0};
inline std::atomic<bool> faultFired{false};
inline std::atomic<void (*)(const char*)> temporaryCreated{nullptr};
inline std::atomic<int> lockWaitLimitMs{0};
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

inline void SetTemporaryCreatedHook(void (*hook)(const char* path)) {
    detail::temporaryCreated.store(hook);
}
inline void AfterTemporaryCreated(const char* path) {
    if (void (*hook)(const char*) = detail::temporaryCreated.load(std::memory_order_relaxed)) {
        hook(path);
    }
}

// 0 restores the documented limit.
inline void SetLockWaitLimit(int milliseconds) { detail::lockWaitLimitMs.store(milliseconds); }
inline int LockWaitLimitOverride() {
    return detail::lockWaitLimitMs.load(std::memory_order_relaxed);
}

}  // namespace quillet::platform::testing
