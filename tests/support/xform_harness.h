// What the Xforms' tests share: a fingerprint of a picture, the shared
// photographs, and the check that one recipe draws one picture.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "surface/cdadc.h"

struct CFilSpec;

// A picture painted pixel by pixel, and one of a single colour.
std::unique_ptr<CDADC> PaintedPicture(int w, int h,
                                      const std::function<COLORREF(int, int)>& colour);
std::unique_ptr<CDADC> UniformPicture(int w, int h, COLORREF colour);

// What an Xform drew on its canvas, and what it returned.
struct Canvas {
    std::unique_ptr<CDADC> out;
    int result = 0;
    COLORREF At(int x, int y) const { return out->pDC->GetPixel(x, y); }
};

// Runs an Xform on in at quality k from seed, on a canvas that holds
// canvasColour before the run.
template <class Params>
Canvas RenderXform(int (*run)(Params*, XformContext*), const CDADC& in, Params p, int k,
                   unsigned seed, std::atomic<int>* progress = nullptr, COLORREF canvasColour = 0) {
    Canvas c;
    c.out = std::make_unique<CDADC>(in.width * k, in.height * k);
    c.out->pDC->FillSolidRect(0, 0, c.out->width, c.out->height, canvasColour);
    CDADC draw(in.width, in.height);
    XformContext ctx;
    ctx.In = const_cast<CDADC*>(&in);
    ctx.Out = c.out.get();
    ctx.Draw = &draw;
    if (progress) ctx.Progress = progress;
    CrtSrand(seed);
    c.result = run(&p, &ctx);
    return c;
}

// FNV-1a over every byte of the pixel block, padding included.
std::uint64_t PictureHash(const CDADC& picture);

// A picture of the shared test images (for example "photos/flower.jpg"),
// loaded as the program loads it; null (with the reason added to the
// current test's failures) when it does not load.
std::unique_ptr<CDADC> LoadTestImage(const char* relativePath);

// Applies the recipe (its Xform, seed and parameters) to in at quality k
// twice on this thread and once on each of two threads at the same time:
// every canvas must be the same picture.
void ExpectOnePictureOnAnyThread(const CFilSpec& recipe, CDADC* in, int k);
