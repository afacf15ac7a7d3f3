#include "document/generation_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/progress.h"
#include "engine/xform_context.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "surface/cdadc.h"
#include "tools/gdi_script.h"

namespace {

struct Recorder : GenerationClient {
    std::vector<int> calls;
    void OnGenerationDone(int stopped) override { calls.push_back(stopped); }
};

// Paints the canvas white; or, in waiting mode, waits for STOP and fails.
std::atomic<bool> waitForStop{false};
std::atomic<bool> xformStarted{false};
int TestRun(const CFilSpec&, XformContext& ctx) {
    xformStarted = true;
    if (waitForStop) {
        while (!StopRequested)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 0;
    }
    CDADC* out = ctx.Out;
    out->pDC->FillSolidRect(0, 0, out->width, out->height, RGB(255, 255, 255));
    return 1;
}

struct Worker : ::testing::Test {
    std::atomic<int> progress{0};
    GenerationWorker worker{&progress};
    Recorder doc;
    CDADC original{8, 6};
    CDADC draw{8, 6};
    XformRow saved;
    std::vector<int> shown;

    void SetUp() override {
        StopRequested = 0;
        SetStatusText("");
        waitForStop = false;
        xformStarted = false;
        saved = *MutableXformRow(kBanya);
        MutableXformRow(kBanya)->run = TestRun;
    }
    // A run of the stand-in Xform from original onto draw, at k = 2.
    std::unique_ptr<GenerationRun> Run(const CDADC& from, CDADC& to) {
        auto run = std::make_unique<GenerationRun>();
        run->recipe.XformIndex = kBanya;
        run->original = &from;
        run->picture = &to;
        run->canvas = std::make_unique<CDADC>(from.width * 2, from.height * 2);
        return run;
    }
    std::unique_ptr<GenerationRun> Run() { return Run(original, draw); }
    void TearDown() override {
        *MutableXformRow(kBanya) = saved;
        StopRequested = 0;
    }
    void PollUntilCollected() {
        for (int i = 0; i < 5000 && worker.IsGenerating(); ++i) {
            worker.Poll([this](int p) { shown.push_back(p); });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

}  // namespace

TEST_F(Worker, AFinishedRunIsMixedCollectedOnceAndShowsTheEnd) {
    worker.BeginFilterThread(&doc, Run());
    EXPECT_TRUE(worker.IsGenerating());
    PollUntilCollected();
    EXPECT_EQ(doc.calls, std::vector<int>{0});
    EXPECT_EQ(draw.Row(3)[5], 255);  // k = 2 reduction of the white canvas
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 101);
    worker.Poll(nullptr);
    EXPECT_EQ(doc.calls.size(), 1u);
}

TEST_F(Worker, StopDuringTheXformSkipsTheMix) {
    MessageCapture capture;
    waitForStop = true;
    worker.BeginFilterThread(&doc, Run());
    while (!xformStarted)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.Stop();
    PollUntilCollected();
    EXPECT_EQ(doc.calls, std::vector<int>{1});
    EXPECT_EQ(draw.Row(3)[5], 0);
    EXPECT_EQ(StopRequested.load(), 0);    // cleared once collected
    EXPECT_TRUE(capture.Texts().empty());  // a stop is no fault
}

TEST_F(Worker, StopDuringTheMixComesTooLateAndTheIdeaCountsAsFinished) {
    // A canvas large enough for the reduction to take a while; STOP as soon
    // as the mix says it has started.
    CDADC bigOriginal(1200, 1200), bigDraw(1200, 1200);
    std::thread stopper([] {
        while (GetStatusText() != "Anti-alias...")
            std::this_thread::yield();
        StopRequested = 1;
    });
    worker.BeginFilterThread(&doc, Run(bigOriginal, bigDraw));
    stopper.join();
    PollUntilCollected();
    EXPECT_EQ(doc.calls, std::vector<int>{0});
    EXPECT_EQ(bigDraw.Row(600)[600], 255);
}

TEST_F(Worker, OneRunAtATimeAndStopWithoutARunClearsTheFlag) {
    MessageCapture capture;
    waitForStop = true;
    worker.BeginFilterThread(&doc, Run());
    worker.BeginFilterThread(&doc, Run());
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{"BFT:A thread is already running"});
    worker.Stop();
    PollUntilCollected();

    StopRequested = 1;
    worker.Stop();
    EXPECT_EQ(StopRequested.load(), 0);
}

TEST_F(Worker, AThreadThatCannotStartEndsAsStoppedExactlyOnce) {
    MessageCapture capture;
    worker.FailNextStartForTests();
    worker.BeginFilterThread(&doc, Run());
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{"Could not CreateThread(Filter)"});
    EXPECT_TRUE(worker.IsGenerating());
    worker.Poll(nullptr);
    worker.Poll(nullptr);
    EXPECT_EQ(doc.calls, std::vector<int>{1});
    EXPECT_FALSE(worker.IsGenerating());
}

// A failed Xform ends without a picture and the client is told at once; the
// user learns why: in its own words, or, when it gave up without a word, in
// the worker's, never as if the run had been stopped.
TEST_F(Worker, AFailedXformEndsWithoutAPictureAndTellsAtOnce) {
    MessageCapture capture;
    MutableXformRow(kBanya)->run = [](const CFilSpec&, XformContext&) { return 0; };
    std::atomic<int> told{0};
    worker.SetFinishedCallback([&told] { ++told; });
    worker.BeginFilterThread(&doc, Run());
    worker.WaitForThread();
    EXPECT_EQ(told, 1);
    worker.Poll(nullptr);
    EXPECT_EQ(doc.calls, std::vector<int>{1});
    EXPECT_EQ(StopRequested, 0);
    EXPECT_EQ(SurfacePixel(draw, 0, 0), static_cast<COLORREF>(0));
    EXPECT_EQ(capture.Faults(),
              std::vector<std::string>{"Banya could not draw this picture of 8 x 6 pixels"});

    capture.Clear();
    MutableXformRow(kBanya)->run = [](const CFilSpec&, XformContext&) {
        ErrorBox("Banya needs more");
        return 0;
    };
    worker.BeginFilterThread(&doc, Run());
    worker.WaitForThread();
    worker.Poll(nullptr);
    EXPECT_EQ(capture.Faults(), std::vector<std::string>{"Banya needs more"});
}
