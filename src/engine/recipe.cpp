#include "engine/recipe.h"

#include <chrono>
#include <ctime>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "engine/xform_registry.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

namespace {

const char* const kXformNames[kXformCount + 1] = {
    "Banya",      "Bubble",   "Clouds",        "Explode",     "Fallen Letters",
    "Haaisi",     "Zimbel",   "Liquid Energy", "Mad Painter", "Velmira Tonkart",
    "Mist",       "Mosaic",   "Net",           "Old Film",    "Op Art",
    "Relief Map", "StarDust", "Swarm",         "Wood",        "Null",
};

// The final mix the Wizard picks for each r = RandomInt (1, 20): r = 2..10
// choose a mode (4 and 5 in swapped order), every other r leaves it off.
constexpr int kWizardMixModes[21] = {
    kMixModeOff, kMixModeOff, 1065,        1066,        1068,        1067,        1069,
    1070,        1071,        1072,        1073,        kMixModeOff, kMixModeOff, kMixModeOff,
    kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff,
};

// Counts this high are never the minimum unless all are.
constexpr int kUsageCeiling = 64000;
// After this many draws the last one is taken even if it is not least used.
constexpr int kLeastUsedDraws = 1901;

ChooseXformDialog chooseXformDialog = nullptr;

// The reference point of NewSeed's milliseconds.
const auto programStart = std::chrono::steady_clock::now();

bool IsRealXform(int index) {
    return index >= 0 && index < kXformCount;
}

}  // namespace

ChooseXformDialog SetChooseXformDialog(ChooseXformDialog dialog) {
    const ChooseXformDialog previous = chooseXformDialog;
    chooseXformDialog = dialog;
    return previous;
}

const char* XformName(int index) {
    return index >= 0 && index <= kXformCount ? kXformNames[index] : "";
}

CFilSpec::CFilSpec() {
    for (int index = 0; index < kXformCount; ++index) {
        const XformOps* row = FindXform(index);
        if (row->construct != nullptr) row->construct(*this);
    }
}

void CFilSpec::SetDCs(CDADC* draw, CDADC* out, CDADC* in) {
    if (draw == nullptr || out == nullptr || in == nullptr) {
        ErrorBox("Bad DC in CFilSpec::SetDCs()\nin=%p out=%p drw=%p", static_cast<void*>(in),
                 static_cast<void*>(out), static_cast<void*>(draw));
        return;
    }
    Context.Draw = draw;
    Context.Out = out;
    Context.In = in;
}

int CFilSpec::Apply() {
    if (Context.In == nullptr || Context.Out == nullptr || Context.Draw == nullptr) {
        ErrorBox("Bad DC in Xform.Apply()\nin=%p out=%p drw=%p", static_cast<void*>(Context.In),
                 static_cast<void*>(Context.Out), static_cast<void*>(Context.Draw));
        return 0;
    }
    const int index = XformIndex;
    CrtSrand(Seed);
    Context.Selection = Selection;

    int result = 0;
    const XformOps* row = FindXform(index);
    if (row != nullptr && row->run != nullptr) {
        result = row->run(*this);
    } else if (index != kNullXform) {
        ErrorBox("FI:Xform %d not\n(yet) supported", index);
    }

    if (XformIndex != index) XformIndex = index;
    return result;
}

int CFilSpec::Validate(int width, int height) {
    const XformOps* row = FindXform(XformIndex);
    if (row == nullptr || row->validate == nullptr) {
        ErrorBox("CFilSpec::GP:Xform %d not\n(yet) supported", XformIndex);
        return 0;
    }
    return row->validate(*this, width, height);
}

int CFilSpec::OpenSettings() {
    const int index = XformIndex;
    const XformOps* row = FindXform(index);
    if (row == nullptr || row->settings == nullptr) {
        ErrorBox("CFilSpec::OCP, Xforms %d not\n(yet) supported", index);
        return 0;
    }
    // The panel works on a copy; only the Xform's own block comes back.
    CFilSpec edited = *this;
    if (row->settings(edited) != 1) return 0;
    switch (index) {
        case kBanya:
            Banya = edited.Banya;
            break;
        case kBubble:
            Bubble = edited.Bubble;
            break;
        case kClouds:
            Clouds = edited.Clouds;
            break;
        case kExplode:
            Explode = edited.Explode;
            break;
        case kFallenLetters:
            FallenLetters = edited.FallenLetters;
            break;
        case kHaaisi:
            Haaisi = edited.Haaisi;
            break;
        case kZimbel:
            Zimbel = edited.Zimbel;
            break;
        case kLiquidEnergy:
            LiquidEnergy = edited.LiquidEnergy;
            break;
        case kMadPainter:
            MadPainter = edited.MadPainter;
            break;
        case kVelmiraTonkart:
            VelmiraTonkart = edited.VelmiraTonkart;
            break;
        case kMist:
            Mist = edited.Mist;
            break;
        case kMosaic:
            Mosaic = edited.Mosaic;
            break;
        case kNet:
            Net = edited.Net;
            break;
        case kOldFilm:
            OldFilm = edited.OldFilm;
            break;
        case kOpArt:
            OpArt = edited.OpArt;
            break;
        case kReliefMap:
            ReliefMap = edited.ReliefMap;
            break;
        case kStarDust:
            StarDust = edited.StarDust;
            break;
        case kSwarm:
            Swarm = edited.Swarm;
            break;
        case kWood:
            Wood = edited.Wood;
            break;
        default:
            break;
    }
    if (*WizardFlag(index) == 0) WizardAll = 0;
    return 1;
}

