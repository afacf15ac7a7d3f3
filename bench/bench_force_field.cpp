#include <benchmark/benchmark.h>

#include <random>

#include "engine/force_field.h"

namespace {

// A 2000 × 1072 picture: smooth gradients with some noise, as photographs go.
const CDADC& Picture() {
    static CDADC* picture = [] {
        auto* pic = new CDADC(2000, 1072);
        std::mt19937 gen(1);
        for (int y = 0; y < pic->height; ++y) {
            BYTE* row = pic->Row(y);
            for (int x = 0; x < pic->width; ++x) {
                const unsigned noise = gen() & 31;
                row[3 * x] = static_cast<BYTE>((x / 8 + noise) & 255);
                row[3 * x + 1] = static_cast<BYTE>((y / 5 + noise) & 255);
                row[3 * x + 2] = static_cast<BYTE>(((x + y) / 12 + noise) & 255);
            }
        }
        return pic;
    }();
    return *picture;
}

void Run(benchmark::State& state, const AreaSelection& sel) {
    const CDADC& pic = Picture();
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
