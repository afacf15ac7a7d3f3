#include "cli/cli_commands.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "cli/cli_internal.h"
#include "engine/progress.h"
#include "engine/xform_context.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "support/scratch_dir.h"
#include "support/xform_harness.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"

namespace fs = std::filesystem;
using namespace fabulor_cli;

namespace {

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

class CliCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        // A small picture with something in it for the tiles to take.
        const auto picture =
            PaintedPicture(64, 48, [](int x, int y) { return RGB((x * y) & 0xFF, y * 5, x * 4); });
        ASSERT_TRUE(picture->WriteBmpFile(Path("picture.bmp").c_str()));
    }
    void TearDown() override { SetTempFolder(""); }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    int Run(Command command, const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return command(args, out_, err_);
    }
    // The command line written out, its words split at spaces.
    int RunLine(Command command, const std::string& line) {
        std::istringstream words(line);
        return Run(command, std::vector<std::string>(std::istream_iterator<std::string>(words),
                                                     std::istream_iterator<std::string>()));
    }

    static std::string Bytes(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDir scratch_;
    const fs::path& folder_ = scratch_.Path();
    std::ostringstream out_;
    std::ostringstream err_;
    MessageCapture messages_;
};

// Stands in an Xform that the user stops half way through, with Ctrl+C or
// (as a desktop session or timeout does) SIGTERM.
int stopSignal = SIGINT;
int InterruptedRun(const CFilSpec& filSpec, XformContext&) {
    raise(stopSignal);
    // Without the handler the program would have ended here.
    return StopRequested != 0 ? 0 : filSpec.Mosaic.geometry;
}
int AlwaysValid(CFilSpec&, int, int) {
    return 1;
}

}  // namespace

TEST_F(CliCommands, WrongValuesAreRefusedWithWhatIsAllowed) {
    const auto expectRefused = [&](const std::string& line, const std::string& message) {
        EXPECT_EQ(RunLine(RunRender, line), kExitUsage) << message;
        EXPECT_EQ(err_.str(),
                  "fabulor-cli render: " + message + "\nTry 'fabulor-cli render --help'.\n");
    };
    const struct {
        const char* args;
        std::string message;
    } cases[] = {
        {"--set tileSize=9", "--set tileSize=9: 9 is out of range; allowed: 1 to 7"},
        {"--set geometry=round",
         "--set geometry=round: not one of the choices; allowed: 1028 (rectangular), 1029 "
         "(circular), 1030 (rect-and-circle)"},
        {"--set=spacing=wide", "--set spacing=wide: not a number; allowed: 5 to 40"},
        {"--set tiles=4",
         "--set tiles=4: Mosaic has no field 'tiles'; allowed: tileSize, spacing, geometry, "
         "background, highlightColour, highlightPosition, wizardChooses"},
        {"--set highlightColour=red",
         "--set highlightColour=red: not a colour; allowed: a colour as six hexadecimal digits "
         "RRGGBB, red first (FF8000 is orange)"},
        {"--set background=GGGGGG",
         "--set background=GGGGGG: not a colour nor \"picture\"; allowed: picture, or a colour "
         "as six hexadecimal digits RRGGBB, red first (FF8000 is orange)"},
        {"--quality 3", "--quality 3: allowed: 1, 2 or 4"},
        {"--seed -1", "--seed -1: allowed: a whole number 0 to 4294967295"},
        {"--fade even",
         "--fade even: unknown mode; allowed: off, left-right, top-bottom, right-left, "
         "bottom-top, centre-out, outer-in, centre-out-elliptical, outer-in-elliptical"},
        {"--select hue=30,colour=red",
         "--select colour=red: 'colour' is not a field of the selection; allowed: invert, hue, "
         "saturation, value, smoothing"},
        {"--fade-colour white", "--fade-colour white: not a colour; allowed: RRGGBB (hexadecimal)"},
        {"--xform Kaleidoscope",
         "--xform Kaleidoscope: unknown Xform; allowed: " + XformListHelp()},
        {"--colour", "unknown option --colour"},
        {"--output=other.png", "--output is given more than once"},
        {"--seed 1 --seed 2", "--seed is given more than once"},
    };
    for (const auto& c : cases)
        expectRefused(Path("picture.bmp") + " -o " + Path("out.png") + " " + c.args, c.message);
    // Only Xforms that draw are offered, by name and by index.
    for (const XformRow& row : XformRows()) {
        EXPECT_EQ(XformListHelp().find(std::string(row.name) + " (" + std::to_string(row.index) +
                                       ")") != std::string::npos,
                  row.Draws())
            << row.name;
        if (row.Draws()) continue;
        expectRefused(Path("picture.bmp") + " -o " + Path("out.png") + " --xform " +
                          std::to_string(row.index),
                      "--xform " + std::to_string(row.index) +
                          ": unknown Xform; allowed: " + XformListHelp());
    }
    expectRefused(Path("picture.bmp") + " -o " + Path("out.gif"),
                  "-o " + Path("out.gif") +
                      ": the picture type is chosen by the extension; allowed: .bmp, .jpg, .png, "
                      ".tga, .pcx");
    expectRefused(Path("picture.bmp"), "the picture to write is missing: -o OUT");
    expectRefused(Path("picture.bmp") + " -o " + Path("out.png") +
                      " --xform 14 --set imageName=" + Path("none.bmp"),
                  "--set imageName=" + Path("none.bmp") + ": the picture cannot be read");
    EXPECT_EQ(Files(), std::vector<std::string>{"picture.bmp"});
}

