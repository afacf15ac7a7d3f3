#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "surface/cdadc.h"
#include "surface/dc.h"

namespace {

// Source pixel (x, y): red x * 16 + y, green 1, blue 2: every pixel distinct.
COLORREF SourceColour(int x, int y) {
    return RGB(x * 16 + y, 1, 2);
}

void Paint(CDADC& s) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            s.pDC->SetPixel(x, y, SourceColour(x, y));
}

std::vector<BYTE> Bytes(const CDADC& s) {
    return {s.pBits, s.pBits + s.imageBytes};
}

TEST(DcPixels, GetAndSetPixelOutsideTheSurfaceDoNothing) {
    CDADC s(5, 4);
    ASSERT_NE(s.pBits, nullptr);
    EXPECT_EQ(s.pDC->SetPixel(4, 3, 0x11223344), 0x223344u);
    EXPECT_EQ(s.pDC->GetPixel(4, 3), 0x223344u);
    EXPECT_EQ(s.Row(3)[14], 0x44);  // red is the pixel's last byte
    const std::vector<BYTE> before = Bytes(s);
    for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 4}}) {
        EXPECT_EQ(s.pDC->GetPixel(x, y), CLR_INVALID);
        EXPECT_EQ(s.pDC->SetPixel(x, y, 0xFFFFFF), CLR_INVALID);
        EXPECT_FALSE(s.pDC->SetPixelV(x, y, 0xFFFFFF));
    }
    EXPECT_EQ(Bytes(s), before);
    EXPECT_TRUE(s.pDC->SetPixelV(0, 0, 0x0000FF));
}

