// Fallen Letters on the 2000 x 1072 photograph at each quality factor.
// Arg: k. The idea: the most letters (1000) at the largest size (8 % of the
// width), growing with the force up to twice that, coloured by the picture.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/fallen_letters.h"

namespace {

void BM_FallenLettersIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    IdeaContext idea(in, static_cast<int>(state.range(0)));

    FallenLettersParams params;
    params.count = 1000;
    params.letterSize = 8.0;
    params.bySize = 1;
    params.colourMode = kLettersBasedOnImage;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(FallenLetters(&params, &idea.ctx));
    }
    state.SetItemsProcessed(state.iterations() * params.count);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_FallenLettersIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
