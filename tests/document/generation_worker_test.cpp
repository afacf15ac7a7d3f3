#include "document/generation_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/progress.h"
#include "engine/recipe.h"
#include "engine/xform_registry.h"
#include "support/message_capture.h"
#include "surface/cdadc.h"

namespace {

struct Recorder : GenerationClient {
    std::vector<int> calls;
    void OnGenerationDone(int stopped) override { calls.push_back(stopped); }
};

// Paints the canvas white; or, in waiting mode, waits for STOP and fails.
std::atomic<bool> waitForStop{false};
std::atomic<bool> xformStarted{false};
int TestRun(CFilSpec& filSpec) {
    xformStarted = true;
    if (waitForStop) {
        while (!StopRequested)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 0;
    }
    CDADC* out = filSpec.Context.Out;
    out->pDC->FillSolidRect(0, 0, out->width, out->height, RGB(255, 255, 255));
    return 1;
}

struct Worker : ::testing::Test {
    std::atomic<int> progress{0};
    GenerationWorker worker{&progress};
    Recorder doc;
    CDADC original{8, 6};
    CDADC draw{8, 6};
    CFilSpec filSpec;
    XformOps saved;
    std::vector<int> shown;

    void SetUp() override {
        StopRequested = 0;
        SetStatusText("");
        waitForStop = false;
        xformStarted = false;
        saved = *MutableXformRow(kBanya);
        MutableXformRow(kBanya)->run = TestRun;
        filSpec.XformIndex = kBanya;
        filSpec.SetDCs(&draw, new CDADC(16, 12), &original);
    }
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
    worker.BeginFilterThread(&doc, &filSpec);
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
    waitForStop = true;
    worker.BeginFilterThread(&doc, &filSpec);
    while (!xformStarted)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.Stop();
    PollUntilCollected();
    EXPECT_EQ(doc.calls, std::vector<int>{1});
    EXPECT_EQ(draw.Row(3)[5], 0);
    EXPECT_EQ(StopRequested.load(), 0);  // cleared once collected
}

TEST_F(Worker, StopDuringTheMixComesTooLateAndTheIdeaCountsAsFinished) {
    // A canvas large enough for the reduction to take a while; STOP as soon
    // as the mix says it has started.
    CDADC bigOriginal(600, 600), bigDraw(600, 600);
    filSpec.DeleteOutSurface();
    filSpec.SetDCs(&bigDraw, new CDADC(2400, 2400), &bigOriginal);
    std::thread stopper([] {
        while (GetStatusText() != "Anti-alias...")
            std::this_thread::yield();
        StopRequested = 1;
    });
    worker.BeginFilterThread(&doc, &filSpec);
    stopper.join();
    PollUntilCollected();
    EXPECT_EQ(doc.calls, std::vector<int>{0});
    EXPECT_EQ(bigDraw.Row(300)[300], 255);
}

TEST_F(Worker, OneRunAtATimeAndStopWithoutARunClearsTheFlag) {
    MessageCapture capture;
    waitForStop = true;
    worker.BeginFilterThread(&doc, &filSpec);
    worker.BeginFilterThread(&doc, &filSpec);
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
    worker.BeginFilterThread(&doc, &filSpec);
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{"Could not CreateThread(Filter)"});
    EXPECT_TRUE(worker.IsGenerating());
    worker.Poll(nullptr);
    worker.Poll(nullptr);
    EXPECT_EQ(doc.calls, std::vector<int>{1});
    EXPECT_FALSE(worker.IsGenerating());
}
