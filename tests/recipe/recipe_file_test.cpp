#include "recipe/recipe_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <tuple>

#include "compose/aa_mix.h"
#include "engine/figure_file.h"
#include "recipe/field_kinds.h"
#include "recipe/mix_names.h"
#include "recipe/xform_registry.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"
#include "util/base64.h"
#include "xforms/mosaic.h"

#include "support/scratch_dir.h"

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

// A recipe with every field away from its default.
Recipe UnusualRecipe() {
    Recipe r;
    r.quality = 4;
    r.pictureName = "flower.jpg";
    r.picturePath = "/pictures/flower.jpg";
    r.pictureWidth = 480;
    r.pictureHeight = 360;
    CFilSpec& s = r.filSpec;
    s.XformIndex = kMosaic;
    s.WizardAll = 0;
    s.Seed = 4000000000u;
    s.Selection.SetHsv(123.456789, 0.25, 0.75);
    s.Selection.invert = 1;
    s.Selection.SetSmoothing(3);
    s.FinalMix.Mode = kMixHsv;
    s.FinalMix.Percent = 17;
    s.FinalMix.Colour = RGB(1, 2, 3);
    s.FinalMix.Selection.SetHsv(300, 1, 0.1);
    s.WebFade.Mode = kMixOuterInElliptical;
    s.WebFade.Percent = 100;
    s.WebFade.Colour = RGB(0x10, 0x20, 0x30);
    s.Mosaic.tileSize = 3.1415926535;
    s.Mosaic.spacing = 39.5;
    s.Mosaic.geometry = kMosaicCircleInGrid;
    s.Mosaic.background.colour = RGB(0xAB, 0xCD, 0xEF);
    s.Mosaic.background.useImage = 1;
    s.Mosaic.highlightColour = RGB(9, 8, 7);
    s.Mosaic.highlightPosition = kHighlightBottomLeft;
    s.Mosaic.wizardChooses = 0;
    return r;
}

// The error of reading text into a fresh recipe ("" when it reads).
std::string ReadError(const std::string& text) {
    Recipe r;
    std::string error;
    return RecipeFromText(text, &r, &error) ? "" : error;
}

// The unusual recipe's JSON with one change.
std::string Edited(const std::function<void(Json&)>& edit) {
    Json j = RecipeToJson(UnusualRecipe());
    edit(j);
    return j.dump();
}

}  // namespace

// The reader refuses a recipe with a field missing (the picture's path
// aside), and every field of the unusual recipe is away from its default: a
// field the reader skipped would change the text written again. The fields
// checked one by one are those the text could lose (the optional path,
// rounding, narrowing, colours worked out from others).
TEST(RecipeFile, RoundTripKeepsEveryFieldUnderReadableNames) {
    const Recipe written = UnusualRecipe();
    Recipe read;
    std::string error;
    ASSERT_TRUE(RecipeFromText(RecipeToText(written), &read, &error)) << error;
    EXPECT_EQ(RecipeToText(read), RecipeToText(written));
    EXPECT_EQ(read.picturePath, "/pictures/flower.jpg");
    EXPECT_EQ(read.filSpec.Seed, 4000000000u);
    EXPECT_EQ(read.filSpec.Selection.hue, written.filSpec.Selection.hue);
    const AreaSelection &a = read.filSpec.Selection, &b = written.filSpec.Selection;
    EXPECT_EQ(std::tuple(a.red, a.green, a.blue), std::tuple(b.red, b.green, b.blue));
    EXPECT_EQ(read.filSpec.FinalMix.Selection.value, written.filSpec.FinalMix.Selection.value);
    EXPECT_EQ(read.filSpec.Mosaic.tileSize, 3.1415926535);  // exactly: doubles survive the text
    EXPECT_EQ(read.filSpec.WebFade.Colour, RGB(0x10, 0x20, 0x30));

    // The names a user can read.
    const Json j = RecipeToJson(written);
    EXPECT_EQ(j["format"], "fabulor-recipe");
    EXPECT_EQ(j["xform"]["name"], "Mosaic");
    EXPECT_EQ(j["xform"]["index"], 11);
    EXPECT_EQ(j["finalMix"]["mode"], "hsv");
    EXPECT_EQ(j["webFade"]["mode"], "outer-in-elliptical");
    EXPECT_EQ(j["webFade"]["colour"], "102030");  // red first
    EXPECT_EQ(j["params"]["Mosaic"]["background"]["colour"], "ABCDEF");
    // Only Xforms with declared fields have a block.
    size_t declared = 0;
    for (const XformRow& row : XformRows())
        declared += !row.fields.empty();
    EXPECT_EQ(j["params"].size(), declared);
}

