#include "document/idea_gallery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "document/generation_worker.h"
#include "engine/crt_random.h"
#include "engine/progress.h"
#include "engine/xform_context.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "support/xform_harness.h"

namespace {

std::unique_ptr<CDADC> Photo() {
    return PaintedPicture(160, 96, [](int x, int y) {
        return RGB((x * 3 + y) & 0xFF, (y * 5) & 0xFF, ((x ^ y) * 2) & 0xFF);
    });
}

// Everything a page handed over, by index.
struct Collected {
    std::mutex lock;
    std::map<int, GalleryIdea> ideas;
    std::set<std::thread::id> threads;
    IdeaGallery::IdeaReady Sink() {
        return [this](const GalleryIdea& idea) {
            std::lock_guard guard(lock);
            ideas[idea.index] = idea;
            threads.insert(std::this_thread::get_id());
        };
    }
};

// The recipe drawn alone on this thread over the same reduced picture.
std::uint64_t DrawnAlone(const CFilSpec& recipe, const CDADC& small) {
    CDADC canvas(small.width, small.height);
    CDADC picture(small.width, small.height);
    std::atomic<int> progress{0};
    EXPECT_TRUE(ApplyAndMix(recipe, &small, &canvas, &picture, &progress)) << recipe.GetName();
    return PictureHash(picture);
}

}  // namespace

TEST(StretchedDown, AveragesTheBoxesItCoversAndNeverEnlarges) {
    const auto photo =
        PaintedPicture(2000, 1072, [](int x, int) { return RGB(x & 1 ? 100 : 0, 0, 0); });
    const auto small = StretchedDown(*photo, 240);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->width, 240);
    EXPECT_EQ(small->height, 129);  // 128.6 rounded
    // Every box spans 8 or 9 columns: a mean of 44 to 56, never a stripe.
    for (int x = 0; x < small->width; ++x) {
        const int red = GetRValue(small->pDC->GetPixel(x, 64));
        EXPECT_TRUE(red >= 44 && red <= 56) << x << ": " << red;
    }
    const auto tiny = PaintedPicture(30, 20, [](int x, int y) { return RGB(x, y, 7); });
    const auto same = StretchedDown(*tiny, 240);
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(PictureHash(*same), PictureHash(*tiny));
    const auto tall = StretchedDown(*PaintedPicture(3, 900, [](int, int) { return 0; }), 64);
    EXPECT_EQ(tall->width, 1);
    EXPECT_EQ(tall->height, 64);
}

// Each thumbnail is its recipe drawn on one thread, however many threads
// drew the page; the page spreads over the Xforms as the Wizard's
// least-used rule says, and the document's own counts stay as they were.
TEST(IdeaGallery, ThumbnailsAreTheirRecipesDrawnAloneOnAnyNumberOfThreads) {
    MessageCapture messages;
    const auto photo = Photo();
    const UsageCounts documentCounts = NewUsageCounts();
    int drawing = 0;
    for (const XformRow& row : XformRows())
        drawing += row.Draws() && row.index != kMist;
    ASSERT_GT(drawing, 1);

    for (int threads : {1, 3}) {
        SCOPED_TRACE(threads);
        CrtSrand(11);
        IdeaGallery gallery(*photo, CFilSpec(), documentCounts);
        Collected got;
        ASSERT_TRUE(gallery.StartPage(drawing + 2, 64, got.Sink(), threads));
        gallery.Wait();
        EXPECT_FALSE(gallery.IsDrawing());
        EXPECT_EQ(gallery.PagePercent(), 100);
        EXPECT_LE(static_cast<int>(got.threads.size()), threads);

        const std::vector<CFilSpec> recipes = gallery.PageRecipes();
        ASSERT_EQ(static_cast<int>(recipes.size()), drawing + 2);
        ASSERT_EQ(got.ideas.size(), recipes.size());
        const auto small = StretchedDown(*photo, 64);
        std::set<int> firstXforms;
        std::set<std::uint32_t> seeds;
        for (int i = 0; i < static_cast<int>(recipes.size()); ++i) {
            const GalleryIdea& idea = got.ideas[i];
            EXPECT_EQ(idea.recipe, recipes[static_cast<size_t>(i)]);
            ASSERT_NE(idea.thumbnail, nullptr) << i;
            EXPECT_EQ(idea.thumbnail->width, 64);
            EXPECT_EQ(PictureHash(*idea.thumbnail), DrawnAlone(idea.recipe, *small))
                << idea.recipe.GetName();
            EXPECT_TRUE(XformDraws(idea.recipe.XformIndex));
            EXPECT_NE(idea.recipe.XformIndex, kMist);
            if (i < drawing) firstXforms.insert(idea.recipe.XformIndex);
            seeds.insert(idea.recipe.Seed);
        }
        // The first round gives every Xform once; no two ideas share a seed.
        EXPECT_EQ(static_cast<int>(firstXforms.size()), drawing);
        EXPECT_EQ(seeds.size(), recipes.size());
        int counted = 0;
        for (int i = 0; i < kXformCount; ++i)
            counted += gallery.Counts()[i] - documentCounts[i];
        EXPECT_EQ(counted, drawing + 2);
    }
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{});
}

