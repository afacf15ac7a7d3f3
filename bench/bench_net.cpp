// Net on a 2000 x 1072 photograph at quality 1 and 4. Args: k, threads. The
// default idea (110 threads, a grid over its wide shadow), and the densest
// grid the panel allows.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/net.h"

namespace {

void BM_NetIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    IdeaContext idea(in, static_cast<int>(state.range(0)));
    NetParams params;
    params.threads = static_cast<int>(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(Net(&params, &idea.ctx));
    state.SetItemsProcessed(state.iterations() * params.threads);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_NetIdea)
    ->Args({1, 110})
    ->Args({1, 200})
    ->Args({4, 110})
    ->Args({4, 200})
    ->Unit(benchmark::kMillisecond);
