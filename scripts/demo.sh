#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: installs what is missing, builds,
# and runs 'quillet-host demo' on a sample installation it creates itself.
#   scripts/demo.sh [demo options, e.g. --dir /tmp/quillet-demo or --gui]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_BENCH=OFF
exec build/bin/quillet-host demo "$@"
