#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine: installs what is
# missing, builds and runs every test. The tests are always built (a build
# folder the demo configured has them switched off), and a run in which no
# test ran fails.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [[ "${1:-}" == "--sanitize" ]]; then
  build=build-asan
  scripts/build.sh "$build" -DQUILLET_BUILD_TESTS=ON -DQUILLET_SANITIZE=ON -DQUILLET_BUILD_BENCH=OFF
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
else
  build=build
  scripts/build.sh "$build" -DQUILLET_BUILD_TESTS=ON
fi
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --no-tests=error
