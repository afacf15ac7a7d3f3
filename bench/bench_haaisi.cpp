// Haaisi on the 2000 x 1072 photograph at each quality factor and shape.
// Args: shapeMode, k. The idea: the most rings (detail 40).
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/haaisi.h"

namespace {

void BM_HaaisiIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    IdeaContext idea(in, static_cast<int>(state.range(1)));

    HaaisiParams params;
    params.detail = 40;
    params.shapeMode = static_cast<int>(state.range(0));
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Haaisi(&params, &idea.ctx));
    }
    state.SetItemsProcessed(state.iterations() * idea.out.width * idea.out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_HaaisiIdea)->ArgsProduct({{0, 1, 2}, {1, 2, 4}})->Unit(benchmark::kMillisecond);
