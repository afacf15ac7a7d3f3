// StretchBlt of a full-size picture (2000 × 1072) to half and to double size
// in COLORONCOLOR mode, as the mix, the thumbnails and the view do.
#include <benchmark/benchmark.h>

#include "surface/cdadc.h"

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 1072;

void FillPicture(CDADC& s) {
    for (int y = 0; y < s.height; ++y) {
        BYTE* p = s.Row(y);
        for (int x = 0; x < s.width; ++x, p += 3) {
            p[0] = static_cast<BYTE>(x ^ y);
            p[1] = static_cast<BYTE>(y * 3);
            p[2] = static_cast<BYTE>(x * 5);
        }
    }
}

void Stretch(benchmark::State& state, int dstWidth, int dstHeight) {
    CDADC src(kWidth, kHeight), dst(dstWidth, dstHeight);
    if (!src.pBits || !dst.pBits) {
        state.SkipWithError("could not create the surfaces");
        return;
    }
    FillPicture(src);
    for (auto _ : state) {
        dst.pDC->StretchBlt(0, 0, dstWidth, dstHeight, src.pDC, 0, 0, kWidth, kHeight, SRCCOPY);
        benchmark::DoNotOptimize(dst.pBits);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(dstWidth) * dstHeight);
}

void BM_StretchBltHalf(benchmark::State& state) {
    Stretch(state, kWidth / 2, kHeight / 2);
}
BENCHMARK(BM_StretchBltHalf)->Unit(benchmark::kMillisecond);

void BM_StretchBltDouble(benchmark::State& state) {
    Stretch(state, kWidth * 2, kHeight * 2);
}
BENCHMARK(BM_StretchBltDouble)->Unit(benchmark::kMillisecond);

}  // namespace
