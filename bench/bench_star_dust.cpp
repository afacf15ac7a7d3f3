// StarDust on a 2000 x 1072 photograph at each quality factor. Args: k,
// stars. The default idea (4050 stars) and the most stars the panel allows.
#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "surface/image_files.h"
#include "xforms/star_dust.h"

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
            for (int x = 0; x < pic->width; ++x) {
                const unsigned noise = gen() & 31;
                row[3 * x] = static_cast<BYTE>((x / 8 + noise) & 255);
                row[3 * x + 1] = static_cast<BYTE>((y / 5 + noise) & 255);
                row[3 * x + 2] = static_cast<BYTE>(((x + y) / 12 + noise) & 255);
            }
        }
        return pic;
    }();
    return *photo;
}

void BM_StarDustIdea(benchmark::State& state) {
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
