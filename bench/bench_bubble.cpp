// Bubble on a 2000 x 1072 photograph at each quality factor. Args: k,
// count, highlight position. The default idea (2550 bubbles, no highlight),
// and the most bubbles the panel allows with a highlight arc on each.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include <atomic>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/bubble.h"

namespace {

void BM_BubbleIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;

    BubbleParams params;
    params.count = static_cast<int>(state.range(1));
    params.highlightPosition = static_cast<int>(state.range(2));
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Bubble(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * params.count);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_BubbleIdea)
    ->Args({1, 2550, kHighlightOff})
    ->Args({1, 5000, kHighlightTopLeft})
    ->Args({4, 2550, kHighlightOff})
    ->Args({4, 5000, kHighlightTopLeft})
    ->Unit(benchmark::kMillisecond);
