// Every Xform's field declaration against its parameter block: a field that
// points into another Xform's block, or two fields on one member, would have
// the panel, the command line and recipe files change the wrong value.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>

#include "engine/param_decl.h"
#include "engine/recipe.h"
#include "engine/xform_registry.h"

namespace {

struct Block {
    int index;
    const void* start;
    std::size_t size;
};

TEST(XformDeclarations, EveryFieldLiesInItsOwnBlockOnceAndTheWizardFlagIsOneOfThem) {
    CFilSpec f;
    const Block blocks[] = {
        {kBubble, &f.Bubble, sizeof f.Bubble},       {kClouds, &f.Clouds, sizeof f.Clouds},
        {kMosaic, &f.Mosaic, sizeof f.Mosaic},       {kOpArt, &f.OpArt, sizeof f.OpArt},
        {kStarDust, &f.StarDust, sizeof f.StarDust},
    };
    int declared = 0;
    for (int index = 0; index < kXformCount; ++index)
        declared += FindXformDecl(index) != nullptr;
    EXPECT_EQ(declared, static_cast<int>(std::size(blocks))) << "a new Xform needs its row here";

    for (const Block& b : blocks) {
        const XformDecl* decl = FindXformDecl(b.index);
        ASSERT_NE(decl, nullptr) << b.index;
        EXPECT_EQ(decl->index, b.index);
        const ParamField* wizard = FindParamField(*decl, decl->wizardField);
        ASSERT_NE(wizard, nullptr) << b.index;
        EXPECT_EQ(wizard->kind, ParamKind::Flag);
        std::set<const void*> members;
        std::set<std::string> names;
        for (const ParamField& field : decl->fields) {
            const auto* at = static_cast<const char*>(field.at(f));
            const auto* start = static_cast<const char*>(b.start);
            EXPECT_TRUE(at >= start && at < start + b.size) << b.index << " " << field.name;
            EXPECT_TRUE(members.insert(at).second) << b.index << " " << field.name;
            EXPECT_TRUE(names.insert(field.name).second) << b.index << " " << field.name;
            if (field.kind == ParamKind::Int || field.kind == ParamKind::Real) {
                EXPECT_LT(field.min, field.max) << b.index << " " << field.name;
            }
            if (field.enabledBy != nullptr) {
                EXPECT_NE(FindParamField(*decl, field.enabledBy), nullptr) << field.name;
            }
        }
    }
}

}  // namespace
