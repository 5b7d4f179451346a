// Helpers of the reliability tests: snapshots of the installation's files,
// forked children and the multi-process helpers.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "support/temp_install.h"

namespace quillet::testing {

// Every regular file below root (relative path -> contents).
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const fs::path& root);

// Files in the data and working folders of install.
Snapshot InstallationFiles(const TempInstallation& install);

// The names of files that differ between a and b (added, removed or
// changed), for short failure messages; empty when they are equal.
std::string Differences(const Snapshot& a, const Snapshot& b);

// Runs body in a forked child and returns its exit status (0-255), or
// 128 + signal when it died of a signal. The child leaves with _exit.
int RunInChild(const std::function<int()>& body);

// Starts body in a forked child without waiting; returns its pid.
pid_t StartChild(const std::function<int()>& body);
int WaitChild(pid_t pid);

// The sample files of the source tree.
fs::path SamplePath(const std::string& relative);

}  // namespace quillet::testing
