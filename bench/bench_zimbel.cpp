// Zimbel on a 2000 x 1072 photograph at each quality factor. Args: k. The
// idea: 50 patches a row (the most, so the most patches), colour freedom
// 0.25, over the picture itself.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/zimbel.h"

namespace {

void BM_ZimbelIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);

    ZimbelParams params;
    params.strokes = 50;
    params.background.useImage = 1;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Zimbel(&params, &idea.ctx));
    }
    state.SetItemsProcessed(state.iterations() * idea.out.width * idea.out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_ZimbelIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
