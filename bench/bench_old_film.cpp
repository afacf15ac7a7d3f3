// Old Film on a 2000 x 1072 photograph at each quality factor. Args: k,
// processing errors. The dirtiest film with sprockets; with processing
// errors the force field comes from a random selection, pixel by pixel.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/old_film.h"

namespace {

void BM_OldFilmIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;
    CDADC& out = idea.out;

    OldFilmParams params;
    params.processingErrors = static_cast<int>(state.range(1));
    params.sprockets = 1;
    params.dirtiness = 100;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(OldFilm(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * out.width * out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_OldFilmIdea)->ArgsProduct({{1, 2, 4}, {0, 1}})->Unit(benchmark::kMillisecond);
