// Swarm on a 2000 x 1072 photograph at each quality factor. Args: k,
// sticks. The default idea, and the most sticks with every switch on
// (intensity rejects places, size draws one more number per stick).
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/swarm.h"

namespace {

void BM_SwarmIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;
    CDADC& out = idea.out;

    SwarmParams params;
    params.sticks = static_cast<int>(state.range(1));
    if (params.sticks > 5000) params.byIntensity = params.bySize = 1;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Swarm(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * out.width * out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_SwarmIdea)->ArgsProduct({{1, 2, 4}, {5000, 30000}})->Unit(benchmark::kMillisecond);
