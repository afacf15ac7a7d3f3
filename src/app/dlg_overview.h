// "Sequence Overview": five cells of the document's thumbnails around the
// current one, four step buttons, a scroll bar and the mouse wheel to move
// along the whole sequence, and a double click to pick.
#pragma once

#include <array>

#include <QDialog>

#include "app/dialogs.h"

class QLabel;
class QScrollBar;
class PictureFrame;

// Paints the strip of five cells around current (the middle cell) onto
// strip, which has the size of the frame's inside.
void PaintOverviewStrip(const OverviewDialog& overview, int current, CDADC* strip);

class OverviewDlg : public QDialog {
    Q_OBJECT

  public:
    OverviewDlg(QWidget* parent, OverviewDialog& overview);

    void ToFirst();
    void Back();
    void Forward();
    void ToLast();
    // A double click at pos (dialog coordinates).
    void PickAt(QPoint pos);
    QWidget* Frame() const;
    // The texts above and below cell k (0..4).
    QString LabelAbove(int k) const;
    QString LabelBelow(int k) const;
    // Under the strip: one step per image, at the middle cell's.
    QScrollBar* ScrollBar() const { return scroll_; }

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void Refresh();

    OverviewDialog& overview_;
    PictureFrame* frame_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    std::array<QLabel*, 5> above_{};
    std::array<QLabel*, 5> below_{};
};
