#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "surface/cdadc.h"
#include "tools/gdi_script.h"

namespace {

constexpr COLORREF kInk = RGB(255, 255, 255);
constexpr COLORREF kPaper = RGB(0, 0, 255);

int CountOf(const CDADC& s, COLORREF colour) {
    int n = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            n += SurfacePixel(s, x, y) == colour;
    return n;
}

struct Arial {
    explicit Arial(LONG height, LONG escapement = 0, LONG weight = FW_NORMAL,
                   const char* face = "Arial") {
        LOGFONT lf;
        lf.lfHeight = height;
        lf.lfEscapement = escapement;
        lf.lfWeight = weight;
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        created = font.CreateFontIndirect(&lf);
    }
    CFont font;
    BOOL created = FALSE;
};

void Prepare(CDADC& s, CFont* font, int bkMode) {
    s.pDC->SelectObject(font);
    s.pDC->SetTextColor(kInk);
    s.pDC->SetBkColor(kPaper);
    s.pDC->SetBkMode(bkMode);
}

}  // namespace

// Cell and em heights are held to the reference metrics in gdi_oracle_test.cpp.
TEST(TextMetrics, ZeroHeightAndAnUnknownFaceFallBackToDefaults) {
    Arial zero(0), missing(30, 0, FW_NORMAL, "No Such Face 7");
    ASSERT_TRUE(zero.created && missing.created);
    CDADC s(60, 40);
    Prepare(s, &zero.font, TRANSPARENT);
    TEXTMETRIC tm;
    s.pDC->GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 16);
    Prepare(s, &missing.font, TRANSPARENT);
    EXPECT_FALSE(s.pDC->GetTextFace().empty());
    EXPECT_TRUE(s.pDC->TextOut(2, 2, "Hm"));
    EXPECT_GT(CountOf(s, kInk), 20);
}

TEST(TextOut, OpaqueFillsTheCellAndTransparentDoesNot) {
    Arial font(20);
    CDADC s(80, 40);
    Prepare(s, &font.font, OPAQUE);
    const SIZE ext = s.pDC->GetTextExtent("Ab");
    ASSERT_TRUE(s.pDC->TextOut(10, 7, "Ab"));
    // Background and ink together fill exactly the cell.
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const bool inside = x >= 10 && x < 10 + ext.cx && y >= 7 && y < 7 + ext.cy;
            const COLORREF c = SurfacePixel(s, x, y);
            ASSERT_EQ(inside, c == kPaper || c == kInk) << x << "," << y;
        }
    CDADC t(80, 40);
    Prepare(t, &font.font, TRANSPARENT);
    t.pDC->TextOut(10, 7, "Ab");
    EXPECT_EQ(CountOf(t, kPaper), 0);
    EXPECT_EQ(CountOf(t, kInk), CountOf(s, kInk));
}

// Text that leaves the surface draws the same pixels as on a larger one,
// and writes nothing outside (the sanitizers see any stray write).
TEST(TextOut, ClipsAtTheSurfaceEdges) {
    for (LONG esc : {0, 900, 1800}) {
        SCOPED_TRACE(esc);
        Arial font(40, esc);
        CDADC small(30, 20);
        CDADC large(230, 220);
        Prepare(small, &font.font, OPAQUE);
        Prepare(large, &font.font, OPAQUE);
        for (auto [x, y] : {std::pair{-12, -9}, {18, 8}, {-40, 15}, {25, -30}}) {
            small.pDC->TextOut(x, y, "Wq@");
            large.pDC->TextOut(x + 100, y + 100, "Wq@");
        }
        int mismatches = 0;
        for (int y = 0; y < small.height; ++y)
            for (int x = 0; x < small.width; ++x)
                mismatches += SurfacePixel(small, x, y) != SurfacePixel(large, x + 100, y + 100);
        EXPECT_EQ(mismatches, 0);
    }
    // Turned text puts its baseline by truncation, which depends on the sign
    // of the position, so only its safety is checked here.
    Arial turned(40, 450);
    CDADC edge(30, 20);
    Prepare(edge, &turned.font, OPAQUE);
    for (auto [x, y] : {std::pair{-12, -9}, {18, 8}, {-40, 15}, {25, -30}, {5, 40}})
        EXPECT_TRUE(edge.pDC->TextOut(x, y, "Wq@"));
    CDADC tiny(1, 1);
    Arial big(3000);
    Prepare(tiny, &big.font, OPAQUE);
    EXPECT_TRUE(tiny.pDC->TextOut(-500, -500, "M"));
}

TEST(TextOut, RefusesBadArgumentsAndDrawsNothingForEmptyText) {
    CDADC s(20, 20);
    EXPECT_FALSE(s.pDC->TextOut(0, 0, "abc", -1));
    EXPECT_FALSE(s.pDC->TextOut(0, 0, nullptr, 3));
    EXPECT_TRUE(s.pDC->TextOut(0, 0, "abc", 0));
    EXPECT_EQ(CountOf(s, RGB(0, 0, 0)), 400);
    EXPECT_EQ(s.pDC->GetTextExtent(nullptr, 2).cx, 0);
    EXPECT_EQ(s.pDC->GetTextExtent("", 0).cy, 16);
    EXPECT_FALSE(s.pDC->GetTextMetrics(nullptr));
    // A context without a bitmap of its own draws nowhere but succeeds.
    CDC bare;
    EXPECT_TRUE(bare.TextOut(0, 0, "abc"));
}

TEST(TextOut, ThreadsDrawingAtOnceGetTheSamePicture) {
    // Each thread its own font, as each run makes its own: a font object
    // keeps the list of the contexts it is selected into, unguarded.
    auto draw = [](CDADC* s) {
        Arial font(33, 300);
        Prepare(*s, &font.font, OPAQUE);
        for (int i = 0; i < 40; ++i)
            s->pDC->TextOut(i * 3, 10 + i, "Fallen");
    };
    CDADC alone(200, 100);
    draw(&alone);
    CDADC a(200, 100), b(200, 100);
    std::thread ta(draw, &a), tb(draw, &b);
    ta.join();
    tb.join();
    EXPECT_EQ(std::memcmp(a.pBits, alone.pBits, static_cast<size_t>(alone.imageBytes)), 0);
    EXPECT_EQ(std::memcmp(b.pBits, alone.pBits, static_cast<size_t>(alone.imageBytes)), 0);
}
