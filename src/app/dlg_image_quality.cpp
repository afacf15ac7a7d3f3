#include "app/dlg_image_quality.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "util/error_box.h"

ImageQualityDlg::ImageQualityDlg(QWidget* parent, int level) : QDialog(parent), level_(level) {
    setWindowTitle(QStringLiteral("Image Quality (Anti Alias)"));
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    auto* group = new QGroupBox(QStringLiteral("Quality"), this);
    auto* radios = new QVBoxLayout(group);
    normal_ = new QRadioButton(QStringLiteral("&Normal"), group);
    medium_ = new QRadioButton(QStringLiteral("&Medium"), group);
    high_ = new QRadioButton(QStringLiteral("&High"), group);
    radios->addWidget(normal_);
    radios->addWidget(medium_);
    radios->addWidget(high_);
    left->addWidget(group);
    AddHelpLine(left, QStringLiteral("F1 for help on image quality"));
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    buttons_ = AddSetApplyCancel(this, right, QStringLiteral("Set"), QStringLiteral("Apply Now"),
                                 &applyNow_, nullptr);
    right->addStretch();
    layout->addLayout(right);

    // A click takes the level at once.
    connect(normal_, &QRadioButton::clicked, this, [this] {
        level_ = 1;
        LoadControls();
    });
    connect(medium_, &QRadioButton::clicked, this, [this] {
        level_ = 2;
        LoadControls();
    });
    connect(high_, &QRadioButton::clicked, this, [this] {
        level_ = 4;
        LoadControls();
    });

    if (level_ != 1 && level_ != 2 && level_ != 4) {
        ErrorBox("DDE:Bad AA level=%d", level_);
        level_ = 1;
    }
    LoadControls();
}

QRadioButton* ImageQualityDlg::Button(int level) const {
    switch (level) {
        case 1:
            return normal_;
        case 2:
            return medium_;
        case 4:
            return high_;
        default:
            return nullptr;
    }
}

void ImageQualityDlg::LoadControls() {
    if (QRadioButton* button = Button(level_)) button->setChecked(true);
}

int RunImageQualityDialog(QWidget* parent, int level, int* chosenLevel, int* applyNow) {
    ImageQualityDlg dlg(parent, level);
    if (dlg.exec() != QDialog::Accepted) return 0;
    if (chosenLevel != nullptr) *chosenLevel = dlg.Level();
    if (applyNow != nullptr) *applyNow = dlg.ApplyNow();
    return 1;
}
