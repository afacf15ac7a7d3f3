#include "compose/aa_mix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

namespace {

// The weight routine for one settings record and one result size, with
// what does not change from pixel to pixel worked out once. Row gives the
// same numbers as the pixel-by-pixel call: the same operations in the same
// order, some of them taken from tables of the columns.
class Weigher {
  public:
    // columnTables: whether Row will be called (the tables cost a pass over
    // the width).
    Weigher(const MixSettings& mix, int width, int height, const BYTE* field,
            bool columnTables = true)
        : mode_(mix.Mode),
          even_(mix.Percent * 0.01),
          // Sharpness: t is half the percent, so the ramp narrows around b = 0.5.
          t_((mix.Percent / 2) * 0.01),
          // Half the diagonal; W² + H² in 32-bit integers as the mix always did.
          halfDiagonal_(std::sqrt(static_cast<double>(width * width + height * height)) * 0.5),
          width_(width),
          height_(height),
          field_(field) {
        if (!columnTables || !IsPositionMode()) return;
        columns_.resize(static_cast<size_t>(std::max(width, 0)));
        for (int x = 0; x < width; ++x)
            columns_[static_cast<size_t>(x)] = TermsOf(x);
    }

    double operator()(int x, int y) const {
        if (mode_ == kMixHsv) {
            if (!field_) return 0.5;
            return HsvWeight(ForceAt(field_, x, y, width_));
        }
        if (!IsPositionMode()) return even_;  // even mix, and any unknown mode
        return Ramp(PositionBase(x, y));
    }

    // The weights of result row y, width_ of them.
    void Row(int y, double* weights) const {
        if (mode_ == kMixHsv) {
            for (int x = 0; x < width_; ++x)
                weights[x] = field_ ? HsvWeight(ForceAt(field_, x, y, width_)) : 0.5;
            return;
        }
        if (!IsPositionMode()) {
            std::fill(weights, weights + width_, even_);
            return;
        }
        const double fy = static_cast<double>(y) / height_;
        switch (mode_) {
            case kMixTopBottom:
            case kMixBottomTop:
                std::fill(weights, weights + width_, Ramp(PositionBase(0, y)));
                return;
            case kMixLeftRight:
            case kMixRightLeft:
                for (int x = 0; x < width_; ++x)
                    weights[x] = Ramp(LinearBase(Column(x).fx, fy));
                return;
            case kMixCentreOut:
            case kMixOuterIn: {
                const double dy = y - height_ * 0.5;
                const double dy2 = dy * dy;
                for (int x = 0; x < width_; ++x)
                    weights[x] = Ramp(RadialBase(std::sqrt(Column(x).dx2 + dy2)));
                return;
            }
            default: {
                const double ey = 2.0 * std::fabs(fy - 0.5);
                const double ey2 = ey * ey;
                for (int x = 0; x < width_; ++x)
                    weights[x] = Ramp(EllipticalBase(std::sqrt(Column(x).ex2 + ey2)));
                return;
            }
        }
    }

  private:
    struct ColumnTerms {
        double fx;   // x / W
        double dx2;  // (x - W / 2)²
        double ex2;  // (2 |x / W - 1/2|)²
    };

    bool IsPositionMode() const { return mode_ >= kMixLeftRight && mode_ <= kMixOuterInElliptical; }

    static double HsvWeight(int force) { return 1.0 - force / 255.0; }

    double Ramp(double b) const {
        if (b <= t_) return 1.0;
        if (b >= 1.0 - t_) return 0.0;
        return ((1.0 - t_) - b) / (1.0 - 2.0 * t_);
    }

    ColumnTerms TermsOf(int x) const {
        ColumnTerms c;
        c.fx = static_cast<double>(x) / width_;
        const double dx = x - width_ * 0.5;
        c.dx2 = dx * dx;
        const double ex = 2.0 * std::fabs(c.fx - 0.5);
        c.ex2 = ex * ex;
        return c;
    }

    const ColumnTerms& Column(int x) const { return columns_[static_cast<size_t>(x)]; }

    double LinearBase(double fx, double fy) const {
        switch (mode_) {
            case kMixLeftRight:
                return 1.0 - fx;
            case kMixTopBottom:
                return 1.0 - fy;
            case kMixRightLeft:
                return fx;
            default:  // bottom-top
                return fy;
        }
    }

    // distance: from the centre, in pixels.
    double RadialBase(double distance) const {
        const double d = distance / halfDiagonal_;
        return mode_ == kMixCentreOut ? 1.0 - d : d;
    }

    // root: sqrt(ex² + ey²).
    double EllipticalBase(double root) const {
        const double e = 1.5 * root;
        return mode_ == kMixCentreOutElliptical ? 1.0 - e / 2.0 : e / 2.0;
    }

