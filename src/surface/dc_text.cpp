// TextOut and the text queries, with GDI's placement: the reference point is
// the top-left corner of the text cell (TA_TOP | TA_LEFT), and a font's
// escapement turns the whole cell counter-clockwise about that point.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "surface/dc.h"
#include "surface/font_engine.h"

namespace {

// GDI converts its floating-point positions to integers by truncation.
// Clamped far outside any surface so that huge offsets cannot overflow.
int Truncate(double v) {
    return static_cast<int>(std::clamp(v, -5e8, 5e8));
}

struct Pixels {
    BYTE* bits;
    int width;
    int height;
    int rowBytes;
    BYTE* At(int x, int y) const {
        return bits + static_cast<size_t>(height - 1 - y) * rowBytes + static_cast<size_t>(x) * 3;
    }
    void Set(int x, int y, COLORREF c) const {
        BYTE* p = At(x, y);
        p[0] = static_cast<BYTE>(GetBValue(c));
        p[1] = static_cast<BYTE>(GetGValue(c));
        p[2] = static_cast<BYTE>(GetRValue(c));
    }
};

// Fills the text cell: the rectangle 0 <= u < width, 0 <= v < height of the
// text's own frame (u along the baseline, v down), whose origin is (x, y) and
// which is turned by the escapement. A pixel is filled when its centre lies
// inside, so an unturned cell fills exactly [x, x + width) × [y, y + height).
void FillCell(const Pixels& px, int x, int y, long long width, long long height, double c, double s,
              COLORREF colour) {
    if (width <= 0 || height <= 0) return;
    const double w = static_cast<double>(width);
    const double h = static_cast<double>(height);
    // Device position of (u, v): (x + u c + v s, y - u s + v c).
    const double ox = x;
    const double oy = y;
    const double xs[4] = {ox, ox + w * c, ox + w * c + h * s, ox + h * s};
    const double ys[4] = {oy, oy - w * s, oy - w * s + h * c, oy + h * c};
    const int left = std::max(0, Truncate(std::floor(*std::min_element(xs, xs + 4))));
    const int right = std::min(px.width, Truncate(std::ceil(*std::max_element(xs, xs + 4))));
    const int top = std::max(0, Truncate(std::floor(*std::min_element(ys, ys + 4))));
    const int bottom = std::min(px.height, Truncate(std::ceil(*std::max_element(ys, ys + 4))));
    for (int py = top; py < bottom; ++py) {
        const double dy = py + 0.5 - y;
        for (int pxl = left; pxl < right; ++pxl) {
            const double dx = pxl + 0.5 - x;
            const double u = dx * c - dy * s;
            const double v = dx * s + dy * c;
            if (u >= 0 && u < w && v >= 0 && v < h) px.Set(pxl, py, colour);
        }
    }
}

// Draws a glyph image with its pen position at (penX, penY); rows outside
// [rowMin, rowMax) are left out.
void DrawGlyph(const Pixels& px, const GlyphBitmap& g, int penX, int penY, int rowMin, int rowMax,
               COLORREF colour) {
    const int x0 = penX + g.left;
    const int y0 = penY - g.top;
    const int r0 = std::max({0, -y0, rowMin - y0});
    const int r1 = std::min({g.rows, px.height - y0, rowMax - y0});
    const int c0 = std::max(0, -x0);
    const int c1 = std::min(g.width, px.width - x0);
    for (int r = r0; r < r1; ++r) {
        const std::uint8_t* row = g.bits + static_cast<size_t>(r) * g.pitch;
        for (int col = c0; col < c1; ++col) {
            if (row[col >> 3] & (0x80 >> (col & 7))) px.Set(x0 + col, y0 + r, colour);
        }
    }
}

}  // namespace

BOOL CDC::TextOut(int x, int y, const char* text, int length) {
    if (length < 0 || (!text && length > 0) || !font_) return FALSE;
    if (length == 0) return TRUE;
    const FontImpl& font = *font_;
    const TEXTMETRIC& tm = font.metrics;
    const auto* chars = reinterpret_cast<const unsigned char*>(text);

    double c = 1;
    double s = 0;
    if (font.escapement != 0) {
        const double angle = font.escapement * std::numbers::pi / 1800;
        c = std::cos(angle);
        s = std::sin(angle);
    }

    // The baseline starts one ascent below the reference point, in the
    // turned frame.
    const int baseX = Truncate(x + tm.tmAscent * s);
    const int baseY = Truncate(y + tm.tmAscent * c);

    long long total = 0;
    for (int i = 0; i < length; ++i)
        total += GlyphAdvance(font, chars[i]);

    const DibSection* dib = bitmap_;
    if (!dib || !dib->bits || dib->width < 1 || dib->height < 1) return TRUE;
    const Pixels px{dib->bits, dib->width, dib->height, dib->rowBytes};

    if (bkMode_ == OPAQUE) FillCell(px, x, y, total, tm.tmHeight, c, s, bkColour_);

    // An unturned glyph is kept inside its cell; turned ones are not clipped.
    const bool turned = font.escapement != 0;
    const int rowMin = turned ? 0 : baseY - tm.tmAscent;
    const int rowMax = turned ? px.height : baseY + tm.tmDescent;

    long long advanced = 0;  // along the baseline, pixels
    GlyphBitmap glyph;
    for (int i = 0; i < length; ++i) {
        // Each pen position is the advance so far turned and truncated.
        const int penX = baseX + Truncate(c * static_cast<double>(advanced));
        const int penY = baseY + Truncate(-s * static_cast<double>(advanced));
        if (RenderGlyph(font, chars[i], &glyph))
            DrawGlyph(px, glyph, penX, penY, rowMin, rowMax, textColour_);
        advanced += GlyphAdvance(font, chars[i]);
    }
    return TRUE;
}

SIZE CDC::GetTextExtent(const char* text, int length) const {
    if (length < 0 || (!text && length > 0) || !font_) return {};
    const auto* chars = reinterpret_cast<const unsigned char*>(text);
    long long total = 0;
    for (int i = 0; i < length; ++i)
        total += GlyphAdvance(*font_, chars[i]);
    return {static_cast<LONG>(std::min<long long>(total, 0x7FFFFFFF)), font_->metrics.tmHeight};
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const {
    if (!metrics || !font_) return FALSE;
    *metrics = font_->metrics;
    return TRUE;
}

std::string CDC::GetTextFace() const {
    return font_ ? font_->faceName : std::string();
}
