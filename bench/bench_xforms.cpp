// Every Xform on the 2000 x 1072 photograph at quality 1, 2 and 4, through
// its registry row as a run draws it: BM_Idea/<Xform>/<case>/k. Each Xform
// has its default idea and, where the panel allows heavier work than the
// defaults, the heaviest idea it allows (the most strokes, the widest pens,
// the finest grid). A case's fields are set as `fabulor-cli render --set`
// sets them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_photo.h"
#include "engine/crt_random.h"
#include "engine/figure_file.h"
#include "recipe/field_kinds.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"

namespace {

struct Case {
    int xform;
    const char* name;
    std::vector<const char*> sets;  // "field=value", as --set takes them
    int smoothing = 0;              // the area selection's, as the Wizard smooths it
    bool figure = false;            // Op Art draws a figure made from the photograph
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {kBanya, "default", {}},
        {kBanya, "heaviest", {"squares=100", "shapeMode=2", "shapeSize=0.8"}},
        {kBubble, "default", {}},
        {kBubble, "heaviest", {"count=5000", "highlightPosition=1101"}},
        {kClouds, "default", {}},
        {kExplode, "default", {}},
        {kExplode,
         "heaviest",
         {"traces=2500", "traceLength=15", "endWidth=4", "gravity=100", "startFromImage=1",
          "endFromImage=1"}},
        {kFallenLetters, "heaviest", {"count=1000", "letterSize=8", "bySize=1", "colourMode=1"}},
        {kHaaisi, "triangles", {"detail=40", "shapeMode=0"}},
        {kHaaisi, "circles", {"detail=40", "shapeMode=1"}},
        {kHaaisi, "squares", {"detail=40", "shapeMode=2"}},
        {kZimbel, "heaviest", {"strokes=50"}},
        {kLiquidEnergy, "default", {}, 4},
        {kMadPainter, "default", {}},
        {kMadPainter,
         "heaviest",
         {"strokes=9000", "strokeWidth=2.5", "strokeLength=8", "madness=1"}},
        {kVelmiraTonkart, "default", {}},
        {kVelmiraTonkart, "heaviest", {"columns=8", "rows=8", "inks=5", "splodge=6"}},
        {kMist, "default", {}},
        {kMosaic,
         "grid",
         {"geometry=1028", "tileSize=2.5", "spacing=20", "highlightPosition=1101"}},
        {kMosaic,
         "rings",
         {"geometry=1029", "tileSize=2.5", "spacing=20", "highlightPosition=1101"}},
        {kMosaic,
         "circle-in-grid",
         {"geometry=1030", "tileSize=2.5", "spacing=20", "highlightPosition=1101"}},
        {kNet, "default", {}},
        {kNet, "heaviest", {"threads=200"}},
        {kOldFilm, "default", {"sprockets=1", "dirtiness=100"}},
        {kOldFilm, "errors", {"sprockets=1", "dirtiness=100", "processingErrors=1"}},
        {kOpArt, "default", {}},
        {kOpArt, "fine", {"geometry=1115", "squaresAcross=128"}},
        {kOpArt, "figure", {"geometry=1113"}, 0, true},
        {kOpArt, "fine-figure", {"geometry=1113", "squaresAcross=128"}, 0, true},
        {kReliefMap, "default", {}},
        {kStarDust, "default", {"stars=4050"}},
        {kStarDust, "heaviest", {"stars=8000"}},
        {kSwarm, "default", {"sticks=5000"}},
        {kSwarm, "heaviest", {"sticks=30000", "byIntensity=1", "bySize=1"}},
        {kWood, "default", {"strokes=1000", "strokeDirection=2"}, 3},
    };
    return cases;
}

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

void BM_Idea(benchmark::State& state, const Case& c) {
    bool photoLoaded = false;
    CDADC& in = BenchPicture(&photoLoaded);
    const int k = static_cast<int>(state.range(0));
    IdeaContext idea(in, k);
    idea.ctx.Selection.SetSmoothing(c.smoothing);

    const XformRow& row = *FindXform(c.xform);
    CFilSpec filSpec;
    filSpec.XformIndex = c.xform;
    for (const std::string set : c.sets) {
        const std::size_t eq = set.find('=');
        const BoundField* field = row.Field(set.substr(0, eq).c_str());
        std::string why;
        if (field == nullptr || !ParamFromText(*field, set.substr(eq + 1), filSpec, &why)) {
            state.SkipWithError((set + ": " + why).c_str());
            return;
        }
    }
    if (c.figure) std::strcpy(filSpec.OpArt.imageName, BenchFigure(in).c_str());
    row.validate(filSpec, in.width, in.height);

    unsigned seed = 1;
    for (auto _ : state) {
        CrtSrand(seed++);
        benchmark::DoNotOptimize(row.run(filSpec, idea.ctx));
    }
    state.SetItemsProcessed(state.iterations() * idea.out.width * idea.out.height);
    state.SetLabel(photoLoaded ? "photo" : "synthetic");
}

const bool registered = [] {
    for (const Case& c : Cases()) {
        const std::string name = std::string("BM_Idea/") + FindXform(c.xform)->name + "/" + c.name;
        benchmark::RegisterBenchmark(name.c_str(), BM_Idea, c)
            ->Arg(1)
            ->Arg(2)
            ->Arg(4)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
