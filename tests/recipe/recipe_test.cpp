#include "recipe/recipe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "support/xform_harness.h"
#include "surface/cdadc.h"

namespace {

int runCalls = 0;

// Puts the registry back after each test that stands in operations.
class FilSpecTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < kXformCount; ++i)
            saved_[i] = *MutableXformRow(i);
        ctx_.In = &in_;
        ctx_.Out = &out_;
        ctx_.Draw = &draw_;
    }
    void TearDown() override {
        for (int i = 0; i < kXformCount; ++i)
            *MutableXformRow(i) = saved_[i];
        SetChooseXformDialog(nullptr);
    }
    static void ClearOperations(int index) {
        XformRow* row = MutableXformRow(index);
        row->run = nullptr;
        row->validate = nullptr;
        row->wizard = nullptr;
        row->settings = nullptr;
    }
    // Every Xform draws, with a run that counts its calls.
    static void AllDraw() {
        for (int i = 0; i < kXformCount; ++i)
            MutableXformRow(i)->run = [](const CFilSpec&, XformContext&) { return ++runCalls; };
    }

    CDADC draw_, out_, in_;
    XformContext ctx_;
    XformRow saved_[kXformCount];
};

std::string Formatted(const char* format, const void* in, const void* out, const void* draw) {
    char text[520];
    std::snprintf(text, sizeof text, format, in, out, draw);
    return text;
}

// Making a recipe leaves the thread's generator where it was (the Wizard's
// ideas must not depend on how many recipes were made before them), and
// every recipe gets the same default background.
TEST_F(FilSpecTest, ConstructionDrawsNothing) {
    CrtSrand(77);
    const CFilSpec first;
    EXPECT_EQ(DrawsMade(77), 0);
    CrtSrand(12345);
    EXPECT_TRUE(CFilSpec() == first);
}

// Apply needs all three surfaces, and Null calls nothing. An index without
// the operation, or beyond the table, is named by each command and has no
// name; Validate and the settings panel have none for Null either.
TEST_F(FilSpecTest, CommandsReportWhatTheyCannotRun) {
    AllDraw();
    ClearOperations(kHaaisi);
    MessageCapture capture;
    CFilSpec filSpec;
    filSpec.XformIndex = kMist;
    ctx_.Draw = nullptr;
    runCalls = 0;
    EXPECT_EQ(filSpec.Apply(ctx_), 0);
    ctx_.Draw = &draw_;
    filSpec.XformIndex = kNullXform;
    EXPECT_EQ(filSpec.Apply(ctx_), 0);
    EXPECT_EQ(runCalls, 0);
    EXPECT_EQ(filSpec.WizardFlag(kNullXform), nullptr);

    for (int index : {static_cast<int>(kHaaisi), -3}) {
        filSpec.XformIndex = index;
        EXPECT_EQ(filSpec.Apply(ctx_), 0);
        EXPECT_EQ(filSpec.Validate(60, 40), 0);
        EXPECT_EQ(filSpec.OpenSettings(), 0);
        filSpec.AutoChoose(&in_);
    }
    EXPECT_STREQ(filSpec.GetName(), "");
    filSpec.XformIndex = 20;
    EXPECT_STREQ(filSpec.GetName(), "");
    filSpec.XformIndex = kNullXform;
    EXPECT_EQ(filSpec.Validate(60, 40), 0);
    EXPECT_EQ(filSpec.OpenSettings(), 0);
    filSpec.AutoChoose(&in_);  // Null: nothing to choose, nothing said
    filSpec.AutoChoose(nullptr);
    EXPECT_EQ(
        capture.Texts(),
        (std::vector<std::string>{
            Formatted("Bad DC in Xform.Apply()\nin=%p out=%p drw=%p", &in_, &out_, nullptr),
            "FI:Xform 5 not\n(yet) supported", "CFilSpec::GP:Xform 5 not\n(yet) supported",
            "CFilSpec::OCP, Xforms 5 not\n(yet) supported", "ACP::Xform 5 not\n(yet) supported",
            "FI:Xform -3 not\n(yet) supported", "CFilSpec::GP:Xform -3 not\n(yet) supported",
            "CFilSpec::OCP, Xforms -3 not\n(yet) supported", "ACP::Xform -3 not\n(yet) supported",
            "CFilSpec::GP:Xform 19 not\n(yet) supported",
            "CFilSpec::OCP, Xforms 19 not\n(yet) supported", "No original image approach"}));
}

int drawnFirst = 0;
int seenInvert = 0;

TEST_F(FilSpecTest, ApplySeedsTheGeneratorAndHandsOnTheSelection) {
    MutableXformRow(kMist)->run = [](const CFilSpec&, XformContext& ctx) {
        drawnFirst = CrtRand();
        seenInvert = ctx.Selection.invert;
        return 7;
    };
    CFilSpec filSpec;
    filSpec.XformIndex = kMist;
    filSpec.Seed = 123456789u;
    filSpec.Selection.invert = 1;
    CrtSrand(1);
    CrtRand();

    EXPECT_EQ(filSpec.Apply(ctx_), 7);
    CrtSrand(123456789u);
    EXPECT_EQ(drawnFirst, CrtRand());
    EXPECT_EQ(seenInvert, 1);
}

TEST_F(FilSpecTest, SettingsCopyBackOnlyTheirBlock) {
    MutableXformRow(kNet)->settings = [](CFilSpec& copy) {
        copy.Net.threads = 42;
        copy.Net.wizardChooses = 0;
        copy.Mist.colourA = 0x123456;  // not this panel's block: must not come back
        copy.XformIndex = kWood;
        return 1;
    };
    MutableXformRow(kMist)->settings = [](CFilSpec& copy) {
        copy.Mist.colourA = 0x123456;
        return 0;
    };
    CFilSpec filSpec;
    filSpec.XformIndex = kMist;
    EXPECT_EQ(filSpec.OpenSettings(), 0);
    EXPECT_EQ(filSpec.Mist.colourA, 0xFFFFFFu);
    EXPECT_EQ(filSpec.WizardAll, 1);

    filSpec.XformIndex = kNet;
    EXPECT_EQ(filSpec.OpenSettings(), 1);
    EXPECT_EQ(filSpec.Net.threads, 42);
    EXPECT_EQ(filSpec.Mist.colourA, 0xFFFFFFu);
    EXPECT_EQ(filSpec.XformIndex, kNet);
    EXPECT_EQ(filSpec.WizardAll, 0);
}

int wizardCalls = 0;

TEST_F(FilSpecTest, AutoChooseRunsTheCurrentXformsWizard) {
    MutableXformRow(kMosaic)->wizard = [](CFilSpec& filSpec, const CDADC&) {
        ++wizardCalls;
        filSpec.XformIndex = kClouds;
    };
    MessageCapture capture;
    CFilSpec filSpec;
    filSpec.XformIndex = kMosaic;

    // Without WizardAll a cleared flag keeps the Wizard away.
    wizardCalls = 0;
    filSpec.WizardAll = 0;
    filSpec.Mosaic.wizardChooses = 0;
    filSpec.AutoChoose(&in_);
    EXPECT_EQ(wizardCalls, 0);
    EXPECT_TRUE(capture.Messages().empty());

    // WizardAll turns every flag on first; a Wizard that changes the index is undone.
    filSpec.WizardAll = 1;
    filSpec.Wood.wizardChooses = 0;
    filSpec.AutoChoose(&in_);
    EXPECT_EQ(wizardCalls, 1);
    EXPECT_EQ(filSpec.Mosaic.wizardChooses, 1);
    EXPECT_EQ(filSpec.Wood.wizardChooses, 1);
    EXPECT_EQ(filSpec.XformIndex, kMosaic);
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{"Name change in Autochoose(11-->2)"});
}

// Every Xform that draws but Mist is within the Wizard's reach (those that
// cannot draw are not), and the least used of them wins.
TEST_F(FilSpecTest, LeastUsedPicksTheLeastUsedXformThatDrawsButNeverMist) {
    UsageCounts counts = NewUsageCounts();
    std::set<int> seen;
    CrtSrand(99);
    for (int i = 0; i < 3000; ++i)
        seen.insert(CFilSpec::ChooseLeastUsed(counts));
    std::set<int> drawing;
    for (const XformRow& row : XformRows())
        if (row.Draws() && row.index != kMist) drawing.insert(row.index);
    EXPECT_EQ(seen, drawing);

    AllDraw();
    counts.fill(5);
    counts[kOldFilm] = 4;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(CFilSpec::ChooseLeastUsed(counts), kOldFilm);
}

TEST_F(FilSpecTest, LeastUsedGivesUpAfter1901Draws) {
    AllDraw();
    // Counts of 64000 and more are never the minimum, so no draw can match.
    UsageCounts counts;
    counts.fill(70000);
    CrtSrand(5);
    const int chosen = CFilSpec::ChooseLeastUsed(counts);
    const int next = CrtRand();

    CrtSrand(5);
    int last = -1;
    for (int i = 0; i < 1901; ++i)
        last = RandomInt(0, 18);
    EXPECT_EQ(chosen, last);
    EXPECT_EQ(next, CrtRand());
}

TEST_F(FilSpecTest, RandomizeAllMapsTheDrawToAMixMode) {
    AllDraw();
    const std::map<int, int> modeOf = {{2, 1065}, {3, 1066}, {4, 1068}, {5, 1067}, {6, 1069},
                                       {7, 1070}, {8, 1071}, {9, 1072}, {10, 1073}};
    UsageCounts counts{};
    std::set<int> drawsSeen;
    for (unsigned seed = 1; drawsSeen.size() < 20 && seed < 2000; ++seed) {
        CrtSrand(seed);
        const int index = RandomInt(0, 18);  // every count is the minimum: one draw
        const int percent = RandomInt(15, 50);
        const int r = RandomInt(1, 20);
        const int invert = RandomInt(0, 100) > 80 ? 1 : 0;
        drawsSeen.insert(r);

        CFilSpec filSpec;
        filSpec.WizardAll = 0;
        filSpec.Net.wizardChooses = 0;
        filSpec.Selection.SetHsv(120, 0.5, 0.5);
        CrtSrand(seed);
        filSpec.RandomizeAll(counts);
        ASSERT_EQ(filSpec.XformIndex, index);
        EXPECT_EQ(filSpec.FinalMix.Percent, percent);
        EXPECT_EQ(filSpec.FinalMix.Mode, modeOf.count(r) != 0 ? modeOf.at(r) : 1064) << "r=" << r;
        EXPECT_EQ(filSpec.WizardAll, 1);
        EXPECT_EQ(filSpec.Net.wizardChooses, 1);
        EXPECT_EQ(filSpec.Selection.invert, invert);
        EXPECT_DOUBLE_EQ(filSpec.Selection.hue, 0.0);
    }
    EXPECT_EQ(drawsSeen.size(), 20u);
}

int shownIndex = -1;
int dialogAnswer = 1;
int dialogChoice = 0;
int dialogWizard = 0;

int FakeChooseDialog(int shown, int, int* chosen, int* wizard) {
    shownIndex = shown;
    *chosen = dialogChoice;
    *wizard = dialogWizard;
    return dialogAnswer;
}

TEST_F(FilSpecTest, ChooseXformTakesTheDialogsChoice) {
    AllDraw();
    MessageCapture capture;
    UsageCounts counts{};
    CFilSpec filSpec;
    EXPECT_EQ(filSpec.ChooseXform(counts), 0);  // no dialog to show

    SetChooseXformDialog(FakeChooseDialog);
    dialogAnswer = 1;
    dialogChoice = kWood;
    dialogWizard = 0;
    EXPECT_EQ(filSpec.ChooseXform(counts), 1);
    EXPECT_EQ(shownIndex, kMosaic);  // "Null" shows as Mosaic
    EXPECT_EQ(filSpec.XformIndex, kWood);
    EXPECT_EQ(filSpec.WizardAll, 0);

    dialogAnswer = 0;
    dialogChoice = kNet;
    EXPECT_EQ(filSpec.ChooseXform(counts), 0);
    EXPECT_EQ(shownIndex, kWood);
    EXPECT_EQ(filSpec.XformIndex, kWood);

    dialogAnswer = 1;
    dialogChoice = 19;
    EXPECT_EQ(filSpec.ChooseXform(counts), 1);
    EXPECT_EQ(filSpec.XformIndex, 0);
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{"CChFilDlg::OnOK()19"});

    // With the Wizard checked the whole recipe is drawn at random.
    dialogWizard = 1;
    counts.fill(1);
    counts[kSwarm] = 0;
    EXPECT_EQ(filSpec.ChooseXform(counts), 1);
    EXPECT_EQ(filSpec.WizardAll, 1);
    EXPECT_EQ(filSpec.XformIndex, kSwarm);
}

}  // namespace

// Ideas made in one quick loop, on one thread or several, never share a
// seed, and the seed still follows the clock: seconds since 1970 plus the
// program's milliseconds.
TEST(NewSeed, EveryCallGivesANewSeedNearTheClock) {
    constexpr int kCalls = 2000;
    std::vector<std::uint32_t> seeds(2 * kCalls);
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    auto make = [&](int from) {
        CFilSpec filSpec;
        for (int i = from; i < from + kCalls; ++i) {
            filSpec.NewSeed();
            seeds[static_cast<size_t>(i)] = filSpec.Seed;
        }
    };
    std::thread other(make, kCalls);
    make(0);
    other.join();
    std::set<std::uint32_t> distinct(seeds.begin(), seeds.end());
    EXPECT_EQ(distinct.size(), seeds.size());
    for (int i = 1; i < kCalls; ++i)
        EXPECT_GT(seeds[static_cast<size_t>(i)], seeds[static_cast<size_t>(i - 1)]);
    // The clock part: no earlier than now, at most an hour of the program's
    // milliseconds later, and the bumps add at most one a call.
    for (std::uint32_t seed : seeds) {
        EXPECT_GE(seed, before);
        EXPECT_LT(seed - before, 3600000u + 2 * kCalls);
    }
}
