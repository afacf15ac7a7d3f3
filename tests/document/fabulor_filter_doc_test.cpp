#include "document/fabulor_filter_doc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "cli/cli_commands.h"
#include "document/disk_cache.h"
#include "document/document_files.h"
#include "document/idea_gallery.h"
#include "document/picture_load.h"
#include "engine/progress.h"
#include "engine/xform_context.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "support/xform_harness.h"
#include "surface/cdadc.h"
#include "tools/gdi_script.h"
#include "util/app_folders.h"

namespace fs = std::filesystem;

namespace {

struct FakeView : DocumentView {
    std::unique_ptr<CDADC> picture;
    std::vector<std::string> thumbnails;
    CDADC* Picture() override { return picture.get(); }
    int SetViewPicture(std::unique_ptr<CDADC> shown) override {
        picture = std::move(shown);
        return picture != nullptr;
    }
    void Invalidate(bool) override {}
    int AddToThumbnails(CDADC*, const char* name) override {
        thumbnails.push_back(name);
        return 0;
    }
    int OverviewDialog(int*) override { return 0; }
    int MixDialog(MixSettings*, const CDADC*, int*) override { return 0; }
    int WebFadeDialog(MixSettings*, const CDADC*, int*) override { return 0; }
    int SelectionDialog(AreaSelection*, const CDADC*, int*) override { return 0; }
};

// Runs happen when the test says so, on the test's thread.
struct FakeApp : ApplicationHost {
    GenerationClient* client = nullptr;
    std::unique_ptr<GenerationRun> run;
    int runs = 0;
    int lastXform = kBanya;
    std::vector<std::string> openNames;
    bool IsGenerating() const override { return client != nullptr; }
    void BeginRun(GenerationClient* c, std::unique_ptr<GenerationRun> r) override {
        client = c;
        run = std::move(r);
        ++runs;
    }
    void Finish(int stopped) {
        ASSERT_NE(client, nullptr);
        if (!stopped) {
            std::atomic<int> progress{0};
            RunGeneration(*run, &progress);
        }
        // As the worker does: a run without a picture ends as a stopped one.
        const int ended = (stopped || !run->produced) ? 1 : 0;
        run.reset();
        GenerationClient* c = client;
        client = nullptr;
        c->OnGenerationDone(ended);
    }
    int ImageQualityDialog(int, int*, int*) override { return 0; }
    int LastXform() const override { return lastXform; }
    void SetLastXform(int index) override { lastXform = index; }
    int CountDocumentsNamed(const std::string& name) const override {
        int n = 0;
        for (const std::string& s : openNames)
            n += s == name;
        return n;
    }
};

// A stand-in Xform on Banya's row: fills the canvas with a colour from the seed.
int PaintSeed(const CFilSpec& filSpec, XformContext& ctx) {
    CDADC* out = ctx.Out;
    out->pDC->FillSolidRect(0, 0, out->width, out->height, filSpec.Seed & 0xFFFFFF);
    return 1;
}
int AlwaysValid(CFilSpec&, int, int) {
    return 1;
}
int NeverValid(CFilSpec&, int, int) {
    return 0;
}
int Fails(const CFilSpec&, XformContext&) {
    return 0;
}
int SettingsOk(CFilSpec&) {
    return 1;
}

struct Document : ::testing::Test {
    ScratchDir scratch;
    const fs::path& folder = scratch.Path();
    XformRow saved;
    FakeApp app;
    FakeView view;
    std::unique_ptr<CFabulorFilterDoc> doc;
    ChooseXformDialog savedDialog = nullptr;

