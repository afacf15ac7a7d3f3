// Font resolution through fontconfig and glyphs through FreeType, with the
// size and metric rules of a FreeType-based GDI.
//
// Threads: faces are resolved under one process-wide lock and described by
// immutable FaceInfo records that live for the whole run. FreeType objects
// are never shared: every thread opens its own library, faces and sizes on
// first use and keeps them until it ends.
#include "surface/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRIGONOMETRY_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

namespace {

// Heights beyond this many pixels per em are refused and drawn at 1 pixel.
constexpr long kMaxPpem = 65535;
// Glyph images larger than this on either side are not rendered.
constexpr long kMaxGlyphPixels = 16384;

// Advance widths of the classic bold "System" font for 0x20..0x7E.
constexpr std::uint8_t kSystemAdvances[95] = {
    4,                                                // space: the bold face's own width here
    4, 6, 7, 7, 10, 8, 3,  4,  4, 4, 7, 4, 4,  4, 4,  // ! " # $ % & ' ( ) * + , - . /
    7, 7, 7, 7, 7,  7, 7,  7,  7, 7,                  // 0-9
    4, 4, 7, 7, 7,  7, 11,                            // : ; < = > ? @
    8, 8, 8, 8, 7,  7, 9,  8,  4, 7, 8, 7, 10, 8, 9,  // A-O
    7, 9, 8, 7, 7,  8, 7,  11, 7, 7, 7,               // P-Z
    4, 4, 4, 7, 7,  4,                                // [ \ ] ^ _ `
    7, 7, 7, 7, 7,  4, 7,  7,  4, 4, 7, 4, 10, 7, 7,  // a-o
    7, 7, 4, 7, 4,  7, 7,  9,  7, 7, 6,               // p-z
    4, 4, 4, 7};                                      // { | } ~

// Characters 0x80..0x9F of the ANSI code page (1252) in Unicode; the rest
// of the code page equals Latin-1.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

FT_ULong Unicode(unsigned char ch) {
    return ch >= 0x80 && ch < 0xA0 ? kCp1252High[ch - 0x80] : ch;
}

// ---------------------------------------------------------------------------
// Per-thread FreeType state.

struct SizeSlot {
    int ppem = 0;
    FT_Size size = nullptr;
    std::uint64_t lastUse = 0;
    std::array<int, 256> advance{};  // whole pixels; -1 until measured
};

struct FaceSlot {
    int id = 0;
    FT_Face face = nullptr;
    std::vector<SizeSlot> sizes;
};

class ThreadFonts {
  public:
    ThreadFonts() = default;
    ThreadFonts(const ThreadFonts&) = delete;
    ThreadFonts& operator=(const ThreadFonts&) = delete;
    ~ThreadFonts() {
        if (library_) FT_Done_FreeType(library_);  // also frees every face and size
    }

    FT_Library Library() {
        if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
        return library_;
    }

    // The face at the given pixel size, made the face's active size; null when
    // the file cannot be opened on this thread.
    std::pair<FT_Face, SizeSlot*> Sized(const FaceInfo& info, int ppem) {
        FaceSlot* slot = Face(info);
        if (!slot) return {nullptr, nullptr};
        ++clock_;
        for (SizeSlot& s : slot->sizes) {
            if (s.ppem == ppem) {
                s.lastUse = clock_;
                FT_Activate_Size(s.size);
                return {slot->face, &s};
            }
        }
        SizeSlot* target = nullptr;
        if (slot->sizes.size() < kSizesPerFace) {
            target = &slot->sizes.emplace_back();
        } else {
            target = &*std::min_element(
                slot->sizes.begin(), slot->sizes.end(),
                [](const SizeSlot& a, const SizeSlot& b) { return a.lastUse < b.lastUse; });
            FT_Done_Size(target->size);
            target->size = nullptr;
        }
        target->ppem = ppem;
        target->lastUse = clock_;
        target->advance.fill(-1);
        if (FT_New_Size(slot->face, &target->size) != 0 || FT_Activate_Size(target->size) != 0 ||
            FT_Set_Pixel_Sizes(slot->face, 0, static_cast<FT_UInt>(ppem)) != 0) {
            if (target->size) FT_Done_Size(target->size);
            target->size = nullptr;
            slot->sizes.erase(slot->sizes.begin() + (target - slot->sizes.data()));
            return {nullptr, nullptr};
        }
        return {slot->face, target};
    }