namespace {

std::atomic<int> waitingRuns{0};

// A stand-in Xform that draws until its stop comes (or ten seconds pass,
// so that a fault cannot hang the tests).
int UntilStopped(const CFilSpec&, XformContext&) {
    ++waitingRuns;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (StopRequested.load() == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return StopRequested.load() != 0 ? 0 : 1;
}
int AlwaysValid(CFilSpec&, int, int) {
    return 1;
}

}  // namespace

// The page's STOP reaches its own workers only: the document's flag is
// untouched, a stop of the document does not end the page, and "More
// ideas" carries the counts on.
TEST(IdeaGallery, AStopOfItsOwnAndMoreIdeas) {
    MessageCapture messages;
    XformRow* row = MutableXformRow(kBanya);
    const XformRow saved = *row;
    row->run = UntilStopped;
    row->validate = AlwaysValid;
    row->wizard = [](CFilSpec&, const CDADC&) {};
    UsageCounts counts;
    counts.fill(500);
    counts[kBanya] = 0;  // Banya is the least used for the first ideas
    const auto photo = Photo();
    waitingRuns = 0;
    {
        IdeaGallery gallery(*photo, CFilSpec(), counts);
        Collected got;
        ASSERT_TRUE(gallery.StartPage(6, 32, got.Sink(), 2));
        while (waitingRuns < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(gallery.StartPage(6, 32, got.Sink(), 2));  // still drawing
        StopRequested = 1;                                      // the document's STOP
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_TRUE(gallery.IsDrawing());
        StopRequested = 0;
        gallery.Stop();
        gallery.Wait();
        EXPECT_EQ(StopRequested.load(), 0);
        EXPECT_EQ(got.ideas.size(), 2u);  // the two begun; the rest were not
        for (const auto& [index, idea] : got.ideas)
            EXPECT_EQ(idea.thumbnail, nullptr);
        EXPECT_EQ(gallery.Counts()[kBanya], 6);

        // More ideas: the page carries on from Banya's count of 6.
        *row = saved;
        Collected more;
        ASSERT_TRUE(gallery.StartPage(2, 32, more.Sink(), 2));
        gallery.Wait();
        EXPECT_EQ(gallery.Pages(), 2);
        ASSERT_EQ(more.ideas.size(), 2u);
        EXPECT_EQ(more.ideas[0].page, 1);
        EXPECT_EQ(gallery.Counts()[kBanya], 8);  // still the least used
    }
    *row = saved;
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"The gallery is still drawing its page"}));
}

TEST(IdeaGallery, RefusesPagesItCannotDraw) {
    MessageCapture messages;
    const auto photo = Photo();
    IdeaGallery gallery(*photo, CFilSpec(), NewUsageCounts());
    Collected got;
    EXPECT_FALSE(gallery.StartPage(0, 64, got.Sink()));
    EXPECT_FALSE(gallery.StartPage(12, 4, got.Sink()));
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{
                  "A gallery page holds 1 to 1000 ideas of 16 to 2048 pixels, not 0 of 64",
                  "A gallery page holds 1 to 1000 ideas of 16 to 2048 pixels, not 12 of 4"}));
    EXPECT_EQ(gallery.PagePercent(), 0);
    EXPECT_TRUE(got.ideas.empty());
}