TEST(RecipeFile, DamagedOrForeignFilesNameTheField) {
    EXPECT_EQ(ReadError("{\"format\": \"fabulor-recipe\", "),
              "not valid JSON: parse error at line 1, column 30: syntax error while parsing "
              "object key - unexpected end of input; expected string literal");
    EXPECT_EQ(ReadError("[1, 2]"), "not a Fabulor recipe: expected an object, found a list");
    EXPECT_EQ(ReadError("{\"name\": \"x\"}"),
              "field \"format\" is missing: this is not a Fabulor recipe");
    EXPECT_EQ(ReadError(Edited([](Json& j) { j["format"] = "photo-album"; })),
              "field \"format\": \"photo-album\" is not \"fabulor-recipe\": this is not a "
              "Fabulor recipe");
    EXPECT_EQ(ReadError(Edited([](Json& j) { j["version"] = 2; })),
              "field \"version\": 2 is newer than this program reads (1)");
    EXPECT_EQ(ReadError(Edited([](Json& j) { j.erase("seed"); })), "field \"seed\" is missing");
    EXPECT_EQ(ReadError(Edited([](Json& j) { j["colour"] = "red"; })),
              "field \"colour\" is not a field of a recipe");
}

// Deep nesting is refused before it is built, wherever it stands; numbers
// beyond a double's range are a fault of their field, not of the program.
TEST(RecipeFile, HostileJsonIsRefusedWithItsField) {
    const std::string deep = std::string(150000, '[') + std::string(150000, ']');
    EXPECT_EQ(ReadError(R"({"format": "fabulor-recipe", "version": 1, "picture": )" + deep +
                        R"(, "quality": 1})"),
              "field \"picture\": nests deeper than 32 levels; this is not a Fabulor recipe");
    EXPECT_EQ(ReadError(R"({"format": "fabulor-recipe", "picture": {"width": 1e400}})"),
              "field \"picture.width\": 1e400 is out of range: no number is that large");
    EXPECT_EQ(ReadError(Edited([](Json& j) { j["seed"] = -1e300; })),
              "field \"seed\": expected a whole number, found -1e+300");
    // A broken string of a figure's length is not quoted whole.
    EXPECT_EQ(ReadError("{\"format\": \"" + std::string(100000, 'Q') + "\x01").size(), 240u);
}

