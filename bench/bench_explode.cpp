// Explode on a 2000 x 1072 photograph at each quality factor. Args: idea,
// k. Idea 0: the defaults (1500 traces of 8.25 %, ending 2.25 % wide); idea
// 1: the heaviest the ranges allow (2500 traces of 15 %, ending 4 % wide),
// both colours from the picture, where the wide pens cost the most.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/explode.h"

namespace {

void BM_ExplodeIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(1));
    IdeaContext idea(in, k);

    ExplodeParams params;
    if (state.range(0) == 1) {
        params.traces = 2500;
        params.traceLength = 15.0;
        params.endWidth = 4.0;
        params.gravity = 100;
    }
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Explode(&params, &idea.ctx));
    }
    state.SetItemsProcessed(state.iterations() * idea.out.width * idea.out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_ExplodeIdea)->ArgsProduct({{0, 1}, {1, 2, 4}})->Unit(benchmark::kMillisecond);
