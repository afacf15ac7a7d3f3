#include "engine/toolkit.h"

#include <cmath>
#include <cstring>

#include "engine/crt_random.h"
#include "engine/xform_context.h"
#include "util/error_box.h"

int RandomInt(int lo, int hi) {
    int r = CrtRand();
    // 32766 at most, so that hi + 1 can never come out.
    if (r == kCrtRandMax) r = kCrtRandMax - 1;
    // In 64 bits: a wide range times r would overflow an int.
    const long long span = static_cast<long long>(hi) - lo + 1;
    return static_cast<int>(lo + span * r / kCrtRandMax);
}

double RandomReal(double lo, double hi) {
    // The factor is 1/32767, so both ends can occur.
    return lo + CrtRand() * 3.051850947599719e-5 * (hi - lo);
}

bool RandomChance() {
    return RandomInt(1, 100) > 50;
}

COLORREF RandomColour() {
    const int r = RandomInt(0, 255);
    const int g = RandomInt(0, 255);
    const int b = RandomInt(0, 255);
    return RGB(r, g, b);
}

void RandomColourPair(COLORREF* colour, COLORREF* opposite) {
    const int g = RandomInt(0, 255);
    const int b = RandomInt(0, 255);
    const int r = RandomInt(0, 255);
    const COLORREF c = RGB(r, g, b);
    if (colour) *colour = c;
    if (opposite) *opposite = OppositeColour(c);
}

COLORREF OppositeColour(COLORREF c) {
    double h = 0, s = 0, v = 0;
    RgbToHsv(GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0, &h, &s, &v);
    h += 180;
    if (h >= 360) h -= 360;
    double r = 0, g = 0, b = 0;
    HsvToRgb(h, 1 - s, 1 - v, &r, &g, &b);
    return RGB(ChannelFromDouble(r * 255), ChannelFromDouble(g * 255), ChannelFromDouble(b * 255));
}

COLORREF JitterColour(COLORREF c, double f) {
    if (!(f >= 0 && f <= 1)) return c;
    const int r = ChannelFromDouble(GetRValue(c) * RandomReal(1 - f, 1 + f));
    const int g = ChannelFromDouble(GetGValue(c) * RandomReal(1 - f, 1 + f));
    const int b = ChannelFromDouble(GetBValue(c) * RandomReal(1 - f, 1 + f));
    return RGB(r, g, b);
}

COLORREF BlendColours(double f, COLORREF a, COLORREF b) {
    return RGB(ChannelFromDouble(GetRValue(a) * f + GetRValue(b) * (1 - f)),
               ChannelFromDouble(GetGValue(a) * f + GetGValue(b) * (1 - f)),
               ChannelFromDouble(GetBValue(a) * f + GetBValue(b) * (1 - f)));
}

COLORREF ScaleColour(COLORREF c, double f) {
    return RGB(ChannelFromDouble(GetRValue(c) * f), ChannelFromDouble(GetGValue(c) * f),
               ChannelFromDouble(GetBValue(c) * f));
}

int ChannelFromDouble(double x) {
    // A factor outside 0..1 must not wrap a channel round to another colour.
    if (!(x > 0)) return 0;
    if (x >= 255) return 255;
    return static_cast<int>(x);
}

void RgbToHsv(double r, double g, double b, double* h, double* s, double* v) {
    const double mx = std::fmax(r, std::fmax(g, b));
    const double mn = std::fmin(r, std::fmin(g, b));
    double hue = 0;
    const double sat = mx != 0 ? (mx - mn) / mx : 0;
    if (sat != 0) {
        const double d = mx - mn;
        const double rc = (mx - r) / d;
        const double gc = (mx - g) / d;
        const double bc = (mx - b) / d;
        if (r == mx)
            hue = bc - gc;
        else if (g == mx)
            hue = 2 + rc - bc;
        else
            hue = 4 + gc - rc;
        hue *= 60;
        if (hue < 0)
            hue += 360;
        else if (hue >= 360)
            hue -= 360;
    }
    if (h) *h = hue;
    if (s) *s = sat;
    if (v) *v = mx;
}

void HsvToRgb(double h, double s, double v, double* r, double* g, double* b) {
    double red = v, green = v, blue = v;
    if (s != 0) {
        const double f = h * (1.0 / 60);
        const double whole = std::trunc(f);
        // Only the sextant matters; a hue far out of range (or NaN) takes the
        // fallback below instead of an undefined conversion.
        const int i = std::fabs(whole) < 1e6 ? static_cast<int>(whole) : -1;
        const double frac = f - whole;
        const double p = (1 - s) * v;
        const double q = (1 - s * frac) * v;
        const double t = (1 - (1 - frac) * s) * v;
        switch (i) {
            case 0:
            case 6:
                red = v, green = t, blue = p;
                break;
            case 1:
                red = q, green = v, blue = p;
                break;
            case 2:
                red = p, green = v, blue = t;
                break;
            case 3:
                red = p, green = q, blue = v;
                break;
            case 4:
                red = t, green = p, blue = v;
                break;
            case 5:
                red = v, green = p, blue = q;
                break;
            default:
                ErrorBox("HsvToRgb(%6.3f,%6.3f,%6.3f) = (%d)\n", h, s, v, i);
                red = v, green = p, blue = q;
                break;
        }
    }
    if (r) *r = red;
    if (g) *g = green;
    if (b) *b = blue;
}

