// Mist on a 2000 x 1072 photograph at quality 1 and 4. Arg: k. The default
// idea: two passes over every source pixel, each painted as a k x k block.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/mist.h"

namespace {

void BM_MistIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    IdeaContext idea(in, static_cast<int>(state.range(0)));
    const MistParams params;
    for (auto _ : state)
        benchmark::DoNotOptimize(Mist(&params, &idea.ctx));
    state.SetItemsProcessed(state.iterations() * in.width * in.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_MistIdea)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
