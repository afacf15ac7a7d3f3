#include "app/image_view.h"

#include <algorithm>

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include "app/picture_image.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

ImageView::ImageView(std::function<bool()> generating, QWidget* parent)
    : QAbstractScrollArea(parent), generating_(std::move(generating)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Window);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, bar](int action) { OnScrollAction(bar, action); });
        connect(bar, &QAbstractSlider::valueChanged, viewport(), [this] { viewport()->update(); });
    }
}

ImageView::~ImageView() = default;

int ImageView::SetViewPicture(std::unique_ptr<CDADC> picture) {
    const bool first = !picture_;
    picture_ = std::move(picture);
    if (!picture_) {
        shown_ = QImage();
        return 0;
    }
    // A new window opens at the largest zoom at which it fits the workspace;
    // later pictures of the same window keep the zoom the user chose.
    if (first && !Workspace().isEmpty()) zoom_ = FitZoom(100);
    Refresh();
    const QSize size = ZoomedSize();
    SetViewSize(size.width(), size.height());
    return 1;
}

int ImageView::GetWidth() const {
    if (!picture_) {
        ErrorBox("GetWidth of NULL");
        return 1;
    }
    return picture_->width;
}

int ImageView::GetHeight() const {
    if (!picture_) {
        ErrorBox("GetWidth of NULL");
        return 1;
    }
    return picture_->height;
}

void ImageView::SetViewSize(int width, int height) {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame) {
        ErrorBox("SVS: could not get parent frame");
        return;
    }
    if (frame->isMinimized()) return;
    if (frame->isMaximized()) frame->showNormal();
    QSize wanted = FrameDecoration() + QSize(width, height);
    const QSize room = Workspace();
    if (!room.isEmpty()) wanted = wanted.boundedTo(room);
    frame->resize(wanted);
    KeepInWorkspace();
    UpdateScrollBars();
}

QSize ImageView::FrameDecoration() const {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame) return {};
    // The frame lays this view into its contents rectangle less its layout's
    // margins; measured from those rather than from the view's own size,
    // which lags behind until the frame has been laid out.
    const QMargins outer = frame->contentsMargins();
    const QMargins inner = frame->layout() ? frame->layout()->contentsMargins() : QMargins();
    return {outer.left() + outer.right() + inner.left() + inner.right(),
            outer.top() + outer.bottom() + inner.top() + inner.bottom()};
}

QSize ImageView::Workspace() const {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    QMdiArea* area = frame ? frame->mdiArea() : nullptr;
    return area ? area->viewport()->size() : QSize();
}

void ImageView::KeepInWorkspace() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    const QSize room = Workspace();
    if (!frame || room.isEmpty() || frame->isMaximized() || frame->isMinimized()) return;
    QPoint at = frame->pos();
    // The right and bottom edges come in first; the left and top win when
    // the frame is larger than the room, so the title bar stays in reach.
    at.setX(std::max(0, std::min(at.x(), room.width() - frame->width())));
    at.setY(std::max(0, std::min(at.y(), room.height() - frame->height())));
    if (at != frame->pos()) frame->move(at);
}

int ImageView::FitZoom(int maxPercent) const {
    if (!picture_) return zoom_;
    const QSize room = Workspace() - FrameDecoration();
    int percent = std::clamp(maxPercent / kZoomStep * kZoomStep, kMinZoom, kMaxZoom);
    for (; percent > kMinZoom; percent = std::max(kMinZoom, percent - kZoomStep)) {
        // The same integer sizes as the zoomed view itself.
        if (picture_->width * percent / 100 <= room.width() &&
            picture_->height * percent / 100 <= room.height())
            break;
    }
    return percent;
}

void ImageView::FitToWindow() {
    SetZoom(FitZoom(kMaxZoom));
}

bool ImageView::CanZoom() const {
    if (generating_ && generating_()) return false;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame) {
        ErrorBox("CDZ: could not get parent frame");
        return false;
    }
    return !frame->isMinimized();
}

void ImageView::ZoomIn() {
    if (zoom_ < kMaxZoom) zoom_ += kZoomStep;
    zoom_ = std::min(zoom_, kMaxZoom);
    ZoomChanged();
}

void ImageView::ZoomOut() {
    if (zoom_ > kMinZoom) zoom_ -= kZoomStep;
    zoom_ = std::max(zoom_, kMinZoom);
    ZoomChanged();
}

void ImageView::SetZoom(int percent) {
    zoom_ = percent;
    ZoomChanged();
}

void ImageView::ZoomChanged() {
    if (picture_) {
        Refresh();
        const QSize size = ZoomedSize();
        SetViewSize(size.width(), size.height());
    }
    viewport()->update();
    emit zoomChanged(zoom_);
}

QSize ImageView::ZoomedSize() const {
    if (!picture_) return {};
    if (zoom_ == 100) return {picture_->width, picture_->height};
    return {picture_->width * zoom_ / 100, picture_->height * zoom_ / 100};
}

void ImageView::Refresh() {
    if (!picture_) {
        shown_ = QImage();
    } else if (zoom_ == 100) {
        shown_ = PictureToImage(*picture_);
    } else {
        // The same nearest-pixel stretch as every other reduction of the
        // program, so that a zoomed view shows exactly the pixels it keeps.
        const QSize size = ZoomedSize();
        CDADC zoomed(std::max(1, size.width()), std::max(1, size.height()));
        zoomed.pDC->SetStretchBltMode(COLORONCOLOR);
        if (!zoomed.pDC->StretchBlt(0, 0, size.width(), size.height(), picture_->pDC, 0, 0,
                                    picture_->width, picture_->height, SRCCOPY)) {
            ErrorBox("View could not blit");
        }
        shown_ = PictureToImage(zoomed);
    }
    UpdateScrollBars();
    viewport()->update();
}

void ImageView::UpdateScrollBars() {
    const QSize total = shown_.size();
    // The page is the room the picture would have without the bars that are
    // showing now: a picture that fits needs none, however the view got here.
    const QSize full = maximumViewportSize();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool across = total.width() > full.width();
    bool down = total.height() > full.height();
    // One bar takes room from the other direction.
    down = down || (across && total.height() > full.height() - extent);
    across = across || (down && total.width() > full.width() - extent);
    const QSize page(full.width() - (down ? extent : 0), full.height() - (across ? extent : 0));
    struct Axis {
        QScrollBar* bar;
        int total;
        int page;
    };
    for (const Axis& a : {Axis{horizontalScrollBar(), total.width(), page.width()},
                          Axis{verticalScrollBar(), total.height(), page.height()}}) {
        a.bar->setRange(0, std::max(0, a.total - a.page));
        a.bar->setPageStep(std::max(1, a.total / 10));
        a.bar->setSingleStep(a.total / 100 | 1);
    }
}

void ImageView::OnScrollAction(QScrollBar* bar, int action) {
    const bool horizontal = bar == horizontalScrollBar();
    const int total = horizontal ? shown_.width() : shown_.height();
    const int line = total / 100 | 1;
    const int position = bar->value();
    int target = position;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            target = position - line;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            target = position + line;
            break;
        case QAbstractSlider::SliderPageStepSub:
            target = position - total / 10;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            target = position + total / 10;
            break;
        default:
            return;  // thumb moves arrive as they are
    }
    bar->setSliderPosition(std::max(0, target));
}

void ImageView::paintEvent(QPaintEvent*) {
    if (shown_.isNull()) return;
    QPainter painter(viewport());
    painter.drawImage(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()),
                      shown_);
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void ImageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void ImageView::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuAt(event->globalPos());
}
