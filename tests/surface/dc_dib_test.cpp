#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dib_builder.h"
#include "surface/cdadc.h"
#include "surface/dc.h"

namespace {

// Picture pixel (x, y), y from the top: red 40x + y, green 7, blue 9.
COLORREF Colour(int x, int y) {
    return RGB(40 * x + y, 7, 9);
}

// A 24-bit bottom-up packed DIB of the picture (scan 0 is the bottom row).
std::vector<BYTE> PictureDib(int w, int h) {
    const size_t row = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    std::vector<BYTE> bits(row * static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = bits.data() + row * static_cast<size_t>(h - 1 - y) + 3 * x;
            p[0] = static_cast<BYTE>(GetBValue(Colour(x, y)));
            p[1] = static_cast<BYTE>(GetGValue(Colour(x, y)));
            p[2] = static_cast<BYTE>(GetRValue(Colour(x, y)));
        }
    return PackedDib({.width = w, .height = h, .bits = bits});
}

PackedDibView View(const std::vector<BYTE>& v) {
    return {v.data(), v.size()};
}

TEST(DcDib, SetDIBitsToDeviceCountsTheSourceFromTheBottom) {
    const std::vector<BYTE> dib = PictureDib(3, 4);
    CDADC s(5, 5);
    // The 2 × 2 block whose lower-left corner is one row above the bottom.
    EXPECT_EQ(s.pDC->SetDIBitsToDevice(1, 1, 2, 2, 1, 1, 0, 4, View(dib), DIB_RGB_COLORS), 3);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool in = x >= 1 && x < 3 && y >= 1 && y < 3;
            // Destination row 1 is the block's top: picture row 4 - 1 - (1 + 2 - 1) = 1.
            EXPECT_EQ(s.pDC->GetPixel(x, y), in ? Colour(x, y) : 0u) << x << "," << y;
        }
    }
}

TEST(DcDib, SetDIBitsToDeviceRefusesWhatItCannotDraw) {
    const std::vector<BYTE> dib = PictureDib(3, 4);
    CDADC s(3, 4);
    EXPECT_EQ(s.pDC->SetDIBitsToDevice(0, 0, 3, 4, 0, 0, 4, 1, View(dib), DIB_RGB_COLORS), 0);
    EXPECT_EQ(s.pDC->SetDIBitsToDevice(0, 0, 3, 4, 0, 0, 0, 0, View(dib), DIB_RGB_COLORS), 0);
    EXPECT_EQ(s.pDC->SetDIBitsToDevice(0, 0, 3, 4, 0, 0, 0, 4, View(dib), 1), 0);
    EXPECT_EQ(s.pDC->SetDIBitsToDevice(0, 0, 3, 4, 0, 0, 0, 4, PackedDibView{dib.data(), 20},
                                       DIB_RGB_COLORS),
              0);
    EXPECT_EQ(s.pDC->GetPixel(0, 0), 0u);
}

// StretchDIBits and StretchBlt share one mapping: the same picture stretched
// both ways gives the same pixels, mirrored and clipped alike.
TEST(DcDib, StretchDIBitsSamplesLikeStretchBlt) {
    const int w = 5, h = 4;
    const std::vector<BYTE> dib = PictureDib(w, h);
    CDADC picture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.pDC->SetPixel(x, y, Colour(x, y));
    struct Call {
        int x, y, w, h, xs, ys, ws, hs;
    };
    for (Call c : {Call{0, 0, 13, 9, 0, 0, 5, 4}, Call{-2, 1, 3, 2, 1, 0, 4, 3},
                   Call{12, 0, -11, 7, 0, 0, 5, 4}, Call{0, 8, 9, -9, 1, 1, 3, 3}}) {
        CDADC a(12, 8), b(12, 8);
        // StretchDIBits' source y counts up from the bottom row.
        const int ysFromBottom = h - c.ys - c.hs;
        EXPECT_EQ(a.pDC->StretchDIBits(c.x, c.y, c.w, c.h, c.xs, ysFromBottom, c.ws, c.hs,
                                       View(dib), DIB_RGB_COLORS, SRCCOPY),
                  h);
        b.pDC->StretchBlt(c.x, c.y, c.w, c.h, picture.pDC, c.xs, c.ys, c.ws, c.hs, SRCCOPY);
        EXPECT_EQ(std::memcmp(a.pBits, b.pBits, static_cast<size_t>(a.imageBytes)), 0)
            << "call at " << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
}

}  // namespace
