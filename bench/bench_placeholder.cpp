#include <benchmark/benchmark.h>

#include "surface/dc.h"

static void BM_ContextCreation(benchmark::State& state) {
    for (auto _ : state) {
        CDC dc;
        benchmark::DoNotOptimize(&dc);
    }
}
BENCHMARK(BM_ContextCreation);
