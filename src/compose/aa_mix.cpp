#include "compose/aa_mix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/error_box.h"
#include "engine/force_field.h"
#include "engine/progress.h"
#include "surface/cdadc.h"

namespace {

// The weight routine for one settings record and one result size, with
// what does not change from pixel to pixel worked out once.
class Weigher {
  public:
    Weigher(const MixSettings& mix, int width, int height, const BYTE* field)
        : mode_(mix.Mode),
          even_(mix.Percent * 0.01),
          // Sharpness: t is half the percent, so the ramp narrows around b = 0.5.
          t_((mix.Percent / 2) * 0.01),
          // Half the diagonal; W² + H² in 32-bit integers as the mix always did.
          halfDiagonal_(std::sqrt(static_cast<double>(width * width + height * height)) * 0.5),
          width_(width),
          height_(height),
          field_(field) {}

    double operator()(int x, int y) const {
        if (mode_ == kMixHsv) {
            if (!field_) return 0.5;
            return 1.0 - ForceAt(field_, x, y, width_) / 255.0;
        }
        if (mode_ < kMixLeftRight || mode_ > kMixOuterInElliptical) {
            return even_;  // even mix, and any unknown mode
        }
        const double b = PositionBase(x, y);
        if (b <= t_) return 1.0;
        if (b >= 1.0 - t_) return 0.0;
        return ((1.0 - t_) - b) / (1.0 - 2.0 * t_);
    }

  private:
    // The base value b of the position modes at (x, y).
    double PositionBase(int x, int y) const {
        const double fx = static_cast<double>(x) / width_;
        const double fy = static_cast<double>(y) / height_;
        switch (mode_) {
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
                const double dx = x - width_ * 0.5;
                const double dy = y - height_ * 0.5;
                const double d = std::sqrt(dx * dx + dy * dy) / halfDiagonal_;
                return mode_ == kMixCentreOut ? 1.0 - d : d;
            }
            default: {  // the elliptical pair
                const double ex = 2.0 * std::fabs(fx - 0.5);
                const double ey = 2.0 * std::fabs(fy - 0.5);
                const double e = 1.5 * std::sqrt(ex * ex + ey * ey);
                return mode_ == kMixCentreOutElliptical ? 1.0 - e / 2.0 : e / 2.0;
            }
        }
    }

    int mode_;
    double even_;
    double t_;
    double halfDiagonal_;
    int width_;
    int height_;
    const BYTE* field_;
};

inline BYTE Channel(double v) {
    return static_cast<BYTE>(static_cast<int>(v));
}

}  // namespace

double MixWeight(const MixSettings& mix, int x, int y, int width, int height, const BYTE* field) {
    return Weigher(mix, width, height, field)(x, y);
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

    // 9. One pass over the result. Bands of rows go to every core: each
    // result pixel depends only on its own block, so the pixels are the same
    // whatever the split.
    const Weigher mixWeight(finalMix ? *finalMix : MixSettings{}, w, h, field.get());
    const Weigher fadeWeight(webFade ? *webFade : MixSettings{}, w, h, field.get());
    std::atomic<int> rowsDone{0};
    auto mixRows = [&](int y0, int y1) {
        // The k canvas rows under a result row, summed column by column
        // (at most 4 × 255, so 16 bits hold it).
        std::vector<std::uint16_t> column(static_cast<size_t>(canvas->width) * 3);
        const size_t rowLength = column.size();
        for (int y = y0; y < y1; ++y) {
            const BYTE* first = canvas->Row(k * y);
            for (size_t i = 0; i < rowLength; ++i)
                column[i] = first[i];
            for (int j = 1; j < k; ++j) {
                const BYTE* r = canvas->Row(k * y + j);
                for (size_t i = 0; i < rowLength; ++i) {
                    column[i] = static_cast<std::uint16_t>(column[i] + r[i]);
                }
            }
            BYTE* out = draw->Row(y);
            const BYTE* orig = mixOn ? original->Row(y) : nullptr;
            const std::uint16_t* block = column.data();
            for (int x = 0; x < w; ++x, block += 3 * k) {
                int sb = 0, sg = 0, sr = 0;
                for (int i = 0; i < 3 * k; i += 3) {
                    sb += block[i];
                    sg += block[i + 1];
                    sr += block[i + 2];
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
                    const double a = mixWeight(x, y);
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
                    const double a = fadeWeight(x, y);
                    o[0] = Channel(o[0] * a + fadeB * (1.0 - a));
                    o[1] = Channel(o[1] * a + fadeG * (1.0 - a));
                    o[2] = Channel(o[2] * a + fadeR * (1.0 - a));
                }
            }
            const int done = ++rowsDone;
            SetPercent(progress, 0, 100, 100 * (done - 1) / h, nullptr);
        }
    };
    // Small pictures are not worth a thread.
    const long long canvasPixels = static_cast<long long>(canvas->width) * canvas->height;
    const int bands = canvasPixels < (1 << 20)
                          ? 1
                          : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
    std::vector<std::thread> helpers;
    for (int b = 1; b < bands; ++b) {
        try {
            helpers.emplace_back(mixRows, h * b / bands, h * (b + 1) / bands);
        } catch (const std::system_error&) {
            mixRows(h * b / bands, h * (b + 1) / bands);  // no thread to be had: do it here
        }
    }
    mixRows(0, h / bands);
    for (std::thread& t : helpers)
        t.join();
    SetPercent(progress, 0, 100, 100 * (h - 1) / h, nullptr);

    // 10.
    SetStatusText("");
}
