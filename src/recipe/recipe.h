// CFilSpec: the recipe of one image idea. Which Xform, every Xform's
// parameters, the two mix settings, the area selection and the seed: enough
// to draw the image again exactly. Plain values only, copied, compared and
// saved whole; the surfaces of a run belong to the run.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "compose/mix_settings.h"
#include "engine/area_selection.h"
#include "surface/gdi_types.h"
#include "xforms/banya_params.h"
#include "xforms/bubble_params.h"
#include "xforms/clouds_params.h"
#include "xforms/explode_params.h"
#include "xforms/fallen_letters_params.h"
#include "xforms/haaisi_params.h"
#include "xforms/liquid_energy_params.h"
#include "xforms/mad_painter_params.h"
#include "xforms/mist_params.h"
#include "xforms/mosaic_params.h"
#include "xforms/net_params.h"
#include "xforms/old_film_params.h"
#include "xforms/op_art_params.h"
#include "xforms/relief_map_params.h"
#include "xforms/star_dust_params.h"
#include "xforms/swarm_params.h"
#include "xforms/velmira_tonkart_params.h"
#include "xforms/wood_params.h"
#include "xforms/zimbel_params.h"

class CDADC;
struct XformContext;

// The Xform indices, as stored in recipes.
enum XformId : int {
    kBanya = 0,
    kBubble = 1,
    kClouds = 2,
    kExplode = 3,
    kFallenLetters = 4,
    kHaaisi = 5,
    kZimbel = 6,
    kLiquidEnergy = 7,
    kMadPainter = 8,
    kVelmiraTonkart = 9,
    kMist = 10,
    kMosaic = 11,
    kNet = 12,
    kOldFilm = 13,
    kOpArt = 14,
    kReliefMap = 15,
    kStarDust = 16,
    kSwarm = 17,
    kWood = 18,
    kNullXform = 19,  // does nothing; a recipe holding it is never generated
};

constexpr int kXformCount = 19;  // the real Xforms, indices 0..18

// How often each Xform has made an image in a document.
using UsageCounts = std::array<int, kXformCount>;
// A new document's counts: 0, but Mist's, which starts out of reach so that
// the Wizard never picks Mist by itself.
UsageCounts NewUsageCounts();

// The "Choose Xform" dialog, supplied by the desktop program: shown with an
// index 0..18 and the Wizard flag; returns 1 on OK with the chosen index and
// flag stored, 0 when left without a choice.
using ChooseXformDialog = int (*)(int shownIndex, int wizardChooses, int* chosenIndex,
                                  int* chosenWizard);
// Returns the dialog it replaces; null: ChooseXform always answers 0.
ChooseXformDialog SetChooseXformDialog(ChooseXformDialog dialog);

struct CFilSpec {
    int XformIndex = kNullXform;
    int WizardAll = 1;  // "Wizard chooses" for the whole recipe
    MixSettings FinalMix;
    MixSettings WebFade;
    AreaSelection Selection;  // where the Xform may act
    std::uint32_t Seed = 0;

    MosaicParams Mosaic;
    StarDustParams StarDust;
    VelmiraTonkartParams VelmiraTonkart;
    FallenLettersParams FallenLetters;
    ZimbelParams Zimbel;
    SwarmParams Swarm;
    BubbleParams Bubble;
    WoodParams Wood;
    ReliefMapParams ReliefMap;
    OpArtParams OpArt;
    MadPainterParams MadPainter;
    CloudsParams Clouds;
    MistParams Mist;
    LiquidEnergyParams LiquidEnergy;
    BanyaParams Banya;
    NetParams Net;
    HaaisiParams Haaisi;
    OldFilmParams OldFilm;
    ExplodeParams Explode;

    // Every block at its defaults.
    CFilSpec();
    bool operator==(const CFilSpec&) const = default;

    // Runs the Xform on ctx (In, Out and Draw set) with the generator seeded
    // from Seed and ctx.Selection set from Selection; nonzero when it made a
    // picture.
    int Apply(XformContext& ctx) const;
    // The Xform's parameter check for an original of width x height;
    // nonzero when the recipe can be drawn.
    int Validate(int width, int height);
    // The Xform's settings panel on a copy of its block; 1 on OK.
    int OpenSettings();
    // New Wizard parameters for the current Xform from the original.
    void AutoChoose(const CDADC* original);
    // "Wizard chooses" for the whole recipe: Xform, final mix, selection.
    void RandomizeAll(const UsageCounts& counts);
    // One of the least used Xforms, at random.
    static int ChooseLeastUsed(const UsageCounts& counts);
    // Seconds since 1970 plus milliseconds since the program started, and
    // never the seed of the call before.
    void NewSeed();
    // The current Xform's name; "" for an index that names none.
    const char* GetName() const;
    // The "Choose Xform" dialog; 1 on OK.
    int ChooseXform(const UsageCounts& counts);

    // The "Wizard chooses" flag of Xform index's block; null for an index
    // that has no block.
    int* WizardFlag(int index);
    void SetAllWizardFlags();
};

static_assert(std::is_trivially_copyable_v<CFilSpec>, "recipes are copied whole");

// The name of an Xform index 0..19 ("Null" for 19); "" for any other value.
const char* XformName(int index);
// Xform index names a real Xform that can draw: the only ones offered.
bool XformDraws(int index);
