#include "surface/gdi_objects.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

#include "surface/dc.h"
#include "surface/font_engine.h"

CGdiObject::~CGdiObject() {
    // Destroying an object that a context still holds: the context keeps
    // drawing with its copy of the attributes and forgets the pointer.
    for (CDC* dc : std::vector<CDC*>(selectedIn_))
        dc->Forget(this);
}

BOOL CGdiObject::DeleteObject() {
    if (stock_) return TRUE;
    if (!created_ || IsSelected()) return FALSE;
    created_ = false;
    return TRUE;
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
    if (created_) return FALSE;
    attr_ = {style, width < 0 ? 0 : width, colour & 0xFFFFFF};
    created_ = true;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    if (created_) return FALSE;
    attr_ = {false, colour & 0xFFFFFF};
    created_ = true;
    return TRUE;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lf) {
    if (created_ || !lf) return FALSE;
    impl_ = ResolveFont(*lf);
    if (!impl_) return FALSE;
    logFont_ = *lf;
    created_ = true;
    return TRUE;
}

void DibSection::Free::operator()(BYTE* p) const {
    std::free(p);
}

DibSection* CreateDIBSection(CDC*, const BITMAPINFO* bmi, UINT usage, void** bits, void*, DWORD) {
    if (bits) *bits = nullptr;
    if (!bmi || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 24 || h.biCompression != BI_RGB ||
        h.biPlanes != 1 || h.biWidth < 1 || h.biHeight < 1) {
        return nullptr;
    }
    const long long rowBytes = (static_cast<long long>(h.biWidth) * 3 + 3) / 4 * 4;
    const long long total = rowBytes * h.biHeight;
    if (total > std::numeric_limits<int>::max()) return nullptr;

    auto* dib = new (std::nothrow) DibSection;
    if (!dib) return nullptr;
    // calloc, not a zeroed new[]: a large block comes straight from the
    // system, already zero, so a camera-sized picture costs no pass of
    // zeroing before it is filled.
    dib->storage_.reset(static_cast<BYTE*>(std::calloc(static_cast<size_t>(total), 1)));
    if (!dib->storage_) {
        delete dib;
        return nullptr;
    }
    dib->width = h.biWidth;
    dib->height = h.biHeight;
    dib->rowBytes = static_cast<int>(rowBytes);
    dib->bits = dib->storage_.get();
    dib->created_ = true;
    if (bits) *bits = dib->bits;
    return dib;
}

BOOL DeleteObject(HBITMAP bitmap) {
    if (!bitmap || bitmap->IsSelected()) return FALSE;
    delete bitmap;
    return TRUE;
}

CGdiObject* GetStockObject(int index) {
    // Built once, shared by every context and thread; never deleted.
    struct Stock {
        CBrush white, black, hollow;
        CPen whitePen, blackPen, nullPen;
        CFont system;
        Stock() {
            white.CreateSolidBrush(0xFFFFFF);
            black.CreateSolidBrush(0x000000);
            hollow.attr_.hollow = true;
            hollow.created_ = true;
            whitePen.CreatePen(PS_SOLID, 0, 0xFFFFFF);
            blackPen.CreatePen(PS_SOLID, 0, 0x000000);
            nullPen.CreatePen(PS_NULL, 0, 0x000000);
            system.impl_ = SystemFontImpl();
            system.created_ = true;
            for (CGdiObject* o : std::initializer_list<CGdiObject*>{
                     &white, &black, &hollow, &whitePen, &blackPen, &nullPen, &system}) {
                o->stock_ = true;
            }
        }
    };
    static Stock stock;
    switch (index) {
        case WHITE_BRUSH:
            return &stock.white;
        case BLACK_BRUSH:
            return &stock.black;
        case NULL_BRUSH:
            return &stock.hollow;
        case WHITE_PEN:
            return &stock.whitePen;
        case BLACK_PEN:
            return &stock.blackPen;
        case NULL_PEN:
            return &stock.nullPen;
        case SYSTEM_FONT:
            return &stock.system;
        default:
            return nullptr;
    }
}
