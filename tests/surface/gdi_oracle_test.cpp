// Replays every reference script of ../shared/gdi-oracle with the project's
// drawing layer and compares the result with what the reference GDI drew.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/shared_dir.h"
#include "surface/cdadc.h"
#include "tools/gdi_script.h"

namespace {

enum class Rule {
    Exact,      // every pixel
    WidePen,    // differing pixels under 2 % of the pixels either picture sets, and
                // none where neither picture has a wide pen's colour
    TextBoxes,  // each TextOut's lit pixels within 2 pixels of the reference's on every side
    Extents,    // every number printed within 2 of the reference's text file
};

struct OracleCase {
    const char* name;
    Rule rule;
    std::set<COLORREF> widePens = {};  // colours of the pens wider than one pixel
};

const OracleCase kCases[] = {
    {"fillrect-pixels", Rule::Exact},
    {"bitblt", Rule::Exact},
    {"bitblt-or", Rule::Exact},
    {"stretchblt", Rule::Exact},
    {"stretchblt-reduce", Rule::Exact},
    {"lines-thin", Rule::Exact},
    {"lines-clip", Rule::Exact},
    {"polygon-fill", Rule::Exact},
    {"polygon-edges", Rule::Exact},
    {"rectangle", Rule::Exact},
    {"ellipse-small", Rule::Exact},
    {"lines-wide", Rule::Exact},
    {"polygon-wide-pen", Rule::Exact},
    // Wide pens on curves: the reference itself approximates the platform.
    {"ellipse", Rule::WidePen, {0xff0000, 0xffff00}},
    {"arc", Rule::WidePen, {0x00ff00, 0xff0000}},
    {"roundrect", Rule::WidePen, {0xff0000}},
    {"polybezier", Rule::WidePen, {0x00ff00, 0x0000ff}},
    {"text", Rule::TextBoxes},
    {"text-extent", Rule::Extents},
    {"text-extent-ascii", Rule::Extents},
    {"text-metrics", Rule::Extents},
};

constexpr int kTolerance = 2;         // pixels, for text boxes and extents
constexpr size_t kListedPixels = 20;  // differing pixels listed one by one up to this count

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Difference {
    size_t count = 0;
    size_t setInEither = 0;  // pixels not black in one picture or the other
    size_t thinPen = 0;      // differing pixels neither picture paints in a wide pen's colour
    std::string listing;     // the first differing pixels, ours against the reference's
};

Difference Compare(const CDADC& ours, const CDADC& ref, const std::set<COLORREF>& widePens) {
    Difference d;
    for (int y = 0; y < ref.height; ++y) {
        for (int x = 0; x < ref.width; ++x) {
            const COLORREF a = SurfacePixel(ours, x, y), b = SurfacePixel(ref, x, y);
            if (a != 0 || b != 0) ++d.setInEither;
            if (a == b) continue;
            if (!widePens.count(a) && !widePens.count(b)) ++d.thinPen;
            if (++d.count <= kListedPixels) {
                char text[80];
                std::snprintf(text, sizeof text, "  (%d, %d): ours %06X, reference %06X\n", x, y, a,
                              b);
                d.listing += text;
            }
        }
    }
    return d;
}

// The reference's lit pixels, shared out among the TextOut calls: each goes
// to every call whose box (our replay's) holds it, else to the nearest box.
void CheckTextBoxes(const ReplayResult& r, const CDADC& ref) {
    const std::vector<TextBox>& ours = r.textBoxes;
    std::vector<RECT> theirs(ours.size());
    std::vector<bool> found(ours.size(), false);
    auto distance = [](const RECT& b, int x, int y) {
        const long dx = x < b.left ? b.left - x : x >= b.right ? x - b.right + 1 : 0;
        const long dy = y < b.top ? b.top - y : y >= b.bottom ? y - b.bottom + 1 : 0;
        return dx * dx + dy * dy;
    };
    auto grow = [&](size_t i, int x, int y) {
        if (!found[i]) theirs[i] = {x, y, x + 1, y + 1};
        found[i] = true;
        theirs[i].left = std::min<LONG>(theirs[i].left, x);
        theirs[i].top = std::min<LONG>(theirs[i].top, y);
        theirs[i].right = std::max<LONG>(theirs[i].right, x + 1);
        theirs[i].bottom = std::max<LONG>(theirs[i].bottom, y + 1);
    };
    for (int y = 0; y < ref.height; ++y) {
        for (int x = 0; x < ref.width; ++x) {
            if (SurfacePixel(ref, x, y) == 0) continue;
            bool inside = false;
            size_t nearest = 0;
            long best = -1;
            for (size_t i = 0; i < ours.size(); ++i) {
                if (ours[i].empty) continue;
                const long d = distance(ours[i].box, x, y);
                if (d == 0) {
                    grow(i, x, y);
                    inside = true;
                } else if (best < 0 || d < best) {
                    best = d;
                    nearest = i;
                }
            }
            if (!inside && best >= 0) grow(nearest, x, y);
        }
    }
    for (size_t i = 0; i < ours.size(); ++i) {
        const RECT& a = ours[i].box;
        const RECT& b = theirs[i];
        SCOPED_TRACE("textout of line " + std::to_string(ours[i].line));
        ASSERT_FALSE(ours[i].empty) << "our TextOut lit no pixel";
        ASSERT_TRUE(found[i]) << "the reference has no lit pixel near ours";
        char boxes[120];
        std::snprintf(boxes, sizeof boxes, "ours [%d,%d)-[%d,%d), reference [%d,%d)-[%d,%d)",
                      a.left, a.top, a.right, a.bottom, b.left, b.top, b.right, b.bottom);
        SCOPED_TRACE(boxes);
        EXPECT_LE(std::abs(a.left - b.left), kTolerance);
        EXPECT_LE(std::abs(a.top - b.top), kTolerance);
        EXPECT_LE(std::abs(a.right - b.right), kTolerance);
        EXPECT_LE(std::abs(a.bottom - b.bottom), kTolerance);
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// "extent TEXT CX CY" or "metrics FACE height H ... weight N": the numbers
// are the last two words of an extent line and every second word from the
// end of a metrics line; what comes before them is compared as text, except
// the face name, which depends on the installed fonts.
void SplitResultLine(const std::string& line, std::string* label, std::vector<long>* numbers) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        words.push_back(w);
    numbers->clear();
    const bool metrics = !words.empty() && words[0] == "metrics";
    const size_t count = metrics ? 6 : 2;
    const size_t step = metrics ? 2 : 1;
    if (words.size() < 1 + count * step) {
        *label = line;
        return;
    }
    const size_t first = words.size() - count * step;
    for (size_t i = first + step - 1; i < words.size(); i += step)
        numbers->push_back(std::strtol(words[i].c_str(), nullptr, 10));
    if (metrics) {
        *label = "metrics";
        for (size_t i = first; i < words.size(); i += 2)
            *label += " " + words[i];
    } else {
        *label = line.substr(
            0, line.size() - words[words.size() - 1].size() - words[words.size() - 2].size() - 2);
    }
}

void CheckExtents(const std::string& ours, const std::string& reference) {
    const std::vector<std::string> a = Lines(ours), b = Lines(reference);
    ASSERT_EQ(a.size(), b.size()) << "printed lines";
    for (size_t i = 0; i < a.size(); ++i) {
        std::string la, lb;
        std::vector<long> na, nb;
        SplitResultLine(a[i], &la, &na);
        SplitResultLine(b[i], &lb, &nb);
        SCOPED_TRACE("ours: " + a[i] + "\nreference: " + b[i]);
        ASSERT_EQ(la, lb);
        ASSERT_EQ(na.size(), nb.size());
        for (size_t k = 0; k < na.size(); ++k)
            EXPECT_LE(std::abs(na[k] - nb[k]), kTolerance);
    }
}

class GdiOracle : public testing::TestWithParam<OracleCase> {};

TEST_P(GdiOracle, MatchesTheReference) {
    SKIP_WITHOUT_SHARED();
    const OracleCase& c = GetParam();
    const std::filesystem::path dir = SharedDir() / "gdi-oracle";
    const std::string script = ReadText(dir / "cases" / (std::string(c.name) + ".gdi"));
    ASSERT_FALSE(script.empty()) << "no script for " << c.name;

    const ReplayResult r = ReplayGdiScript(script);
    ASSERT_TRUE(r.surface) << r.error;

    if (c.rule == Rule::Extents) {
        CheckExtents(r.output, ReadText(dir / "expected" / (std::string(c.name) + ".txt")));
        return;
    }
    // Read by the surface's own BMP reader, which bmp_files_test.cpp holds
    // to the shared suite's references.
    const std::unique_ptr<CDADC> ref(
        CDADC::LoadBmpFile((dir / "expected" / (std::string(c.name) + ".bmp")).c_str()));
    ASSERT_NE(ref, nullptr);
    ASSERT_EQ(r.surface->width, ref->width);
    ASSERT_EQ(r.surface->height, ref->height);
    if (c.rule == Rule::TextBoxes) {
        CheckTextBoxes(r, *ref);
        return;
    }
    const Difference d = Compare(*r.surface, *ref, c.widePens);
    if (c.rule == Rule::Exact) {
        EXPECT_EQ(d.count, 0u) << d.listing;
    } else {
        EXPECT_LT(static_cast<double>(d.count), 0.02 * static_cast<double>(d.setInEither))
            << d.count << " of " << d.setInEither << " pixels differ\n"
            << d.listing;
        EXPECT_EQ(d.thinPen, 0u) << "pixels differ away from the wide pens";
    }
}

std::string CaseName(const testing::TestParamInfo<OracleCase>& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, GdiOracle, testing::ValuesIn(kCases), CaseName);

// The printing operations need a reference text file, every other case a picture.
TEST(GdiOracleCases, EveryScriptHasARuleAndAReference) {
    SKIP_WITHOUT_SHARED();
    const std::filesystem::path dir = SharedDir() / "gdi-oracle";
    size_t scripts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "cases")) {
        if (entry.path().extension() != ".gdi") continue;
        ++scripts;
        const std::string name = entry.path().stem().string();
        const auto it = std::find_if(std::begin(kCases), std::end(kCases),
                                     [&](const OracleCase& c) { return name == c.name; });
        ASSERT_NE(it, std::end(kCases)) << name << " has no rule in the case table";
        const char* ext = it->rule == Rule::Extents ? ".txt" : ".bmp";
        EXPECT_TRUE(std::filesystem::exists(dir / "expected" / (name + ext))) << name;
    }
    EXPECT_EQ(scripts, std::size(kCases));
}

}  // namespace
