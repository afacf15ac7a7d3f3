// What the Xforms' tests share: a fingerprint of a picture, the shared
// photographs, the generator worked by hand, runs on a fresh canvas (also
// stopped half way), and the checks that a recipe draws one picture and
// that what cannot be drawn is refused.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "engine/xform_context.h"
#include "surface/cdadc.h"

struct CFilSpec;

// The C runtime's generator worked by hand, to predict a run's draws.
struct HandLcg {
    std::uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
    int Int(int lo, int hi) {
        int r = Next();
        if (r == 32767) r = 32766;
        return lo + (hi - lo + 1) * r / 32767;
    }
    double Real(double lo, double hi) { return lo + Next() * 3.051850947599719e-5 * (hi - lo); }
};

// How many values of seed's sequence the thread's generator has given since
// CrtSrand(seed): its next four values are looked up among the first 200000
// (-1 when they are not there). Uses those four values up.
int DrawsMade(unsigned seed);

// A picture painted pixel by pixel, and one of a single colour.
std::unique_ptr<CDADC> PaintedPicture(int w, int h,
                                      const std::function<COLORREF(int, int)>& colour);
std::unique_ptr<CDADC> UniformPicture(int w, int h, COLORREF colour);

// What an Xform drew on its canvas, what it returned and the last percent
// it reported.
struct Canvas {
    std::unique_ptr<CDADC> out;
    int result = 0;
    int progress = -1;
    COLORREF At(int x, int y) const { return out->pDC->GetPixel(x, y); }
};

// RenderXform's work, with the Xform and its parameters bound.
Canvas RenderRun(const std::function<int(XformContext*)>& run, const CDADC& in, int k,
                 unsigned seed, COLORREF canvasColour, int stopAt);

// Runs an Xform on in at quality k from seed, on a canvas that holds
// canvasColour before the run. With stopAt >= 0 another thread requests a
// stop once the run's percent reaches stopAt; the request is withdrawn after
// the run. However the run ends, Out must hold the pen and brush it held
// before.
template <class Params>
Canvas RenderXform(int (*run)(const Params*, XformContext*), const CDADC& in, Params p, int k,
                   unsigned seed, COLORREF canvasColour = 0, int stopAt = -1) {
    return RenderRun([&](XformContext* ctx) { return run(&p, ctx); }, in, k, seed, canvasColour,
                     stopAt);
}

// A canvas colour no Xform uses, to see what a run left alone.
inline constexpr COLORREF kUntouched = RGB(7, 8, 9);

// FNV-1a over every byte of the pixel block, padding included.
std::uint64_t PictureHash(const CDADC& picture);

// A picture of the shared test images (for example "photos/flower.jpg"),
// loaded as the program loads it; null (with the reason added to the
// current test's failures) when it does not load.
std::unique_ptr<CDADC> LoadTestImage(const char* relativePath);

// One golden picture of flower.jpg: case variant of a test's table (0 when
// it has one) drawn at quality k, and its fingerprint.
struct GoldenPicture {
    int k;
    std::uint64_t hash;
    int variant = 0;
};
// Draws each golden picture with draw(flower, picture): the run must succeed
// and give the fingerprint. The caller skips without the shared pictures.
void ExpectGoldenPictures(std::initializer_list<GoldenPicture> golden,
                          const std::function<Canvas(const CDADC&, const GoldenPicture&)>& draw);

// Applies the recipe (its Xform, seed and parameters) to in at quality k
// twice on this thread and once on each of two threads at the same time:
// every canvas must be the same picture.
void ExpectOnePictureOnAnyThread(const CFilSpec& recipe, const CDADC* in, int k);

// Leaves no stop request nor allocation limit to the next test.
class XformTest : public ::testing::Test {
  protected:
    void TearDown() override;
};
