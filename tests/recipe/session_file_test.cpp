#include "recipe/session_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "document/generation_worker.h"
#include "document/idea_gallery.h"
#include "engine/crt_random.h"
#include "engine/figure_file.h"
#include "recipe/mix_names.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "support/xform_harness.h"
#include "util/app_folders.h"
#include "util/base64.h"

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

class SessionFile : public ::testing::Test {
  protected:
    void SetUp() override { UseTempFolder("temp"); }
    void TearDown() override { SetTempFolder(""); }

    void UseTempFolder(const std::string& name) {
        fs::create_directories(scratch_ / name);
        SetTempFolder((scratch_ / name).string());
    }
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(TempFolder()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    static std::unique_ptr<CDADC> Picture() {
        return PaintedPicture(48, 32, [](int x, int y) {
            return RGB((x * 5) & 0xFF, (y * 7) & 0xFF, ((x + y) * 3) & 0xFF);
        });
    }

    // A session with one Wizard idea of every Xform that draws, Op Art's
    // with a figure bitmap, and settings away from their defaults.
    Session EveryXform() {
        Session s;
        s.picture = Picture();
        s.name = "flower-2";
        s.quality = 2;
        s.sequence.emplace_back();
        CrtSrand(3);
        for (const XformRow& row : XformRows()) {
            if (!row.Draws()) continue;
            UsageCounts counts;
            counts.fill(100);
            counts[row.index] = 0;
            CFilSpec idea = s.sequence.back();
            const std::uint32_t seed = 1000u + static_cast<std::uint32_t>(row.index);
            EXPECT_TRUE(MakeWizardIdea(idea, counts, *s.picture, &seed));
            EXPECT_EQ(idea.XformIndex, row.index);
            if (row.index == kOpArt) {
                CDADC figure(kFigureSide, kFigureSide);
                figure.pDC->FillSolidRect(0, 0, kFigureSide / 2, kFigureSide, RGB(200, 40, 90));
                std::string name, path;
                EXPECT_TRUE(StoreFigure(&figure, &name, &path));
                std::strcpy(idea.OpArt.imageName, name.c_str());
            }
            s.sequence.push_back(idea);
        }
        s.current = 3;
        s.finalMix.Mode = kMixHsv;
        s.finalMix.Percent = 33;
        s.webFade.Mode = kMixCentreOut;
        s.webFade.Colour = RGB(1, 2, 3);
        s.selection.SetHsv(200, 0.5, 0.25);
        return s;
    }

    // The idea drawn at the session's quality over its picture.
    static std::uint64_t Drawn(const CFilSpec& recipe, const CDADC& picture, int k) {
        CDADC canvas(picture.width * k, picture.height * k);
        CDADC out(picture.width, picture.height);
        std::atomic<int> progress{0};
        EXPECT_TRUE(ApplyAndMix(recipe, &picture, &canvas, &out, &progress)) << recipe.GetName();
        return PictureHash(out);
    }

    std::string Write(const Session& s) {
        std::string text, error;
        EXPECT_TRUE(SessionToText(s, &text, &error)) << error;
        return text;
    }

    // The error of reading the session text after edit.
    static std::string Refusal(const std::string& text, const std::function<void(Json&)>& edit) {
        Json j = Json::parse(text);
        edit(j);
        Session read;
        read.name = "untouched";
        std::string error;
        EXPECT_FALSE(SessionFromText(j.dump(), &read, &error));
        EXPECT_EQ(read.name, "untouched");
        EXPECT_EQ(read.picture, nullptr);
        return error;
    }

    ScratchDir scratch_;
};

}  // namespace

// Every idea of a session reopened on another machine (another temporary
// folder, without the figure files) draws the very pixels it drew before.
TEST_F(SessionFile, EveryIdeaDrawsTheSamePixelsAfterReopening) {
    MessageCapture messages;
    const Session saved = EveryXform();
    std::vector<std::uint64_t> before;
    for (size_t i = 1; i < saved.sequence.size(); ++i)
        before.push_back(Drawn(saved.sequence[i], *saved.picture, saved.quality));
    const std::string path = (scratch_ / "flower.fabulor").string();
    std::string error;
    ASSERT_TRUE(WriteSessionFile(path, saved, &error)) << error;

    UseTempFolder("elsewhere");
    Session read;
    ASSERT_TRUE(ReadSessionFile(path, &read, &error)) << error;
    EXPECT_EQ(read.name, saved.name);
    EXPECT_EQ(read.quality, 2);
    EXPECT_EQ(read.current, 3);
    EXPECT_EQ(read.finalMix, saved.finalMix);
    EXPECT_EQ(read.webFade, saved.webFade);
    EXPECT_EQ(read.selection, saved.selection);
    ASSERT_NE(read.picture, nullptr);
    EXPECT_EQ(PictureHash(*read.picture), PictureHash(*saved.picture));
    ASSERT_EQ(read.sequence.size(), saved.sequence.size());
    EXPECT_EQ(read.sequence[0], saved.sequence[0]);
    for (size_t i = 1; i < read.sequence.size(); ++i) {
        EXPECT_EQ(Drawn(read.sequence[i], *read.picture, read.quality), before[i - 1])
            << read.sequence[i].GetName();
        EXPECT_EQ(read.sequence[i], saved.sequence[i]) << read.sequence[i].GetName();
    }
    EXPECT_EQ(TempFiles(), std::vector<std::string>{"TEMPBITMAP0.BMP"});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{});
}

