// A colour swatch: a sunken box filled with a colour, as the settings
// dialogs show beside their colour buttons; and the colour chooser.
#pragma once

#include <functional>

#include <QFrame>
#include <QString>

#include "surface/gdi_types.h"

class ColourSwatch : public QFrame {
    Q_OBJECT

  public:
    explicit ColourSwatch(QWidget* parent = nullptr);

    void SetColour(COLORREF colour);
    COLORREF Colour() const { return colour_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    COLORREF colour_ = 0;
};

// The system colour dialog started at *colour: true with the choice stored
// on OK, false with *colour left on Cancel.
bool PickColour(COLORREF* colour, QWidget* parent = nullptr);

// Tests answer the colour dialog themselves; an empty function brings the
// real dialog back. Returns the chooser it replaces.
using ColourChooser = std::function<bool(COLORREF*)>;
ColourChooser SetColourChooser(ColourChooser chooser);

// A colour as people read it: "#RRGGBB", red first, upper-case digits.
QString ColourText(COLORREF colour);

// The Qt colour of a COLORREF (0x00BBGGRR), and back.
QColor ToQColor(COLORREF colour);
COLORREF FromQColor(const QColor& colour);
