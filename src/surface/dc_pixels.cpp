// Pixel operations: GetPixel/SetPixel, FillSolidRect, BitBlt, StretchBlt.
#include <algorithm>
#include <cstring>
#include <vector>

#include "surface/dc.h"
#include "surface/pixel_blit.h"

namespace {

bool WithinExtent(long long v) {
    return v >= -kMaxBlitExtent && v <= kMaxBlitExtent;
}

}  // namespace

COLORREF CDC::GetPixel(int x, int y) const {
    const PixelView v = ViewOf(bitmap_);
    if (v.Empty() || x < 0 || y < 0 || x >= v.width || y >= v.height) return CLR_INVALID;
    const BYTE* p = v.Row(y) + static_cast<size_t>(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    const PixelView v = ViewOf(bitmap_);
    if (v.Empty() || x < 0 || y < 0 || x >= v.width || y >= v.height) return CLR_INVALID;
    BYTE* p = v.Row(y) + static_cast<size_t>(x) * 3;
    p[0] = static_cast<BYTE>(GetBValue(colour));
    p[1] = static_cast<BYTE>(GetGValue(colour));
    p[2] = static_cast<BYTE>(GetRValue(colour));
    return colour & 0xFFFFFF;
}

BOOL CDC::SetPixelV(int x, int y, COLORREF colour) {
    return SetPixel(x, y, colour) != CLR_INVALID;
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    FillSolidRect(RECT{x, y, static_cast<LONG>(static_cast<long long>(x) + cx),
                       static_cast<LONG>(static_cast<long long>(y) + cy)},
                  colour);
}

// An opaque ExtTextOut without text: the background colour stays set and the
// rectangle, put in order first, is filled with it.
void CDC::FillSolidRect(const RECT& r, COLORREF colour) {
    SetBkColor(colour);
    const PixelView v = ViewOf(bitmap_);
    if (v.Empty()) return;
    const long long left = std::max<long long>(0, std::min(r.left, r.right));
    const long long right = std::min<long long>(v.width, std::max(r.left, r.right));
    const long long top = std::max<long long>(0, std::min(r.top, r.bottom));
    const long long bottom = std::min<long long>(v.height, std::max(r.top, r.bottom));
    if (left >= right || top >= bottom) return;

    const BYTE pixel[3] = {static_cast<BYTE>(GetBValue(colour)),
                           static_cast<BYTE>(GetGValue(colour)),
                           static_cast<BYTE>(GetRValue(colour))};
    const size_t n = static_cast<size_t>(right - left);
    BYTE* first = v.Row(static_cast<int>(top)) + static_cast<size_t>(left) * 3;
    for (size_t i = 0; i < n; ++i)
        std::memcpy(first + i * 3, pixel, 3);
    for (long long y = top + 1; y < bottom; ++y)
        std::memcpy(v.Row(static_cast<int>(y)) + static_cast<size_t>(left) * 3, first, n * 3);
}

BOOL CDC::BitBlt(int x, int y, int w, int h, const CDC* src, int xSrc, int ySrc, DWORD rop) {
    return StretchBlt(x, y, w, h, src, xSrc, ySrc, w, h, rop);
}

// Nothing to draw (everything clipped away) still succeeds, as in GDI; bad
// arguments fail.
BOOL CDC::StretchBlt(int x, int y, int w, int h, const CDC* src, int xSrc, int ySrc, int wSrc,
                     int hSrc, DWORD rop) {
    BlitOp op;
    if (!src || !RopToOp(rop, &op)) return FALSE;
    for (long long v :
         {static_cast<long long>(x), static_cast<long long>(y), static_cast<long long>(w),
          static_cast<long long>(h), static_cast<long long>(xSrc), static_cast<long long>(ySrc),
          static_cast<long long>(wSrc), static_cast<long long>(hSrc)}) {
        if (!WithinExtent(v)) return FALSE;
    }
    // A one-pixel-wide destination samples a source one pixel narrower.
    if (w == 1 && wSrc > 1) --wSrc;
    if (h == 1 && hSrc > 1) --hSrc;

    const PixelView dst = ViewOf(bitmap_);
    PixelView from = ViewOf(src->bitmap_);
    if (dst.Empty() || from.Empty()) return TRUE;

    // Blitting a picture onto itself reads from a snapshot of it.
    std::vector<BYTE> snapshot;
    if (src->bitmap_ == bitmap_) {
        const size_t rowBytes = static_cast<size_t>(bitmap_->rowBytes);
        snapshot.resize(rowBytes * static_cast<size_t>(bitmap_->height));
        std::memcpy(snapshot.data(), bitmap_->bits, snapshot.size());
        from.top = snapshot.data() + rowBytes * static_cast<size_t>(bitmap_->height - 1);
    }
    StretchPixels(dst, x, y, w, h, from, xSrc, ySrc, wSrc, hSrc, op);
    return TRUE;
}
