#include "tools/gdi_script.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string_view>
#include <vector>

#include "surface/cdadc.h"
#include "surface/dc.h"

COLORREF SurfacePixel(const CDADC& surface, int x, int y) {
    const BYTE* p = surface.Row(y) + static_cast<size_t>(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

namespace {

constexpr int kMaxSide = 20000;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
constexpr int kMaxPoints = 4096;

// A black 24-bit surface of that size; null when it could not be made.
std::unique_ptr<CDADC> NewSurface(int width, int height) {
    auto s = std::make_unique<CDADC>(width, height);
    if (!s->pBits) return nullptr;
    return s;
}

// The blit source: red = 37x, green = 59y, blue = 7 (x xor y), each mod 256.
void FillPattern(CDADC& s) {
    for (int y = 0; y < s.height; ++y) {
        BYTE* p = s.Row(y);
        for (int x = 0; x < s.width; ++x, p += 3) {
            p[0] = static_cast<BYTE>((x ^ y) * 7);
            p[1] = static_cast<BYTE>(y * 59);
            p[2] = static_cast<BYTE>(x * 37);
        }
    }
}

// The arguments of one script line.
class Args {
  public:
    explicit Args(std::string_view text) : rest_(text) {}

    bool Word(std::string* out) {
        SkipSpace();
        size_t n = 0;
        while (n < rest_.size() && rest_[n] != ' ' && rest_[n] != '\t')
            ++n;
        if (n == 0) return false;
        out->assign(rest_.substr(0, n));
        rest_.remove_prefix(n);
        return true;
    }
    bool Int(int* out) {
        std::string w;
        if (!Word(&w)) return false;
        auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), *out, 10);
        return ec == std::errc() && end == w.data() + w.size();
    }
    bool Colour(COLORREF* out) {
        std::string w;
        if (!Word(&w)) return false;
        auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), *out, 16);
        return ec == std::errc() && end == w.data() + w.size();
    }
    bool AtEnd() {
        SkipSpace();
        return rest_.empty();
    }
    // The rest of the line after the spaces that separate it.
    std::string Text() {
        SkipSpace();
        return std::string(rest_);
    }

  private:
    void SkipSpace() {
        while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t'))
            rest_.remove_prefix(1);
    }
    std::string_view rest_;
};

class Replayer {
  public:
    ReplayResult Run(const std::string& script);

  private:
    // Each returns an empty string on success, else what went wrong.
    std::string Do(const std::string& op, Args& a);
    std::string Ints(Args& a, std::initializer_list<int*> out, const char* form);
    std::string Points(Args& a, std::vector<POINT>* pts);
    std::string Blit(const std::string& op, Args& a);
    std::string TextOutOp(Args& a);
    std::string Called(BOOL ok, const char* call);

    CDC* Dc() { return result_.surface->pDC; }

    ReplayResult result_;
    int line_ = 0;
    std::unique_ptr<CDADC> pattern_;
    std::unique_ptr<CPen> pen_;
    std::unique_ptr<CBrush> brush_;
    std::unique_ptr<CFont> font_;
};

std::string Replayer::Ints(Args& a, std::initializer_list<int*> out, const char* form) {
    for (int* p : out) {
        if (!a.Int(p)) return std::string("expected ") + form;
    }
    if (!a.AtEnd()) return std::string("too many arguments; expected ") + form;
    return {};
}

std::string Replayer::Points(Args& a, std::vector<POINT>* pts) {
    int n;
    if (!a.Int(&n) || n < 0 || n > kMaxPoints)
        return "expected a point count from 0 to " + std::to_string(kMaxPoints);
    pts->resize(static_cast<size_t>(n));
    for (POINT& p : *pts) {
        int x, y;
        if (!a.Int(&x) || !a.Int(&y)) return "expected " + std::to_string(n) + " points X Y";
        p = {x, y};
    }
    if (!a.AtEnd()) return "more numbers than " + std::to_string(n) + " points";
    return {};
}

