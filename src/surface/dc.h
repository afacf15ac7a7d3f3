// The drawing context of a surface: the classic GDI drawing calls, with
// GDI's pixel rules, over a 24-bit bottom-up DIB section.
//
// Coordinates are pixels, y downward, (0, 0) the top-left pixel. Everything
// is clipped to the selected bitmap. No anti-aliasing anywhere: smooth
// results come from drawing on a larger canvas and reducing it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "surface/gdi_objects.h"
#include "surface/gdi_types.h"

// A packed DIB held in memory of known size: a BITMAPINFOHEADER (or a larger
// v4/v5 header, or an OS/2 BITMAPCOREHEADER), its colour table, its pixels.
struct PackedDibView {
    const BYTE* data = nullptr;
    size_t size = 0;
};

class CDC {
  public:
    // CreateCompatibleDC: a 1 × 1 placeholder bitmap, the stock black pen,
    // white brush and system font, white background, black text, opaque
    // background mode, alternate fill, counter-clockwise arcs.
    CDC();
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // --- objects --------------------------------------------------------
    HBITMAP SelectObject(HBITMAP bitmap);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectObject(CGdiObject* object);  // by the object's type
    CGdiObject* SelectStockObject(int index);
    CGdiObject* GetCurrentObject(UINT objectType) const;
    HBITMAP GetCurrentBitmap() const { return bitmap_; }
    const PenAttributes& Pen() const { return pen_; }
    const BrushAttributes& Brush() const { return brush_; }
    const std::shared_ptr<const FontImpl>& Font() const { return font_; }

    // --- modes and colours ---------------------------------------------------
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return stretchMode_; }
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const { return fillMode_; }
    int SetArcDirection(int direction);
    int GetArcDirection() const { return arcDirection_; }
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return textColour_; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return bkColour_; }
    int SetBkMode(int mode);
    int GetBkMode() const { return bkMode_; }

    // --- pixels (dc_pixels.cpp) ------------------------------------------------
    COLORREF GetPixel(int x, int y) const;             // CLR_INVALID outside
    COLORREF SetPixel(int x, int y, COLORREF colour);  // the colour set, or CLR_INVALID
    BOOL SetPixelV(int x, int y, COLORREF colour);
    // Also leaves the background colour set to colour, as the classic
    // implementation (SetBkColor + opaque ExtTextOut) does.
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    void FillSolidRect(const RECT& r, COLORREF colour);
    BOOL BitBlt(int x, int y, int w, int h, const CDC* src, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, const CDC* src, int xSrc, int ySrc, int wSrc,
                    int hSrc, DWORD rop);

    // --- packed DIBs (dc_dib.cpp) -----------------------------------------------
    // Any depth a BMP file can hold is converted to 24 bits. The results are
    // those of the GDI calls: the number of scan lines set, 0 on failure.
    int SetDIBitsToDevice(int x, int y, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                          UINT scanLines, PackedDibView dib, UINT usage);
    int StretchDIBits(int x, int y, int w, int h, int xSrc, int ySrc, int wSrc, int hSrc,
                      PackedDibView dib, UINT usage, DWORD rop);

    // --- lines and polygons (dc_lines.cpp) -------------------------------------
    POINT MoveTo(int x, int y);  // returns the previous position
    POINT GetCurrentPosition() const { return position_; }
    BOOL LineTo(int x, int y);
    BOOL Polyline(const POINT* points, int count);
    BOOL Polygon(const POINT* points, int count);
    BOOL Rectangle(int left, int top, int right, int bottom);

    // --- curves (dc_curves.cpp) ----------------------------------------------------
    BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
    BOOL RoundRect(int left, int top, int right, int bottom, int ellipseW, int ellipseH);
    BOOL PolyBezier(const POINT* points, int count);

    // --- text (dc_text.cpp) ----------------------------------------------------------
    BOOL TextOut(int x, int y, const char* text, int length);
    BOOL TextOut(int x, int y, std::string_view text) {
        return TextOut(x, y, text.data(), static_cast<int>(text.size()));
    }
    SIZE GetTextExtent(const char* text, int length) const;
    SIZE GetTextExtent(std::string_view text) const {
        return GetTextExtent(text.data(), static_cast<int>(text.size()));
    }
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;
    std::string GetTextFace() const;

  private:
    void Attach(CGdiObject* object);
    void Detach(CGdiObject* object);
    void Forget(CGdiObject* object);  // the object is being destroyed while selected
    friend class CGdiObject;

    DibSection placeholder_;  // the 1 × 1 bitmap of a new memory context
    HBITMAP bitmap_ = nullptr;
    CPen* penObject_ = nullptr;
    CBrush* brushObject_ = nullptr;
    CFont* fontObject_ = nullptr;
    PenAttributes pen_;
    BrushAttributes brush_;
    std::shared_ptr<const FontImpl> font_;

    POINT position_;
    int stretchMode_ = BLACKONWHITE;
    int fillMode_ = ALTERNATE;
    int arcDirection_ = AD_COUNTERCLOCKWISE;
    COLORREF textColour_ = 0x000000;
    COLORREF bkColour_ = 0xFFFFFF;
    int bkMode_ = OPAQUE;
};