    void SetUp() override {
        SetTempFolder(folder.string());
        DiskCache::ResetForTests();
        saved = *MutableXformRow(kBanya);
        MutableXformRow(kBanya)->run = PaintSeed;
        MutableXformRow(kBanya)->validate = AlwaysValid;
        MutableXformRow(kBanya)->settings = SettingsOk;
        // "Choose Xform": keep the Xform, Wizard off; its settings panel answers OK.
        savedDialog = SetChooseXformDialog([](int shown, int, int* index, int* wizard) {
            *index = shown;
            *wizard = 0;
            return 1;
        });
        doc = std::make_unique<CFabulorFilterDoc>(&app, &view);
    }
    void TearDown() override {
        doc.reset();
        *MutableXformRow(kBanya) = saved;
        SetChooseXformDialog(savedDialog);
        DiskCache::ResetForTests();
        SetTempFolder("");
    }
    // A 6 × 4 picture file named name, opened as this document. It has a
    // tone of its own in every pixel, as the Wizard's Xforms ask of a picture.
    void Open(const std::string& name) {
        CDADC picture(6, 4);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                for (int c = 0; c < 3; ++c)
                    picture.Row(y)[3 * x + c] = static_cast<BYTE>(40 * x + 50 * y + 20 * c);
        const std::string path = (folder / name).string();
        ASSERT_TRUE(picture.WriteBmpFile(path.c_str()));
        ASSERT_EQ(doc->OpenImageFile(path), 1);
    }
    // face.bmp opened and its first idea drawn.
    void OpenFace() {
        Open("face.bmp");
        app.Finish(0);
    }
    // Then ideas 0x0000AA and 0x00BB00: image 3 of 4 on show.
    void OpenFaceWithTwoIdeas() {
        OpenFace();
        Idea(0x0000AA);
        Idea(0x00BB00);
    }
    // A new idea with a fixed seed, drawn to the end or stopped.
    void Idea(std::uint32_t seed, int stopped = 0) {
        doc->m_Spec.XformIndex = kBanya;
        doc->m_Spec.Seed = seed;
        doc->NewIdea(1);
        app.Finish(stopped);
    }
    COLORREF Shown() { return SurfacePixel(*view.picture, 0, 0); }
};

}  // namespace

// A new document holds only the original's recipe, and its usage counts
// keep Mist from ever being the least used; it is named beside the open
// documents, and its cache files go with it.
TEST_F(Document, OpeningNamesTheDocumentAndMakesAFirstIdeaClosingClearsItsCache) {
    EXPECT_EQ(doc->ImageCount(), 1);
    for (int i = 0; i < kXformCount; ++i)
        EXPECT_EQ(doc->m_UsageCounts[i], i == kMist ? 1000000 : 0);
    app.openNames = {"face"};
    Open("face.old.bmp");
    EXPECT_EQ(doc->m_szName, "face-1");
    EXPECT_EQ(app.runs, 1);  // Choose Xform answered OK with the Wizard off: a first idea
    app.Finish(0);
    EXPECT_EQ(doc->ImageCount(), 2);
    EXPECT_EQ(doc->m_UsageCounts[kBanya], 1);
    EXPECT_EQ(view.thumbnails, (std::vector<std::string>{"face-1", "Banya"}));
    // Closing removes the document's cache files.
    EXPECT_TRUE(fs::exists(folder / "face-1_1-1.BMP"));
    doc.reset();
    EXPECT_FALSE(fs::exists(folder / "face-1_1-1.BMP"));
}

TEST_F(Document, StoppingANewIdeaRemovesIt) {
    OpenFace();
    Idea(0x102030);
    Idea(0x405060, /*stopped=*/1);
    EXPECT_EQ(doc->ImageCount(), 3);
    EXPECT_EQ(doc->m_iCurrent, 2);
    // The recipe as it was when the idea was asked for.
    EXPECT_EQ(doc->m_Spec.Seed, 0x405060u);
    // Stopped while an earlier image was on show: that one stays on show.
    doc->Back();
    Idea(0x708090, /*stopped=*/1);
    EXPECT_EQ(doc->ImageCount(), 3);
    EXPECT_EQ(doc->m_iCurrent, 1);
    EXPECT_EQ(doc->m_iGenMode, NOGEN);
}