std::string Replayer::Called(BOOL ok, const char* call) {
    if (ok) return {};
    return std::string(call) + " returned FALSE";
}

std::string Replayer::Blit(const std::string& op, Args& a) {
    if (!pattern_) return "'pattern' must come before a blit";
    int dx, dy, dw, dh, sx, sy, sw, sh;
    if (op == "stretchblt") {
        std::string e =
            Ints(a, {&dx, &dy, &dw, &dh, &sx, &sy, &sw, &sh}, "DX DY DW DH SX SY SW SH");
        if (!e.empty()) return e;
        return Called(Dc()->StretchBlt(dx, dy, dw, dh, pattern_->pDC, sx, sy, sw, sh, SRCCOPY),
                      "StretchBlt");
    }
    std::string e = Ints(a, {&dx, &dy, &dw, &dh, &sx, &sy}, "DX DY W H SX SY");
    if (!e.empty()) return e;
    const DWORD rop = op == "bitbltor" ? SRCPAINT : SRCCOPY;
    return Called(Dc()->BitBlt(dx, dy, dw, dh, pattern_->pDC, sx, sy, rop), "BitBlt");
}

// Records the box around the pixels the call changed.
std::string Replayer::TextOutOp(Args& a) {
    int x, y;
    if (!a.Int(&x) || !a.Int(&y)) return "expected X Y TEXT";
    const std::string text = a.Text();
    CDADC& s = *result_.surface;
    const std::vector<BYTE> before(s.pBits, s.pBits + s.imageBytes);
    std::string e = Called(Dc()->TextOut(x, y, text), "TextOut");
    if (!e.empty()) return e;
    TextBox tb;
    tb.line = line_;
    for (int row = 0; row < s.height; ++row) {
        const size_t at = static_cast<size_t>(s.height - 1 - row) * s.rowBytes;
        for (int col = 0; col < s.width; ++col) {
            if (std::memcmp(s.pBits + at + col * 3, before.data() + at + col * 3, 3) == 0) continue;
            if (tb.empty) {
                tb.box = {col, row, col + 1, row + 1};
                tb.empty = false;
            }
            tb.box.left = std::min<LONG>(tb.box.left, col);
            tb.box.right = std::max<LONG>(tb.box.right, col + 1);
            tb.box.top = std::min<LONG>(tb.box.top, row);
            tb.box.bottom = std::max<LONG>(tb.box.bottom, row + 1);
        }
    }
    result_.textBoxes.push_back(tb);
    return {};
}

