#include "app/dlg_overview.h"

#include <algorithm>
#include <cstring>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/dlg_area_selection.h"
#include "app/dlg_helpers.h"
#include "app/picture_image.h"
#include "surface/cdadc.h"
#include "util/error_box.h"

namespace {

constexpr int kCells = 5;
constexpr int kThumbnailSide = 200;  // the longer side of a thumbnail, in pixels
constexpr COLORREF kMiddleCell = RGB(200, 240, 200);
constexpr COLORREF kOtherCell = RGB(10, 100, 10);

constexpr int kIdToFirst = 32803;
constexpr int kIdBack = 32773;
constexpr int kIdForward = 32774;
constexpr int kIdToLast = 32801;
constexpr int kIdFrame = 1150;
constexpr int kIdFirstLabelAbove = 1164;
constexpr int kIdFirstLabelBelow = 1159;

}  // namespace

// --- the thumbnails ------------------------------------------------------------

OverviewDialog::OverviewDialog() = default;
OverviewDialog::~OverviewDialog() = default;

int OverviewDialog::AddToThumbnails(const CDADC* picture, const char* name) {
    if (picture == nullptr || picture->width <= 0 || picture->height <= 0) {
        ErrorBox("COvDlg::AddToThumbnails,\nNULL image");
        return -1;
    }
    const double factor =
        static_cast<double>(kThumbnailSide) / std::max(picture->width, picture->height);
    width_ = picture->width;
    height_ = picture->height;
    std::unique_ptr<CDADC> thumbnail(CDADC::ScaledCopy(factor, picture));
    if (!thumbnail) {
        ErrorBox("COvDlg::AddToThumbnails,\nNULL image");
        return -1;
    }
    thumbnails_.push_back(std::move(thumbnail));
    const char* label = name != nullptr ? name : "";
    labels_.emplace_back(label, strnlen(label, kLabelLength));
    current_ = Count() - 1;
    return current_;
}

const CDADC* OverviewDialog::Thumbnail(int index) const {
    return index >= 0 && index < Count() ? thumbnails_[index].get() : nullptr;
}

std::string OverviewDialog::Label(int index) const {
    return index >= 0 && index < Count() ? labels_[index] : std::string();
}

void PaintOverviewStrip(const OverviewDialog& overview, int current, CDADC* strip) {
    const int count = overview.Count();
    if (strip == nullptr || count <= 0 || current < 0 || current >= count) return;
    const int cellW = strip->width / kCells;
    const int cellH = strip->height;
    // Every cell has the aspect of the picture last added.
    const int w = overview.PictureWidth();
    const int h = overview.PictureHeight();
    int offsetX = 0, offsetY = 0, drawnW = 0, drawnH = 0;
    if (h > w) {
        offsetY = 8;
        drawnH = cellH - 16;
        drawnW = (cellW - 16) * w / h;
        offsetX = (cellW - drawnW) / 2;
    } else {
        offsetX = 8;
        drawnW = cellW - 16;
        drawnH = (cellH - 16) * h / w;
        offsetY = (cellH - drawnH) / 2;
    }
    CDC* dc = strip->pDC;
    dc->SetStretchBltMode(COLORONCOLOR);
    for (int k = 0; k < kCells; ++k) {
        const int i = current + k - 2;
        const int left = k * cellW;
        if (i < 0 || i >= count) {
            dc->FillSolidRect(left, 0, cellW, cellH, 0);
            continue;
        }
        dc->FillSolidRect(left, 0, cellW, cellH, k == 2 ? kMiddleCell : kOtherCell);
        // Each thumbnail's own size as the source: they differ only when the
        // pictures added differ in size.
        const CDADC* thumbnail = overview.Thumbnail(i);
        dc->StretchBlt(left + offsetX, offsetY, drawnW, drawnH, thumbnail->pDC, 0, 0,
                       thumbnail->width, thumbnail->height, SRCCOPY);
    }
}

// --- the dialog -----------------------------------------------------------------

