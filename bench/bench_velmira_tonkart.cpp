// Velmira Tonkart on the 2000 x 1072 photograph at each quality factor.
// Args: k, and 0 for the defaults (2 x 2 panels, 3 inks, splodge 3) or 1
// for the most work (8 x 8 panels, 5 inks, the widest splodge 6).
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/velmira_tonkart.h"

namespace {

void BM_VelmiraTonkartIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;

    VelmiraTonkartParams params;
    if (state.range(1) != 0) {
        params.columns = 8;
        params.rows = 8;
        params.inks = 5;
        params.splodge = 6;
    }
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(VelmiraTonkart(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * idea.out.width * idea.out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_VelmiraTonkartIdea)->ArgsProduct({{1, 2, 4}, {0, 1}})->Unit(benchmark::kMillisecond);
