// StarDust on a 2000 x 1072 photograph at each quality factor. Args: k,
// stars. The default idea (4050 stars) and the most stars the panel allows.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include <atomic>
#include <string>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/star_dust.h"

namespace {

void BM_StarDustIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;
    CDADC& out = idea.out;

    StarDustParams params;
    params.stars = static_cast<int>(state.range(1));
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(StarDust(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * out.width * out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_StarDustIdea)->ArgsProduct({{1, 2, 4}, {4050, 8000}})->Unit(benchmark::kMillisecond);