TEST(DcPixels, AContextWithoutPixelMemoryDrawsNothing) {
    CDC dc;  // the 1 × 1 placeholder bitmap
    CDADC src(2, 2);
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
    EXPECT_EQ(dc.SetPixel(0, 0, 0xFF), CLR_INVALID);
    dc.FillSolidRect(0, 0, 1, 1, 0xFF);
    EXPECT_TRUE(dc.BitBlt(0, 0, 1, 1, src.pDC, 0, 0, SRCCOPY));
    EXPECT_TRUE(src.pDC->StretchBlt(0, 0, 2, 2, &dc, 0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(src.pDC->GetPixel(1, 1), 0u);
}

// Every destination pixel against an independent account of a 1:1 blit.
void ExpectShiftedCopy(const CDADC& dst, const CDADC& src, int dx, int dy, int w, int h, int sx,
                       int sy) {
    for (int y = 0; y < dst.height; ++y) {
        for (int x = 0; x < dst.width; ++x) {
            const int u = x - dx + sx, v = y - dy + sy;
            const bool copied = x >= dx && x < dx + w && y >= dy && y < dy + h && u >= 0 &&
                                v >= 0 && u < src.width && v < src.height;
            EXPECT_EQ(dst.pDC->GetPixel(x, y), copied ? SourceColour(u, v) : 0u)
                << "blit at " << dx << "," << dy << " from " << sx << "," << sy << ", pixel " << x
                << "," << y;
        }
    }
}

TEST(DcPixels, BitBltClipsAtEveryEdgeOfBothPictures) {
    CDADC src(5, 4);
    Paint(src);
    struct Blit {
        int dx, dy, w, h, sx, sy;
    };
    for (Blit b : {Blit{-2, 1, 5, 4, 0, 0}, Blit{4, -3, 5, 4, 0, 0}, Blit{5, 4, 5, 4, 0, 0},
                   Blit{1, 1, 6, 6, -2, -1}, Blit{0, 0, 8, 6, 3, 2}, Blit{9, 0, 3, 3, 0, 0}}) {
        CDADC dst(7, 6);
        EXPECT_TRUE(dst.pDC->BitBlt(b.dx, b.dy, b.w, b.h, src.pDC, b.sx, b.sy, SRCCOPY));
        ExpectShiftedCopy(dst, src, b.dx, b.dy, b.w, b.h, b.sx, b.sy);
    }
}

TEST(DcPixels, BlitOntoItselfReadsTheOldPixels) {
    CDADC s(6, 1);
    Paint(s);
    s.pDC->BitBlt(1, 0, 5, 1, s.pDC, 0, 0, SRCCOPY);
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(s.pDC->GetPixel(x, 0), SourceColour(x - 1, 0));
}

// Row x of one-row pictures: which source column each destination column took.
std::vector<int> StretchedColumns(int dstX, int dstW, int srcX, int srcW, int dstWidth) {
    CDADC src(8, 1), dst(dstWidth, 1);
    Paint(src);
    dst.pDC->FillSolidRect(0, 0, dstWidth, 1, 0xFFFFFF);
    EXPECT_TRUE(dst.pDC->StretchBlt(dstX, 0, dstW, 1, src.pDC, srcX, 0, srcW, 1, SRCCOPY));
    std::vector<int> cols;
    for (int x = 0; x < dstWidth; ++x) {
        const COLORREF c = dst.pDC->GetPixel(x, 0);
        cols.push_back(c == 0xFFFFFF ? -1 : GetRValue(c) / 16);
    }
    return cols;
}

// Enlarging and reducing in both directions are held to the reference
// pictures (stretchblt, stretchblt-reduce), which have no one-pixel target,
// no mirror and no clipped source.
TEST(DcPixels, StretchMirrorsAndClipsWithoutMovingTheMapping) {
    const struct {
        int dstX, dstW, srcX, srcW, dstWidth;
        std::vector<int> columns;
    } cases[] = {
        // One pixel samples a source one pixel narrower.
        {0, 1, 0, 4, 1, {2}},
        // Width -5 from x = 5 covers pixels 5 down to 1; a negative source
        // width reads leftward from its start: the same mirror; both: none.
        {5, -5, 0, 5, 7, {-1, 4, 3, 2, 1, 0, -1}},
        {1, 5, 4, -5, 7, {-1, 4, 3, 2, 1, 0, -1}},
        {5, -5, 4, -5, 7, {-1, 0, 1, 2, 3, 4, -1}},
        // Doubling 4 pixels from x = -3: the visible part is the unclipped
        // mapping's tail; a source partly outside leaves its pixels untouched.
        {-3, 8, 0, 4, 6, {1, 2, 2, 3, 3, -1}},
        {0, 6, -1, 3, 6, {-1, -1, 0, 0, 1, 1}},
        {0, 6, 7, 3, 6, {7, 7, -1, -1, -1, -1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StretchedColumns(c.dstX, c.dstW, c.srcX, c.srcW, c.dstWidth), c.columns)
            << c.dstX << " " << c.dstW << " from " << c.srcX << " " << c.srcW;
}

TEST(DcPixels, StretchRepeatsRowsAndMirrorsVertically) {
    CDADC src(2, 3), dst(2, 6);
    Paint(src);
    // Upside down and doubled: rows 0..5 take source rows 2, 2, 1, 1, 0, 0.
    ASSERT_TRUE(dst.pDC->StretchBlt(0, 5, 2, -6, src.pDC, 0, 0, 2, 3, SRCCOPY));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(dst.pDC->GetPixel(x, y), SourceColour(x, 2 - y / 2)) << x << "," << y;
}

// OR-ing is held to the reference pictures (bitblt-or).
TEST(DcPixels, UnknownOperationsAndAbsurdExtentsAreRefused) {
    CDADC src(2, 2), dst(2, 2);
    EXPECT_FALSE(dst.pDC->BitBlt(0, 0, 1, 1, src.pDC, 0, 0, 0x00660046));
    EXPECT_FALSE(dst.pDC->BitBlt(0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(dst.pDC->StretchBlt(0, 0, 2000000000, 2, src.pDC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_TRUE(dst.pDC->StretchBlt(-100000, 0, 200000, 2, src.pDC, 0, 0, 2, 2, SRCCOPY));
}

}  // namespace
