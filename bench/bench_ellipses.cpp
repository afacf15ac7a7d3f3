// 10 000 random ellipses on a 2000 × 1072 surface: filled with a thin pen,
// outlined with a thin pen, and filled with a wide pen.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "surface/cdadc.h"

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 1072;
constexpr int kEllipses = 10000;

// Boxes of 2 to 300 pixels a side, some reaching past the edges.
std::vector<RECT> RandomBoxes() {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> cx(-50, kWidth + 50), cy(-50, kHeight + 50);
    std::uniform_int_distribution<int> size(2, 300);
    std::vector<RECT> boxes;
    for (int i = 0; i < kEllipses; ++i) {
        const int x = cx(random), y = cy(random), w = size(random), h = size(random);
        boxes.push_back({x - w / 2, y - h / 2, x - w / 2 + w, y - h / 2 + h});
    }
    return boxes;
}

void DrawEllipses(benchmark::State& state, int penWidth, bool filled) {
    const std::vector<RECT> boxes = RandomBoxes();
    CDADC surface(kWidth, kHeight);
    CPen pen(PS_SOLID, penWidth, RGB(255, 255, 0));
    CBrush brush(RGB(0, 0, 255));
    surface.pDC->SelectObject(&pen);
    if (filled)
        surface.pDC->SelectObject(&brush);
    else
        surface.pDC->SelectStockObject(NULL_BRUSH);
    for (auto _ : state) {
        for (const RECT& r : boxes)
            surface.pDC->Ellipse(r.left, r.top, r.right, r.bottom);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kEllipses);
}

void BM_EllipsesFilledThinPen(benchmark::State& state) {
    DrawEllipses(state, 1, true);
}
void BM_EllipsesOutlineThinPen(benchmark::State& state) {
    DrawEllipses(state, 1, false);
}
void BM_EllipsesFilledWidePen(benchmark::State& state) {
    DrawEllipses(state, 6, true);
}

}  // namespace

BENCHMARK(BM_EllipsesFilledThinPen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipsesOutlineThinPen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipsesFilledWidePen)->Unit(benchmark::kMillisecond);
