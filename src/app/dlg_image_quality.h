// "Image Quality (Anti Alias)": the canvas is 1, 2 or 4 times the original.
#pragma once

#include <QDialog>

#include "app/dlg_helpers.h"

class QRadioButton;

class ImageQualityDlg : public QDialog {
    Q_OBJECT

  public:
    ImageQualityDlg(QWidget* parent, int level);

    int Level() const { return level_; }
    int ApplyNow() const { return applyNow_; }
    QRadioButton* Button(int level) const;
    const SetApplyCancel& Buttons() const { return buttons_; }

  private:
    void LoadControls();

    QRadioButton* normal_ = nullptr;
    QRadioButton* medium_ = nullptr;
    QRadioButton* high_ = nullptr;
    SetApplyCancel buttons_;
    int level_ = 1;
    int applyNow_ = 0;
};
