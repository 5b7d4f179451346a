#!/usr/bin/env bash
# Configures and builds Quillet in a build folder.
#   scripts/build.sh [build-folder] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
