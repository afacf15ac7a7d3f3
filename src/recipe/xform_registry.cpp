#include "recipe/xform_registry.h"

#include <cstring>
#include <type_traits>
#include <utility>

#include "recipe/recipe.h"
#include "xforms/banya.h"
#include "xforms/bubble.h"
#include "xforms/clouds.h"
#include "xforms/explode.h"
#include "xforms/fallen_letters.h"
#include "xforms/haaisi.h"
#include "xforms/liquid_energy.h"
#include "xforms/mad_painter.h"
#include "xforms/mist.h"
#include "xforms/mosaic.h"
#include "xforms/net.h"
#include "xforms/old_film.h"
#include "xforms/op_art.h"
#include "xforms/relief_map.h"
#include "xforms/star_dust.h"
#include "xforms/swarm.h"
#include "xforms/velmira_tonkart.h"
#include "xforms/wood.h"
#include "xforms/zimbel.h"

namespace {

// A row that has the block's name and defaults only.
template <auto Block>
XformRow Pending(const char* name) {
    XformRow row;
    row.name = name;
    row.construct = [](CFilSpec& filSpec) { filSpec.*Block = {}; };
    row.wizardFlag = [](CFilSpec& filSpec) { return &(filSpec.*Block).wizardChooses; };
    row.copyBlock = [](CFilSpec& to, const CFilSpec& from) { to.*Block = from.*Block; };
    return row;
}

// The row of Unit, an Xform over the recipe's block Block.
template <auto Block, const auto& Unit>
XformRow Row() {
    XformRow row = Pending<Block>(Unit.name);
    row.panelTitle = Unit.panelTitle;
    row.helpText = Unit.helpText;
    row.construct = [](CFilSpec& filSpec) {
        filSpec.*Block = {};
        if (Unit.defaults != nullptr) Unit.defaults(filSpec.*Block);
    };
    row.run = [](const CFilSpec& filSpec, XformContext& ctx) {
        return Unit.run(&(filSpec.*Block), &ctx);
    };
    row.validate = [](CFilSpec& filSpec, int width, int height) {
        return Unit.validate(filSpec.*Block, width, height);
    };
    row.wizard = [](CFilSpec& filSpec, const CDADC& original) {
        Unit.wizard(filSpec.*Block, original, filSpec.Selection);
    };

    // A block at its defaults, for the sizes of its text fields.
    std::remove_reference_t<decltype(std::declval<CFilSpec&>().*Block)> block{};
    for (std::size_t i = 0; i < Unit.fields.size(); ++i) {
        BoundField field;
        static_cast<ParamField&>(field) = Unit.fields[i].info;
        field.reach = [](CFilSpec& filSpec, std::size_t index) {
            return Unit.fields[index].at(filSpec.*Block);
        };
        field.index = i;
        const FieldRef ref = Unit.fields[i].at(block);
        if (const auto* text = std::get_if<TextRef>(&ref)) field.textCapacity = text->capacity;
        row.fields.push_back(field);
    }
    return row;
}

// In index order: one line per Xform.
XformRow* Table() {
    static XformRow table[kXformCount] = {
        Row<&CFilSpec::Banya, kBanyaUnit>(),
        Row<&CFilSpec::Bubble, kBubbleUnit>(),
        Row<&CFilSpec::Clouds, kCloudsUnit>(),
        Row<&CFilSpec::Explode, kExplodeUnit>(),
        Row<&CFilSpec::FallenLetters, kFallenLettersUnit>(),
        Row<&CFilSpec::Haaisi, kHaaisiUnit>(),
        Row<&CFilSpec::Zimbel, kZimbelUnit>(),
        Row<&CFilSpec::LiquidEnergy, kLiquidEnergyUnit>(),
        Row<&CFilSpec::MadPainter, kMadPainterUnit>(),
        Row<&CFilSpec::VelmiraTonkart, kVelmiraTonkartUnit>(),
        Row<&CFilSpec::Mist, kMistUnit>(),
        Row<&CFilSpec::Mosaic, kMosaicUnit>(),
        Row<&CFilSpec::Net, kNetUnit>(),
        Row<&CFilSpec::OldFilm, kOldFilmUnit>(),
        Row<&CFilSpec::OpArt, kOpArtUnit>(),
        Row<&CFilSpec::ReliefMap, kReliefMapUnit>(),
        Row<&CFilSpec::StarDust, kStarDustUnit>(),
        Row<&CFilSpec::Swarm, kSwarmUnit>(),
        Row<&CFilSpec::Wood, kWoodUnit>(),
    };
    static const bool indexed = [] {
        for (int i = 0; i < kXformCount; ++i)
            table[i].index = i;
        return true;
    }();
    (void)indexed;
    return table;
}

}  // namespace

const BoundField* XformRow::Field(const char* fieldName) const {
    for (const BoundField& f : fields) {
        if (std::strcmp(f.name, fieldName) == 0) return &f;
    }
    return nullptr;
}

const XformRow* FindXform(int index) {
    return MutableXformRow(index);
}

XformRow* MutableXformRow(int index) {
    return index >= 0 && index < kXformCount ? &Table()[index] : nullptr;
}

std::span<const XformRow> XformRows() {
    return {Table(), static_cast<std::size_t>(kXformCount)};
}