OverviewDlg::OverviewDlg(QWidget* parent, OverviewDialog& overview)
    : QDialog(parent), overview_(overview) {
    setWindowTitle(QStringLiteral("Sequence Overview"));
    auto* layout = new QVBoxLayout(this);

    auto* steps = new QHBoxLayout;
    auto addStep = [this, steps](const QString& text, int id, void (OverviewDlg::*step)()) {
        auto* button = new QPushButton(text, this);
        SetControlId(button, id);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, step);
        steps->addWidget(button);
    };
    addStep(QStringLiteral("|<<"), kIdToFirst, &OverviewDlg::ToFirst);
    addStep(QStringLiteral("<<"), kIdBack, &OverviewDlg::Back);
    addStep(QStringLiteral(">>"), kIdForward, &OverviewDlg::Forward);
    addStep(QStringLiteral(">>|"), kIdToLast, &OverviewDlg::ToLast);
    layout->addLayout(steps);

    auto* strip = new QGridLayout;
    strip->setHorizontalSpacing(0);
    frame_ = new PictureFrame(this);
    frame_->setFixedSize(DialogUnits(this, 250, 54));
    SetControlId(frame_, kIdFrame);
    for (int k = 0; k < kCells; ++k) {
        above_[k] = new QLabel(this);
        below_[k] = new QLabel(this);
        SetControlId(above_[k], kIdFirstLabelAbove + k);
        SetControlId(below_[k], kIdFirstLabelBelow + k);
        above_[k]->setAlignment(Qt::AlignCenter);
        below_[k]->setAlignment(Qt::AlignCenter);
        strip->addWidget(above_[k], 0, k);
        strip->addWidget(below_[k], 2, k);
        strip->setColumnStretch(k, 1);
    }
    strip->addWidget(frame_, 1, 0, 1, kCells);
    layout->addLayout(strip);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setPageStep(kCells);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
        if (value == overview_.current_) return;
        overview_.current_ = value;
        Refresh();
    });
    layout->addWidget(scroll_);

    auto* buttons = new QHBoxLayout;
    AddHelpLine(buttons, QStringLiteral("F1 for help on this dialog"));
    buttons->addStretch();
    AddOkCancel(this, buttons);
    layout->addLayout(buttons);
    Refresh();
}

QWidget* OverviewDlg::Frame() const {
    return frame_;
}

QString OverviewDlg::LabelAbove(int k) const {
    return above_[k]->text();
}

QString OverviewDlg::LabelBelow(int k) const {
    return below_[k]->text();
}

void OverviewDlg::ToFirst() {
    overview_.current_ = 0;
    Refresh();
}

void OverviewDlg::Back() {
    if (overview_.current_ >= 1) --overview_.current_;
    Refresh();
}

void OverviewDlg::Forward() {
    if (overview_.current_ < overview_.Count() - 1) ++overview_.current_;
    Refresh();
}

void OverviewDlg::ToLast() {
    overview_.current_ = overview_.Count() - 1;
    Refresh();
}

void OverviewDlg::Refresh() {
    const int count = overview_.Count();
    const int current = overview_.current_;
    {
        const QSignalBlocker quiet(scroll_);
        scroll_->setRange(0, std::max(0, count - 1));
        scroll_->setValue(std::max(0, current));
        scroll_->setEnabled(count > 1);
    }
    const bool drawn = count > 0 && current >= 0 && current < count;
    const int innerW = frame_->contentsRect().width();
    const int innerH = frame_->contentsRect().height();
    for (int k = 0; k < kCells; ++k) {
        const int i = current + k - 2;
        if (!drawn) continue;
        if (i < 0 || i >= count) {
            SetControlTxt(this, kIdFirstLabelBelow + k, "%s", "");
            SetControlTxt(this, kIdFirstLabelAbove + k, "%s", "");
        } else {
            SetControlTxt(this, kIdFirstLabelBelow + k, "%d", i);
            SetControlTxt(this, kIdFirstLabelAbove + k, "%s", overview_.labels_[i].c_str());
        }
    }
    if (!drawn || innerW <= 0 || innerH <= 0) {
        frame_->SetPicture({});
        return;
    }
    CDADC strip(innerW, innerH);
    PaintOverviewStrip(overview_, current, &strip);
    frame_->SetPicture(PictureToImage(strip));
}

void OverviewDlg::PickAt(QPoint pos) {
    const QRect frame = frame_->geometry();
    const int x = pos.x() - frame.left();
    const int y = pos.y() - frame.top();
    if (x < 1 || x >= frame.width() || y < 1 || y >= frame.height()) return;
    const int i = overview_.current_ + (x * kCells) / frame.width() - 2;
    if (i >= 0 && i < overview_.Count()) {
        overview_.current_ = i;
        accept();
    }
}

void OverviewDlg::wheelEvent(QWheelEvent* event) {
    // One image per notch of the wheel, in the direction the strip reads.
    const QPoint delta = event->angleDelta();
    const int notches = (delta.x() != 0 ? -delta.x() : -delta.y()) / 120;
    if (notches != 0 && overview_.Count() > 0) {
        overview_.current_ = std::clamp(overview_.current_ + notches, 0, overview_.Count() - 1);
        Refresh();
    }
    event->accept();
}

void OverviewDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    QDialog::mouseDoubleClickEvent(event);
    PickAt(event->position().toPoint());
}

int OverviewDialog::Choose(QWidget* parent, int* chosenIndex) {
    OverviewDlg dlg(parent, *this);
    if (dlg.exec() != QDialog::Accepted) return 0;
    if (chosenIndex != nullptr) *chosenIndex = current_;
    return 1;
}
