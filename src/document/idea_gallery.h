// The idea gallery: a page of Wizard ideas of one picture, made as "Wizard
// chooses" makes them and drawn as small thumbnails on every core, each
// handed over as soon as it is finished. Every idea is a whole recipe: the
// one the thumbnail was drawn from is the one that goes to the sequence,
// where it is drawn again at full size.
//
//   IdeaGallery gallery(*doc.m_pOrgDC, doc.m_Spec, doc.m_UsageCounts);
//   gallery.StartPage(12, 240, [](const GalleryIdea& idea) {
//       // on a worker thread: hand idea.thumbnail and idea.recipe to the window
//   });
//   ... gallery.PagePercent(), gallery.Stop(), gallery.StartPage(...) for more;
//   doc.TakeIdea(chosen.recipe);  // the document draws it and counts it
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "document/idea_pool.h"
#include "engine/progress.h"
#include "recipe/recipe.h"
#include "surface/cdadc.h"

// One Wizard idea as "Wizard chooses" makes it: the recipe (carried over
// from the idea before, as the document's is) gets the least used Xform of
// counts, a random final mix and selection, is checked against the
// original's size, gets a new seed and its Xform's Wizard parameters; then
// counts grows for its Xform. The Wizard's draws come from this thread's
// generator. With seed given the idea takes it instead of a new one. false
// (recipe and counts as they were) when the recipe does not pass its check.
bool MakeWizardIdea(CFilSpec& recipe, UsageCounts& counts, const CDADC& original,
                    const std::uint32_t* seed = nullptr);

// The picture reduced so that its longer side is side pixels (never
// enlarged), each pixel the average of the pixels it covers; null when
// there is no memory for it.
std::unique_ptr<CDADC> StretchedDown(const CDADC& picture, int side);

// A thumbnail of a page, as it is handed over.
struct GalleryIdea {
    int page = 0;   // 0 for the first page, 1 for "More ideas", ...
    int index = 0;  // on its page
    CFilSpec recipe;
    // The idea drawn over the reduced picture at quality 1; null when it
    // could not be drawn (its messages were reported) or the page was
    // stopped before it was finished.
    std::shared_ptr<const CDADC> thumbnail;
};

class IdeaGallery {
  public:
    // Called on a worker thread for every idea of the page in the order they
    // finish; it must not call back into the gallery.
    using IdeaReady = std::function<void(const GalleryIdea& idea)>;

    // original: the document's picture, which must outlive the gallery and
    // stay as it is while a page is drawn. recipe: the document's current
    // recipe, the first idea's start. counts: the document's usage counts;
    // the gallery keeps a running copy of them over all its pages.
    IdeaGallery(const CDADC& original, const CFilSpec& recipe, const UsageCounts& counts);
    // Stops a page still being drawn and waits for it.
    ~IdeaGallery();
    IdeaGallery(const IdeaGallery&) = delete;
    IdeaGallery& operator=(const IdeaGallery&) = delete;

    // Makes count ideas on this thread (the Wizard's draws come from its
    // generator) and starts drawing them, thumbnails side pixels on their
    // longer side, on threads workers (0: every core). false with a
    // message when a page is still being drawn, or nothing could be made.
    bool StartPage(int count, int side, IdeaReady ready, int threads = 0);
    // The page's STOP: a thumbnail being drawn is handed over empty, those
    // not begun are not handed over. The document's run is not touched.
    void Stop();
    // Blocks until the page is drawn or stopped.
    void Wait();
    // A page is being drawn.
    bool IsDrawing() const { return pool_.Busy(); }
    // The page's percent, 0..100: the mean of its thumbnails' percents.
    int PagePercent() const;
    // What the page's workers last said (the document's status text is left alone).
    std::string StatusText() const { return status_.Get(); }

    // The recipes of the current page, in order.
    std::vector<CFilSpec> PageRecipes() const { return recipes_; }
    // The gallery's running counts: the document's and every idea made since.
    const UsageCounts& Counts() const { return counts_; }
    int Pages() const { return page_ + 1; }

  private:
    void DrawThumbnail(int index);

    const CDADC& original_;
    CFilSpec recipe_;
    UsageCounts counts_;
    int page_ = -1;
    std::vector<CFilSpec> recipes_;
    std::unique_ptr<CDADC> small_;
    IdeaReady ready_;
    std::unique_ptr<std::atomic<int>[]> percents_;
    std::atomic<int> stop_{0};
    StatusLine status_;
    IdeaPool pool_;
};
