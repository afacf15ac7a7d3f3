// The view of one document: the picture on show at a zoom of 25 to 200
// percent, in a scrolling area. It owns the picture, which is also the
// surface the generation thread mixes each new idea into; so while a run
// exists the view paints its last settled copy and never reads the picture.
#pragma once

#include <functional>
#include <memory>

#include <QAbstractScrollArea>
#include <QImage>

#include "surface/global_memory.h"

class CDADC;

class ImageView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    static constexpr int kMinZoom = 25;
    static constexpr int kMaxZoom = 200;
    static constexpr int kZoomStep = 10;

    // generating: whether a run exists anywhere in the program.
    ImageView(std::function<bool()> generating, QWidget* parent = nullptr);
    ~ImageView() override;

    CDADC* Picture() const { return picture_.get(); }
    // Replaces the picture with one made from the DIB and fits the frame
    // around it; 1 on success, 0 (no picture) on failure.
    // Takes the picture to show; 1 unless it is null.
    int SetViewPicture(std::unique_ptr<CDADC> picture);
    // The picture's size; "GetWidth of NULL" and 1 without a picture.
    int GetWidth() const;
    int GetHeight() const;
    // Fits the child frame around a client area of width x height pixels,
    // but never beyond the workspace of the MDI area: the picture scrolls.
    void SetViewSize(int width, int height);
    // The largest zoom step, at most maxPercent, at which the whole picture
    // fits the workspace: 200, 190, ... 30, then 25 (which may still not fit).
    int FitZoom(int maxPercent) const;
    // The largest zoom step up to 200 % that shows the whole picture.
    void FitToWindow();
    // Moves the child frame back inside the workspace, title bar first.
    void KeepInWorkspace();

    int ZoomPercent() const { return zoom_; }
    bool CanZoom() const;
    bool CanZoomIn() const { return CanZoom() && zoom_ < kMaxZoom; }
    bool CanZoomOut() const { return CanZoom() && zoom_ > kMinZoom; }
    void ZoomIn();
    void ZoomOut();
    void SetZoom(int percent);

    // Takes a fresh copy of the picture to paint (the generation thread is
    // not writing it: the caller knows no run of this view exists).
    void Refresh();
    // What is painted now, at the zoom.
    const QImage& ShownImage() const { return shown_; }

  signals:
    void doubleClicked();
    void contextMenuAt(const QPoint& globalPos);
    void zoomChanged(int percent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void ZoomChanged();
    void UpdateScrollBars();
    void OnScrollAction(QScrollBar* bar, int action);
    QSize ZoomedSize() const;
    // What the child frame adds around this view: title bar and borders.
    QSize FrameDecoration() const;
    // The client area of the MDI area; empty when the view is in none.
    QSize Workspace() const;

    std::function<bool()> generating_;
    std::unique_ptr<CDADC> picture_;
    int zoom_ = 100;
    QImage shown_;
};
