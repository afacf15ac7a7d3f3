// fabulor-cli wizard: "Wizard chooses" pressed N times on one picture.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>

#include "cli/cli_commands.h"
#include "cli/cli_internal.h"
#include "document/contact_sheet.h"
#include "document/document_files.h"
#include "document/generation_worker.h"
#include "document/idea_gallery.h"
#include "document/idea_pool.h"
#include "engine/crt_random.h"
#include "engine/progress.h"
#include "recipe/recipe_file.h"
#include "recipe/xform_registry.h"
#include "surface/cdadc.h"

namespace fs = std::filesystem;

namespace fabulor_cli {

namespace {

constexpr const char* kWizardHelp =
    "usage: fabulor-cli wizard PICTURE -n N -o DIR [options]\n"
    "Does what pressing \"Wizard chooses\" N times does: each time the least used\n"
    "Xform, a random final mix and selection, a new seed and the Wizard's fields.\n"
    "Writes DIR/NAME-001.png and its recipe DIR/NAME-001.json, and so on (NAME is\n"
    "the picture's name); DIR is made when missing. The ideas are chosen in order\n"
    "first and then drawn side by side, so the files do not depend on -j.\n"
    "\n"
    "  -n N               how many ideas, 1 to 10000\n"
    "  -o, --output DIR   the folder to write to\n"
    "  --type TYPE        the pictures' type: png, bmp, jpg, tga or pcx (default png)\n"
    "  --quality 1|2|4    the canvas is 1, 2 or 4 times the picture's size (default 1)\n"
    "  -j N               draws N ideas at a time, 1 to 256 (default: one per core)\n"
    "  --sheet FILE       also writes a contact sheet: every idea of the run as a\n"
    "                     thumbnail labelled with its Xform and seed (at most 1000\n"
    "                     ideas; FILE's extension chooses its type)\n"
    "  --seed N           a batch that can be made again: the Wizard's choices start\n"
    "                     from N and the ideas' seeds are N, N+1, ... (default: from\n"
    "                     the clock)\n"
    "  --quiet            no progress bar\n"
    "  -h, --help         this text\n"
    "\n"
    "Ctrl+C stops the run; the ideas finished so far stay written.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line, 130 stopped by Ctrl+C,\n"
    "143 stopped by SIGTERM.\n";

constexpr int kMostIdeas = 10000;
constexpr int kMostThreads = 256;
// A sheet of more would be too large a picture to be of use.
constexpr int kMostSheetIdeas = 1000;
// The longer side of a sheet's thumbnails, in pixels.
constexpr int kSheetThumbnailSide = 200;
// How often the waiting main thread looks at Ctrl+C and the progress.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

struct WizardOptions {
    std::string picture, folder, type = "png", sheet;
    int count = 0;
    int quality = 1;
    int threads = 0;
    std::optional<std::uint32_t> seed;
    bool quiet = false;
};

// One idea of the batch as its worker left it.
struct Drawn {
    std::unique_ptr<CDADC> picture;
    RunOutcome outcome = RunOutcome::Failed;
    std::string fault;  // for the main thread to print
    bool done = false;
};

// The sheet's columns: about as many as rows, at most 10.
int SheetColumns(int count) {
    int columns = 1;
    while (columns * columns < count && columns < 10)
        ++columns;
    return columns;
}

}  // namespace

int RunWizard(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    WizardOptions opt;
    try {
        ArgReader reader(args);
        std::vector<std::string> positional;
        while (!reader.Done()) {
            const std::string arg = reader.Next();
            if (arg == "-h" || arg == "--help") {
                out << kWizardHelp;
                return kExitOk;
            } else if (arg == "-n") {
                opt.count = ParseInt(arg, reader.Value(arg), 1, kMostIdeas);
            } else if (arg == "-o" || arg == "--output") {
                opt.folder = reader.Value(arg);
            } else if (arg == "--type") {
                opt.type = CheckPictureType("--type", "x." + reader.Value(arg));
            } else if (arg == "-j") {
                opt.threads = ParseInt(arg, reader.Value(arg), 1, kMostThreads);
            } else if (arg == "--sheet") {
                opt.sheet = reader.Value(arg);
                CheckPictureType("--sheet", opt.sheet);
            } else if (arg == "--seed") {
                opt.seed = ParseSeed(reader.Value(arg));
            } else {
                reader.TakeShared(arg, &opt.quality, &opt.quiet, &positional);
            }
        }
        if (positional.size() != 1) throw UsageError{"expected one PICTURE"};
        opt.picture = positional[0];
        if (opt.count == 0) throw UsageError{"how many ideas is missing: -n N"};
        if (opt.folder.empty()) throw UsageError{"the folder to write to is missing: -o DIR"};
        if (!opt.sheet.empty() && opt.count > kMostSheetIdeas) {
            throw UsageError{"--sheet holds at most " + std::to_string(kMostSheetIdeas) +
                             " ideas, not " + std::to_string(opt.count)};
        }
    } catch (const UsageError& error) {
        return UsageFailure("wizard", error, err);
    }

    std::error_code ec;
    fs::create_directories(opt.folder, ec);
    if (!fs::is_directory(opt.folder, ec)) {
        err << "fabulor-cli: " << opt.folder << ": cannot make the folder\n";
        return kExitFailed;
    }

    MessageGuard messages;
    InterruptGuard interrupt;
    std::unique_ptr<CDADC> original = LoadPicture(opt.picture, err);
    if (!original) return kExitFailed;

    // The ideas in order, on this thread, as the document makes them: the
    // recipe carries over from one idea to the next, the counts grow.
    UsageCounts counts = NewUsageCounts();
    CFilSpec running;
    // The user interface's generator, seeded once as the program does at its start.
    CrtSrand(opt.seed ? *opt.seed : static_cast<unsigned>(std::time(nullptr)));
    std::vector<CFilSpec> recipes;
    for (int i = 0; i < opt.count; ++i) {
        const std::uint32_t seed = opt.seed ? *opt.seed + static_cast<std::uint32_t>(i) : 0;
        if (!MakeWizardIdea(running, counts, *original, opt.seed ? &seed : nullptr))
            return kExitFailed;
        recipes.push_back(running);
    }

    // Drawn side by side; written in order as each one's turn comes.
    const int w = original->width;
    const int h = original->height;
    const int k = opt.quality;
    std::vector<Drawn> drawn(recipes.size());
    auto percents = std::make_unique<std::atomic<int>[]>(recipes.size());
    std::mutex lock;
    std::condition_variable finished;
    std::atomic<int> batchStop{0};
    StatusLine status;
    auto work = [&](int item) {
        const auto i = static_cast<size_t>(item);
        const int errorsBefore = ErrorsOnThisThread();
        Drawn result;
        result.picture = std::make_unique<CDADC>(w, h);
        CDADC canvas(w * k, h * k);
        if (canvas.pBits == nullptr || result.picture->pBits == nullptr) {
            result.fault = "no memory for a canvas of " + std::to_string(w * k) + " x " +
                           std::to_string(h * k) + " pixels";
        } else {
            const bool produced = ApplyAndMix(recipes[i], original.get(), &canvas,
                                              result.picture.get(), &percents[i]);
            if (batchStop != 0) {
                result.outcome = RunOutcome::Stopped;
            } else if (produced && ErrorsOnThisThread() == errorsBefore) {
                result.outcome = RunOutcome::Finished;
            }
        }
        percents[i] = 100;
        std::lock_guard guard(lock);
        result.done = true;
        drawn[i] = std::move(result);
        finished.notify_all();
    };
    const int threads = opt.threads > 0 ? opt.threads : IdeaPool::Cores();
    IdeaPool pool;
    IdeaPool::Options options;
    options.threads = threads;
    options.window = 2 * threads;
    options.stop = &batchStop;
    options.status = &status;
    if (!pool.Start(opt.count, work, options)) {
        err << "fabulor-cli: no thread could be started to draw the ideas\n";
        return kExitFailed;
    }

    const bool bar = !opt.quiet && isatty(STDERR_FILENO);
    const std::string stem = fs::path(opt.picture).stem().string();
    std::vector<SheetEntry> sheet;
    RunOutcome outcome = RunOutcome::Finished;
    for (int item = 0; item < opt.count && outcome == RunOutcome::Finished; ++item) {
        const auto i = static_cast<size_t>(item);
        Drawn idea;
        {
            std::unique_lock guard(lock);
            while (!drawn[i].done) {
                if (!pool.Busy()) break;  // stopped before its turn came
                finished.wait_for(guard, kPollInterval);
                if (StopSignalled()) batchStop = 1;
                if (bar) {
                    long long sum = 0;
                    for (size_t j = 0; j < recipes.size(); ++j)
                        sum += std::clamp(percents[j].load(), 0, 100);
                    guard.unlock();
                    ShowProgressLine(static_cast<int>(sum / opt.count),
                                     std::to_string(item) + " of " + std::to_string(opt.count) +
                                         " ideas written");
                    guard.lock();
                }
            }
            idea = std::move(drawn[i]);
            if (!idea.done) idea.outcome = RunOutcome::Stopped;
        }
        if (bar) ClearProgressLine();
        if (StopSignalled()) idea.outcome = RunOutcome::Stopped;
        outcome = idea.outcome;
        if (!idea.fault.empty()) err << "fabulor-cli: " << idea.fault << "\n";
        if (outcome != RunOutcome::Finished) break;

        const CFilSpec& recipe = recipes[i];
        char number[16];
        std::snprintf(number, sizeof number, "-%03d", item + 1);
        const fs::path base = fs::path(opt.folder) / (stem + number);
        const std::string picturePathOut = base.string() + "." + opt.type;
        const std::string recipePath = base.string() + ".json";
        outcome = WritePicture(*idea.picture, picturePathOut, err);
        if (outcome != RunOutcome::Finished) break;
        std::string error;
        if (!WriteRecipeFile(recipePath, RecipeOf(recipe, k, opt.picture, *original), &error)) {
            err << "fabulor-cli: " << error << "\n";
            outcome = RunOutcome::Failed;
            break;
        }
        out << picturePathOut << ": " << recipe.GetName() << ", seed " << recipe.Seed << "\n";
        if (!opt.sheet.empty()) {
            sheet.push_back(
                {StretchedDown(*idea.picture, kSheetThumbnailSide),
                 std::string(recipe.GetName()) + ", seed " + std::to_string(recipe.Seed)});
        }
        pool.Release();
    }
    batchStop = outcome == RunOutcome::Finished ? 0 : 1;
    pool.Wait();
    if (bar) ClearProgressLine();

    if (outcome == RunOutcome::Finished && !opt.sheet.empty()) {
        std::unique_ptr<CDADC> contactSheet = DrawContactSheet(sheet, SheetColumns(opt.count));
        if (!contactSheet) {
            err << "fabulor-cli: " << opt.sheet << ": no memory for the contact sheet\n";
            outcome = RunOutcome::Failed;
        } else {
            outcome = WritePicture(*contactSheet, opt.sheet, err);
        }
    }
    const int exitStatus = ExitStatus(outcome, err);
    // The stop has been answered; the flag goes back for whatever comes next.
    if (outcome == RunOutcome::Stopped) StopRequested = 0;
    return exitStatus;
}

int WizardCommand(int argc, char** argv) {
    return RunWizard(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}

}  // namespace fabulor_cli
