// Pens, brushes, fonts and DIB sections: the drawing objects a CDC selects.
//
// A drawing context copies what it needs of an object when the object is
// selected, so drawing never reaches through a pointer into an object that
// its owner has since destroyed. As in GDI, an object that is still
// selected into a context cannot be deleted (DeleteObject returns FALSE).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "surface/gdi_types.h"

class CDC;

constexpr UINT OBJ_PEN = 1;
constexpr UINT OBJ_BRUSH = 2;
constexpr UINT OBJ_FONT = 6;
constexpr UINT OBJ_BITMAP = 7;

class CGdiObject {
  public:
    explicit CGdiObject(UINT type) : type_(type) {}
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    UINT GetObjectType() const { return type_; }
    // True once Create... succeeded and until DeleteObject.
    bool IsCreated() const { return created_; }
    bool IsStock() const { return stock_; }
    bool IsSelected() const { return !selectedIn_.empty(); }

    // Releases the object's resource. Refused (FALSE) while the object is
    // selected into a drawing context; stock objects are never deleted.
    BOOL DeleteObject();

  protected:
    bool created_ = false;

  private:
    friend class CDC;
    friend CGdiObject* GetStockObject(int);
    UINT type_;
    bool stock_ = false;
    std::vector<CDC*> selectedIn_;  // contexts that hold this object now
};

struct PenAttributes {
    int style = PS_SOLID;
    int width = 0;  // 0 and 1: cosmetic, one pixel wide
    COLORREF colour = 0;
};

class CPen : public CGdiObject {
  public:
    CPen() : CGdiObject(OBJ_PEN) {}
    CPen(int style, int width, COLORREF colour) : CPen() { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour);
    const PenAttributes& Attributes() const { return attr_; }

  private:
    PenAttributes attr_;
};

struct BrushAttributes {
    bool hollow = false;  // the stock null brush: fills nothing
    COLORREF colour = 0xFFFFFF;
};

class CBrush : public CGdiObject {
  public:
    CBrush() : CGdiObject(OBJ_BRUSH) {}
    explicit CBrush(COLORREF colour) : CBrush() { CreateSolidBrush(colour); }
    BOOL CreateSolidBrush(COLORREF colour);
    const BrushAttributes& Attributes() const { return attr_; }

  private:
    friend CGdiObject* GetStockObject(int);
    BrushAttributes attr_;
};

// A resolved font: face file, size and rendering state. Defined by the text
// code; shared between the CFont and the contexts that have it selected.
struct FontImpl;

class CFont : public CGdiObject {
  public:
    CFont() : CGdiObject(OBJ_FONT) {}
    BOOL CreateFontIndirect(const LOGFONT* lf);
    const LOGFONT& LogFont() const { return logFont_; }
    const std::shared_ptr<const FontImpl>& Impl() const { return impl_; }

  private:
    friend CGdiObject* GetStockObject(int);
    LOGFONT logFont_;
    std::shared_ptr<const FontImpl> impl_;
};

// A 24-bit, bottom-up DIB section: the pixel memory of a surface.
class DibSection : public CGdiObject {
  public:
    DibSection() : CGdiObject(OBJ_BITMAP) {}
    int width = 0;
    int height = 0;
    int rowBytes = 0;
    BYTE* bits = nullptr;

  private:
    friend DibSection* CreateDIBSection(CDC*, const BITMAPINFO*, UINT, void**, void*, DWORD);
    struct Free {
        void operator()(BYTE* p) const;
    };
    std::unique_ptr<BYTE[], Free> storage_;
};
using HBITMAP = DibSection*;

// Makes a 24-bit BI_RGB DIB section of the header's size (positive height:
// bottom-up), all zero. Other formats and impossible sizes give null.
DibSection* CreateDIBSection(CDC* dc, const BITMAPINFO* bmi, UINT usage, void** bits, void* section,
                             DWORD offset);

// Deletes a DIB section made by CreateDIBSection: FALSE while it is selected.
BOOL DeleteObject(HBITMAP bitmap);

// The shared stock objects (WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN,
// BLACK_PEN, NULL_PEN, SYSTEM_FONT); null for any other index.
CGdiObject* GetStockObject(int index);
