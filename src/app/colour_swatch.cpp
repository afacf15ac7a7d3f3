#include "app/colour_swatch.h"

#include <QColorDialog>
#include <QPainter>

namespace {

ColourChooser& InstalledChooser() {
    static ColourChooser chooser;
    return chooser;
}

}  // namespace

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumSize(32, 16);
}

void ColourSwatch::SetColour(COLORREF colour) {
    colour_ = colour;
    setToolTip(ColourText(colour));
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // The box's right and bottom two pixels stay the frame's.
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width() - 2, height() - 2), ToQColor(colour_));
}

bool PickColour(COLORREF* colour, QWidget* parent) {
    if (colour == nullptr) return false;
    if (InstalledChooser()) return InstalledChooser()(colour);
    const QColor chosen = QColorDialog::getColor(ToQColor(*colour), parent);
    if (!chosen.isValid()) return false;
    *colour = FromQColor(chosen);
    return true;
}

ColourChooser SetColourChooser(ColourChooser chooser) {
    ColourChooser previous = std::move(InstalledChooser());
    InstalledChooser() = std::move(chooser);
    return previous;
}

QString ColourText(COLORREF colour) {
    return ToQColor(colour).name(QColor::HexRgb).toUpper();
}

QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF FromQColor(const QColor& colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}
