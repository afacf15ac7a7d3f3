// Op Art on a 2000 x 1072 photograph at each quality factor. Args: k,
// geometry, squares across, whether a figure bitmap is drawn. The default
// idea (24 stretched rectangles across), turned squares on a fine grid, and
// the figure bitmap turned by three shears in every cell.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_photo.h"
#include "engine/crt_random.h"
#include "engine/figure_file.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"
#include "xforms/op_art.h"

namespace {

// A figure made from the photograph, in a temporary folder of its own.
std::string BenchFigure(CDADC& in) {
    static const std::string name = [&in] {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("fabulor_bench_figures_" + std::to_string(getpid()));
        SetTempFolder(folder.string());
        std::atexit([] { std::filesystem::remove_all(TempFolder()); });
        std::unique_ptr<CDADC> figure(NewFigure());
        figure->pDC->StretchBlt(0, 0, figure->width, figure->height, in.pDC, 0, 0, in.width,
                                in.height, SRCCOPY);
        std::string stored, path;
        StoreFigure(figure.get(), &stored, &path);
        return stored;
    }();
    return name;
}

void BM_OpArtIdea(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);

    OpArtParams params;
    params.geometry = static_cast<int>(state.range(1));
    params.squaresAcross = static_cast<int>(state.range(2));
    if (state.range(3) != 0) std::strcpy(params.imageName, BenchFigure(in).c_str());
    for (auto _ : state) {
        CrtSrand(1);
        benchmark::DoNotOptimize(OpArt(&params, &idea.ctx));
    }
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

}  // namespace

BENCHMARK(BM_OpArtIdea)
    ->Args({1, kOpArtStretchAndSqueeze, 24, 0})
    ->Args({1, kOpArtRotationAndSize, 128, 0})
    ->Args({1, kOpArtRotation, 24, 1})
    ->Args({1, kOpArtRotation, 128, 1})
    ->Args({4, kOpArtStretchAndSqueeze, 24, 0})
    ->Args({4, kOpArtRotationAndSize, 128, 0})
    ->Args({4, kOpArtRotation, 24, 1})
    ->Args({4, kOpArtRotation, 128, 1})
    ->Unit(benchmark::kMillisecond);