  private:
    static constexpr size_t kSizesPerFace = 256;

    FaceSlot* Face(const FaceInfo& info) {
        for (FaceSlot& f : faces_)
            if (f.id == info.id) return &f;
        FT_Library lib = Library();
        FT_Face face = nullptr;
        if (!lib || FT_New_Face(lib, info.file.c_str(), info.index, &face) != 0) return nullptr;
        if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
            FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL);
        FaceSlot& slot = faces_.emplace_back();
        slot.id = info.id;
        slot.face = face;
        return &slot;
    }

    FT_Library library_ = nullptr;
    std::vector<FaceSlot> faces_;
    std::uint64_t clock_ = 0;
};

thread_local ThreadFonts tFonts;

FT_UInt GlyphIndex(FT_Face face, unsigned char ch) {
    FT_UInt index = FT_Get_Char_Index(face, Unicode(ch));
    // Symbol fonts keep their characters at U+F000 + code.
    if (!index && face->charmap && face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
        index = FT_Get_Char_Index(face, 0xF000 + FT_ULong{ch});
    return index;
}

// ---------------------------------------------------------------------------
// Face resolution.

std::mutex gResolveMutex;
std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<const FaceInfo>> gFaces;
int gNextFaceId = 1;

// Reads a face's tables; null when FreeType cannot use it as a scalable face.
std::shared_ptr<FaceInfo> ReadFace(const char* file, long index) {
    FT_Library lib = tFonts.Library();
    FT_Face face = nullptr;
    if (!lib || FT_New_Face(lib, file, index, &face) != 0) return nullptr;
    std::shared_ptr<FaceInfo> info;
    if (FT_IS_SCALABLE(face) && face->units_per_EM > 0) {
        info = std::make_shared<FaceInfo>();
        info->file = file;
        info->index = index;
        info->unitsPerEm = face->units_per_EM;
        info->hheaAscent = face->ascender;
        info->hheaDescent = face->descender;
        info->lineGap = face->height - (face->ascender - face->descender);
        info->bboxWidth = static_cast<int>(face->bbox.xMax - face->bbox.xMin);
        info->bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        info->italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        info->weightClass = info->bold ? FW_BOLD : FW_NORMAL;
        info->avgCharWidth = face->units_per_EM / 2;
        auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
        if (hhea) {
            info->hheaAscent = hhea->Ascender;
            info->hheaDescent = hhea->Descender;
            info->lineGap = hhea->Line_Gap;
        }
        info->ascent = info->hheaAscent;
        info->descent = -info->hheaDescent;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF) {
            // Some fonts store a negative descent in this unsigned field.
            const int winDescent = std::abs(static_cast<FT_Short>(os2->usWinDescent));
            if (os2->usWinAscent + winDescent != 0) {
                info->ascent = os2->usWinAscent;
                info->descent = winDescent;
            }
            if (os2->xAvgCharWidth > 0) info->avgCharWidth = os2->xAvgCharWidth;
            info->weightClass = os2->usWeightClass;
        }
    }
    FT_Done_Face(face);
    return info;
}

// The best face fontconfig offers for a family name, or, when that cannot
// be loaded, the next of its candidates: some face is always found while
// any scalable font is installed.
std::shared_ptr<const FaceInfo> FindFace(const std::string& family, bool bold, bool italic) {
    std::string key = family;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::lock_guard lock(gResolveMutex);
    auto found = gFaces.find({key, bold, italic});
    if (found != gFaces.end()) return found->second;

    std::shared_ptr<FaceInfo> info;
    if (FcInit()) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
        for (int i = 0; set && i < set->nfont && !info; ++i) {
            FcChar8* file = nullptr;
            FcChar8* name = nullptr;
            int index = 0;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
            FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
            info = ReadFace(reinterpret_cast<const char*>(file), index);
            if (info && FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch)
                info->family = reinterpret_cast<const char*>(name);
        }
        if (set) FcFontSetDestroy(set);
        FcPatternDestroy(pattern);
    }
    if (info) info->id = gNextFaceId++;
    gFaces[{key, bold, italic}] = info;
    return info;
}

// ---------------------------------------------------------------------------
// Sizes and metrics.

