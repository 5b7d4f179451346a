#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each one
# briefly from its seed corpus, as a smoke test. Installs clang and the
# compiler-rt runtime when they are missing.
#   scripts/fuzz-smoke.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-${QUILLET_FUZZ_SECONDS:-20}}"
scripts/install-deps.sh --only clang libclang-rt-14-dev
targets=(registry profile record_store nc_template machine_list)
cmake -S . -B build-fuzz -DQUILLET_FUZZ=ON -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_BENCH=OFF \
  -DQUILLET_WERROR=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/%/_fuzz}"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "${targets[@]}"; do
  # New inputs go to a scratch folder; the seed corpus in the tree stays as it is.
  scratch=$(mktemp -d)
  echo "== ${target}_fuzz for ${seconds}s"
  build-fuzz/bin/${target}_fuzz -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="build-fuzz/${target}-" -print_final_stats=1 \
    "$scratch" "fuzz/corpus/$target"
  rm -rf "$scratch"
done