// A field of the wrong type, an unknown name or a value out of range is
// refused with the field's name and what it allows.
TEST(RecipeFile, FieldFaultsNameTheFieldAndWhatIsAllowed) {
    const std::pair<std::function<void(Json&)>, std::string> cases[] = {
        {[](Json& j) { j["seed"] = "42"; },
         "field \"seed\": expected a whole number, found \"42\""},
        {[](Json& j) { j["wizardAll"] = "yes"; },
         "field \"wizardAll\": expected true or false, found \"yes\""},
        {[](Json& j) { j["webFade"]["colour"] = "12345"; },
         "field \"webFade.colour\": \"12345\" is not a colour; allowed: a colour as six "
         "hexadecimal digits RRGGBB, red first (FF8000 is orange)"},
        {[](Json& j) { j["finalMix"] = 3; }, "field \"finalMix\": expected an object, found 3"},
        {[](Json& j) { j["xform"]["name"] = "Kaleidoscope"; },
         "field \"xform.name\": \"Kaleidoscope\" is not an Xform; allowed: Banya, Bubble, Clouds, "
         "Explode, Fallen Letters, Haaisi, Zimbel, Liquid Energy, Mad Painter, Velmira Tonkart, "
         "Mist, Mosaic, Net, Old Film, Op Art, Relief Map, StarDust, Swarm, Wood, Null"},
        {[](Json& j) { j["xform"]["index"] = 3; },
         "field \"xform.index\": 3 is not the index of \"Mosaic\" (11)"},
        {[](Json& j) { j["params"]["Mosaic"]["tiles"] = 4; },
         "field \"params.Mosaic.tiles\" is not a field of Mosaic"},
        {[](Json& j) { j["params"]["Kaleidoscope"] = Json::object(); },
         "field \"params.Kaleidoscope\" is not the name of an Xform"},
        {[](Json& j) { j["params"]["Mosaic"]["tileSize"] = 7.5; },
         "field \"params.Mosaic.tileSize\": 7.5 is out of range; allowed: 1 to 7"},
        {[](Json& j) { j["params"]["Mosaic"]["geometry"] = 1031; },
         "field \"params.Mosaic.geometry\": 1031 is not one of the choices; allowed: 1028 "
         "(rectangular), 1029 (circular), 1030 (rect-and-circle)"},
        {[](Json& j) { j["webFade"]["mode"] = "hsv"; },
         "field \"webFade.mode\": \"hsv\" is not a mode of this mix; allowed: off, left-right, "
         "top-bottom, right-left, bottom-top, centre-out, outer-in, centre-out-elliptical, "
         "outer-in-elliptical"},
        {[](Json& j) { j["selection"]["hue"] = 360; },
         "field \"selection.hue\": 360 is out of range; allowed: 0 to 360 (360 not included)"},
        {[](Json& j) { j["seed"] = 4294967296LL; },
         "field \"seed\": 4294967296 is out of range; allowed: 0 to 4294967295"},
        {[](Json& j) { j["quality"] = 3; },
         "field \"quality\": 3 is not a quality; allowed: 1, 2 or 4"},
    };
    for (const auto& [edit, error] : cases)
        EXPECT_EQ(ReadError(Edited(edit)), error);
    // Colours are read with or without a hash, in either case.
    COLORREF c = 0;
    EXPECT_TRUE(ColourFromHex("#a0B1c2", &c));
    EXPECT_EQ(c, RGB(0xA0, 0xB1, 0xC2));
    EXPECT_FALSE(ColourFromHex("12345g", &c));
    EXPECT_FALSE(ColourFromHex("1234567", &c));
}

TEST(RecipeFile, AFailedReadLeavesTheRecipeAlone) {
    Recipe r = UnusualRecipe();
    std::string error;
    EXPECT_FALSE(RecipeFromText(Edited([](Json& j) { j["params"]["Mosaic"]["wizardChooses"] = 2; }),
                                &r, &error));
    EXPECT_EQ(r.filSpec.Seed, 4000000000u);
    EXPECT_EQ(r.filSpec.Mosaic.tileSize, 3.1415926535);

    // A field that fails keeps its value too.
    CFilSpec filSpec;
    const BoundField* field = FindXform(kMosaic)->Field("spacing");
    ASSERT_NE(field, nullptr);
    EXPECT_FALSE(ParamFromJson(*field, Json(4.9), filSpec, &error));
    EXPECT_EQ(error, "4.9 is out of range; allowed: 5 to 40");
    EXPECT_EQ(filSpec.Mosaic.spacing, 10.0);
}

TEST(RecipeFile, FilesAreWrittenWholeAndReportedByName) {
    const ScratchDir scratch;
    const fs::path& folder = scratch.Path();
    const std::string path = (folder / "idea.json").string();
    std::string error;
    ASSERT_TRUE(WriteRecipeFile(path, UnusualRecipe(), &error)) << error;
    // Nothing but the recipe is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    Recipe read;
    ASSERT_TRUE(ReadRecipeFile(path, &read, &error)) << error;
    EXPECT_EQ(read.filSpec.Mosaic.geometry, kMosaicCircleInGrid);

    std::ofstream(path) << "{\"format\": \"fabulor-recipe\", \"version\": \"one\"}";
    EXPECT_FALSE(ReadRecipeFile(path, &read, &error));
    EXPECT_EQ(error, path + ": field \"version\": expected a whole number, found \"one\"");
    std::ofstream(path) << std::string(2 << 20, ' ');
    EXPECT_FALSE(ReadRecipeFile(path, &read, &error));
    EXPECT_EQ(error, path + ": is too large for a recipe (at most 1048576 bytes)");
    // Whatever the path names, reading ends and says why.
    EXPECT_FALSE(ReadRecipeFile("/dev/zero", &read, &error));
    EXPECT_EQ(error, "/dev/zero: is too large for a recipe (at most 1048576 bytes)");
    EXPECT_FALSE(ReadRecipeFile(folder.string(), &read, &error));
    EXPECT_EQ(error, folder.string() + ": is a folder, not a recipe file");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ReadRecipeFile((folder / "pipe").string(), &read, &error));
    EXPECT_EQ(error, (folder / "pipe").string() + ": is not a regular file");
    fs::remove(folder / "pipe");
    EXPECT_FALSE(ReadRecipeFile((folder / "none.json").string(), &read, &error));
    EXPECT_EQ(error,
              (folder / "none.json").string() + ": cannot be read: No such file or directory");
    EXPECT_FALSE(WriteRecipeFile((folder / "no" / "x.json").string(), read, &error));
    EXPECT_EQ(error.rfind((folder / "no" / "x.json").string() + ": cannot be written: ", 0), 0u)
        << error;
}