// An idea that fails, is refused or cannot get its canvas leaves the
// document as it was: sequence, image on show, recipe, counts, thumbnails
// and cache; and one message says why.
TEST_F(Document, AFailedOrRefusedIdeaLeavesNoTrace) {
    OpenFaceWithTwoIdeas();
    doc->Back();                        // image 2 of 3 on show, from the cache
    doc->m_Spec.FinalMix.Percent = 33;  // set, waiting for the next idea
    const CFilSpec recipe = doc->m_Spec;
    const auto sequence = doc->m_Sequence;
    const UsageCounts counts = doc->m_UsageCounts;
    const auto thumbnails = view.thumbnails;
    auto unchanged = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(doc->m_Sequence, sequence);
        EXPECT_EQ(doc->m_iCurrent, 2);
        EXPECT_EQ(doc->m_Spec, recipe);
        EXPECT_EQ(doc->m_UsageCounts, counts);
        EXPECT_EQ(view.thumbnails, thumbnails);
        EXPECT_EQ(doc->m_iGenMode, NOGEN);
        EXPECT_EQ(Shown(), static_cast<COLORREF>(0x0000AA));
        EXPECT_FALSE(fs::exists(folder / "face_4-1.BMP"));
    };

    MutableXformRow(kBanya)->run = Fails;
    doc->OnCreate();
    app.Finish(0);
    unchanged("the Xform failed");
    doc->OnCreate();
    app.Finish(1);
    unchanged("stopped");

    MutableXformRow(kBanya)->validate = NeverValid;
    const int runs = app.runs;
    doc->OnCreate();
    // The Wizard takes the least used Xform: Banya, refused by its check.
    doc->m_UsageCounts.fill(1000000);
    doc->m_UsageCounts[kBanya] = 0;
    doc->OnWizardChooses();
    doc->m_UsageCounts = counts;
    EXPECT_EQ(app.runs, runs);
    unchanged("refused");

    MutableXformRow(kBanya)->validate = AlwaysValid;
    MutableXformRow(kBanya)->run = PaintSeed;
    // A canvas four times 6000 × 7500 would need more than 2 GBytes.
    doc->m_pOrgDC = std::make_unique<CDADC>(6000, 7500);
    doc->m_iAALevel = 4;
    MessageCapture capture;
    doc->OnCreate();
    EXPECT_EQ(app.runs, runs);
    ASSERT_EQ(capture.Texts().size(), 1u);
    EXPECT_EQ(capture.Texts()[0].rfind("This picture is too large to draw at High quality:\n"
                                       "its canvas of 24000 by 30000 pixels would need 2060 MBytes",
                                       0),
              0u)
        << capture.Texts()[0];
    unchanged("too large");
    // Walking to an image not in the cache at this quality is refused alike.
    doc->Back();
    EXPECT_EQ(doc->m_iCurrent, 2);
    EXPECT_EQ(doc->m_iGenMode, NOGEN);
    EXPECT_EQ(capture.Texts().size(), 2u);
}

TEST_F(Document, WalkingBackUsesTheCacheAndAStoppedWalkRestoresTheIndex) {
    OpenFaceWithTwoIdeas();
    EXPECT_EQ(Shown(), static_cast<COLORREF>(0x00BB00));
    const int runsBefore = app.runs;
    doc->Back();  // image 2 is cached: no run
    EXPECT_EQ(app.runs, runsBefore);
    EXPECT_EQ(doc->m_iCurrent, 2);
    EXPECT_EQ(Shown(), static_cast<COLORREF>(0x0000AA));

    // Change quality so nothing is cached, then stop the walk forward.
    doc->m_iAALevel = 2;
    doc->Forward();
    EXPECT_EQ(app.runs, runsBefore + 1);
    app.Finish(1);
    EXPECT_EQ(doc->m_iCurrent, 2);
    EXPECT_EQ(doc->m_Spec.Seed, 0x0000AAu);
}

TEST_F(Document, CommandsOnTheOriginalAndTitles) {
    MessageCapture capture;
    OpenFace();
    doc->ToFirst();
    EXPECT_EQ(doc->m_iCurrent, 0);
    doc->OnCreate();
    EXPECT_EQ(capture.Texts().back(), "Select an ObjectXform");
    doc->UpdateTitle(100);
    EXPECT_EQ(doc->Title(), "face (Original)");

    for (std::uint32_t s = 1; s <= 3; ++s)
        Idea(s);
    doc->GoTo(3);
    doc->UpdateTitle(50);
    EXPECT_EQ(doc->Title(), "face (Xform #3 of 4)[50%]");
    doc->Forward();
    EXPECT_EQ(doc->m_iCurrent, 4);
    doc->Forward();
    EXPECT_EQ(capture.Texts().back(), "OGF (5)\nI just can't go on...");
}

