// Clouds on the 2000 x 1072 photograph at each quality factor, with the
// default parameters and a new seed (so new waves) every idea.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include <atomic>
#include <string>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/clouds.h"

namespace {

void BM_CloudsIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;

    CloudsParams params;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Clouds(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * in.width * in.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_CloudsIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