void CFilSpec::AutoChoose(const CDADC* original) {
    if (original == nullptr) {
        ErrorBox("No original image approach");
        return;
    }
    const int index = XformIndex;
    if (WizardAll != 0) SetAllWizardFlags();

    if (index != kNullXform) {
        const XformOps* row = FindXform(index);
        if (row == nullptr || row->wizard == nullptr) {
            ErrorBox("ACP::Xform %d not\n(yet) supported", index);
        } else if (*WizardFlag(index) != 0) {
            row->wizard(*this, *original);
        }
    }

    if (XformIndex != index) {
        ErrorBox("Name change in Autochoose(%d-->%d)", index, XformIndex);
        XformIndex = index;
    }
}

void CFilSpec::RandomizeAll(const UsageCounts& counts) {
    XformIndex = ChooseLeastUsed(counts);

    FinalMix.Percent = RandomInt(15, 50);
    FinalMix.Mode = kWizardMixModes[RandomInt(1, 20)];

    WizardAll = 1;
    SetAllWizardFlags();

    Selection.SetDefault();
    if (RandomInt(0, 100) > 80) Selection.invert = 1;
}

int CFilSpec::ChooseLeastUsed(const UsageCounts& counts) {
    int least = kUsageCeiling;
    for (int count : counts) {
        if (count < least) least = count;
    }
    int index = 0;
    for (int draws = 0; draws < kLeastUsedDraws; ++draws) {
        index = RandomInt(0, kXformCount - 1);
        if (counts[index] == least) break;
    }
    return index;
}

void CFilSpec::NewSeed() {
    const auto sinceStart = std::chrono::steady_clock::now() - programStart;
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    Seed =
        static_cast<std::uint32_t>(std::time(nullptr)) + static_cast<std::uint32_t>(milliseconds);
}

const char* CFilSpec::GetName() const {
    return XformName(XformIndex);
}

void CFilSpec::DeleteOutSurface() {
    if (Context.Out == nullptr) {
        ErrorBox("Deleting a NULL Xform DC");
        return;
    }
    delete Context.Out;
    // Cleared so that a second call reports instead of freeing twice.
    Context.Out = nullptr;
}

int CFilSpec::ChooseXform(const UsageCounts& counts) {
    if (chooseXformDialog == nullptr) return 0;
    // "Null" and any stray index show the list at Mosaic.
    const int shown = IsRealXform(XformIndex) ? XformIndex : kMosaic;
    int chosen = shown;
    int wizard = WizardAll;
    if (chooseXformDialog(shown, WizardAll, &chosen, &wizard) != 1) return 0;

    WizardAll = wizard != 0 ? 1 : 0;
    if (WizardAll == 0) {
        if (!IsRealXform(chosen)) {
            ErrorBox("CChFilDlg::OnOK()%d", chosen);
            chosen = 0;
        }
        XformIndex = chosen;
    } else {
        RandomizeAll(counts);
    }
    return 1;
}

int* CFilSpec::WizardFlag(int index) {
    switch (index) {
        case kBanya:
            return &Banya.wizardChooses;
        case kBubble:
            return &Bubble.wizardChooses;
        case kClouds:
            return &Clouds.wizardChooses;
        case kExplode:
            return &Explode.wizardChooses;
        case kFallenLetters:
            return &FallenLetters.wizardChooses;
        case kHaaisi:
            return &Haaisi.wizardChooses;
        case kZimbel:
            return &Zimbel.wizardChooses;
        case kLiquidEnergy:
            return &LiquidEnergy.wizardChooses;
        case kMadPainter:
            return &MadPainter.wizardChooses;
        case kVelmiraTonkart:
            return &VelmiraTonkart.wizardChooses;
        case kMist:
            return &Mist.wizardChooses;
        case kMosaic:
            return &Mosaic.wizardChooses;
        case kNet:
            return &Net.wizardChooses;
        case kOldFilm:
            return &OldFilm.wizardChooses;
        case kOpArt:
            return &OpArt.wizardChooses;
        case kReliefMap:
            return &ReliefMap.wizardChooses;
        case kStarDust:
            return &StarDust.wizardChooses;
        case kSwarm:
            return &Swarm.wizardChooses;
        case kWood:
            return &Wood.wizardChooses;
        default:
            return nullptr;
    }
}

void CFilSpec::SetAllWizardFlags() {
    for (int index = 0; index < kXformCount; ++index)
        *WizardFlag(index) = 1;
}