TEST_F(CliCommands, ReplayGivesTheSameBytesAsRender) {
    ASSERT_EQ(
        RunLine(RunRender, Path("picture.bmp") + " -o " + Path("a.png") +
                               " --seed 77 --quality 2 --set geometry=circular --mix left-right"
                               " --mix-percent 30 --fade outer-in --fade-colour 203040 --select"
                               " hue=40,saturation=0.5,smoothing=2 --quiet --recipe " +
                               Path("a.json")),
        kExitOk)
        << err_.str();
    ASSERT_EQ(RunLine(RunReplay, Path("a.json") + " -o " + Path("b.png") + " --quiet"), kExitOk)
        << err_.str();
    const std::string rendered = Bytes(Path("a.png"));
    EXPECT_GT(rendered.size(), 100u);
    EXPECT_EQ(Bytes(Path("b.png")), rendered);

    // The wizard command writes each idea with its recipe, named after the picture.
    ASSERT_EQ(Run(RunWizard, {Path("picture.bmp"), "-n", "2", "-o", Path("ideas"), "--quiet"}),
              kExitOk)
        << err_.str();
    for (int i = 1; i <= 2; ++i) {
        const std::string base = Path("ideas/picture-00" + std::to_string(i));
        ASSERT_EQ(Run(RunReplay, {base + ".json", "-o", Path("again.png"), "--quiet"}), kExitOk);
        EXPECT_EQ(Bytes(Path("again.png")), Bytes(base + ".png")) << i;
    }
    EXPECT_TRUE(messages_.Texts().empty());
}

// convert writes its picture whole: a stop while it writes leaves the
// picture that was there.
TEST_F(CliCommands, ConvertReplacesAPictureWholeOrNotAtAll) {
    ASSERT_EQ(Run(RunConvert, {Path("picture.bmp"), Path("copy.png")}), kExitOk) << err_.str();
    const std::string before = Bytes(Path("copy.png"));
    std::ofstream(Path("other.bmp")) << "not a picture";
    EXPECT_EQ(Run(RunConvert, {Path("other.bmp"), Path("copy.png")}), kExitFailed);
    StopRequested = 1;  // Ctrl+C came while the picture was written
    EXPECT_EQ(Run(RunConvert, {Path("picture.bmp"), Path("copy.png")}), kExitStopped);
    StopRequested = 0;
    EXPECT_EQ(Bytes(Path("copy.png")), before);
    EXPECT_EQ(Files(), (std::vector<std::string>{"copy.png", "other.bmp", "picture.bmp"}));
    messages_.Clear();
}

