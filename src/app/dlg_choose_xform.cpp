#include "app/dlg_choose_xform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/dlg_helpers.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "util/error_box.h"

ChooseXformDlg::ChooseXformDlg(QWidget* parent, int shownIndex, int wizard)
    : QDialog(parent), wizard_(wizard != 0 ? 1 : 0) {
    setWindowTitle(QStringLiteral("Choose Xform"));
    auto* layout = new QVBoxLayout(this);

    wizardBox_ = new QCheckBox(QStringLiteral("&Wizard chooses"), this);
    wizardBox_->setChecked(wizard_ != 0);
    layout->addWidget(wizardBox_);

    // Only the Xforms that draw; "Null" is not among them: a recipe without
    // an Xform shows Mosaic.
    list_ = new QComboBox(this);
    for (const XformRow& row : XformRows()) {
        if (row.Draws()) list_->addItem(QString::fromLatin1(row.name), row.index);
    }
    const int shown = list_->findData(shownIndex);
    list_->setCurrentIndex(shown >= 0 ? shown : list_->findData(int(kMosaic)));
    layout->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    AddOkCancel(this, buttons, QStringLiteral("None"));
    layout->addLayout(buttons);
    AddHelpLine(layout, QStringLiteral("F1 for help choosing Xforms"));

    connect(wizardBox_, &QCheckBox::clicked, this, [this] {
        wizard_ = wizard_ != 0 ? 0 : 1;
        ApplyEnableRule();
    });
    ApplyEnableRule();
}

void ChooseXformDlg::ApplyEnableRule() {
    wizardBox_->setChecked(wizard_ != 0);
    list_->setEnabled(wizard_ == 0);
}

void ChooseXformDlg::accept() {
    chosen_ = list_->currentData().isValid() ? list_->currentData().toInt() : -1;
    if (chosen_ < 0 || chosen_ >= kXformCount) {
        ErrorBox("CChFilDlg::OnOK()%d", chosen_);
        chosen_ = 0;
    }
    QDialog::accept();
}

int RunChooseXformDialog(QWidget* parent, int shownIndex, int wizard, int* chosenIndex,
                         int* chosenWizard) {
    ChooseXformDlg dlg(parent, shownIndex, wizard);
    if (dlg.exec() != QDialog::Accepted) return 0;
    if (chosenIndex != nullptr) *chosenIndex = dlg.ChosenIndex();
    if (chosenWizard != nullptr) *chosenWizard = dlg.Wizard();
    return 1;
}