// The pixel size for a LOGFONT height: a positive height is the cell
// (ascent + descent), a negative one the em square, 0 means 16.
int PpemForHeight(const FaceInfo& face, LONG height) {
    long long h = height == 0 ? 16 : height;
    if (h < 0) return -h <= kMaxPpem ? static_cast<int>(-h) : 1;
    const FT_Long units = face.ascent + face.descent;
    if (units <= 0) return 1;
    FT_Long ppem = FT_MulDiv(face.unitsPerEm, static_cast<FT_Long>(h), units);
    // Rounding must not make the cell taller than asked.
    if (ppem > 1 && FT_MulDiv(units, ppem, face.unitsPerEm) > h) --ppem;
    if (ppem > kMaxPpem || ppem < 1) ppem = 1;
    return static_cast<int>(ppem);
}

TEXTMETRIC MetricsFor(const FaceInfo& face, int ppem, bool fakeBold) {
    const FT_Fixed scale = FT_MulDiv(ppem, 1 << 16, face.unitsPerEm);
    auto scaled = [scale](long units) { return static_cast<LONG>(FT_MulFix(units, scale)); };
    TEXTMETRIC tm;
    tm.tmAscent = scaled(face.ascent);
    tm.tmDescent = scaled(face.descent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = scaled(face.ascent + face.descent - face.unitsPerEm);
    tm.tmExternalLeading = std::max<LONG>(
        0, scaled(face.lineGap -
                  ((face.ascent + face.descent) - (face.hheaAscent - face.hheaDescent))));
    tm.tmAveCharWidth = std::max<LONG>(1, scaled(face.avgCharWidth));
    tm.tmMaxCharWidth = scaled(face.bboxWidth);
    // A bold face reports its own weight only when it is above medium, a
    // regular face only when it is at most medium.
    tm.tmWeight = FW_NORMAL;
    if (fakeBold)
        tm.tmWeight = FW_BOLD;
    else if (face.bold ? face.weightClass > 500 : face.weightClass <= 500)
        tm.tmWeight = face.weightClass;
    return tm;
}

// The advance a face's hinted glyph has, rounded up to whole pixels.
int NaturalAdvance(const FaceInfo& info, int ppem, unsigned char ch) {
    auto [face, size] = tFonts.Sized(info, ppem);
    if (!face) return -1;
    int& cached = size->advance[ch];
    if (cached < 0) {
        cached = 0;
        if (FT_Load_Glyph(face, GlyphIndex(face, ch),
                          FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH) == 0) {
            cached = static_cast<int>((face->glyph->metrics.horiAdvance + 63) >> 6);
        }
    }
    return cached;
}

}  // namespace

std::shared_ptr<const FontImpl> SystemFontImpl() {
    static const std::shared_ptr<const FontImpl> system = [] {
        auto font = std::make_shared<FontImpl>();
        font->face = FindFace("Liberation Sans", true, false);
        font->faceName = "System";
        font->fixedAdvances = kSystemAdvances;
        if (font->face) font->ppem = PpemForHeight(*font->face, 16);
        font->metrics.tmHeight = 16;
        font->metrics.tmAscent = 13;
        font->metrics.tmDescent = 3;
        font->metrics.tmInternalLeading = 3;
        font->metrics.tmAveCharWidth = 7;
        font->metrics.tmMaxCharWidth = 19;
        font->metrics.tmWeight = FW_BOLD;
        return font;
    }();
    return system;
}

