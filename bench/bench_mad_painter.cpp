// Mad Painter on a 2000 x 1072 photograph at quality 1 and 4. Args: k,
// strokes, 1 for the widest and longest strokes (0: the average ones),
// madness in percent. The default idea, and the heaviest the panel allows:
// 9000 of the widest and longest strokes, as mad as they come.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/mad_painter.h"

namespace {

void BM_MadPainterIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;

    MadPainterParams params;
    params.strokes = static_cast<int>(state.range(1));
    params.madness = static_cast<double>(state.range(3)) * 0.01;
    if (state.range(2) > 0) {
        params.strokeWidth = 2.5;
        params.strokeLength = 8.0;
    }
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(MadPainter(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * params.strokes);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_MadPainterIdea)
    ->Args({1, 6000, 0, 50})
    ->Args({1, 9000, 1, 100})
    ->Args({4, 6000, 0, 50})
    ->Args({4, 9000, 1, 100})
    ->Unit(benchmark::kMillisecond);
