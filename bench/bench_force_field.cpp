#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/force_field.h"

namespace {

void Run(benchmark::State& state, const AreaSelection& sel) {
    const CDADC& pic = SyntheticPicture();
    for (auto _ : state) {
        ForceField field = MakeForceField(&pic, &sel);
        benchmark::DoNotOptimize(field.get());
    }
    state.SetItemsProcessed(state.iterations() * pic.width * pic.height);
}

void BM_ForceFieldDefault(benchmark::State& state) {
    Run(state, AreaSelection());
}

void BM_ForceFieldSmoothing(benchmark::State& state) {
    AreaSelection sel;
    sel.SetSmoothing(static_cast<int>(state.range(0)));
    Run(state, sel);
}

void BM_ForceFieldColourSelection(benchmark::State& state) {
    AreaSelection sel;
    sel.SetHsv(200, 0.6, 0.8);
    Run(state, sel);
}

}  // namespace

BENCHMARK(BM_ForceFieldDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForceFieldSmoothing)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForceFieldColourSelection)->Unit(benchmark::kMillisecond);
