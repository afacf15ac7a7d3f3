// Liquid Energy on the 2000 x 1072 photograph at each quality factor, with
// the default ripples and a smoothed selection as the Wizard gives it (the
// smoothing is most of the force field's work).
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/liquid_energy.h"

namespace {

void BM_LiquidEnergyIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;
    ctx.Selection.SetSmoothing(4);

    LiquidEnergyParams params;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(LiquidEnergy(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * in.width * in.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_LiquidEnergyIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
