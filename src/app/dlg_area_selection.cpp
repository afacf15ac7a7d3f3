#include "app/dlg_area_selection.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/colour_swatch.h"
#include "app/dialogs.h"
#include "app/picture_image.h"
#include "app/slider_pair.h"
#include "engine/force_field.h"
#include "engine/toolkit.h"
#include "util/error_box.h"

namespace {

constexpr int kIdFrame = 1075;
constexpr int kIdSwatch = 1077;
constexpr int kIdInvert = 1105;
constexpr int kIdDefault = 3;
constexpr int kIdHueEdit = 1052;
constexpr int kIdSatEdit = 1053;
constexpr int kIdValEdit = 1054;
constexpr int kIdHueSlider = 1067;
constexpr int kIdSatSlider = 1069;
constexpr int kIdValSlider = 1076;
constexpr int kIdSmoothSlider = 1129;

constexpr int kMaxSmoothing = 8;  // the Smooth trackbar's top: position 0

}  // namespace

// --- the preview ------------------------------------------------------------------

int DrawForceField(CDADC* destination, const CDADC* source, const AreaSelection* selection) {
    if (destination == nullptr || source == nullptr) {
        ErrorBox("AHRF: Bad DCs");
        return 0;
    }
    if (destination->width != source->width) {
        ErrorBox("AHRF: in-out size x error");
        return 0;
    }
    if (destination->height != source->height) {
        ErrorBox("AHRF: in-out size y error");
        return 0;
    }
    ForceField field = MakeForceField(source, selection);
    if (!field) return 0;
    for (int x = 0; x < source->width; ++x) {
        for (int y = 0; y < source->height; ++y) {
            const int f = ForceAt(field.get(), x, y, source->width);
            destination->pDC->SetPixel(x, y, RGB(f, f, f));
        }
    }
    return 1;
}

PictureFrame::PictureFrame(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

void PictureFrame::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PictureFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isNull()) return;
    // Pixels repeated, never blended, as a COLORONCOLOR stretch does.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(contentsRect(), picture_);
}

// --- the dialog -------------------------------------------------------------------

