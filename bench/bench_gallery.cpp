// A gallery page: 12 Wizard ideas of the 2000 x 1072 photograph as
// thumbnails 240 pixels across, on one thread and on every core. The time
// of an iteration is the whole page (making the recipes included); the
// counter first_ms is the time until the first thumbnail was handed over,
// made_ms the part of it spent on this thread before any drawing began
// (the picture reduced, the twelve recipes made by the Wizard).
// BM_GalleryThumbnail shows what one Wizard idea of each Xform costs at
// that size, to tell which Xform holds a page up.
#include <benchmark/benchmark.h>

#include "bench_photo.h"

#include <atomic>
#include <chrono>

#include "document/generation_worker.h"
#include "document/idea_gallery.h"
#include "engine/crt_random.h"
#include "recipe/xform_registry.h"
#include "util/error_box.h"

namespace {

constexpr int kPageIdeas = 12;
constexpr int kThumbnailSide = 240;

void BM_GalleryPage(benchmark::State& state) {
    bool photoLoaded = false;
    CDADC& photo = BenchPicture(&photoLoaded);
    const int threads = static_cast<int>(state.range(0));
    SetReporter([](const Message&) { return Answer::No; });
    double firstMs = 0;
    double madeMs = 0;
    unsigned round = 1;
    for (auto _ : state) {
        // The same Xforms and Wizard draws every time; only the seeds differ.
        CrtSrand(round++ % 4);
        const auto start = std::chrono::steady_clock::now();
        std::atomic<long long> first{0};
        IdeaGallery gallery(photo, CFilSpec(), NewUsageCounts());
        gallery.StartPage(
            kPageIdeas, kThumbnailSide,
            [&](const GalleryIdea&) {
                const long long now = std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count();
                long long expected = 0;
                first.compare_exchange_strong(expected, now);
            },
            threads);
        madeMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        gallery.Wait();
        firstMs += static_cast<double>(first.load()) / 1000.0;
    }
    SetReporter(nullptr);
    state.counters["first_ms"] = benchmark::Counter(firstMs, benchmark::Counter::kAvgIterations);
    state.counters["made_ms"] = benchmark::Counter(madeMs, benchmark::Counter::kAvgIterations);
    state.SetLabel(std::string(photoLoaded ? "photo" : "synthetic") + ", " +
                   (threads == 0 ? "all cores" : std::to_string(threads) + " thread"));
}

void BM_GalleryThumbnail(benchmark::State& state) {
    CDADC& photo = BenchPicture();
    const int index = static_cast<int>(state.range(0));
    if (!XformDraws(index)) {
        state.SkipWithError("this Xform does not draw yet");
        return;
    }
    SetReporter([](const Message&) { return Answer::No; });
    const auto small = StretchedDown(photo, kThumbnailSide);
    UsageCounts counts;
    counts.fill(1000);
    counts[index] = 0;
    CDADC canvas(small->width, small->height);
    CDADC picture(small->width, small->height);
    std::atomic<int> progress{0};
    unsigned round = 1;
    for (auto _ : state) {
        state.PauseTiming();
        CrtSrand(round++ % 4);
        CFilSpec recipe;
        MakeWizardIdea(recipe, counts, photo);
        counts[index] = 0;
        state.ResumeTiming();
        benchmark::DoNotOptimize(ApplyAndMix(recipe, small.get(), &canvas, &picture, &progress));
    }
    SetReporter(nullptr);
    state.SetLabel(XformName(index));
}

}  // namespace

BENCHMARK(BM_GalleryPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GalleryThumbnail)->DenseRange(0, 18)->Unit(benchmark::kMillisecond)->UseRealTime();
