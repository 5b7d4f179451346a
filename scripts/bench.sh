#!/usr/bin/env bash
# Builds the benchmarks in Release and runs each operation together with its
# baseline (same process, same files, repetitions randomly interleaved), then
# each benchmark alone for its peak memory; prints one summary table and
# writes the results and the ratio chart.
#   scripts/bench.sh [build-folder]
# Environment: BENCH_REPETITIONS (9), BENCH_MIN_TIME (0.2 seconds per
# repetition), BENCH_OUT (results folder, default <build-folder>/bench-results),
# BENCH_CHART (chart to write, default docs/performance.png; "" for none),
# QUILLET_BENCH_DIR (folder for the benchmark files, default the temp folder).
# Then counts the file-system requests of each export on the data folder
# (scripts/bench_requests.sh, under strace; the table goes to
# <results>/requests.md).
# Exit status 1 when a goal is missed or memory grows with repetitions.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}

# libbenchmark-dev for the benchmarks, gnuplot-nox for the chart (Debian
# packages; installed only when missing).
scripts/install-deps.sh --only libbenchmark-dev gnuplot-nox

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLET_WERROR=ON -DQUILLET_BUILD_TESTS=OFF \
  -DQUILLET_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillet_bench >/dev/null

out=${BENCH_OUT:-$build/bench-results}
chart=${BENCH_CHART-docs/performance.png}
status=0
python3 scripts/bench_summary.py --bench "$build/bin/quillet_bench" \
  --noop-dir "$build/bench-noop" --out "$out" \
  --repetitions "${BENCH_REPETITIONS:-9}" --min-time "${BENCH_MIN_TIME:-0.2}" || status=$?
if [[ -n "$chart" && -f "$out/ratios.dat" ]]; then
  gnuplot -e "datafile='$out/ratios.dat'; outfile='$chart'" scripts/plot_bench.gp
  echo "chart: $chart"
fi
REQUESTS_OUT="$out/requests.md" scripts/bench_requests.sh "$build" || status=$?
exit "$status"
