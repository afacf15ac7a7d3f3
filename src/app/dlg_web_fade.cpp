#include <cstdlib>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/colour_swatch.h"
#include "app/dialogs.h"
#include "app/dlg_mix.h"
#include "util/error_box.h"

namespace {

constexpr int kIdColourEdit = 1216;
constexpr int kIdChooseColour = 1034;
constexpr int kIdColourSwatch = 1036;

bool UsesColour(int mode) {
    return mode != kMixModeOff && mode != kMixHsv;
}

}  // namespace

WebFadeDlg::WebFadeDlg(QWidget* parent, const MixSettings& fade)
    : ModePercentDlg(parent), settings_(fade) {
    mode_ = settings_.Mode;
    percent_ = settings_.Percent;
    setWindowTitle(QStringLiteral("WEB Fading Settings"));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    columns->addLayout(BuildModes(false));

    auto* right = new QVBoxLayout;
    auto* colourBox = new QGroupBox(QStringLiteral("WEB Fade color"), this);
    auto* colourLayout = new QGridLayout(colourBox);
    colourEdit_ = new QLineEdit(colourBox);
    colourEdit_->setMaxLength(8);
    SetControlId(colourEdit_, kIdColourEdit);
    auto* choose = new QPushButton(QStringLiteral("Choose..."), colourBox);
    choose->setAutoDefault(false);
    SetControlId(choose, kIdChooseColour);
    swatch_ = new ColourSwatch(colourBox);
    swatch_->setMinimumSize(48, 24);
    SetControlId(swatch_, kIdColourSwatch);
    colourLayout->addWidget(colourEdit_, 0, 0);
    colourLayout->addWidget(choose, 0, 1);
    colourLayout->addWidget(swatch_, 1, 0, 1, 2);
    right->addWidget(colourBox);
    right->addStretch();
    right->addLayout(BuildPercent(QStringLiteral("Mix sharpness")));
    columns->addLayout(right);
    layout->addLayout(columns);
    layout->addSpacing(8);
    BuildButtons(layout, QStringLiteral("F1 for help on this dialog"));

    connect(colourEdit_, &QLineEdit::editingFinished, this, &WebFadeDlg::OnColourKillFocus);
    connect(choose, &QPushButton::clicked, this, &WebFadeDlg::OnChooseColour);
    LoadControls();
}

void WebFadeDlg::LoadControls() {
    ModePercentDlg::LoadControls();
    EnableDlgItemInput(this, kIdColourEdit, UsesColour(mode_));
    EnableDlgItemInput(this, kIdChooseColour, UsesColour(mode_));
    colourEdit_->setText(ColourText(settings_.Colour));
    colourEdit_->setModified(false);
    swatch_->SetColour(settings_.Colour);
}

void WebFadeDlg::OnColourKillFocus() {
    if (colourCommitting_) return;
    colourCommitting_ = true;
    // The text reads as #RRGGBB, red first, as the colour dialog and every
    // other program show it; the "#" may be left out. strtol: leading blanks,
    // a sign and "0x" accepted; no digits read as 0.
    QString typed = colourEdit_->text().trimmed();
    if (typed.startsWith('#')) typed.remove(0, 1);
    const QByteArray text = typed.toLatin1();
    long value = std::strtol(text.constData(), nullptr, 16);
    if (value < 0 || value > 0xFFFFFF) {
        ErrorBox("Colours must be between 0 and FFFFFF");
        value = 0xFFFFFF;
    }
    settings_.Colour = RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    // The edit keeps what was typed until the controls are next loaded.
    colourEdit_->setModified(false);
    swatch_->SetColour(settings_.Colour);
    colourCommitting_ = false;
}

void WebFadeDlg::OnChooseColour() {
    if (PickColour(&settings_.Colour, this)) LoadControls();
}

bool WebFadeDlg::ReadControls() {
    if (colourEdit_->isModified()) OnColourKillFocus();
    if (!ReadPercent(0, 100)) return false;
    settings_.Mode = mode_;
    settings_.Percent = percent_;
    return true;
}

int RunWebFadeDialog(QWidget* parent, MixSettings* fade, const CDADC* original, int* applyNow) {
    (void)original;  // the web fade has no preview
    if (fade == nullptr) return 0;
    WebFadeDlg dlg(parent, *fade);
    if (dlg.exec() != QDialog::Accepted) return 0;
    *fade = dlg.Settings();
    if (applyNow != nullptr) *applyNow = dlg.ApplyNow();
    return 1;
}
