#include "document/generation_worker.h"

#include <system_error>

#include "compose/aa_mix.h"
#include "document/disk_cache.h"
#include "engine/progress.h"
#include "engine/xform_context.h"
#include "util/error_box.h"

bool ApplyAndMix(const CFilSpec& recipe, const CDADC* original, CDADC* canvas, CDADC* picture,
                 std::atomic<int>* progress) {
    XformContext ctx;
    ctx.In = original;
    ctx.Out = canvas;
    ctx.Draw = picture;
    ctx.Progress = progress;
    const int produced = recipe.Apply(ctx);
    if (!produced || StopRequested != 0) return false;
    const CDADC* mixedWith = recipe.FinalMix.Mode != kMixModeOff ? original : nullptr;
    SetStatusText("Mixing...");
    AAMixBlit(picture, canvas, mixedWith, &recipe.FinalMix, &recipe.WebFade, progress);
    return true;
}

void RunGeneration(GenerationRun& run, std::atomic<int>* progress) {
    const int errorsBefore = ErrorsOnThisThread();
    run.produced = ApplyAndMix(run.recipe, run.original, run.canvas.get(), run.picture, progress);
    // An Xform that gives up says why; one that says nothing must not pass
    // for a run the user stopped.
    if (!run.produced && StopRequested == 0 && ErrorsOnThisThread() == errorsBefore) {
        const char* name = XformName(run.recipe.XformIndex);
        ErrorBox("%s could not draw this picture of %d x %d pixels", *name ? name : "The Xform",
                 run.original->width, run.original->height);
    }
    // A stop that came during the mix is too late: the picture is finished.
    if (run.produced) StopRequested = 0;
    run.canvas.reset();
    if (run.produced) DiskCache::WriteCacheFile(*run.picture, run.cacheFile);
}

GenerationWorker::GenerationWorker(std::atomic<int>* progress) : progress_(progress) {}

GenerationWorker::~GenerationWorker() {
    WaitForThread();
}

void GenerationWorker::BeginFilterThread(GenerationClient* client,
                                         std::unique_ptr<GenerationRun> run) {
    if (running_) {
        ErrorBox("BFT:A thread is already running");
        return;
    }
    running_ = true;
    run_ = std::move(run);
    client_ = client;
    finished_ = false;
    *progress_ = 0;
    try {
        if (failNextStart_) {
            failNextStart_ = false;
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        thread_ = std::thread([this, run = run_.get()] {
            RunGeneration(*run, progress_);
            finished_ = true;
            if (onFinished_) onFinished_();
        });
    } catch (const std::system_error&) {
        ErrorBox("Could not CreateThread(Filter)");
        // Nothing was drawn: the canvas the thread would have freed goes now,
        // and the run ends as a stopped one at the next poll.
        run_->canvas.reset();
        StopRequested = 1;
        finished_ = true;
    }
}

void GenerationWorker::Stop() {
    StopRequested = running_ ? 1 : 0;
}

void GenerationWorker::WaitForThread() {
    if (thread_.joinable()) thread_.join();
}

void GenerationWorker::Poll(const std::function<void(int)>& showProgress) {
    if (!running_) return;
    if (!finished_) {
        if (showProgress) showProgress(progress_->load());
        return;
    }
    WaitForThread();
    // A failed Xform left the picture on show as it was: for the document
    // that is a run without a picture, like a stopped one.
    const int stopped = (StopRequested.load() != 0 || !run_->produced) ? 1 : 0;
    run_.reset();
    running_ = false;
    GenerationClient* client = client_;
    client_ = nullptr;
    if (client) {
        client->OnGenerationDone(stopped);
    } else {
        ErrorBox("Could not get document from thread view");
    }
    StopRequested = 0;
    if (showProgress) showProgress(101);
}
