#include "recipe/recipe.h"

#include <chrono>
#include <ctime>
#include <mutex>

#include "engine/crt_random.h"
#include "engine/toolkit.h"
#include "engine/xform_context.h"
#include "recipe/xform_registry.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

namespace {

// The final mix the Wizard picks for each r = RandomInt (1, 20): r = 2..10
// choose a mode (4 and 5 in swapped order), every other r leaves it off.
constexpr int kWizardMixModes[21] = {
    kMixModeOff, kMixModeOff, 1065,        1066,        1068,        1067,        1069,
    1070,        1071,        1072,        1073,        kMixModeOff, kMixModeOff, kMixModeOff,
    kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff, kMixModeOff,
};

// Counts this high are never the minimum unless all are.
constexpr int kUsageCeiling = 64000;
// Mist's count in a new document.
constexpr int kMistUsage = 1000000;
// After this many draws the last one is taken even if it is not least used.
constexpr int kLeastUsedDraws = 1901;

ChooseXformDialog chooseXformDialog = nullptr;

// The reference point of NewSeed's milliseconds.
const auto programStart = std::chrono::steady_clock::now();

// The last seed NewSeed gave, in any thread.
std::mutex lastSeedLock;
std::uint32_t lastSeed = 0;
bool haveLastSeed = false;

}  // namespace

ChooseXformDialog SetChooseXformDialog(ChooseXformDialog dialog) {
    const ChooseXformDialog previous = chooseXformDialog;
    chooseXformDialog = dialog;
    return previous;
}

const char* XformName(int index) {
    if (index == kNullXform) return "Null";
    const XformRow* row = FindXform(index);
    return row != nullptr ? row->name : "";
}

UsageCounts NewUsageCounts() {
    UsageCounts counts{};
    counts[kMist] = kMistUsage;
    return counts;
}

bool XformDraws(int index) {
    const XformRow* row = FindXform(index);
    return row != nullptr && row->Draws();
}

CFilSpec::CFilSpec() {
    for (const XformRow& row : XformRows())
        row.construct(*this);
}

int CFilSpec::Apply(XformContext& ctx) const {
    if (ctx.In == nullptr || ctx.Out == nullptr || ctx.Draw == nullptr) {
        ErrorBox("Bad DC in Xform.Apply()\nin=%p out=%p drw=%p", static_cast<const void*>(ctx.In),
                 static_cast<void*>(ctx.Out), static_cast<void*>(ctx.Draw));
        return 0;
    }
    CrtSrand(Seed);
    ctx.Selection = Selection;

    const XformRow* row = FindXform(XformIndex);
    if (row != nullptr && row->run != nullptr) return row->run(*this, ctx);
    if (XformIndex != kNullXform) ErrorBox("FI:Xform %d not\n(yet) supported", XformIndex);
    return 0;
}

int CFilSpec::Validate(int width, int height) {
    const XformRow* row = FindXform(XformIndex);
    if (row == nullptr || row->validate == nullptr) {
        ErrorBox("CFilSpec::GP:Xform %d not\n(yet) supported", XformIndex);
        return 0;
    }
    return row->validate(*this, width, height);
}

int CFilSpec::OpenSettings() {
    const int index = XformIndex;
    const XformRow* row = FindXform(index);
    if (row == nullptr || row->settings == nullptr) {
        ErrorBox("CFilSpec::OCP, Xforms %d not\n(yet) supported", index);
        return 0;
    }
    // The panel works on a copy; only the Xform's own block comes back.
    CFilSpec edited = *this;
    if (row->settings(edited) != 1) return 0;
    row->copyBlock(*this, edited);
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
        const XformRow* row = FindXform(index);
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
    // Only Xforms that draw take part; once all of them do, every index does.
    int least = kUsageCeiling;
    for (int index = 0; index < kXformCount; ++index) {
        if (XformDraws(index) && counts[index] < least) least = counts[index];
    }
    int index = 0;
    for (int draws = 0; draws < kLeastUsedDraws; ++draws) {
        index = RandomInt(0, kXformCount - 1);
        if (XformDraws(index) && counts[index] == least) return index;
    }
    if (XformDraws(index)) return index;
    for (index = 0; index < kXformCount && !XformDraws(index); ++index) {
    }
    return index;
}

void CFilSpec::NewSeed() {
    const auto sinceStart = std::chrono::steady_clock::now() - programStart;
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    std::uint32_t seed =
        static_cast<std::uint32_t>(std::time(nullptr)) + static_cast<std::uint32_t>(milliseconds);
    // Ideas made within one millisecond (a gallery page, a wizard batch)
    // would share a seed: each seed is at least one past the last, counting
    // around the 32-bit circle.
    std::lock_guard lock(lastSeedLock);
    if (haveLastSeed && static_cast<std::int32_t>(seed - lastSeed) <= 0) seed = lastSeed + 1;
    lastSeed = seed;
    haveLastSeed = true;
    Seed = seed;
}

const char* CFilSpec::GetName() const {
    return XformName(XformIndex);
}

int CFilSpec::ChooseXform(const UsageCounts& counts) {
    if (chooseXformDialog == nullptr) return 0;
    // "Null" and any stray index show the list at Mosaic.
    const int shown = XformDraws(XformIndex) ? XformIndex : kMosaic;
    int chosen = shown;
    int wizard = WizardAll;
    if (chooseXformDialog(shown, WizardAll, &chosen, &wizard) != 1) return 0;

    WizardAll = wizard != 0 ? 1 : 0;
    if (WizardAll == 0) {
        if (!XformDraws(chosen)) {
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
    const XformRow* row = FindXform(index);
    return row != nullptr ? row->wizardFlag(*this) : nullptr;
}

void CFilSpec::SetAllWizardFlags() {
    for (const XformRow& row : XformRows())
        *row.wizardFlag(*this) = 1;
}