// An idea taken from the gallery is the very recipe of its thumbnail: it is
// drawn at full size through the normal run and counted once it is done.
TEST_F(Document, AGalleryIdeaGoesToTheSequenceAsItsThumbnailsRecipe) {
    OpenFace();
    doc->m_UsageCounts[kBanya] = 1000000;  // the stand-in has no Wizard
    const UsageCounts before = doc->m_UsageCounts;
    IdeaGallery gallery(*doc->m_pOrgDC, doc->m_Spec, doc->m_UsageCounts);
    std::vector<GalleryIdea> ideas(3);
    ASSERT_TRUE(
        gallery.StartPage(3, 16, [&](const GalleryIdea& idea) { ideas[idea.index] = idea; }));
    gallery.Wait();
    EXPECT_EQ(doc->m_UsageCounts, before);

    const GalleryIdea& taken = ideas[1];
    ASSERT_NE(taken.thumbnail, nullptr) << taken.recipe.XformIndex;
    doc->TakeIdea(taken.recipe);
    ASSERT_EQ(app.run->recipe, taken.recipe);
    app.Finish(0);
    EXPECT_EQ(doc->m_Sequence.back(), taken.recipe);
    EXPECT_EQ(doc->m_Spec, taken.recipe);
    EXPECT_EQ(doc->m_iCurrent, doc->ImageCount() - 1);
    EXPECT_EQ(doc->m_UsageCounts[taken.recipe.XformIndex], before[taken.recipe.XformIndex] + 1);
    CDADC canvas(6, 4), picture(6, 4);
    std::atomic<int> progress{0};
    ASSERT_TRUE(ApplyAndMix(taken.recipe, doc->m_pOrgDC.get(), &canvas, &picture, &progress));
    EXPECT_EQ(PictureHash(*view.picture), PictureHash(picture));
}

// A document saved as a session and opened again (beside itself, so under
// another name) shows the same image, drawn again from its recipe, with the
// same sequence, quality and pending settings, and counts rebuilt from it.
TEST_F(Document, ASessionReopensAsTheDocumentItWas) {
    OpenFaceWithTwoIdeas();
    doc->Back();                        // image 2, from the cache
    doc->m_Spec.FinalMix.Percent = 21;  // set, not applied yet
    Session session;
    std::string error;
    ASSERT_TRUE(SessionOfDocument(*doc, &session, &error)) << error;
    const std::string path = (folder / "face.fabulor").string();
    ASSERT_TRUE(WriteSessionFile(path, session, &error)) << error;

    Session read;
    ASSERT_TRUE(ReadSessionFile(path, &read, &error)) << error;
    FakeView otherView;
    CFabulorFilterDoc other(&app, &otherView);
    app.openNames = {"face"};
    ASSERT_EQ(other.OpenSession(std::move(read)), 1);
    EXPECT_EQ(other.m_szName, "face-1");
    ASSERT_EQ(app.run->recipe, doc->m_Sequence[2]);
    app.Finish(0);
    EXPECT_EQ(other.m_iCurrent, 2);
    EXPECT_EQ(other.m_Sequence, doc->m_Sequence);
    EXPECT_EQ(other.m_Spec.FinalMix.Percent, 21);
    EXPECT_EQ(other.m_UsageCounts, doc->m_UsageCounts);
    // A cell of the overview for each image, at the sequence's indices.
    EXPECT_EQ(otherView.thumbnails,
              (std::vector<std::string>{"face-1", "Banya", "Banya", "Banya"}));
    EXPECT_EQ(PictureHash(*otherView.picture), PictureHash(*view.picture));
    EXPECT_EQ(PictureHash(*other.m_pOrgDC), PictureHash(*doc->m_pOrgDC));
}

