#include "surface/dc.h"

#include <algorithm>
#include <utility>

CDC::CDC() {
    placeholder_.width = 1;
    placeholder_.height = 1;
    placeholder_.rowBytes = 4;
    placeholder_.created_ = true;
    // A 1 × 1 bitmap that draws nowhere: it has no pixel memory.
    bitmap_ = &placeholder_;
    SelectStockObject(BLACK_PEN);
    SelectStockObject(WHITE_BRUSH);
    SelectStockObject(SYSTEM_FONT);
}

CDC::~CDC() {
    for (CGdiObject* o :
         std::initializer_list<CGdiObject*>{bitmap_, penObject_, brushObject_, fontObject_}) {
        if (o) Detach(o);
    }
}

void CDC::Attach(CGdiObject* object) {
    if (object && !object->stock_ && object != &placeholder_) object->selectedIn_.push_back(this);
}

void CDC::Detach(CGdiObject* object) {
    if (!object || object->stock_ || object == &placeholder_) return;
    auto& v = object->selectedIn_;
    auto it = std::find(v.begin(), v.end(), this);
    if (it != v.end()) v.erase(it);
}

void CDC::Forget(CGdiObject* object) {
    Detach(object);
    if (bitmap_ == object) bitmap_ = &placeholder_;
    if (penObject_ == object) penObject_ = nullptr;
    if (brushObject_ == object) brushObject_ = nullptr;
    if (fontObject_ == object) fontObject_ = nullptr;
}

HBITMAP CDC::SelectObject(HBITMAP bitmap) {
    if (!bitmap || !bitmap->IsCreated()) return nullptr;
    // A bitmap can be selected into one context at a time.
    if (bitmap != bitmap_ && bitmap->IsSelected()) return nullptr;
    HBITMAP old = bitmap_;
    Detach(old);
    bitmap_ = bitmap;
    Attach(bitmap);
    return old;
}

CPen* CDC::SelectObject(CPen* pen) {
    if (!pen || !pen->IsCreated()) return nullptr;
    CPen* old = penObject_;
    Detach(old);
    penObject_ = pen;
    pen_ = pen->Attributes();
    Attach(pen);
    return old;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (!brush || !brush->IsCreated()) return nullptr;
    CBrush* old = brushObject_;
    Detach(old);
    brushObject_ = brush;
    brush_ = brush->Attributes();
    Attach(brush);
    return old;
}

CFont* CDC::SelectObject(CFont* font) {
    if (!font || !font->IsCreated()) return nullptr;
    CFont* old = fontObject_;
    Detach(old);
    fontObject_ = font;
    font_ = font->Impl();
    Attach(font);
    return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (!object) return nullptr;
    switch (object->GetObjectType()) {
        case OBJ_PEN:
            return SelectObject(static_cast<CPen*>(object));
        case OBJ_BRUSH:
            return SelectObject(static_cast<CBrush*>(object));
        case OBJ_FONT:
            return SelectObject(static_cast<CFont*>(object));
        case OBJ_BITMAP:
            return SelectObject(static_cast<HBITMAP>(object));
        default:
            return nullptr;
    }
}

CGdiObject* CDC::SelectStockObject(int index) {
    return SelectObject(GetStockObject(index));
}

CGdiObject* CDC::GetCurrentObject(UINT objectType) const {
    switch (objectType) {
        case OBJ_PEN:
            return penObject_;
        case OBJ_BRUSH:
            return brushObject_;
        case OBJ_FONT:
            return fontObject_;
        case OBJ_BITMAP:
            return bitmap_;
        default:
            return nullptr;
    }
}

int CDC::SetStretchBltMode(int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(stretchMode_, mode);
}

int CDC::SetPolyFillMode(int mode) {
    if (mode != ALTERNATE && mode != WINDING) return 0;
    return std::exchange(fillMode_, mode);
}

int CDC::SetArcDirection(int direction) {
    if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE) return 0;
    return std::exchange(arcDirection_, direction);
}

COLORREF CDC::SetTextColor(COLORREF colour) {
    return std::exchange(textColour_, colour & 0xFFFFFF);
}

COLORREF CDC::SetBkColor(COLORREF colour) {
    return std::exchange(bkColour_, colour & 0xFFFFFF);
}

int CDC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return std::exchange(bkMode_, mode);
}
