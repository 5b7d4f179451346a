// Entry point of the benchmarks (see bench_support.h and scripts/bench.sh).
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
