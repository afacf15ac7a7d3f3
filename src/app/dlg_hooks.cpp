// Connects the dialogs to the recipe: "Choose Xform" and the settings panel
// of every Xform that draws.
#include <QApplication>

#include "app/dialogs.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"

namespace {

int ChooseXformOverActiveWindow(int shownIndex, int wizardChooses, int* chosenIndex,
                                int* chosenWizard) {
    return RunChooseXformDialog(QApplication::activeWindow(), shownIndex, wizardChooses,
                                chosenIndex, chosenWizard);
}

// The recipe's copy names the Xform whose panel opens.
int SettingsPanel(CFilSpec& filSpec) {
    return RunXformSettingsPanel(QApplication::activeWindow(), filSpec, filSpec.XformIndex);
}

}  // namespace

void InstallDialogHooks() {
    SetChooseXformDialog(&ChooseXformOverActiveWindow);
    for (const XformRow& row : XformRows()) {
        if (row.Draws()) MutableXformRow(row.index)->settings = &SettingsPanel;
    }
}
