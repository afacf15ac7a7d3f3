// Banya on the 2000 x 1072 photograph at each quality factor. Arg: k. The
// idea: 100 squares across, the most cells (and so the most diamonds) the
// panel allows, with ellipses on the corners.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/banya.h"

namespace {

void BM_BanyaIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    IdeaContext idea(in, static_cast<int>(state.range(0)));

    BanyaParams params;
    params.squares = 100;
    params.shapeMode = 2;
    params.shapeSize = 0.8;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Banya(&params, &idea.ctx));
    }
    state.SetItemsProcessed(state.iterations() * idea.out.width * idea.out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_BanyaIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