TEST_F(SessionFile, RefusalsNameWhatIsWrongAndLeaveNothingBehind) {
    const Session s = EveryXform();
    const std::string text = Write(s);
    UseTempFolder("elsewhere");
    std::string error;
    Session read;

    EXPECT_FALSE(SessionFromText(text.substr(0, text.size() / 2), &read, &error));
    EXPECT_EQ(error.rfind("not valid JSON: ", 0), 0u) << error;
    EXPECT_EQ(Refusal(text, [](Json& j) { j["version"] = 2; }),
              "field \"version\": 2 is newer than this program reads (1)");
    EXPECT_EQ(Refusal(text, [](Json& j) { j["format"] = "fabulor-recipe"; }),
              "field \"format\": \"fabulor-recipe\" is not \"fabulor-session\": this is not a "
              "Fabulor session");
    EXPECT_EQ(Refusal(text,
                      [](Json& j) {
                          j["sequence"][2]["xform"] = {{"name", "Null"}, {"index", 19}};
                      }),
              "field \"sequence[2].xform.name\": \"Null\" is an Xform that cannot draw here");
    const std::string unknown =
        Refusal(text, [](Json& j) { j["sequence"][1]["xform"]["name"] = "Kaleidoscope"; });
    EXPECT_EQ(unknown.rfind("field \"sequence[1].xform.name\": \"Kaleidoscope\" is not an Xform; "
                            "allowed: Banya, ",
                            0),
              0u)
        << unknown;
    EXPECT_EQ(Refusal(text, [](Json& j) { j["sequence"][4]["seed"] = -1; }),
              "field \"sequence[4].seed\": -1 is out of range; allowed: 0 to 4294967295");
    EXPECT_EQ(Refusal(text, [](Json& j) { j["current"]["index"] = 99; }),
              "field \"current.index\": 99 is out of range; allowed: 0 to " +
                  std::to_string(s.sequence.size() - 1));
    EXPECT_EQ(Refusal(text, [](Json& j) { j["name"] = "../../home/x"; }),
              "field \"name\": \"../../home/x\" holds characters no document name has ('/', "
              "'\\', '.' or control characters)");
    EXPECT_EQ(Refusal(text, [](Json& j) { j["sequence"] = Json::array(); }),
              "field \"sequence\": expected a list of recipes, the original's first, found a "
              "list");
    // The picture: not base64, not a picture, not the size the file says.
    EXPECT_EQ(Refusal(text, [](Json& j) { j["picture"]["png"] = "iVBOR w0K"; }),
              "field \"picture.png\" is not base64 (whole and padded, without line breaks)");
    EXPECT_EQ(
        Refusal(text, [](Json& j) { j["picture"]["png"] = EncodeBase64("GIF89a, a picture"); }),
        "field \"picture.png\" is not a picture this program reads: PNG: not a PNG file");
    EXPECT_EQ(Refusal(text, [](Json& j) { j["picture"]["width"] = 49; }),
              "field \"picture.png\" is a picture of 48 x 32 pixels, not 49 x 32");
    std::string png;
    ASSERT_TRUE(DecodeBase64(Json::parse(text)["picture"]["png"].get<std::string>(), &png));
    EXPECT_EQ(Refusal(text, [&](Json& j) { j["picture"]["png"] = EncodeBase64(png.substr(0, 60)); })
                  .rfind("field \"picture.png\" is not a picture this program reads: PNG: ", 0),
              0u);
    // Op Art's figure was read and stored before each fault was found: gone again.
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});

    // An Xform that cannot draw in this program is named.
    XformRow* row = MutableXformRow(kMosaic);
    const XformRow saved = *row;
    row->run = nullptr;
    size_t mosaic = 0;
    while (s.sequence[mosaic].XformIndex != kMosaic)
        ++mosaic;
    EXPECT_EQ(Refusal(text, [](Json&) {}), "field \"sequence[" + std::to_string(mosaic) +
                                               "].xform.name\": \"Mosaic\" is an Xform that cannot "
                                               "draw here");
    *row = saved;

    // Files: too large, a folder, a missing one; each named.
    const std::string folder = scratch_.Path().string();
    EXPECT_FALSE(ReadSessionFile("/dev/zero", &read, &error));
    EXPECT_EQ(error, "/dev/zero: is too large for a session (at most 268435456 bytes)");
    EXPECT_FALSE(ReadSessionFile(folder, &read, &error));
    EXPECT_EQ(error, folder + ": is a folder, not a session file");
    EXPECT_FALSE(ReadSessionFile(folder + "/none.fabulor", &read, &error));
    EXPECT_EQ(error, folder + "/none.fabulor: cannot be read: No such file or directory");
    EXPECT_EQ(read.picture, nullptr);
}

// What cannot be written is refused before anything is written.
TEST_F(SessionFile, WritingRefusesWhatCouldNotBeReadBack) {
    Session s = EveryXform();
    const std::string path = (scratch_ / "s.fabulor").string();
    std::string error;
    s.current = static_cast<int>(s.sequence.size());
    EXPECT_FALSE(WriteSessionFile(path, s, &error));
    EXPECT_EQ(error, path + ": field \"current.index\": " + std::to_string(s.sequence.size()) +
                         " is not an image of the sequence of " +
                         std::to_string(s.sequence.size()));
    s.current = 0;
    fs::remove_all(TempFolder());  // Op Art's figure is gone
    EXPECT_FALSE(WriteSessionFile(path, s, &error));
    EXPECT_NE(error.find(": sequence["), std::string::npos) << error;
    EXPECT_NE(error.find("the recipe could not draw its picture again"), std::string::npos)
        << error;
    s.picture.reset();
    EXPECT_FALSE(WriteSessionFile(path, s, &error));
    EXPECT_EQ(error, path + ": the session has no picture");
    EXPECT_FALSE(fs::exists(path));
}
