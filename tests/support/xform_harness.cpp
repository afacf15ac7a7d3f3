#include "support/xform_harness.h"

#include <thread>
#include <vector>

#include "engine/crt_random.h"
#include "engine/force_field.h"
#include "engine/progress.h"
#include "recipe/recipe.h"
#include "support/message_capture.h"
#include "support/shared_dir.h"
#include "surface/image_files.h"

int DrawsMade(unsigned seed) {
    int next[4];
    for (int& v : next)
        v = CrtRand();
    HandLcg lcg{seed};
    std::vector<int> seq;
    for (int i = 0; i < 200000; ++i)
        seq.push_back(lcg.Next());
    for (size_t n = 0; n + 4 <= seq.size(); ++n) {
        if (seq[n] == next[0] && seq[n + 1] == next[1] && seq[n + 2] == next[2] &&
            seq[n + 3] == next[3])
            return static_cast<int>(n);
    }
    return -1;
}

std::uint64_t PictureHash(const CDADC& picture) {
    std::uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < picture.imageBytes; ++i)
        h = (h ^ picture.pBits[i]) * 1099511628211ull;
    return h;
}

std::unique_ptr<CDADC> PaintedPicture(int w, int h,
                                      const std::function<COLORREF(int, int)>& colour) {
    auto pic = std::make_unique<CDADC>(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            pic->pDC->SetPixel(x, y, colour(x, y));
    }
    return pic;
}

std::unique_ptr<CDADC> UniformPicture(int w, int h, COLORREF colour) {
    auto pic = std::make_unique<CDADC>(w, h);
    pic->pDC->FillSolidRect(0, 0, w, h, colour);
    return pic;
}

Canvas RenderRun(const std::function<int(XformContext*)>& run, const CDADC& in, int k,
                 unsigned seed, COLORREF canvasColour, int stopAt) {
    Canvas c;
    c.out = std::make_unique<CDADC>(in.width * k, in.height * k);
    CDC* dc = c.out->pDC;
    dc->FillSolidRect(0, 0, c.out->width, c.out->height, canvasColour);
    CDADC draw(in.width, in.height);
    std::atomic<int> progress{-1};
    XformContext ctx;
    ctx.In = const_cast<CDADC*>(&in);
    ctx.Out = c.out.get();
    ctx.Draw = &draw;
    ctx.Progress = &progress;
    CGdiObject* pen = dc->GetCurrentObject(OBJ_PEN);
    CGdiObject* brush = dc->GetCurrentObject(OBJ_BRUSH);

    std::atomic<bool> done{false};
    std::thread watcher;
    if (stopAt >= 0) {
        watcher = std::thread([&] {
            while (!done && progress.load() < stopAt)
                std::this_thread::yield();
            StopRequested = 1;
        });
    }
    CrtSrand(seed);
    c.result = run(&ctx);
    done = true;
    if (watcher.joinable()) {
        watcher.join();
        StopRequested = 0;
    }
    c.progress = progress.load();
    EXPECT_EQ(dc->GetCurrentObject(OBJ_PEN), pen);
    EXPECT_EQ(dc->GetCurrentObject(OBJ_BRUSH), brush);
    return c;
}

std::unique_ptr<CDADC> LoadTestImage(const char* relativePath) {
    MessageCapture messages;
    const std::string name = (SharedDir() / "testimages" / relativePath).string();
    HGLOBAL dib = VicLoadImageFile(name.c_str());
    if (!dib) {
        ADD_FAILURE() << name << ": " << (messages.Texts().empty() ? "" : messages.Texts()[0]);
        return nullptr;
    }
    std::unique_ptr<CDADC> picture(CDADC::CreateFromDib(dib));
    GlobalFree(dib);
    if (!picture) ADD_FAILURE() << name << " did not become a surface";
    return picture;
}

void ExpectGoldenPictures(std::initializer_list<GoldenPicture> golden,
                          const std::function<Canvas(const CDADC&, const GoldenPicture&)>& draw) {
    const std::unique_ptr<CDADC> flower = LoadTestImage("photos/flower.jpg");
    ASSERT_TRUE(flower);
    for (const GoldenPicture& g : golden) {
        const Canvas c = draw(*flower, g);
        EXPECT_EQ(c.result, 1) << "k " << g.k << " case " << g.variant;
        EXPECT_EQ(PictureHash(*c.out), g.hash) << "k " << g.k << " case " << g.variant;
    }
}

void ExpectOnePictureOnAnyThread(const CFilSpec& recipe, const CDADC* in, int k) {
    const int w = in->width * k, h = in->height * k;
    CDADC first(w, h), second(w, h), a(w, h), b(w, h);
    // Each run its own context: the threads share only the recipe and In.
    auto apply = [&](CDADC* out) {
        CDADC draw(in->width, in->height);
        XformContext ctx;
        ctx.In = in;
        ctx.Out = out;
        ctx.Draw = &draw;
        return recipe.Apply(ctx);
    };
    ASSERT_NE(apply(&first), 0);
    CrtSrand(1);  // the thread's own generator state must not matter
    ASSERT_NE(apply(&second), 0);
    EXPECT_EQ(PictureHash(second), PictureHash(first));

    std::thread ta([&] { apply(&a); });
    std::thread tb([&] { apply(&b); });
    ta.join();
    tb.join();
    EXPECT_EQ(PictureHash(a), PictureHash(first));
    EXPECT_EQ(PictureHash(b), PictureHash(first));
}

void XformTest::TearDown() {
    StopRequested = 0;
    LimitForceFieldAllocations(-1);
}