TEST_F(CliCommands, CtrlCAndSigtermStopTheRunAndWriteNothing) {
    XformRow* row = MutableXformRow(kBanya);
    const XformRow saved = *row;
    row->run = InterruptedRun;
    row->validate = AlwaysValid;
    for (const auto& [signal, status] :
         {std::pair{SIGINT, kExitStopped}, std::pair{SIGTERM, kExitTerminated}}) {
        stopSignal = signal;
        err_.str("");
        EXPECT_EQ(Run(RunRender, {Path("picture.bmp"), "-o", Path("out.png"), "--xform", "Banya",
                                  "--recipe", Path("out.json"), "--quiet"}),
                  status);
        EXPECT_EQ(err_.str(), "fabulor-cli: stopped; nothing more was written\n");
        EXPECT_EQ(Files(), std::vector<std::string>{"picture.bmp"});
        EXPECT_EQ(StopRequested, 0);
    }
    *row = saved;
}

// An Xform that draws nothing is a failure with its reason, never a stop.
TEST_F(CliCommands, AnIdeaThatCannotBeDrawnFailsAndIsNoStop) {
    XformRow* row = MutableXformRow(kBanya);
    const XformRow saved = *row;
    row->run = [](const CFilSpec&, XformContext&) { return 0; };
    row->validate = AlwaysValid;
    EXPECT_EQ(
        Run(RunRender, {Path("picture.bmp"), "-o", Path("out.png"), "--xform", "Banya", "--quiet"}),
        kExitFailed);
    EXPECT_EQ(err_.str().find("stopped"), std::string::npos) << err_.str();
    EXPECT_EQ(messages_.Faults(),
              std::vector<std::string>{"Banya could not draw this picture of 64 x 48 pixels"});
    EXPECT_EQ(Files(), std::vector<std::string>{"picture.bmp"});
    messages_.Clear();
    *row = saved;
}

TEST_F(CliCommands, AnOpArtFigureReplaysAfterTheTemporaryFolderIsEmptied) {
    SetTempFolder(Path("temp"));
    ASSERT_EQ(
        Run(RunRender, {Path("picture.bmp"), "-o", Path("a.png"), "--xform", "Op Art", "--set",
                        "geometry=rotation", "--set", "squaresAcross=6", "--set",
                        "imageName=" + Path("picture.bmp"), "--recipe", Path("a.json"), "--quiet"}),
        kExitOk)
        << err_.str();
    EXPECT_TRUE(fs::exists(Path("temp/TEMPBITMAP0.BMP")));
    fs::remove_all(Path("temp"));
    ASSERT_EQ(Run(RunReplay, {Path("a.json"), "-o", Path("b.png"), "--quiet"}), kExitOk)
        << err_.str();
    EXPECT_EQ(Bytes(Path("b.png")), Bytes(Path("a.png")));
}

