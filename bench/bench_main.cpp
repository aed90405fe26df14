// The one entry point of all benchmarks in bench/.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
