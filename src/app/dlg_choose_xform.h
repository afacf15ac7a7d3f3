// "Choose Xform": the Xform of the next idea, or the Wizard for all of it.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;

class ChooseXformDlg : public QDialog {
    Q_OBJECT

  public:
    ChooseXformDlg(QWidget* parent, int shownIndex, int wizard);

    // Read after OK.
    int ChosenIndex() const { return chosen_; }
    int Wizard() const { return wizard_; }

    QCheckBox* WizardBox() const { return wizardBox_; }
    QComboBox* List() const { return list_; }

    // OK: reads the list.
    void accept() override;

  private:
    void ApplyEnableRule();

    QCheckBox* wizardBox_ = nullptr;
    QComboBox* list_ = nullptr;
    int wizard_ = 0;
    int chosen_ = 0;
};
