#include "app/image_view.h"

#include <QLayout>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

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

int ImageView::CreateViewBitmap(HGLOBAL dib) {
    picture_.reset(CDADC::CreateFromDib(dib));
    if (!picture_) {
        shown_ = QImage();
        return 0;
    }
    Refresh();
    SetViewSize(picture_->width, picture_->height);
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
    // The frame's title bar and borders: whatever it has around this view,
    // measured after the frame has laid out its contents (it may not have
    // been shown yet).
    if (frame->layout()) frame->layout()->activate();
    const QSize decoration = frame->size() - size();
    frame->resize(decoration + QSize(width, height));
    UpdateScrollBars();
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
    const QSize page = viewport()->size();
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
