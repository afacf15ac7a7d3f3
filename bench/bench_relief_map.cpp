// Relief Map on a 2000 x 1072 photograph at each quality factor. Arg: k.
// The default idea: a fifth of the land gets k x k dots.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/relief_map.h"

namespace {

void BM_ReliefMapIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;
    CDADC& out = idea.out;

    const ReliefMapParams params;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(ReliefMap(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * out.width * out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_ReliefMapIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
