// Reading BMP files back: the disk cache's 24-bit pictures and 8-bit palette
// files, 2000 × 1072 (the size of the larger sample photograph).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "surface/cdadc.h"
#include "surface/dib_decode.h"

namespace {

constexpr int kW = 2000;
constexpr int kH = 1072;

// A 24-bit cache file written by the surface itself.
const std::string& CacheFile() {
    static const std::string name = [] {
        auto path = std::filesystem::temp_directory_path() / "fabulor-bench-cache.bmp";
        CDADC s(kW, kH);
        for (int i = 0; i < s.imageBytes; ++i)
            s.pBits[i] = static_cast<BYTE>(i * 7);
        s.WriteBmpFile(path.c_str());
        return path.string();
    }();
    return name;
}

void BM_LoadBmpFile24(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<CDADC> s(CDADC::LoadBmpFile(CacheFile().c_str()));
        benchmark::DoNotOptimize(s->pBits);
    }
}
BENCHMARK(BM_LoadBmpFile24)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadBmpFile24(benchmark::State& state) {
    CDADC s(kW, kH);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.ReadBmpFile(CacheFile().c_str()));
}
BENCHMARK(BM_ReadBmpFile24)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodePackedDib8(benchmark::State& state) {
    const size_t stride = (kW + 3) / 4 * 4;
    std::vector<BYTE> dib(40 + 1024 + stride * kH);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    *h = BITMAPINFOHEADER{40, kW, kH, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    for (size_t i = 40; i < dib.size(); ++i)
        dib[i] = static_cast<BYTE>(i * 13);
    DecodedDib out;
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodePackedDib({dib.data(), dib.size()}, &out));
}
BENCHMARK(BM_DecodePackedDib8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
