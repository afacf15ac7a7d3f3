// Lines and polygons on a 2000 × 1072 canvas: each iteration draws 10 000
// shapes whose geometry was drawn at random beforehand.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "surface/cdadc.h"

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 1072;
constexpr int kShapes = 10000;

struct Shape {
    std::vector<POINT> points;
    COLORREF colour;
};

// spread 0: vertices anywhere on the canvas; otherwise within spread pixels
// of a random centre, like the tiles and patches the Xforms draw.
std::vector<Shape> RandomShapes(int minPoints, int maxPoints, int spread) {
    std::mt19937 gen(2024);
    std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1);
    std::uniform_int_distribution<int> n(minPoints, maxPoints);
    std::uniform_int_distribution<int> d(-spread, spread);
    std::vector<Shape> shapes(kShapes);
    for (Shape& s : shapes) {
        const POINT centre{x(gen), y(gen)};
        s.points.resize(static_cast<size_t>(n(gen)));
        for (POINT& p : s.points)
            p = spread ? POINT{centre.x + d(gen), centre.y + d(gen)} : POINT{x(gen), y(gen)};
        s.colour = static_cast<COLORREF>(gen() & 0xFFFFFF);
    }
    return shapes;
}

void FilledPolygons(benchmark::State& state, int spread) {
    const std::vector<Shape> shapes = RandomShapes(4, 8, spread);
    CDADC canvas(kWidth, kHeight);
    CDC& dc = *canvas.pDC;
    dc.SetPolyFillMode(WINDING);
    for (auto _ : state) {
        for (const Shape& s : shapes) {
            CPen pen(PS_SOLID, 1, s.colour);
            CBrush brush(s.colour);
            CPen* oldPen = dc.SelectObject(&pen);
            CBrush* oldBrush = dc.SelectObject(&brush);
            dc.Polygon(s.points.data(), static_cast<int>(s.points.size()));
            dc.SelectObject(oldPen);
            dc.SelectObject(oldBrush);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kShapes);
}

void Lines(benchmark::State& state, int width) {
    const std::vector<Shape> shapes = RandomShapes(2, 2, 0);
    CDADC canvas(kWidth, kHeight);
    CDC& dc = *canvas.pDC;
    for (auto _ : state) {
        for (const Shape& s : shapes) {
            CPen pen(PS_SOLID, width, s.colour);
            CPen* old = dc.SelectObject(&pen);
            dc.MoveTo(s.points[0].x, s.points[0].y);
            dc.LineTo(s.points[1].x, s.points[1].y);
            dc.SelectObject(old);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kShapes);
}

void BM_PolygonTiles10k(benchmark::State& state) {
    FilledPolygons(state, 100);
}
void BM_PolygonsAnywhere10k(benchmark::State& state) {
    FilledPolygons(state, 0);
}
void BM_Lines10kWidth1(benchmark::State& state) {
    Lines(state, 1);
}
void BM_Lines10kWidth6(benchmark::State& state) {
    Lines(state, 6);
}

}  // namespace

BENCHMARK(BM_PolygonTiles10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolygonsAnywhere10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines10kWidth1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines10kWidth6)->Unit(benchmark::kMillisecond);
