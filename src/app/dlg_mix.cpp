#include "app/dlg_mix.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/slider_pair.h"
#include "util/error_box.h"

namespace {

constexpr int kIdAdvancedSelection = 1134;

// The trackbar and edit serve only the modes that blend by a percentage.
bool UsesPercent(int mode) {
    return mode != kMixModeOff && mode != kMixHsv;
}

}  // namespace

// --- shared by both dialogs -----------------------------------------------------

ModePercentDlg::ModePercentDlg(QWidget* parent) : QDialog(parent) {}

QRadioButton* ModePercentDlg::ModeButton(int mode) const {
    const auto it = modes_.find(mode);
    return it == modes_.end() ? nullptr : it->second;
}

QRadioButton* ModePercentDlg::AddMode(QGridLayout* grid, int row, int mode, const QString& label) {
    auto* button = new QRadioButton(label);
    SetControlId(button, mode);
    grid->addWidget(button, row, 0);
    modes_[mode] = button;
    connect(button, &QRadioButton::clicked, this, [this, mode] {
        mode_ = mode;
        LoadControls();
    });
    return button;
}

QLayout* ModePercentDlg::BuildModes(bool withEvenAndHsv) {
    auto* column = new QVBoxLayout;
    auto* plain = new QGridLayout;
    int row = 0;
    AddMode(plain, row++, kMixModeOff, QStringLiteral("&Off"));
    if (withEvenAndHsv) AddMode(plain, row++, kMixEven, QStringLiteral("&Even Mix"));
    AddMode(plain, row++, 1066, QStringLiteral("&Left Right"));
    AddMode(plain, row++, 1067, QStringLiteral("&Top Bottom"));
    AddMode(plain, row++, 1068, QStringLiteral("&Right Left"));
    AddMode(plain, row++, 1069, QStringLiteral("&Bottom Top"));
    column->addLayout(plain);

    auto* circular = new QGroupBox(QStringLiteral("Circular"), this);
    auto* circularGrid = new QGridLayout(circular);
    AddMode(circularGrid, 0, 1070, QStringLiteral("&Center Out"));
    AddMode(circularGrid, 1, 1071, QStringLiteral("O&uter In"));
    column->addWidget(circular);

    auto* elliptical = new QGroupBox(QStringLiteral("Elliptical"), this);
    auto* ellipticalGrid = new QGridLayout(elliptical);
    AddMode(ellipticalGrid, 0, 1072, QStringLiteral("Center Out"));
    AddMode(ellipticalGrid, 1, 1073, QStringLiteral("Outer In"));
    column->addWidget(elliptical);

    if (withEvenAndHsv) {
        auto* hsv = new QGridLayout;
        AddMode(hsv, 0, kMixHsv, QStringLiteral("&Hsv"));
        column->addLayout(hsv);
    }
    // One exclusive set across the group boxes.
    auto* group = new QButtonGroup(this);
    for (const auto& [mode, button] : modes_)
        group->addButton(button, mode);
    return column;
}

QLayout* ModePercentDlg::BuildPercent(const QString& prompt) {
    auto* column = new QVBoxLayout;
    auto* label = new QLabel(prompt, this);
    SetControlId(label, kIdPercentPrompt);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("% of original")));
    pair_ = new SliderPair(Qt::Horizontal, this);
    pair_->SetupInt(&percent_, 1, 99);
    SetControlId(pair_->Slider(), kIdPercentSlider);
    SetControlId(pair_->Edit(), kIdPercentEdit);
    connect(pair_, &SliderPair::Scrolled, this, [this] { LoadControls(); });
    column->addWidget(label);
    column->addWidget(pair_);
    return column;
}

void ModePercentDlg::BuildButtons(QBoxLayout* layout, const QString& help) {
    auto* row = new QHBoxLayout;
    buttons_ = AddSetApplyCancel(this, row, QStringLiteral("Set"), QStringLiteral("Apply &Now"),
                                 &applyNow_, [this] { return ReadControls(); });
    layout->addLayout(row);
    AddHelpLine(layout, help);
}

void ModePercentDlg::LoadControls() {
    // A mode without a button here (the final mix's modes in the web fade)
    // leaves every button unchecked.
    QButtonGroup* group = modes_.begin()->second->group();
    group->setExclusive(false);
    for (const auto& [mode, button] : modes_)
        button->setChecked(mode == mode_);
    group->setExclusive(true);
    EnableDlgItemInput(this, kIdPercentSlider, UsesPercent(mode_));
    EnableDlgItemInput(this, kIdPercentEdit, UsesPercent(mode_));
    pair_->Init();
}

bool ModePercentDlg::ReadPercent(int lo, int hi) {
    // A disabled edit cannot be corrected by the user, and its mode does not
    // use the percentage: it is kept as it is.
    if (!pair_->Edit()->isEnabled()) return true;
    int typed = 0;
    if (!pair_->CheckIntegerRange(lo, hi, &typed)) return false;
    percent_ = typed;
    return true;
}

// --- "Mix Settings" ---------------------------------------------------------------

MixDlg::MixDlg(QWidget* parent, const MixSettings& mix)
    : ModePercentDlg(parent), selection_(mix.Selection) {
    mode_ = mix.Mode;
    percent_ = mix.Percent;
    setWindowTitle(QStringLiteral("Mix Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildModes(true));
    auto* advanced = new QPushButton(QStringLiteral("Advanced Selection..."), this);
    SetControlId(advanced, kIdAdvancedSelection);
    advanced->setAutoDefault(false);
    connect(advanced, &QPushButton::clicked, this, &MixDlg::OnHlsBut);
    layout->addWidget(advanced);
    layout->addSpacing(8);
    layout->addLayout(BuildPercent(QString()));
    layout->addSpacing(8);
    BuildButtons(layout, QStringLiteral("F1 for help on mixing"));
    LoadControls();
}

void MixDlg::SetupDCs(const CDADC* original) {
    if (original == nullptr) {
        ErrorBox("ERRORE,pOrg==NULL in CMixDlg::SetupDCs");
        return;
    }
    original_ = original;
}

void MixDlg::LoadControls() {
    ModePercentDlg::LoadControls();
    EnableDlgItemInput(this, kIdAdvancedSelection, mode_ == kMixHsv);
    if (mode_ == kMixEven) {
        SetControlTxt(this, kIdPercentPrompt, "%% of original");
    } else if (mode_ == kMixHsv) {
        SetControlTxt(this, kIdPercentPrompt, "%s", "");
    } else {
        SetControlTxt(this, kIdPercentPrompt, "mix sharpness(%%)");
    }
}

bool MixDlg::ReadControls() {
    return ReadPercent(1, 99);
}

void MixDlg::OnHlsBut() {
    int applyNow = 0;
    RunAreaSelectionDialog(this, &selection_, original_, &applyNow);
}

void MixDlg::Store(MixSettings* mix) const {
    mix->Mode = mode_;
    mix->Selection = selection_;
    mix->Percent = percent_;
}

int RunFinalMixDialog(QWidget* parent, MixSettings* mix, const CDADC* original, int* applyNow) {
    if (mix == nullptr) return 0;
    MixDlg dlg(parent, *mix);
    dlg.SetupDCs(original);
    if (dlg.exec() != QDialog::Accepted) return 0;
    dlg.Store(mix);
    if (applyNow != nullptr) *applyNow = dlg.ApplyNow();
    return 1;
}
