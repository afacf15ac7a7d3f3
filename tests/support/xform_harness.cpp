#include "support/xform_harness.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/crt_random.h"
#include "engine/recipe.h"
#include "support/message_capture.h"
#include "support/shared_dir.h"
#include "surface/cdadc.h"
#include "surface/image_files.h"

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

void ExpectOnePictureOnAnyThread(const CFilSpec& recipe, CDADC* in, int k) {
    const int w = in->width * k, h = in->height * k;
    CDADC draw(in->width, in->height);
    CDADC first(w, h), second(w, h), a(w, h), b(w, h);
    CFilSpec again = recipe;
    again.SetDCs(&draw, &first, in);
    ASSERT_NE(again.Apply(), 0);
    CrtSrand(1);  // the thread's own generator state must not matter
    again.SetDCs(&draw, &second, in);
    ASSERT_NE(again.Apply(), 0);
    EXPECT_EQ(PictureHash(second), PictureHash(first));

    CFilSpec recipeA = again, recipeB = again;
    recipeA.Context.Out = &a;
    recipeB.Context.Out = &b;
    std::thread ta([&] { recipeA.Apply(); });
    std::thread tb([&] { recipeB.Apply(); });
    ta.join();
    tb.join();
    EXPECT_EQ(PictureHash(a), PictureHash(first));
    EXPECT_EQ(PictureHash(b), PictureHash(first));
}
