#include "document/generation_worker.h"

#include <system_error>

#include "compose/aa_mix.h"
#include "engine/progress.h"
#include "engine/recipe.h"
#include "util/error_box.h"

void RunGeneration(CFilSpec* filSpec, std::atomic<int>* progress) {
    const int produced = filSpec->Apply();
    if (produced && StopRequested == 0) {
        XformContext& c = filSpec->Context;
        CDADC* original = filSpec->FinalMix.Mode != kMixModeOff ? c.In : nullptr;
        SetStatusText("Mixing...");
        AAMixBlit(c.Draw, c.Out, original, &filSpec->FinalMix, &filSpec->WebFade, progress);
        // A stop that came during the mix is too late: the picture is finished.
        StopRequested = 0;
    }
    filSpec->DeleteOutSurface();
}

GenerationWorker::GenerationWorker(std::atomic<int>* progress) : progress_(progress) {}

GenerationWorker::~GenerationWorker() {
    WaitForThread();
}

void GenerationWorker::BeginFilterThread(GenerationClient* client, CFilSpec* filSpec) {
    if (running_) {
        ErrorBox("BFT:A thread is already running");
        return;
    }
    running_ = true;
    client_ = client;
    finished_ = false;
    *progress_ = 0;
    try {
        if (failNextStart_) {
            failNextStart_ = false;
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        thread_ = std::thread([this, filSpec] {
            RunGeneration(filSpec, progress_);
            finished_ = true;
        });
    } catch (const std::system_error&) {
        ErrorBox("Could not CreateThread(Filter)");
        // Nothing was drawn: the canvas the thread would have freed goes now,
        // and the run ends as a stopped one at the next poll.
        filSpec->DeleteOutSurface();
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
    running_ = false;
    GenerationClient* client = client_;
    client_ = nullptr;
    if (client) {
        client->OnGenerationDone(StopRequested.load());
    } else {
        ErrorBox("Could not get document from thread view");
    }
    StopRequested = 0;
    if (showProgress) showProgress(101);
}