// The desktop program's "Save Recipe..." writes what fabulor-cli writes, and
// fabulor-cli replay draws it again to the byte.
TEST_F(Document, ARecipeSavedByTheDocumentReplaysOnTheCommandLine) {
    const auto photo =
        PaintedPicture(40, 30, [](int x, int y) { return RGB(x * 6, y * 8, (x * y) & 0xFF); });
    const std::string picturePath = (folder / "photo.bmp").string();
    ASSERT_TRUE(photo->WriteBmpFile(picturePath.c_str()));
    ASSERT_EQ(doc->OpenImageFile(picturePath), 1);
    app.Finish(0);
    Recipe recipe;
    std::string error;
    doc->ToFirst();
    EXPECT_FALSE(RecipeOfDocument(*doc, &recipe, &error));
    EXPECT_EQ(error, "the original is on show: no recipe draws it");

    doc->m_Spec.XformIndex = kMosaic;
    doc->m_Spec.WizardAll = 0;
    doc->m_Spec.Mosaic.wizardChooses = 0;
    doc->m_Spec.Seed = 77;
    doc->m_iAALevel = 2;
    doc->NewIdea(1);
    app.Finish(0);
    ASSERT_TRUE(RecipeOfDocument(*doc, &recipe, &error)) << error;
    const std::string desktop = (folder / "desktop.json").string();
    ASSERT_TRUE(WriteRecipeFile(desktop, recipe, &error)) << error;

    std::ostringstream out, err;
    ASSERT_EQ(fabulor_cli::RunReplay({desktop, "-o", (folder / "again.bmp").string(), "--quiet"},
                                     out, err),
              fabulor_cli::kExitOk)
        << err.str();
    std::unique_ptr<CDADC> again(CDADC::LoadBmpFile((folder / "again.bmp").string().c_str()));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(PictureHash(*again), PictureHash(*view.picture));

    // Read back and applied as a new idea, it draws the same picture again.
    Recipe read;
    ASSERT_TRUE(ReadRecipeFile(desktop, &read, &error)) << error;
    const std::uint64_t shown = PictureHash(*view.picture);
    doc->m_iAALevel = 1;
    doc->ApplyRecipe(read.filSpec);
    app.Finish(0);
    EXPECT_EQ(doc->m_Sequence.back(), doc->m_Sequence[doc->m_Sequence.size() - 2]);
    EXPECT_NE(PictureHash(*view.picture), shown);  // quality 1 now, not 2
    doc->m_iAALevel = 2;
    doc->ApplyRecipe(read.filSpec);
    app.Finish(0);
    EXPECT_EQ(PictureHash(*view.picture), shown);
    MessageCapture capture;
    read.filSpec.XformIndex = kNullXform;
    doc->ApplyRecipe(read.filSpec);
    EXPECT_EQ(capture.Texts(),
              std::vector<std::string>{"The recipe's Xform \"Null\" (19) cannot draw here"});
    EXPECT_FALSE(app.IsGenerating());

    // The command line's own recipe of the same idea is the same file.
    const std::string cli = (folder / "cli.json").string();
    ASSERT_EQ(fabulor_cli::RunRender(
                  {picturePath, "-o", (folder / "cli.bmp").string(), "--xform", "Mosaic", "--seed",
                   "77", "--quality", "2", "--quiet", "--recipe", cli},
                  out, err),
              fabulor_cli::kExitOk)
        << err.str();
    std::ifstream a(desktop), b(cli);
    std::stringstream textA, textB;
    textA << a.rdbuf();
    textB << b.rdbuf();
    EXPECT_EQ(textA.str(), textB.str());
}

// A picture read on its own thread: its messages stay off the reporter and
// a failure is told as one message, the reason first.
TEST(PictureLoad, AFileThatCannotBeReadIsToldInOneMessage) {
    ScratchDir scratch;
    const std::string empty = (scratch.Path() / "flower.jpg").string();
    std::ofstream(empty).close();
    const std::string picture = (scratch.Path() / "face.bmp").string();
    ASSERT_TRUE(CDADC(6, 4).WriteBmpFile(picture.c_str()));

    MessageCapture capture;
    std::atomic<int> told{0};
    PictureLoad bad(empty, [&told] { ++told; });
    PictureLoad good(picture);
    bad.Wait();
    good.Wait();
    EXPECT_TRUE(capture.Texts().empty());
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(bad.TakePictures());
    const std::vector<Message> messages = bad.TakeMessages();
    EXPECT_GE(messages.size(), 2u);  // the readers' steps, each on its own
    EXPECT_EQ(
        OneLoadFailureText(messages, empty),
        "flower.jpg is not a JPEG picture: the file is empty\n\nCould not open imagefile:\n<" +
            empty + ">");
    const DocPictures pictures = good.TakePictures();
    ASSERT_TRUE(pictures);
    EXPECT_NE(pictures.original, pictures.shown);
    EXPECT_EQ(std::tie(pictures.shown->width, pictures.shown->height), std::tuple(6, 4));
    EXPECT_TRUE(good.TakeMessages().empty());

    // Without words from a reader the first message is the reason.
    const std::vector<Message> gif = {
        {MessageKind::Error, kAppTitle,
         "Support for image files of type 'gif'\nnot yet implemented"},
        {MessageKind::Error, kAppTitle, "Could not open imagefile:\n<x.gif>"}};
    EXPECT_EQ(OneLoadFailureText(gif, "x.gif"),
              "Support for image files of type 'gif'\nnot yet implemented\n\nCould not open "
              "imagefile:\n<x.gif>");
}
