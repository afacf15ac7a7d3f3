#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

#include "surface/cdadc.h"

// Single letters as a letter-scattering picture draws them: every letter
// gets its own font (cell height 8 to 160 pixels, any escapement) on a
// 2000 × 1072 canvas.
static void BM_TextScatteredLetters(benchmark::State& state) {
    CDADC canvas(2000, 1072);
    canvas.pDC->SetBkMode(TRANSPARENT);
    for (auto _ : state) {
        std::mt19937 random(1234);
        std::uniform_int_distribution<int> height(8, 160), angle(0, 3599), letter('A', 'Z'),
            x(-50, 2000), y(-50, 1072);
        for (int i = 0; i < 10000; ++i) {
            LOGFONT lf;
            lf.lfHeight = height(random);
            lf.lfEscapement = angle(random);
            lf.lfWeight = FW_NORMAL;
            std::snprintf(lf.lfFaceName, LF_FACESIZE, "Arial");
            CFont font;
            font.CreateFontIndirect(&lf);
            CFont* old = canvas.pDC->SelectObject(&font);
            canvas.pDC->SetTextColor(static_cast<COLORREF>(random() & 0xFFFFFF));
            const char c = static_cast<char>(letter(random));
            canvas.pDC->TextOut(x(random), y(random), &c, 1);
            canvas.pDC->SelectObject(old);
        }
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_TextScatteredLetters)->Unit(benchmark::kMillisecond);
