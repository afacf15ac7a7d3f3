// The one generation run of the process: the recipe is applied and mixed on
// a worker thread while the user interface polls it four times a second.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "recipe/recipe.h"
#include "surface/cdadc.h"

// Told once, on the user-interface thread, when a run it started has ended.
class GenerationClient {
  public:
    virtual ~GenerationClient() = default;
    // stopped: 1 when the run ended without a picture (STOP ended it, the
    // Xform failed or the thread could not start), 0 when the picture on
    // show holds the new image.
    virtual void OnGenerationDone(int stopped) = 0;
};

// One run: the recipe drawn on its own canvas over the original, mixed into
// the picture on show. The run owns its recipe and its canvas; the
// original and the picture belong to the document and its view, which keep
// their hands off them while the run exists.
struct GenerationRun {
    CFilSpec recipe;
    const CDADC* original = nullptr;
    CDADC* picture = nullptr;
    std::unique_ptr<CDADC> canvas;  // k times the original's size
    // Where the thread writes the idea for the disk cache once it is
    // produced; empty: nowhere.
    std::string cacheFile;
    bool produced = false;  // set by the thread: picture holds the idea
};

// The recipe applied to canvas (k times original's size) and, unless it
// failed or a stop was asked for, mixed into picture (original's size):
// true when picture holds the idea. The stop flag is left as it is.
bool ApplyAndMix(const CFilSpec& recipe, const CDADC* original, CDADC* canvas, CDADC* picture,
                 std::atomic<int>* progress);

// What the thread does with a run: ApplyAndMix, a stop during the mix
// withdrawn, the canvas freed, the idea written to run.cacheFile.
// run.produced tells how it went.
void RunGeneration(GenerationRun& run, std::atomic<int>* progress);

class GenerationWorker {
  public:
    // progress: where the run's percent goes (the application's value).
    explicit GenerationWorker(std::atomic<int>* progress);
    ~GenerationWorker();  // waits for a run still going
    GenerationWorker(const GenerationWorker&) = delete;
    GenerationWorker& operator=(const GenerationWorker&) = delete;

    // Starts run, whose surfaces are all set. Refused with a message while a
    // run exists. A thread that cannot be started ends the run at once as
    // stopped: the next Poll tells the client.
    void BeginFilterThread(GenerationClient* client, std::unique_ptr<GenerationRun> run);
    // A run is going on, or has ended and is not collected yet.
    bool IsGenerating() const { return running_; }
    // STOP: asks a run to stop; with no run, clears the flag.
    void Stop();
    // The user interface's poll. While the thread works: showProgress (the
    // percent). Once it has ended: collects it, tells the client exactly
    // once, clears the stop flag and calls showProgress (101).
    void Poll(const std::function<void(int)>& showProgress);
    // Blocks until the thread has ended (it is still collected by Poll).
    void WaitForThread();
    // Called on the worker thread as soon as a run has ended, so that the
    // user interface can poll at once instead of at its next tick. It must
    // only post work to the user-interface thread.
    void SetFinishedCallback(std::function<void()> callback) { onFinished_ = std::move(callback); }

    // For tests: the next thread start fails as the platform's would.
    void FailNextStartForTests() { failNextStart_ = true; }

  private:
    std::atomic<int>* progress_;
    std::thread thread_;
    std::unique_ptr<GenerationRun> run_;
    std::atomic<bool> finished_{false};
    bool running_ = false;
    bool failNextStart_ = false;
    GenerationClient* client_ = nullptr;
    std::function<void()> onFinished_;
};