// The ideas are chosen in order and then drawn side by side: with a seed
// the batch is made again file for file, however many threads draw it, and
// the contact sheet shows every idea.
TEST_F(CliCommands, WizardWritesTheSameFilesOnAnyNumberOfThreads) {
    for (const char* threads : {"1", "3"}) {
        ASSERT_EQ(Run(RunWizard,
                      {Path("picture.bmp"), "-n", "5", "-o", Path(threads), "-j", threads, "--seed",
                       "40", "--sheet", Path(std::string(threads) + "/sheet.png"), "--quiet"}),
                  kExitOk)
            << err_.str();
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Path("1")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 11u);  // five pictures, five recipes, the sheet
    EXPECT_EQ(names.front(), "picture-001.json");
    for (const std::string& name : names)
        EXPECT_EQ(Bytes(Path("3/" + name)), Bytes(Path("1/" + name))) << name;
    const std::string lines = out_.str();
    for (int seed = 40; seed < 45; ++seed)
        EXPECT_NE(lines.find(", seed " + std::to_string(seed) + "\n"), std::string::npos) << seed;

    // Three columns of two rows, each idea 64 x 48 with a label of 13 pixels
    // or more under it, 12 pixels apart.
    std::unique_ptr<CDADC> sheet = LoadPicture(Path("1/sheet.png"), err_);
    ASSERT_NE(sheet, nullptr);
    EXPECT_GE(sheet->width, 4 * 12 + 3 * 64);
    EXPECT_GE(sheet->height, 3 * 12 + 2 * (48 + 13));
    EXPECT_LT(sheet->height, 4 * 12 + 3 * (48 + 13));
    EXPECT_TRUE(messages_.Texts().empty());

    const auto refused = [&](std::vector<std::string> args, const std::string& message) {
        args.insert(args.begin(), {Path("picture.bmp"), "-o", Path("x")});
        EXPECT_EQ(Run(RunWizard, args), kExitUsage) << message;
        EXPECT_EQ(err_.str(),
                  "fabulor-cli wizard: " + message + "\nTry 'fabulor-cli wizard --help'.\n");
    };
    refused({"-n", "2", "-j", "0"}, "-j 0: allowed: a whole number 1 to 256");
    refused({"-n", "1001", "--sheet", "s.png"}, "--sheet holds at most 1000 ideas, not 1001");
    refused({"-n", "2", "--sheet", "s.gif"},
            "--sheet s.gif: the picture type is chosen by the extension; allowed: .bmp, .jpg, "
            ".png, .tga, .pcx");
    EXPECT_FALSE(fs::exists(Path("x")));
    ASSERT_EQ(Run(RunWizard, {"--help"}), kExitOk);
    EXPECT_NE(out_.str().find("  -j N  "), std::string::npos);
    EXPECT_NE(out_.str().find("  --sheet FILE  "), std::string::npos);
}

namespace {

// One Ctrl+C while ideas are drawn side by side (a second one would end the
// program); every run then waits for its stop, as a long Xform does.
std::atomic<bool> interrupted{false};
int InterruptedOnce(const CFilSpec&, XformContext&) {
    if (!interrupted.exchange(true)) raise(SIGINT);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (StopRequested == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return StopRequested != 0 ? 0 : 1;
}

}  // namespace

// Ctrl+C while ideas are drawn side by side stops them all: nothing more is
// written, and the flag is back at 0 for what comes next.
TEST_F(CliCommands, CtrlCStopsAWizardDrawnSideBySide) {
    std::vector<XformRow> saved(XformRows().begin(), XformRows().end());
    for (int i = 0; i < kXformCount; ++i)
        MutableXformRow(i)->run = nullptr;
    XformRow* row = MutableXformRow(kBanya);
    row->run = InterruptedOnce;
    row->validate = AlwaysValid;
    row->wizard = [](CFilSpec&, const CDADC&) {};
    interrupted = false;
    EXPECT_EQ(Run(RunWizard, {Path("picture.bmp"), "-n", "6", "-o", Path("ideas"), "-j", "2",
                              "--sheet", Path("sheet.png"), "--quiet"}),
              kExitStopped);
    for (int i = 0; i < kXformCount; ++i)
        *MutableXformRow(i) = saved[static_cast<size_t>(i)];
    EXPECT_EQ(err_.str(), "fabulor-cli: stopped; nothing more was written\n");
    EXPECT_TRUE(fs::is_empty(Path("ideas")));
    EXPECT_FALSE(fs::exists(Path("sheet.png")));
    EXPECT_EQ(StopRequested, 0);
}
