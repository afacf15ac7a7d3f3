// Mosaic on a 2000 x 1072 photograph at each quality factor and geometry.
// Args: geometry id, k. The idea: tiles of 2.5 % of the width (50 pixels
// of the photograph), 20 % spacing, lit from the top left, as the Wizard
// draws them. scripts/bench-mosaic-vs-gegl.sh compares BM_MosaicIdea/1028/1
// with GEGL's mosaic doing the same job.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include <memory>
#include <string>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "xforms/mosaic.h"

namespace {

void BM_MosaicIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(1));
    IdeaContext idea(in, k);
    XformContext& ctx = idea.ctx;
    CDADC& out = idea.out;

    MosaicParams params;
    params.geometry = static_cast<int>(state.range(0));
    params.tileSize = 2.5;
    params.spacing = 20;
    params.highlightPosition = kHighlightTopLeft;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Mosaic(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * out.width * out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_MosaicIdea)
    ->ArgsProduct({{kMosaicRectangular, kMosaicCircular, kMosaicCircleInGrid}, {1, 2, 4}})
    ->Unit(benchmark::kMillisecond);
