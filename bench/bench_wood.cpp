// Wood on a 2000 x 1072 photograph at each quality factor. Args: k. The
// idea: the default grain width and wood type, 1000 saw strokes (the most
// the Wizard draws) pointing at the saw centre, on a field smoothed as the
// Wizard smooths it.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/wood.h"

namespace {

void BM_WoodIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    idea.ctx.Selection.SetSmoothing(3);

    WoodParams params;
    params.strokes = 1000;
    params.strokeDirection = kWoodStrokesToCentre;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Wood(&params, &idea.ctx));
    }
    state.SetItemsProcessed(state.iterations() * idea.out.width * idea.out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_WoodIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
