// Clouds on the 2000 x 1072 photograph at each quality factor, with the
// default parameters and a new seed (so new waves) every idea.
#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "surface/image_files.h"
#include "xforms/clouds.h"

namespace {

bool photoLoaded = false;

// The shared photograph when the checkout has it beside it, else a
// synthetic picture of the same size.
const CDADC& Photo() {
    static CDADC* photo = [] {
        const std::string name =
            std::string(FABULOR_SOURCE_DIR) + "/../shared/testimages/photos/xmp_test.jpg";
        if (std::filesystem::exists(name)) {
            if (HGLOBAL dib = VicLoadImageFile(name.c_str())) {
                CDADC* loaded = CDADC::CreateFromDib(dib);
                GlobalFree(dib);
                photoLoaded = loaded != nullptr;
                if (loaded) return loaded;
            }
        }
        auto* pic = new CDADC(2000, 1072);
        std::mt19937 gen(1);
        for (int y = 0; y < pic->height; ++y) {
            BYTE* row = pic->Row(y);
            for (int x = 0; x < 3 * pic->width; ++x)
                row[x] = static_cast<BYTE>(gen() & 255);
        }
        return pic;
    }();
    return *photo;
}

void BM_CloudsIdea(benchmark::State& state) {
    CDADC& in = const_cast<CDADC&>(Photo());
    const int k = static_cast<int>(state.range(0));
    CDADC out(in.width * k, in.height * k);
    CDADC draw(in.width, in.height);
    XformContext ctx;
    ctx.In = &in;
    ctx.Out = &out;
    ctx.Draw = &draw;
    std::atomic<int> progress{0};
    ctx.Progress = &progress;

    CloudsParams params;
    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(Clouds(&params, &ctx));
    }
    state.SetItemsProcessed(state.iterations() * in.width * in.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_CloudsIdea)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
