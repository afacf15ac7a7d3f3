#include "compose/aa_mix.h"

#include <cmath>

#include "engine/error_box.h"
#include "engine/force_field.h"
#include "engine/progress.h"
#include "surface/cdadc.h"

namespace {

// Half the diagonal; W² + H² in 32-bit integers as the mix always did.
double HalfDiagonal(int width, int height) {
    const int sumOfSquares = width * width + height * height;
    return std::sqrt(static_cast<double>(sumOfSquares)) * 0.5;
}

// The base value b of the position modes at (x, y).
double PositionBase(int mode, int x, int y, int w, int h) {
    const double fx = static_cast<double>(x) / w;
    const double fy = static_cast<double>(y) / h;
    switch (mode) {
        case kMixLeftRight:
            return 1.0 - fx;
        case kMixTopBottom:
            return 1.0 - fy;
        case kMixRightLeft:
            return fx;
        case kMixBottomTop:
            return fy;
        case kMixCentreOut:
        case kMixOuterIn: {
            const double dx = x - w * 0.5;
            const double dy = y - h * 0.5;
            const double d = std::sqrt(dx * dx + dy * dy) / HalfDiagonal(w, h);
            return mode == kMixCentreOut ? 1.0 - d : d;
        }
        default: {  // the elliptical pair
            const double ex = 2.0 * std::fabs(fx - 0.5);
            const double ey = 2.0 * std::fabs(fy - 0.5);
            const double e = 1.5 * std::sqrt(ex * ex + ey * ey);
            return mode == kMixCentreOutElliptical ? 1.0 - e / 2.0 : e / 2.0;
        }
    }
}

inline BYTE Channel(double v) {
    return static_cast<BYTE>(static_cast<int>(v));
}

}  // namespace

double MixWeight(const MixSettings& mix, int x, int y, int width, int height, const BYTE* field) {
    if (mix.Mode == kMixHsv) {
        if (!field) return 0.5;
        return 1.0 - ForceAt(field, x, y, width) / 255.0;
    }
    if (mix.Mode < kMixLeftRight || mix.Mode > kMixOuterInElliptical) {
        return mix.Percent * 0.01;  // even mix, and any unknown mode
    }
    // Sharpness: t is half the percent, so the ramp narrows around b = 0.5.
    const double t = (mix.Percent / 2) * 0.01;
    const double b = PositionBase(mix.Mode, x, y, width, height);
    if (b <= t) return 1.0;
    if (b >= 1.0 - t) return 0.0;
    return ((1.0 - t) - b) / (1.0 - 2.0 * t);
}

void AAMixBlit(CDADC* draw, const CDADC* canvas, const CDADC* original, const MixSettings* finalMix,
               const MixSettings* webFade, std::atomic<int>* progress) {
    if (!draw || !canvas || !draw->pBits || !canvas->pBits) {
        ErrorBox("AAMB: missing surface");
        return;
    }
    const int w = draw->width;
    const int h = draw->height;

    // 1. The level.
    const double kx = static_cast<double>(canvas->width) / w;
    const double ky = static_cast<double>(canvas->height) / h;
    const int k = static_cast<int>(kx);

    // 2. The selection for an HSV mix.
    AreaSelection selection;
    if (finalMix) selection = finalMix->Selection;

    // 3. The original must match the result.
    if (original) {
        if (!finalMix) {
            ErrorBox("AAMB: insufficient mix data");
            return;
        }
        if (original->width != w) {
            ErrorBox("AAMB: Origin and destination\nx sizes are different...");
            return;
        }
        if (original->height != h) {
            ErrorBox("AAMB: Origin and destination\ny sizes are different...");
            return;
        }
    }

    // 4. Which steps run. A final mix needs the original to mix with.
    const bool mixOn = finalMix && finalMix->Mode != kMixModeOff && original && original->pBits;
    const bool fadeOn = webFade && webFade->Mode != kMixModeOff;

    // 5. The force field of an HSV mix, built once.
    ForceField field;
    if ((mixOn || fadeOn) && finalMix && finalMix->Mode == kMixHsv && original) {
        SetStatusText("Hsv mix analysis...");
        SetPercent(progress, 0, 100, 5, nullptr);
        field = MakeForceField(original, &selection);
        if (!field) return;
    }

    // 6. The canvas must be the result's size times 1, 2 or 4, in both directions.
    if (kx != ky) {
        ErrorBox("AAMixBlit, non square pixel error");
        return;
    }
    if (k < 1 || k > 4) {
        ErrorBox("AAMixBlit, Bad aa level (%d)", k);
        return;
    }
    if (canvas->width / w != k) {
        ErrorBox("AAMixBlit, Bad aa level, odd sizes");
        return;
    }

    // 7. Nothing to reduce or mix: a plain copy.
    if (k == 1 && !mixOn && !fadeOn) {
        SetStatusText("Output...");
        draw->pDC->BitBlt(0, 0, w, h, canvas->pDC, 0, 0, SRCCOPY);
        SetStatusText("");
        return;
    }

    // 8.
    SetStatusText(k == 1 ? "Mixing..." : "Anti-alias...");

    // k = 3 passes the checks above but has no shift: divide instead.
    const int shift = k == 1 ? 0 : k == 2 ? 2 : k == 4 ? 4 : -1;
    const int area = k * k;
    const int fadeR = webFade ? GetRValue(webFade->Colour) : 0;
    const int fadeG = webFade ? GetGValue(webFade->Colour) : 0;
    const int fadeB = webFade ? GetBValue(webFade->Colour) : 0;

    // 9. One pass over the result.
    for (int y = 0; y < h; ++y) {
        BYTE* out = draw->Row(y);
        const BYTE* orig = mixOn ? original->Row(y) : nullptr;
        for (int x = 0; x < w; ++x) {
            int sb = 0, sg = 0, sr = 0;
            for (int j = 0; j < k; ++j) {
                const BYTE* p = canvas->Row(k * y + j) + 3 * k * x;
                for (int i = 0; i < k; ++i, p += 3) {
                    sb += p[0];
                    sg += p[1];
                    sr += p[2];
                }
            }
            int nb, ng, nr;
            if (shift >= 0) {
                nb = sb >> shift;
                ng = sg >> shift;
                nr = sr >> shift;
            } else {
                nb = sb / area;
                ng = sg / area;
                nr = sr / area;
            }
            BYTE* o = out + 3 * x;
            if (mixOn) {
                const double a = MixWeight(*finalMix, x, y, w, h, field.get());
                const BYTE* q = orig + 3 * x;
                o[0] = Channel(nb * (1.0 - a) + q[0] * a);
                o[1] = Channel(ng * (1.0 - a) + q[1] * a);
                o[2] = Channel(nr * (1.0 - a) + q[2] * a);
            } else {
                o[0] = static_cast<BYTE>(nb);
                o[1] = static_cast<BYTE>(ng);
                o[2] = static_cast<BYTE>(nr);
            }
            if (fadeOn) {
                const double a = MixWeight(*webFade, x, y, w, h, field.get());
                o[0] = Channel(o[0] * a + fadeB * (1.0 - a));
                o[1] = Channel(o[1] * a + fadeG * (1.0 - a));
                o[2] = Channel(o[2] * a + fadeR * (1.0 - a));
            }
        }
        SetPercent(progress, 0, 100, 100 * y / h, nullptr);
    }

    // 10.
    SetStatusText("");
}