void Background::RandomBackground(double factor, int imagePercent) {
    const int r = RandomInt(0, 100);
    if (r >= imagePercent) {
        useImage = 0;
        colour = ScaleColour(RandomColour(), factor);
    } else {
        useImage = 1;
    }
}

void PaintBackground(CDADC* out, const CDADC* in, const Background* bg) {
    if (!out || !out->pDC || !bg) return;
    if (!bg->useImage) {
        out->pDC->FillSolidRect(0, 0, out->width, out->height, bg->colour);
        return;
    }
    if (!in || !in->pDC) return;
    out->pDC->SetStretchBltMode(COLORONCOLOR);
    out->pDC->StretchBlt(0, 0, out->width, out->height, in->pDC, 0, 0, in->width, in->height,
                         SRCCOPY);
}

namespace {
// Out's size over In's in whole times, or 0 when the two directions differ
// or a surface is missing or empty.
int WholeScale(const XformContext* context) {
    if (!context || !context->In || !context->Out) return 0;
    const CDADC& in = *context->In;
    const CDADC& out = *context->Out;
    if (in.width <= 0 || in.height <= 0) return 0;
    const int kx = out.width / in.width;
    const int ky = out.height / in.height;
    return kx == ky ? kx : 0;
}

bool IsQualityFactor(int k) {
    return k == 1 || k == 2 || k == 4;
}
}  // namespace

bool IsContextValid(const XformContext* context) {
    return context && context->Draw && IsQualityFactor(WholeScale(context));
}

int OutputScale(const XformContext* context) {
    const int k = WholeScale(context);
    return IsQualityFactor(k) ? k : 1;
}

void DrawCentredLine(const CentredLine* line, CDC* dc) {
    if (!line || !dc) return;
    int hx = static_cast<int>(std::sin(line->angle) * line->length) / 2;
    const int hy = static_cast<int>(std::cos(line->angle) * line->length) / 2;
    if (hx == 0 || hy == 0) hx += 1;
    dc->MoveTo(line->x - hx, line->y - hy);
    dc->LineTo(line->x + hx, line->y + hy);
}

double AngleBetween(POINT p0, POINT p1) {
    return std::atan2(static_cast<double>(p1.y - p0.y), static_cast<double>(p0.x - p1.x));
}

void SetPenAndBrush(CPen** pen, int penStyle, int penWidth, COLORREF penColour, CBrush** brush,
                    COLORREF brushColour, CDC* dc) {
    if (!pen || !brush || !dc) return;
    CPen* previousPen = *pen;
    CBrush* previousBrush = *brush;

    *pen = new CPen;
    (*pen)->CreatePen(penStyle, penWidth, penColour);
    dc->SelectObject(*pen);

    *brush = new CBrush;
    (*brush)->CreateSolidBrush(brushColour);
    dc->SelectObject(*brush);

    if (previousPen) {
        if (!previousPen->DeleteObject()) ErrorBox("SPAB:Could not delete a pen");
        delete previousPen;
    }
    if (previousBrush) {
        if (!previousBrush->DeleteObject()) ErrorBox("SPAB:Could not delete a brush");
        delete previousBrush;
    }
}

void RestorePenAndBrush(CDC* dc, CGdiObject* savedPen, CGdiObject* savedBrush, CPen** pen,
                        CBrush** brush) {
    if (dc) {
        dc->SelectObject(savedPen ? savedPen : GetStockObject(BLACK_PEN));
        dc->SelectObject(savedBrush ? savedBrush : GetStockObject(WHITE_BRUSH));
    }
    if (pen && *pen) {
        if (!(*pen)->DeleteObject()) ErrorBox("SPAB:Could not delete a pen");
        delete *pen;
        *pen = nullptr;
    }
    if (brush && *brush) {
        if (!(*brush)->DeleteObject()) ErrorBox("SPAB:Could not delete a brush");
        delete *brush;
        *brush = nullptr;
    }
}

void PaintBlockRow(CDADC& out, int y, int k, const COLORREF* colours, int width) {
    BYTE* first = out.Row(y * k);
    BYTE* p = first;
    for (int x = 0; x < width; ++x) {
        const auto b = static_cast<BYTE>(GetBValue(colours[x]));
        const auto g = static_cast<BYTE>(GetGValue(colours[x]));
        const auto r = static_cast<BYTE>(GetRValue(colours[x]));
        for (int i = 0; i < k; ++i) {
            *p++ = b;
            *p++ = g;
            *p++ = r;
        }
    }
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(k) * 3;
    for (int j = 1; j < k; ++j)
        std::memcpy(out.Row(y * k + j), first, bytes);
}
