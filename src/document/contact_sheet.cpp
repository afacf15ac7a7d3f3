#include "document/contact_sheet.h"

#include <algorithm>
#include <cstring>

#include "surface/gdi_objects.h"
#include "surface/vic_image.h"

namespace {

constexpr int kMargin = 12;        // pixels around the grid and between cells
constexpr int kLabelGap = 4;       // pixels between a picture and its label
constexpr int kLabelHeight = -13;  // a font 13 pixels high (character height)
constexpr COLORREF kGround = RGB(240, 240, 240);
constexpr COLORREF kInk = RGB(32, 32, 32);

}  // namespace

std::unique_ptr<CDADC> DrawContactSheet(const std::vector<SheetEntry>& entries, int columns) {
    if (entries.empty() || columns < 1) return nullptr;
    columns = std::min(columns, static_cast<int>(entries.size()));
    const int rows = (static_cast<int>(entries.size()) + columns - 1) / columns;

    LOGFONT lf;
    lf.lfHeight = kLabelHeight;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, "Arial", LF_FACESIZE - 1);
    CFont font;
    font.CreateFontIndirect(&lf);

    // The cells' size: measured with the font on a scratch surface first.
    int cellW = 1, pictureH = 1;
    CDADC measure(1, 1);
    CFont* previous = measure.pDC->SelectObject(&font);
    TEXTMETRIC metrics;
    measure.pDC->GetTextMetrics(&metrics);
    for (const SheetEntry& entry : entries) {
        if (entry.picture) {
            cellW = std::max(cellW, entry.picture->width);
            pictureH = std::max(pictureH, entry.picture->height);
        }
        cellW = std::max(cellW, static_cast<int>(measure.pDC->GetTextExtent(entry.label).cx));
    }
    measure.pDC->SelectObject(previous);
    const int cellH = pictureH + kLabelGap + static_cast<int>(metrics.tmHeight);

    const long long width = kMargin + static_cast<long long>(columns) * (cellW + kMargin);
    const long long height = kMargin + static_cast<long long>(rows) * (cellH + kMargin);
    if (width > kVicMaxSide || height > kVicMaxSide) return nullptr;
    auto sheet = std::make_unique<CDADC>(static_cast<int>(width), static_cast<int>(height));
    if (sheet->pBits == nullptr) return nullptr;
    CDC& dc = *sheet->pDC;
    dc.FillSolidRect(0, 0, sheet->width, sheet->height, kGround);
    previous = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kInk);
    for (size_t i = 0; i < entries.size(); ++i) {
        const SheetEntry& entry = entries[i];
        const int left = kMargin + static_cast<int>(i) % columns * (cellW + kMargin);
        const int top = kMargin + static_cast<int>(i) / columns * (cellH + kMargin);
        if (entry.picture) {
            const CDADC& picture = *entry.picture;
            dc.BitBlt(left + (cellW - picture.width) / 2, top + (pictureH - picture.height) / 2,
                      picture.width, picture.height, picture.pDC, 0, 0, SRCCOPY);
        }
        const int labelW = static_cast<int>(dc.GetTextExtent(entry.label).cx);
        dc.TextOut(left + (cellW - labelW) / 2, top + pictureH + kLabelGap, entry.label);
    }
    dc.SelectObject(previous);
    return sheet;
}