// --- figure bitmaps ------------------------------------------------------------------

namespace {

class RecipeFigures : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder_ / "temp");
        SetTempFolder((folder_ / "temp").string());
    }
    void TearDown() override { SetTempFolder(""); }

    // An Op Art recipe drawing with a figure of one colour.
    Recipe WithFigure(COLORREF colour) {
        CDADC figure(kFigureSide, kFigureSide);
        figure.pDC->FillSolidRect(0, 0, kFigureSide, kFigureSide, colour);
        std::string name, path;
        EXPECT_TRUE(StoreFigure(&figure, &name, &path));
        Recipe r = UnusualRecipe();
        r.filSpec.XformIndex = kOpArt;
        std::strcpy(r.filSpec.OpArt.imageName, name.c_str());
        return r;
    }

    static std::string Bytes(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_ / "temp"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDir scratch_;
    const fs::path& folder_ = scratch_.Path();
};

}  // namespace

// The temporary folder is emptied between sessions: the recipe file brings
// the figure back, under its own name when that is free or holds it already.
TEST_F(RecipeFigures, TheFigureTravelsWithTheRecipe) {
    const Recipe r = WithFigure(RGB(10, 200, 30));
    const std::string original = Bytes(FigurePath("TEMPBITMAP0"));
    const std::string path = (folder_ / "idea.json").string();
    std::string error;
    ASSERT_TRUE(WriteRecipeFile(path, r, &error)) << error;

    fs::remove(FigurePath("TEMPBITMAP0"));
    Recipe read;
    ASSERT_TRUE(ReadRecipeFile(path, &read, &error)) << error;
    EXPECT_STREQ(read.filSpec.OpArt.imageName, "TEMPBITMAP0");
    EXPECT_EQ(Bytes(FigurePath("TEMPBITMAP0")), original);
    ASSERT_TRUE(ReadRecipeFile(path, &read, &error)) << error;
    EXPECT_EQ(TempFiles(), std::vector<std::string>{"TEMPBITMAP0.BMP"});

    // Another picture under that name now: the figure takes the next one.
    fs::remove(FigurePath("TEMPBITMAP0"));
    WithFigure(RGB(1, 1, 1));
    ASSERT_TRUE(ReadRecipeFile(path, &read, &error)) << error;
    EXPECT_STREQ(read.filSpec.OpArt.imageName, "TEMPBITMAP1");
    EXPECT_EQ(Bytes(FigurePath("TEMPBITMAP1")), original);
    // Read again and again, it finds its figure where it left it.
    ASSERT_TRUE(ReadRecipeFile(path, &read, &error)) << error;
    ASSERT_TRUE(ReadRecipeFile(path, &read, &error)) << error;
    EXPECT_STREQ(read.filSpec.OpArt.imageName, "TEMPBITMAP1");
    EXPECT_EQ(TempFiles(), (std::vector<std::string>{"TEMPBITMAP0.BMP", "TEMPBITMAP1.BMP"}));
}

TEST_F(RecipeFigures, AMissingFigureIsRefusedOnlyForItsOwnXform) {
    Recipe r = WithFigure(RGB(10, 200, 30));
    fs::remove(FigurePath("TEMPBITMAP0"));
    const std::string path = (folder_ / "idea.json").string();
    std::string error;
    EXPECT_FALSE(WriteRecipeFile(path, r, &error));
    EXPECT_EQ(error, path + ": field \"params.Op Art.imageName\": the figure bitmap " +
                         FigurePath("TEMPBITMAP0") +
                         " cannot be read: No such file or directory; the recipe could not "
                         "draw its picture again");
    EXPECT_FALSE(fs::exists(path));

    // Another Xform's recipe keeps no figure it does not draw.
    r.filSpec.XformIndex = kMosaic;
    ASSERT_TRUE(WriteRecipeFile(path, r, &error)) << error;
    EXPECT_EQ(RecipeToJson(r)["params"]["Op Art"]["imageName"], "");
}