    // The base value b of the position modes at (x, y).
    double PositionBase(int x, int y) const {
        const ColumnTerms c = TermsOf(x);
        const double fy = static_cast<double>(y) / height_;
        switch (mode_) {
            case kMixCentreOut:
            case kMixOuterIn: {
                const double dy = y - height_ * 0.5;
                return RadialBase(std::sqrt(c.dx2 + dy * dy));
            }
            case kMixCentreOutElliptical:
            case kMixOuterInElliptical: {
                const double ey = 2.0 * std::fabs(fy - 0.5);
                return EllipticalBase(std::sqrt(c.ex2 + ey * ey));
            }
            default:
                return LinearBase(c.fx, fy);
        }
    }

    int mode_;
    double even_;
    double t_;
    double halfDiagonal_;
    int width_;
    int height_;
    const BYTE* field_;
    std::vector<ColumnTerms> columns_;  // the position modes' column terms
};

inline BYTE Channel(double v) {
    return static_cast<BYTE>(static_cast<int>(v));
}

// Sums the k canvas rows under result row y, byte by byte, into column (at
// most 4 × 255 each, so 16 bits hold them).
void SumRows(const CDADC& canvas, int k, int y, std::uint16_t* column) {
    const size_t length = static_cast<size_t>(canvas.width) * 3;
    const BYTE* first = canvas.Row(k * y);
    for (size_t i = 0; i < length; ++i)
        column[i] = first[i];
    for (int j = 1; j < k; ++j) {
        const BYTE* r = canvas.Row(k * y + j);
        for (size_t i = 0; i < length; ++i)
            column[i] = static_cast<std::uint16_t>(column[i] + r[i]);
    }
}

// Result row y as the average of each k x k block of the canvas. For k = 2
// and 4, K is k as a constant, so that the block loops unroll and the
// division is a shift; K = 0 serves any other level (3 passes the size
// checks) with a division.
template <int K>
void ReduceRow(const CDADC& canvas, int k, int y, int w, std::uint16_t* column, BYTE* out) {
    const int level = K != 0 ? K : k;
    SumRows(canvas, level, y, column);
    const int area = level * level;
    const std::uint16_t* block = column;
    for (int x = 0; x < w; ++x, block += 3 * level, out += 3) {
        int sum[3] = {0, 0, 0};
        for (int i = 0; i < 3 * level; i += 3) {
            sum[0] += block[i];
            sum[1] += block[i + 1];
            sum[2] += block[i + 2];
        }
        for (int c = 0; c < 3; ++c) {
            if constexpr (K == 2 || K == 4) {
                out[c] = static_cast<BYTE>(sum[c] >> (K == 2 ? 2 : 4));
            } else {
                out[c] = static_cast<BYTE>(sum[c] / area);
            }
        }
    }
}

}  // namespace

double MixWeight(const MixSettings& mix, int x, int y, int width, int height, const BYTE* field) {
    return Weigher(mix, width, height, field, false)(x, y);
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

    const int fadeR = webFade ? GetRValue(webFade->Colour) : 0;
    const int fadeG = webFade ? GetGValue(webFade->Colour) : 0;
    const int fadeB = webFade ? GetBValue(webFade->Colour) : 0;

    // 9. One pass over the result. Bands of rows go to every core: each
    // result pixel depends only on its own block, so the pixels are the same
    // whatever the split.
    const Weigher mixWeight(finalMix ? *finalMix : MixSettings{}, w, h, field.get(), mixOn);
    const Weigher fadeWeight(webFade ? *webFade : MixSettings{}, w, h, field.get(), fadeOn);
    std::atomic<int> rowsDone{0};
    auto mixRows = [&](int y0, int y1) {
        std::vector<std::uint16_t> column(static_cast<size_t>(canvas->width) * 3);
        std::vector<double> weights(static_cast<size_t>(w));
        for (int y = y0; y < y1; ++y) {
            BYTE* out = draw->Row(y);
            switch (k) {
                case 1:
                    std::memcpy(out, canvas->Row(y), static_cast<size_t>(w) * 3);
                    break;
                case 2:
                    ReduceRow<2>(*canvas, k, y, w, column.data(), out);
                    break;
                case 4:
                    ReduceRow<4>(*canvas, k, y, w, column.data(), out);
                    break;
                default:
                    ReduceRow<0>(*canvas, k, y, w, column.data(), out);
                    break;
            }
            if (mixOn) {
                mixWeight.Row(y, weights.data());
                const BYTE* q = original->Row(y);
                for (int x = 0; x < w; ++x) {
                    const double a = weights[static_cast<size_t>(x)];
                    BYTE* o = out + 3 * x;
                    const BYTE* p = q + 3 * x;
                    o[0] = Channel(o[0] * (1.0 - a) + p[0] * a);
                    o[1] = Channel(o[1] * (1.0 - a) + p[1] * a);
                    o[2] = Channel(o[2] * (1.0 - a) + p[2] * a);
                }
            }
            if (fadeOn) {
                fadeWeight.Row(y, weights.data());
                for (int x = 0; x < w; ++x) {
                    const double a = weights[static_cast<size_t>(x)];
                    BYTE* o = out + 3 * x;
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
