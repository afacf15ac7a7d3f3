// Connects the dialogs to the recipe: "Choose Xform" and the settings panel
// of every Xform that declares its block.
#include <utility>

#include <QApplication>

#include "app/dialogs.h"
#include "engine/param_decl.h"
#include "engine/recipe.h"
#include "engine/xform_registry.h"

namespace {

int ChooseXformOverActiveWindow(int shownIndex, int wizardChooses, int* chosenIndex,
                                int* chosenWizard) {
    return RunChooseXformDialog(QApplication::activeWindow(), shownIndex, wizardChooses,
                                chosenIndex, chosenWizard);
}

// The registry's settings operation knows only the recipe: one per index.
template <int Index>
int SettingsPanel(CFilSpec& filSpec) {
    return RunXformSettingsPanel(QApplication::activeWindow(), filSpec, Index);
}

template <int... Index>
void InstallPanels(std::integer_sequence<int, Index...>) {
    using Op = int (*)(CFilSpec&);
    constexpr Op panels[] = {&SettingsPanel<Index>...};
    for (int index = 0; index < kXformCount; ++index) {
        XformOps* row = MutableXformRow(index);
        if (row != nullptr && row->decl != nullptr) row->settings = panels[index];
    }
}

}  // namespace

void InstallDialogHooks() {
    SetChooseXformDialog(&ChooseXformOverActiveWindow);
    InstallPanels(std::make_integer_sequence<int, kXformCount>{});
}