TEST_F(RecipeFigures, DamagedFiguresNameTheFieldAndLeaveNothingBehind) {
    const std::string field = "field \"params.Op Art.imageName\": ";
    auto withFigure = [](const Json& figure) {
        return Edited([&figure](Json& j) { j["params"]["Op Art"]["imageName"] = figure; });
    };
    EXPECT_EQ(ReadError(withFigure("TEMPBITMAP0")),
              field +
                  "expected \"\" or {\"name\": \"TEMPBITMAP<n>\", \"bmp\": BMP file in "
                  "base64}, found \"TEMPBITMAP0\"");
    EXPECT_EQ(ReadError(withFigure({{"name", "TEMPBITMAP0"}, {"bmp", "Qk0*"}})),
              field + "\"bmp\" is not base64");
    EXPECT_EQ(ReadError(withFigure({{"name", "TEMPBITMAP0"}, {"bmp", "Qk0AAAAA"}})),
              field + "\"bmp\" is not a BMP picture");
    // A header of a few bytes claiming gigabytes is refused before anything is
    // written or allocated.
    std::string huge(54, '\0');
    huge[0] = 'B', huge[1] = 'M', huge[14] = 40;
    huge[18] = '\x60', huge[19] = '\xEA', huge[22] = '\x60', huge[23] = '\xEA';  // 60000 x 60000
    EXPECT_EQ(ReadError(withFigure({{"name", "TEMPBITMAP0"}, {"bmp", EncodeBase64(huge)}})),
              field +
                  "\"bmp\" claims a picture of 60000 x 60000 pixels; a figure has at most 4096 "
                  "a side");
    EXPECT_TRUE(TempFiles().empty());

    // A name from the file is never joined to a folder unless it is one of ours.
    const Recipe r = WithFigure(RGB(7, 7, 7));
    Json j = RecipeToJson(r);
    j["params"]["Op Art"]["imageName"]["name"] = "../escape";
    Recipe read;
    std::string error;
    ASSERT_TRUE(RecipeFromText(j.dump(), &read, &error)) << error;
    EXPECT_STREQ(read.filSpec.OpArt.imageName, "TEMPBITMAP0");
    EXPECT_FALSE(fs::exists(folder_ / "escape.BMP"));

    // A recipe refused for another field takes back the figure it stored.
    fs::remove(FigurePath("TEMPBITMAP0"));
    j["seed"] = "not a seed";
    EXPECT_FALSE(RecipeFromText(j.dump(), &read, &error));
    EXPECT_TRUE(TempFiles().empty());
}

// However many recipes bring their figures, the folder keeps the newest few.
TEST_F(RecipeFigures, TheFolderKeepsABoundedNumberOfFigures) {
    LimitFigureFilesForTests(6);
    CDADC dot(1, 1);
    for (int i = 0; i < 9; ++i) {
        dot.pDC->SetPixel(0, 0, static_cast<COLORREF>(i));
        std::string name, path;
        ASSERT_TRUE(StoreFigure(&dot, &name, &path));
        std::string bytes, why;
        ASSERT_TRUE(ReadFigureBytes(name.c_str(), &bytes, &why));
        fs::remove(path);
        bool created = false;
        ASSERT_TRUE(StoreFigureBytes(bytes, nullptr, &name, &created, &why)) << why;
        EXPECT_TRUE(created);
    }
    LimitFigureFilesForTests(0);
    EXPECT_EQ(TempFiles().size(), 6u);
}

TEST(Base64, RoundTripsEveryLengthAndRefusesDamage) {
    std::string bytes;
    for (int n = 0; n < 8; ++n) {
        std::string back;
        ASSERT_TRUE(DecodeBase64(EncodeBase64(bytes), &back));
        EXPECT_EQ(back, bytes);
        bytes += static_cast<char>(0xF0 + n);
    }
    EXPECT_EQ(EncodeBase64("Man"), "TWFu");
    EXPECT_EQ(EncodeBase64("Ma"), "TWE=");
    std::string out;
    for (const char* bad : {"TWF", "TW=u", "T===", "TWFu\n", "TW!u"})
        EXPECT_FALSE(DecodeBase64(bad, &out)) << bad;
}
