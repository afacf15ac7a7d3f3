#include "document/idea_gallery.h"

#include <algorithm>
#include <cstdint>

#include "document/generation_worker.h"
#include "util/error_box.h"

namespace {

// A page bigger than this is no gallery a window shows.
constexpr int kMostIdeasPerPage = 1000;
// Thumbnail sides: big enough to tell an idea by, small enough to stay cheap.
constexpr int kSmallestSide = 16;
constexpr int kLargestSide = 2048;

}  // namespace

bool MakeWizardIdea(CFilSpec& recipe, UsageCounts& counts, const CDADC& original,
                    const std::uint32_t* seed) {
    CFilSpec idea = recipe;
    idea.RandomizeAll(counts);
    if (!idea.Validate(original.width, original.height)) return false;
    if (seed != nullptr) {
        idea.Seed = *seed;
    } else {
        idea.NewSeed();
    }
    idea.AutoChoose(&original);
    if (idea.XformIndex >= 0 && idea.XformIndex < kXformCount) ++counts[idea.XformIndex];
    recipe = idea;
    return true;
}

std::unique_ptr<CDADC> StretchedDown(const CDADC& picture, int side) {
    const int longer = std::max(picture.width, picture.height);
    int w = picture.width;
    int h = picture.height;
    if (longer > side && side > 0) {
        // Rounded to the nearest pixel, at least one.
        auto scaled = [&](int size) {
            const long long v = (static_cast<long long>(size) * side * 2 + longer) / (2LL * longer);
            return static_cast<int>(std::max(1LL, v));
        };
        w = scaled(picture.width);
        h = scaled(picture.height);
    }
    auto small = std::make_unique<CDADC>(w, h);
    if (small->pBits == nullptr) return nullptr;
    // Each target pixel averages the source box [x0, x1) x [y0, y1) it covers.
    std::vector<std::uint32_t> sums(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * picture.height / h);
        const int y1 =
            std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * picture.height / h));
        std::fill(sums.begin(), sums.end(), 0u);
        for (int sy = y0; sy < y1; ++sy) {
            const BYTE* row = picture.Row(sy);
            for (int x = 0; x < w; ++x) {
                const int x0 = static_cast<int>(static_cast<long long>(x) * picture.width / w);
                const int x1 = std::max(
                    x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * picture.width / w));
                std::uint32_t* sum = &sums[static_cast<size_t>(x) * 3];
                for (int sx = x0; sx < x1; ++sx) {
                    sum[0] += row[3 * sx];
                    sum[1] += row[3 * sx + 1];
                    sum[2] += row[3 * sx + 2];
                }
            }
        }
        BYTE* out = small->Row(y);
        for (int x = 0; x < w; ++x) {
            const int x0 = static_cast<int>(static_cast<long long>(x) * picture.width / w);
            const int x1 = std::max(
                x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * picture.width / w));
            const std::uint32_t area = static_cast<std::uint32_t>((x1 - x0) * (y1 - y0));
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] =
                    static_cast<BYTE>((sums[static_cast<size_t>(x) * 3 + c] + area / 2) / area);
        }
    }
    return small;
}

IdeaGallery::IdeaGallery(const CDADC& original, const CFilSpec& recipe, const UsageCounts& counts)
    : original_(original), recipe_(recipe), counts_(counts) {}

IdeaGallery::~IdeaGallery() {
    Stop();
    Wait();
}

bool IdeaGallery::StartPage(int count, int side, IdeaReady ready, int threads) {
    if (IsDrawing()) {
        ErrorBox("The gallery is still drawing its page");
        return false;
    }
    if (count < 1 || count > kMostIdeasPerPage || side < kSmallestSide || side > kLargestSide) {
        ErrorBox("A gallery page holds 1 to %d ideas of %d to %d pixels, not %d of %d",
                 kMostIdeasPerPage, kSmallestSide, kLargestSide, count, side);
        return false;
    }
    pool_.Wait();
    const int longer = std::max(original_.width, original_.height);
    const int smallLonger = small_ ? std::max(small_->width, small_->height) : 0;
    if (!small_ || smallLonger != std::min(side, longer)) small_ = StretchedDown(original_, side);
    if (!small_) {
        ErrorBox("No memory for the gallery's picture of %d pixels", side);
        return false;
    }

    std::vector<CFilSpec> recipes;
    for (int i = 0; i < count; ++i) {
        if (!MakeWizardIdea(recipe_, counts_, original_)) break;
        recipes.push_back(recipe_);
    }
    if (recipes.empty()) return false;

    ++page_;
    recipes_ = std::move(recipes);
    ready_ = std::move(ready);
    const int made = static_cast<int>(recipes_.size());
    percents_ = std::make_unique<std::atomic<int>[]>(static_cast<size_t>(made));
    stop_ = 0;
    status_.Set("");
    IdeaPool::Options options;
    options.threads = threads;
    options.stop = &stop_;
    options.status = &status_;
    if (!pool_.Start(
            made, [this](int index) { DrawThumbnail(index); }, options)) {
        ErrorBox("No thread could be started to draw the gallery");
        return false;
    }
    return true;
}

void IdeaGallery::DrawThumbnail(int index) {
    GalleryIdea idea;
    idea.page = page_;
    idea.index = index;
    idea.recipe = recipes_[static_cast<size_t>(index)];
    std::atomic<int>& percent = percents_[static_cast<size_t>(index)];
    if (stop_ == 0) {
        CDADC canvas(small_->width, small_->height);
        auto picture = std::make_shared<CDADC>(small_->width, small_->height);
        if (canvas.pBits != nullptr && picture->pBits != nullptr &&
            ApplyAndMix(idea.recipe, small_.get(), &canvas, picture.get(), &percent)) {
            idea.thumbnail = std::move(picture);
        }
    }
    percent = 100;
    if (ready_) ready_(idea);
}

void IdeaGallery::Stop() {
    stop_ = 1;
}

void IdeaGallery::Wait() {
    pool_.Wait();
}

int IdeaGallery::PagePercent() const {
    const int count = static_cast<int>(recipes_.size());
    if (count == 0 || !percents_) return 0;
    long long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += std::clamp(percents_[static_cast<size_t>(i)].load(), 0, 100);
    return static_cast<int>(sum / count);
}
