#include "engine/xform_registry.h"

#include "engine/recipe.h"
#include "xforms/bubble.h"
#include "xforms/clouds.h"
#include "xforms/mosaic.h"
#include "xforms/op_art.h"
#include "xforms/star_dust.h"

namespace {

template <auto Block>
void ConstructDefaults(CFilSpec& filSpec) {
    filSpec.*Block = {};
}

void ConstructExplode(CFilSpec& filSpec) {
    filSpec.Explode = {};
    filSpec.Explode.background.RandomBackground(1.0, 0);
}

// In index order. Each Xform's unit supplies run, validate and wizard.
XformOps table[kXformCount] = {
    /* 0 Banya */ {ConstructDefaults<&CFilSpec::Banya>},
    /* 1 Bubble */
    {ConstructDefaults<&CFilSpec::Bubble>, BubbleRunOp, BubbleValidateOp, BubbleWizardOp, nullptr,
     &kBubbleDecl},
    /* 2 Clouds */
    {ConstructDefaults<&CFilSpec::Clouds>, CloudsRunOp, CloudsValidateOp, CloudsWizardOp, nullptr,
     &kCloudsDecl},
    /* 3 Explode */ {ConstructExplode},
    /* 4 Fallen Letters */ {ConstructDefaults<&CFilSpec::FallenLetters>},
    /* 5 Haaisi */ {ConstructDefaults<&CFilSpec::Haaisi>},
    /* 6 Zimbel */ {ConstructDefaults<&CFilSpec::Zimbel>},
    /* 7 Liquid Energy */ {ConstructDefaults<&CFilSpec::LiquidEnergy>},
    /* 8 Mad Painter */ {ConstructDefaults<&CFilSpec::MadPainter>},
    /* 9 Velmira Tonkart */ {ConstructDefaults<&CFilSpec::VelmiraTonkart>},
    /* 10 Mist */ {ConstructDefaults<&CFilSpec::Mist>},
    /* 11 Mosaic */
    {ConstructDefaults<&CFilSpec::Mosaic>, MosaicRunOp, MosaicValidateOp, MosaicWizardOp, nullptr,
     &kMosaicDecl},
    /* 12 Net */ {ConstructDefaults<&CFilSpec::Net>},
    /* 13 Old Film */ {ConstructDefaults<&CFilSpec::OldFilm>},
    /* 14 Op Art */
    {ConstructDefaults<&CFilSpec::OpArt>, OpArtRunOp, OpArtValidateOp, OpArtWizardOp, nullptr,
     &kOpArtDecl},
    /* 15 Relief Map */ {ConstructDefaults<&CFilSpec::ReliefMap>},
    /* 16 StarDust */
    {ConstructDefaults<&CFilSpec::StarDust>, StarDustRunOp, StarDustValidateOp, StarDustWizardOp,
     nullptr, &kStarDustDecl},
    /* 17 Swarm */ {ConstructDefaults<&CFilSpec::Swarm>},
    /* 18 Wood */ {ConstructDefaults<&CFilSpec::Wood>},
};

}  // namespace

const XformOps* FindXform(int index) {
    return MutableXformRow(index);
}

XformOps* MutableXformRow(int index) {
    return index >= 0 && index < kXformCount ? &table[index] : nullptr;
}
