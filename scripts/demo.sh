#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: installs what is missing, builds
# what the demo runs, and runs 'quillet-host demo' on a sample installation it
# creates itself. It shares build/ with scripts/test.sh, in either order: it
# leaves the cached options alone and builds only its own targets.
#   scripts/demo.sh [demo options, e.g. --dir /tmp/quillet-demo or --gui]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)" --target quillet-host Quillet_rs korvid Dravik
exec build/bin/quillet-host demo "$@"