std::shared_ptr<const FontImpl> ResolveFont(const LOGFONT& lf) {
    std::string family(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    if (family.empty()) family = "Arial";
    // As in GDI, a weight above 550 asks for a bold face.
    const bool bold = lf.lfWeight > 550;
    const bool italic = lf.lfItalic != 0;
    std::shared_ptr<const FaceInfo> face = FindFace(family, bold, italic);
    if (!face) return nullptr;

    auto font = std::make_shared<FontImpl>();
    font->face = face;
    font->faceName = face->family;
    font->ppem = PpemForHeight(*face, lf.lfHeight);
    font->escapement = static_cast<int>(lf.lfEscapement % 3600);
    font->fakeBold = bold && !face->bold;
    font->fakeItalic = italic && !face->italic;
    font->metrics = MetricsFor(*face, font->ppem, font->fakeBold);
    return font;
}

int GlyphAdvance(const FontImpl& font, unsigned char ch) {
    if (font.fixedAdvances && ch >= 0x20 && ch <= 0x7E) return font.fixedAdvances[ch - 0x20];
    if (!font.face) return font.metrics.tmAveCharWidth;
    const int natural = NaturalAdvance(*font.face, font.ppem, ch);
    if (natural < 0) return font.metrics.tmAveCharWidth;
    if (font.fixedAdvances) {
        // Characters the stand-in has no width for keep the face's
        // proportions, scaled to the stand-in's average width.
        const LONG faceAverage = MetricsFor(*font.face, font.ppem, false).tmAveCharWidth;
        return (natural * font.metrics.tmAveCharWidth + faceAverage / 2) / faceAverage;
    }
    // Emboldening widens every advance by one pixel.
    return natural + (font.fakeBold ? 1 : 0);
}

bool RenderGlyph(const FontImpl& font, unsigned char ch, GlyphBitmap* out) {
    if (!font.face || !out) return false;
    // The stand-in's widths: measured before the glyph to draw is loaded.
    const int natural = font.fixedAdvances ? NaturalAdvance(*font.face, font.ppem, ch) : 0;
    const int wanted = font.fixedAdvances ? GlyphAdvance(font, ch) : 0;
    FT_Face face = tFonts.Sized(*font.face, font.ppem).first;
    if (!face) return false;
    const FT_UInt index = GlyphIndex(face, ch);
    // Hinting fits outlines to the pixel grid; a turned glyph no longer lies
    // on it, and its hinted stems come out ragged.
    const FT_Int32 hinting = font.escapement % 900 != 0 ? FT_LOAD_NO_HINTING : FT_LOAD_TARGET_MONO;
    if (FT_Load_Glyph(face, index, hinting | FT_LOAD_NO_BITMAP) != 0 &&
        FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
        return false;
    }
    FT_GlyphSlot glyph = face->glyph;
    if (glyph->format != FT_GLYPH_FORMAT_OUTLINE || glyph->outline.n_points == 0) return false;
    FT_Outline* outline = &glyph->outline;

    // Emboldening grows the outline by 1/24 of the em square.
    if (font.fakeBold) FT_Outline_Embolden(outline, FT_MulDiv(font.ppem, 64, 24));

    // Squeeze (the stand-in's widths), then slant, then the escapement.
    FT_Matrix m = {1 << 16, 0, 0, 1 << 16};
    bool transform = false;
    if (natural > 0 && wanted != natural) {
        m.xx = FT_MulDiv(wanted, 1 << 16, natural);
        transform = true;
    }
    if (font.fakeItalic) {
        const FT_Matrix slant = {1 << 16, 1 << 14, 0, 1 << 16};
        FT_Matrix_Multiply(&slant, &m);
        transform = true;
    }
    if (font.escapement % 3600 != 0) {
        FT_Vector unit;
        FT_Vector_Unit(&unit, FT_MulDiv(1 << 16, font.escapement, 10));
        const FT_Matrix rotation = {unit.x, -unit.y, unit.y, unit.x};
        FT_Matrix_Multiply(&rotation, &m);
        transform = true;
    }
    if (transform) FT_Outline_Transform(outline, &m);

    FT_BBox box;
    FT_Outline_Get_CBox(outline, &box);
    if ((box.xMax - box.xMin) >> 6 > kMaxGlyphPixels ||
        (box.yMax - box.yMin) >> 6 > kMaxGlyphPixels)
        return false;
    if (FT_Render_Glyph(glyph, FT_RENDER_MODE_MONO) != 0) return false;
    const FT_Bitmap& bitmap = glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.width == 0 || bitmap.rows == 0 ||
        bitmap.pitch <= 0) {
        return false;
    }
    out->left = glyph->bitmap_left;
    out->top = glyph->bitmap_top;
    out->width = static_cast<int>(bitmap.width);
    out->rows = static_cast<int>(bitmap.rows);
    out->pitch = bitmap.pitch;
    out->bits = bitmap.buffer;
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
// fontconfig loses a block while parsing its configuration files, once per
// process; the leak checker of sanitized builds is told to look past it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
// Without this, every sanitized program that used a font reports the
// suppression on its standard error.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif
