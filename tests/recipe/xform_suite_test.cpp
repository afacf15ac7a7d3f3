// What every Xform that draws shares, checked once for all of them through
// the registry: its declaration against its block, refusals, one picture on
// any thread, Validate and the Wizard inside the declared ranges, recipe
// files that carry every field, and a stop half way.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>

#include "engine/crt_random.h"
#include "engine/force_field.h"
#include "engine/progress.h"
#include "engine/toolkit.h"
#include "recipe/field_kinds.h"
#include "recipe/recipe.h"
#include "recipe/recipe_file.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "support/random_fields.h"
#include "support/xform_harness.h"

namespace {

std::vector<int> DrawingXforms() {
    std::vector<int> indices;
    for (const XformRow& row : XformRows())
        if (row.Draws()) indices.push_back(row.index);
    return indices;
}

std::string TestName(const testing::TestParamInfo<int>& info) {
    std::string name = XformName(info.param);
    std::erase(name, ' ');
    return name;
}

CFilSpec RecipeOf(int index, unsigned seed) {
    CFilSpec filSpec;
    filSpec.XformIndex = index;
    filSpec.Seed = seed;
    return filSpec;
}

std::unique_ptr<CDADC> TestPicture(int w, int h) {
    return PaintedPicture(w, h, [](int x, int y) { return RGB(x * 3, y * 5, (x * y) & 255); });
}

class EveryXform : public testing::TestWithParam<int> {
  protected:
    void TearDown() override {
        StopRequested = 0;
        LimitForceFieldAllocations(-1);
    }
    const XformRow& Row() const { return *FindXform(GetParam()); }
};

TEST_P(EveryXform, DeclaresEachFieldOnceWithItsKindRangeAndRules) {
    CFilSpec filSpec;
    const XformRow& row = Row();
    ASSERT_NE(row.panelTitle, nullptr);
    const BoundField* wizard = row.Field(kWizardField);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(wizard->kind, ParamKind::Flag);
    EXPECT_EQ(std::get<int*>(wizard->At(filSpec)), row.wizardFlag(filSpec));
    std::set<std::string> names;
    for (const BoundField& field : row.fields) {
        SCOPED_TRACE(field.name);
        EXPECT_TRUE(names.insert(field.name).second) << "declared twice";
        const FieldRef value = field.At(filSpec);
        // Flags, numbers and choices are ints; then double, COLORREF, Background, text.
        const size_t alternative =
            field.kind == ParamKind::Real                                      ? 1
            : field.kind == ParamKind::Colour                                  ? 2
            : field.kind == ParamKind::Background                              ? 3
            : field.kind == ParamKind::Text || field.kind == ParamKind::Figure ? 4
                                                                               : 0;
        EXPECT_EQ(value.index(), alternative);
        if (field.kind == ParamKind::Int || field.kind == ParamKind::Real) {
            EXPECT_LT(field.min, field.max);
        }
        if (field.kind == ParamKind::Choice) {
            EXPECT_FALSE(field.choices.empty());
        }
        if (field.enabledBy != nullptr) {
            EXPECT_NE(row.Field(field.enabledBy), nullptr);
        }
        // The defaults are values a recipe file may hold.
        std::string why;
        CFilSpec copy;
        EXPECT_TRUE(ParamFromJson(field, ParamToJson(field, filSpec), copy, &why)) << why;
    }
}

// Mosaic needs only In and Out, and no force field: it draws on any canvas.
bool ChecksTheWholeContext(int index) {
    return index != kMosaic;
}

// Mad Painter, Zimbel and Explode draw from the picture's colours alone:
// they build no force field and so cannot fail for want of one.
bool UsesForceField(int index) {
    return index != kMadPainter && index != kZimbel && index != kExplode;
}

// Fields Validate leaves as they are, the run taking any value.
bool LeftByValidate(int index, const char* field) {
    // StarDust compares the force with its spike threshold.
    if (index == kStarDust) return std::strcmp(field, "spikeThreshold") == 0;
    // Mist finds its colour scale from whatever its waves give.
    if (index == kMist) return true;
    // Zimbel's colour jitter leaves a colour alone outside 0..1.
    if (index == kZimbel) return std::strcmp(field, "colourFreedom") == 0;
    // Relief Map's numbers are its levels: it refuses them out of order
    // rather than move them, and the run compares the force with any level.
    return index == kReliefMap;
}

TEST_P(EveryXform, RefusesContextsItCannotDrawOnWithoutAWord) {
    if (!ChecksTheWholeContext(GetParam())) GTEST_SKIP() << "draws on any canvas";
    MessageCapture messages;
    const auto in = TestPicture(60, 40);
    const auto odd = UniformPicture(180, 120, kUntouched);  // three times In
    const auto out = UniformPicture(120, 80, kUntouched);
    CDADC draw(60, 40);
    const CFilSpec filSpec = RecipeOf(GetParam(), 1);
    XformContext ctx;
    ctx.In = in.get();
    ctx.Out = odd.get();
    ctx.Draw = &draw;
    CrtSrand(1);
    EXPECT_EQ(Row().run(filSpec, ctx), 0) << "Out three times In";
    ctx.Out = out.get();
    ctx.Draw = nullptr;
    EXPECT_EQ(Row().run(filSpec, ctx), 0) << "no Draw";
    EXPECT_EQ(odd->pDC->GetPixel(90, 60), kUntouched);
    EXPECT_EQ(out->pDC->GetPixel(60, 40), kUntouched);
    EXPECT_EQ(DrawsMade(1), 0);

    if (UsesForceField(GetParam())) {
        LimitForceFieldAllocations(0);
        ctx.Draw = &draw;
        EXPECT_EQ(Row().run(filSpec, ctx), 0) << "no force field";
    }
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(EveryXform, OneRecipeGivesOnePictureOnAnyThread) {
    const auto in = TestPicture(120, 90);
    ExpectOnePictureOnAnyThread(RecipeOf(GetParam(), 24680), in.get(), 2);
    CFilSpec random = RecipeOf(GetParam(), 13579);
    RandomFields(random, 7);
    ExpectOnePictureOnAnyThread(random, in.get(), 1);
}

TEST_P(EveryXform, ValidateHoldsEveryNumberToItsDeclaredRange) {
    MessageCapture messages;
    for (const BoundField& field : Row().fields) {
        if (field.kind != ParamKind::Int && field.kind != ParamKind::Real) continue;
        if (LeftByValidate(GetParam(), field.name)) continue;
        SCOPED_TRACE(field.name);
        const double span = field.max - field.min;
        for (double wrong : {field.min - span - 1, field.max + span + 1, std::nan("")}) {
            CFilSpec filSpec = RecipeOf(GetParam(), 1);
            const FieldRef value = field.At(filSpec);
            if (field.kind == ParamKind::Int) {
                if (std::isnan(wrong)) continue;
                *std::get<int*>(value) = static_cast<int>(wrong);
            } else {
                *std::get<double*>(value) = wrong;
            }
            EXPECT_EQ(filSpec.Validate(640, 480), 1) << wrong;
            const double held =
                field.kind == ParamKind::Int ? *std::get<int*>(value) : *std::get<double*>(value);
            EXPECT_TRUE(held >= field.min && held <= field.max) << wrong << " became " << held;
        }
    }
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(EveryXform, WizardIdeasStayInsideTheDeclaredRanges) {
    for (const auto& [w, h] : {std::pair{480, 360}, std::pair{40, 30}}) {
        const auto picture = TestPicture(w, h);
        CFilSpec filSpec = RecipeOf(GetParam(), 1);
        for (unsigned seed = 1; seed <= 30; ++seed) {
            CrtSrand(seed);
            *Row().wizardFlag(filSpec) = 1;
            Row().wizard(filSpec, *picture);
            for (const BoundField& field : Row().fields) {
                CFilSpec copy;
                std::string why;
                EXPECT_TRUE(ParamFromJson(field, ParamToJson(field, filSpec), copy, &why))
                    << field.name << " after seed " << seed << " on " << w << " x " << h << ": "
                    << why;
            }
        }
    }
}

TEST_P(EveryXform, RecipeFilesCarryEveryFieldAtAnyValue) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        Recipe recipe;
        recipe.filSpec = RecipeOf(GetParam(), seed * 1000);
        RandomFields(recipe.filSpec, seed);
        recipe.pictureName = "p.png";
        recipe.pictureWidth = 64;
        recipe.pictureHeight = 48;
        Recipe back;
        std::string error;
        ASSERT_TRUE(RecipeFromText(RecipeToText(recipe), &back, &error)) << error;
        EXPECT_TRUE(back.filSpec == recipe.filSpec) << "seed " << seed;
    }
}

TEST_P(EveryXform, AStopHalfWayEndsTheRunAndPutsThePenBack) {
    MessageCapture messages;
    const auto in = TestPicture(120, 90);
    const CFilSpec filSpec = RecipeOf(GetParam(), 5);
    const auto run = [&](XformContext* ctx) { return Row().run(filSpec, *ctx); };
    // RenderRun checks the pen and brush after the run, and withdraws the stop.
    RenderRun(run, *in, 2, 5, 0, 30);
    EXPECT_EQ(RenderRun(run, *in, 2, 5, 0, -1).result, 1);
    EXPECT_TRUE(messages.Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(Registry, EveryXform, testing::ValuesIn(DrawingXforms()), TestName);

}  // namespace
