// "Advanced area selection": the HSV selection with a live preview of the
// force field it makes on a thumbnail of the original.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QImage>

#include "app/dlg_helpers.h"
#include "engine/area_selection.h"
#include "surface/cdadc.h"

class ColourSwatch;
class QCheckBox;
class QSlider;
class SliderPair;

// Paints the force field of source (selection) onto destination as grey
// pixels, white where the weight is highest; 1 on success, 0 after a message
// (or when the field could not be built).
int DrawForceField(CDADC* destination, const CDADC* source, const AreaSelection* selection);

// Shows a picture stretched over the inside of its 2-pixel sunken frame.
class PictureFrame : public QFrame {
    Q_OBJECT

  public:
    explicit PictureFrame(QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

class AreaSelDlg : public QDialog {
    Q_OBJECT

  public:
    AreaSelDlg(QWidget* parent, const AreaSelection& selection);

    // The thumbnail and preview at the original's size divided by divisor.
    void SetupThumbnails(const CDADC* original, int divisor);
    // The force field of the working values on the preview, and a repaint.
    void UpdatePreview();

    const AreaSelection& Selection() const { return selection_; }
    int ApplyNow() const { return applyNow_; }
    const CDADC& Preview() const { return preview_; }
    const CDADC& Thumbnail() const { return thumbnail_; }
    SliderPair* HuePair() const { return hue_; }
    SliderPair* SatPair() const { return sat_; }
    SliderPair* ValPair() const { return val_; }
    QSlider* SmoothSlider() const { return smooth_; }
    QCheckBox* InvertBox() const { return invertBox_; }
    const SetApplyCancel& Buttons() const { return buttons_; }
    // The swatch's colour: the working hue, saturation and value.
    COLORREF SwatchColour() const;

    // The events.
    void OnScroll();
    void OnInvert();
    void OnDefault();

  private:
    void LoadControls();
    bool ReadControls();
    void SetSmoothPosition(int position);

    AreaSelection selection_;
    int applyNow_ = 0;
    int invert_ = 0;
    double hueValue_ = 0.0;
    double satValue_ = 0.0;
    double valValue_ = 1.0;
    CDADC thumbnail_;
    CDADC preview_;
    BITMAPINFO header_{};

    PictureFrame* frame_ = nullptr;
    ColourSwatch* swatch_ = nullptr;
    QCheckBox* invertBox_ = nullptr;
    SliderPair* hue_ = nullptr;
    SliderPair* sat_ = nullptr;
    SliderPair* val_ = nullptr;
    QSlider* smooth_ = nullptr;
    SetApplyCancel buttons_;
};