AreaSelDlg::AreaSelDlg(QWidget* parent, const AreaSelection& selection)
    : QDialog(parent), selection_(selection) {
    thumbnail_.pDC->SetStretchBltMode(COLORONCOLOR);
    preview_.pDC->SetStretchBltMode(COLORONCOLOR);
    setWindowTitle(QStringLiteral("Advanced area selection"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* pictures = new QVBoxLayout;
    frame_ = new PictureFrame(this);
    frame_->setFixedSize(DialogUnits(this, 72, 48));
    SetControlId(frame_, kIdFrame);
    swatch_ = new ColourSwatch(this);
    swatch_->setFixedSize(DialogUnits(this, 72, 18));
    SetControlId(swatch_, kIdSwatch);
    pictures->addWidget(frame_);
    pictures->addWidget(swatch_);
    top->addLayout(pictures);
    auto* side = new QVBoxLayout;
    invertBox_ = new QCheckBox(QStringLiteral("&Invert"), this);
    SetControlId(invertBox_, kIdInvert);
    auto* defaults = new QPushButton(QStringLiteral("&Default"), this);
    defaults->setAutoDefault(false);
    SetControlId(defaults, kIdDefault);
    side->addWidget(invertBox_);
    side->addWidget(defaults);
    side->addStretch();
    top->addLayout(side);
    layout->addLayout(top);

    // Hue, Sat, Val and Smooth side by side, the high ends at the top.
    auto* sliders = new QGridLayout;
    auto addPair = [this, sliders](int column, const QString& label, double* value, double high,
                                   int sliderId, int editId) {
        auto* pair = new SliderPair(Qt::Vertical, this);
        pair->SetupReal(value, 0.0, high, "%6.2f");
        pair->SetMaxTextLength(8);
        SetControlId(pair->Slider(), sliderId);
        SetControlId(pair->Edit(), editId);
        sliders->addWidget(new QLabel(label, this), 1, column, Qt::AlignHCenter);
        sliders->addWidget(pair, 2, column, Qt::AlignHCenter);
        connect(pair, &SliderPair::Scrolled, this, &AreaSelDlg::OnScroll);
        connect(pair, &SliderPair::Edited, this, &AreaSelDlg::UpdatePreview);
        return pair;
    };
    hue_ = addPair(0, QStringLiteral("Hue"), &hueValue_, 359.9, kIdHueSlider, kIdHueEdit);
    sat_ = addPair(1, QStringLiteral("Sat"), &satValue_, 1.0, kIdSatSlider, kIdSatEdit);
    val_ = addPair(2, QStringLiteral("Val"), &valValue_, 1.0, kIdValSlider, kIdValEdit);
    smooth_ = new QSlider(Qt::Vertical, this);
    smooth_->setInvertedAppearance(true);
    smooth_->setInvertedControls(true);
    smooth_->setRange(0, kMaxSmoothing);
    smooth_->setPageStep(2);
    smooth_->setTickPosition(QSlider::TicksRight);
    SetControlId(smooth_, kIdSmoothSlider);
    sliders->addWidget(new QLabel(QStringLiteral("Max"), this), 0, 3, Qt::AlignHCenter);
    sliders->addWidget(new QLabel(QStringLiteral("Smooth"), this), 1, 3, Qt::AlignHCenter);
    sliders->addWidget(smooth_, 2, 3, Qt::AlignHCenter | Qt::AlignTop);
    layout->addLayout(sliders);

    auto* row = new QHBoxLayout;
    buttons_ = AddSetApplyCancel(this, row, QStringLiteral("&Set"), QStringLiteral("Apply &Now"),
                                 &applyNow_, [this] { return ReadControls(); });
    layout->addLayout(row);
    AddHelpLine(layout, QStringLiteral("F1 for help with advanced selection"));

    connect(smooth_, &QSlider::valueChanged, this, &AreaSelDlg::OnScroll);
    connect(invertBox_, &QCheckBox::clicked, this, &AreaSelDlg::OnInvert);
    connect(defaults, &QPushButton::clicked, this, &AreaSelDlg::OnDefault);

    // Initialisation.
    hueValue_ = selection_.hue;
    satValue_ = selection_.saturation;
    valValue_ = selection_.value;
    hue_->Init();
    sat_->Init();
    val_->Init();
    SetSmoothPosition(kMaxSmoothing - selection_.smoothing);
    invert_ = selection_.invert;
    LoadControls();
    UpdatePreview();
}

void AreaSelDlg::SetupThumbnails(const CDADC* original, int divisor) {
    if (original == nullptr) {
        ErrorBox("Bad pOrgDC handle");
        return;
    }
    if (divisor < 1) {
        ErrorBox("Bad divisor : %d", divisor);
        return;
    }
    CDADC::Make24BitHeader(&header_);
    header_.bmiHeader.biWidth = original->width / divisor;
    header_.bmiHeader.biHeight = original->height / divisor;
    if (!thumbnail_.InitData(&header_) || !preview_.InitData(&header_)) {
        ErrorBox("CCD: Could not initdata");
        return;
    }
    const int w = thumbnail_.width;
    const int h = thumbnail_.height;
    if (!thumbnail_.pDC->StretchBlt(0, 0, w, h, original->pDC, 0, 0, original->width,
                                    original->height, SRCCOPY)) {
        ErrorBox("Could not stretch blit for thumbnail");
    }
    if (!preview_.pDC->StretchBlt(0, 0, w, h, original->pDC, 0, 0, original->width,
                                  original->height, SRCCOPY)) {
        ErrorBox("Could not stretch blit for thumbnail");
    }
    frame_->SetPicture(PictureToImage(preview_));
}

COLORREF AreaSelDlg::SwatchColour() const {
    AreaSelection shown;
    shown.SetHsv(hueValue_, satValue_, valValue_);
    return RGB(shown.red, shown.green, shown.blue);
}

void AreaSelDlg::UpdatePreview() {
    AreaSelection shown;
    shown.SetHsv(hueValue_, satValue_, valValue_);
    // Half the smoothing on the thumbnail keeps the look of the full picture.
    shown.smoothing = selection_.smoothing / 2;
    shown.invert = selection_.invert;
    // Before SetupThumbnails there is nothing to preview yet.
    if (thumbnail_.pBits != nullptr) {
        if (!DrawForceField(&preview_, &thumbnail_, &shown)) ErrorBox("ERROR UT::AHRF, oops!");
        frame_->SetPicture(PictureToImage(preview_));
    }
    swatch_->SetColour(SwatchColour());
}

void AreaSelDlg::SetSmoothPosition(int position) {
    const QSignalBlocker block(smooth_);
    smooth_->setValue(position);
}

void AreaSelDlg::LoadControls() {
    invertBox_->setChecked(invert_ != 0);
}

void AreaSelDlg::OnScroll() {
    hue_->OnScroll();
    sat_->OnScroll();
    val_->OnScroll();
    selection_.SetSmoothing(kMaxSmoothing - smooth_->value());
    UpdatePreview();
}

void AreaSelDlg::OnInvert() {
    invert_ = invert_ != 0 ? 0 : 1;
    selection_.invert = invert_;
    UpdatePreview();
    LoadControls();
}

void AreaSelDlg::OnDefault() {
    selection_.SetDefault();
    invert_ = selection_.invert;
    hueValue_ = selection_.hue;
    satValue_ = selection_.saturation;
    valValue_ = selection_.value;
    SetSmoothPosition(kMaxSmoothing - selection_.smoothing);
    hue_->SetFromValue();
    sat_->SetFromValue();
    val_->SetFromValue();
    UpdatePreview();
    LoadControls();
}

bool AreaSelDlg::ReadControls() {
    hue_->CommitPendingEdit();
    sat_->CommitPendingEdit();
    val_->CommitPendingEdit();
    selection_.SetHsv(hueValue_, satValue_, valValue_);
    selection_.SetSmoothing(kMaxSmoothing - smooth_->value());
    return true;
}

int RunAreaSelectionDialog(QWidget* parent, AreaSelection* selection, const CDADC* original,
                           int* applyNow) {
    if (selection == nullptr) return 0;
    AreaSelDlg dlg(parent, *selection);
    dlg.SetupThumbnails(original, original != nullptr ? CDADC::ThumbnailDivisor(original) : 1);
    dlg.UpdatePreview();
    if (dlg.exec() != QDialog::Accepted) return 0;
    *selection = dlg.Selection();
    if (applyNow != nullptr) *applyNow = dlg.ApplyNow();
    return 1;
}