std::string Replayer::Do(const std::string& op, Args& a) {
    CDC& dc = *Dc();
    int x, y, l, t, r, b;
    COLORREF c;
    std::string word;
    std::vector<POINT> pts;

    if (op == "size") return "'size' may come only once";
    if (op == "pattern") {
        std::string e = Ints(a, {&x, &y}, "W H");
        if (!e.empty()) return e;
        if (x < 1 || y < 1 || x > kMaxSide || y > kMaxSide ||
            static_cast<long long>(x) * y > kMaxPixels)
            return "pattern size out of range";
        pattern_ = NewSurface(x, y);
        if (!pattern_) return "could not create the pattern surface";
        FillPattern(*pattern_);
        return {};
    }
    if (op == "pen") {
        int width;
        if (!a.Word(&word) || !a.Int(&width) || !a.Colour(&c) || !a.AtEnd())
            return "expected STYLE WIDTH COLOUR";
        static const std::map<std::string, int> styles = {{"solid", PS_SOLID},
                                                          {"null", PS_NULL},
                                                          {"dash", PS_DASH},
                                                          {"dot", PS_DOT},
                                                          {"insideframe", PS_INSIDEFRAME}};
        auto it = styles.find(word);
        if (it == styles.end()) return "unknown pen style '" + word + "'";
        auto pen = std::make_unique<CPen>(it->second, width, c);
        if (!dc.SelectObject(pen.get())) return "could not select the pen";
        pen_ = std::move(pen);
        return {};
    }
    if (op == "brush") {
        if (!a.Word(&word) || !a.AtEnd()) return "expected COLOUR or null";
        if (word == "null") {
            dc.SelectStockObject(NULL_BRUSH);
            brush_.reset();
            return {};
        }
        Args colour(word);
        if (!colour.Colour(&c)) return "expected COLOUR or null";
        auto brush = std::make_unique<CBrush>(c);
        if (!dc.SelectObject(brush.get())) return "could not select the brush";
        brush_ = std::move(brush);
        return {};
    }
    if (op == "fillmode" || op == "arcdir" || op == "bkmode") {
        if (!a.Word(&word) || !a.AtEnd()) return "expected one word";
        if (op == "fillmode" && (word == "alternate" || word == "winding")) {
            dc.SetPolyFillMode(word == "winding" ? WINDING : ALTERNATE);
        } else if (op == "arcdir" && (word == "ccw" || word == "cw")) {
            dc.SetArcDirection(word == "cw" ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
        } else if (op == "bkmode" && (word == "transparent" || word == "opaque")) {
            dc.SetBkMode(word == "opaque" ? OPAQUE : TRANSPARENT);
        } else {
            return "unknown " + op + " '" + word + "'";
        }
        return {};
    }
    if (op == "moveto" || op == "lineto") {
        std::string e = Ints(a, {&x, &y}, "X Y");
        if (!e.empty()) return e;
        if (op == "moveto") {
            dc.MoveTo(x, y);
            return {};
        }
        return Called(dc.LineTo(x, y), "LineTo");
    }
    if (op == "polygon" || op == "polyline" || op == "polybezier") {
        std::string e = Points(a, &pts);
        if (!e.empty()) return e;
        const int n = static_cast<int>(pts.size());
        if (op == "polybezier") {
            if (n % 3 != 1) return "PolyBezier takes 3k + 1 points";
            return Called(dc.PolyBezier(pts.data(), n), "PolyBezier");
        }
        if (n < 2) return op + " takes at least 2 points";
        return op == "polygon" ? Called(dc.Polygon(pts.data(), n), "Polygon")
                               : Called(dc.Polyline(pts.data(), n), "Polyline");
    }
    if (op == "ellipse" || op == "rectangle") {
        std::string e = Ints(a, {&l, &t, &r, &b}, "L T R B");
        if (!e.empty()) return e;
        return op == "ellipse" ? Called(dc.Ellipse(l, t, r, b), "Ellipse")
                               : Called(dc.Rectangle(l, t, r, b), "Rectangle");
    }
    if (op == "roundrect") {
        int w, h;
        std::string e = Ints(a, {&l, &t, &r, &b, &w, &h}, "L T R B W H");
        if (!e.empty()) return e;
        return Called(dc.RoundRect(l, t, r, b, w, h), "RoundRect");
    }
    if (op == "arc") {
        int x1, y1, x2, y2;
        std::string e = Ints(a, {&l, &t, &r, &b, &x1, &y1, &x2, &y2}, "L T R B X1 Y1 X2 Y2");
        if (!e.empty()) return e;
        return Called(dc.Arc(l, t, r, b, x1, y1, x2, y2), "Arc");
    }
    if (op == "fillrect") {
        if (!a.Int(&l) || !a.Int(&t) || !a.Int(&r) || !a.Int(&b) || !a.Colour(&c) || !a.AtEnd())
            return "expected L T R B COLOUR";
        // FillSolidRect leaves its colour as the background colour; the
        // reference puts the old one back.
        const COLORREF old = dc.GetBkColor();
        dc.FillSolidRect(RECT{l, t, r, b}, c);
        dc.SetBkColor(old);
        return {};
    }
    if (op == "setpixel" || op == "setpixelv") {
        if (!a.Int(&x) || !a.Int(&y) || !a.Colour(&c) || !a.AtEnd()) return "expected X Y COLOUR";
        // Outside the surface both calls fail, which scripts use on purpose.
        if (op == "setpixel") {
            dc.SetPixel(x, y, c);
        } else {
            dc.SetPixelV(x, y, c);
        }
        return {};
    }
    if (op == "textcolor" || op == "bkcolor") {
        if (!a.Colour(&c) || !a.AtEnd()) return "expected COLOUR";
        if (op == "textcolor") {
            dc.SetTextColor(c);
        } else {
            dc.SetBkColor(c);
        }
        return {};
    }
    if (op == "font") {
        LOGFONT lf;
        if (!a.Int(&lf.lfHeight) || !a.Int(&lf.lfEscapement) || !a.Int(&lf.lfWeight))
            return "expected HEIGHT ESCAPEMENT WEIGHT FACE";
        const std::string face = a.Text();
        if (face.empty()) return "expected HEIGHT ESCAPEMENT WEIGHT FACE";
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face.c_str());
        auto font = std::make_unique<CFont>();
        std::string e = Called(font->CreateFontIndirect(&lf), "CreateFontIndirect");
        if (!e.empty()) return e;
        if (!dc.SelectObject(font.get())) return "could not select the font";
        font_ = std::move(font);
        return {};
    }
    if (op == "defaultfont") {
        if (!a.AtEnd()) return "takes no arguments";
        dc.SelectStockObject(SYSTEM_FONT);
        font_.reset();
        return {};
    }
    if (op == "textout") return TextOutOp(a);
    if (op == "extent" || op == "metrics") {
        // A font that gives no metrics cannot measure text either.
        TEXTMETRIC tm;
        std::string e = Called(dc.GetTextMetrics(&tm), "GetTextMetrics");
        if (!e.empty()) return e;
        char text[1024];
        if (op == "extent") {
            const std::string s = a.Text();
            const SIZE size = dc.GetTextExtent(s);
            std::snprintf(text, sizeof text, "extent %s %ld %ld\n", s.c_str(),
                          static_cast<long>(size.cx), static_cast<long>(size.cy));
        } else {
            if (!a.AtEnd()) return "takes no arguments";
            std::snprintf(text, sizeof text,
                          "metrics %s height %ld ascent %ld descent %ld avewidth %ld maxwidth %ld "
                          "weight %ld\n",
                          dc.GetTextFace().c_str(), static_cast<long>(tm.tmHeight),
                          static_cast<long>(tm.tmAscent), static_cast<long>(tm.tmDescent),
                          static_cast<long>(tm.tmAveCharWidth),
                          static_cast<long>(tm.tmMaxCharWidth), static_cast<long>(tm.tmWeight));
        }
        result_.output += text;
        return {};
    }
    if (op == "bitblt" || op == "bitbltor" || op == "stretchblt") return Blit(op, a);
    return "unknown operation '" + op + "'";
}

ReplayResult Replayer::Run(const std::string& script) {
    std::istringstream in(script);
    std::string text;
    while (std::getline(in, text)) {
        ++line_;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        Args a(text);
        std::string op;
        if (!a.Word(&op) || op[0] == '#') continue;

        std::string error;
        if (!result_.surface) {
            int w, h;
            if (op != "size") {
                error = "'size' must come first";
            } else if (!a.Int(&w) || !a.Int(&h) || !a.AtEnd()) {
                error = "expected W H";
            } else if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide ||
                       static_cast<long long>(w) * h > kMaxPixels) {
                error = "surface size out of range";
            } else if (!(result_.surface = NewSurface(w, h))) {
                error = "could not create the surface";
            }
        } else {
            error = Do(op, a);
        }
        if (!error.empty()) {
            result_.error = "line " + std::to_string(line_) + ": " + op + ": " + error;
            result_.surface.reset();
            return std::move(result_);
        }
    }
    if (!result_.surface) result_.error = "no 'size' line";
    return std::move(result_);
}

}  // namespace

ReplayResult ReplayGdiScript(const std::string& scriptText) {
    Replayer r;
    return r.Run(scriptText);
}
