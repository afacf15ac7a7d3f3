#include "app/icons.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include "app/commands.h"

namespace {

// Buttons are drawn on a 19 x 18 grid, rendered at four times that size so
// that they stay sharp on high-density screens.
constexpr int kGridW = 19;
constexpr int kGridH = 18;
constexpr int kOversample = 4;

const QColor kInk(40, 40, 40);
const QColor kPaper(250, 250, 245);
const QColor kBlue(40, 90, 200);
const QColor kGreen(30, 140, 60);
const QColor kYellow(240, 200, 40);
const QColor kRed(210, 30, 30);

void Page(QPainter& p, QRectF r) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 150), 0.6));
    for (double y = r.top() + 2.5; y < r.bottom() - 1; y += 2.0) {
        p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
    }
}

void Arrow(QPainter& p, QPointF from, QPointF to, QColor colour) {
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::max(1.0, std::hypot(d.x(), d.y()));
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({to + u * 1.5, to - u * 2.5 + n * 2.5, to - u * 2.5 - n * 2.5}));
}

// A filled triangle pointing left (dir -1) or right (dir 1) at x.
void Triangle(QPainter& p, double x, int dir, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(x + dir * 5.0, 9), QPointF(x, 4), QPointF(x, 14)}));
}

void Bar(QPainter& p, double x, QColor colour) {
    p.fillRect(QRectF(x, 4, 1.8, 10), colour);
}

void Star(QPainter& p, QPointF c, double r, QColor colour) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = i * 3.14159 / 5 - 3.14159 / 2;
        const double radius = (i % 2) ? r * 0.42 : r;
        star << c + QPointF(std::cos(a) * radius, std::sin(a) * radius);
    }
    p.setPen(QPen(colour.darker(160), 0.5));
    p.setBrush(colour);
    p.drawPolygon(star);
}

void Paint(QPainter& p, int id) {
    using namespace command;
    switch (id) {
        case kOpenImageFile:
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kYellow.darker(115));
            p.drawPolygon(QPolygonF({{1, 5}, {6, 5}, {7, 6.5}, {15, 6.5}, {15, 16}, {1, 16}}));
            p.setBrush(kYellow);
            p.drawPolygon(QPolygonF({{3, 9}, {18, 9}, {15, 16}, {1, 16}}));
            Arrow(p, {12, 7}, {14, 1.8}, kGreen);
            break;
        case kSaveImageFile:
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(2, 1.5, 15, 15), 1.5, 1.5);
            p.setBrush(kPaper);
            p.drawRect(QRectF(5, 2, 9, 6));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(5.5, 11, 8, 5.5));
            p.fillRect(QRectF(10.5, 12, 1.8, 3.5), kInk);
            break;
        case kCopy:
            Page(p, QRectF(2, 1.5, 9, 11));
            Page(p, QRectF(8, 5.5, 9, 11));
            break;
        case kPaste:
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(QColor(170, 120, 60));
            p.drawRoundedRect(QRectF(2, 2.5, 11, 14), 1, 1);
            p.setBrush(QColor(190, 190, 190));
            p.drawRect(QRectF(5, 1, 5, 3));
            Page(p, QRectF(8, 6.5, 9, 10.5));
            break;
        case kCopyAndPaste:
            Page(p, QRectF(1.5, 2, 7, 9));
            Page(p, QRectF(10.5, 7, 7, 9));
            Arrow(p, {5, 13.5}, {9.3, 13.5}, kGreen);
            break;
        case kChooseXform: {
            const QColor cells[4] = {kRed, kGreen, kBlue, kYellow};
            for (int i = 0; i < 4; ++i) {
                const QRectF r(2.5 + (i % 2) * 7.5, 2 + (i / 2) * 7.5, 6, 6);
                p.setPen(QPen(kInk, 0.6));
                p.setBrush(cells[i]);
                p.drawRect(r);
            }
            p.setPen(QPen(kInk, 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(9.3, 8.8, 7.4, 7.4));
            break;
        }
        case kWizardCreates:
            p.setPen(QPen(QColor(120, 70, 20), 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, 16), QPointF(11, 8));
            p.setPen(QPen(kPaper, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 9), QPointF(11, 8));
            Star(p, {13.5, 5}, 4.6, kYellow);
            Star(p, {4.5, 4.5}, 2.2, QColor(160, 200, 255));
            break;
        case kCreate:
            Star(p, {9.5, 9}, 7.8, kYellow);
            break;
        case kXformSettings:
            for (int i = 0; i < 3; ++i) {
                const double y = 4 + i * 5;
                p.setPen(QPen(kInk, 1.0));
                p.drawLine(QPointF(2, y), QPointF(17, y));
                p.setPen(QPen(kInk, 0.7));
                p.setBrush(i == 1 ? kRed : kBlue);
                const double x = (i == 0) ? 6 : (i == 1 ? 12 : 8);
                p.drawRect(QRectF(x - 1.5, y - 2.2, 3, 4.4));
            }
            break;
        case kStop: {
            QPolygonF octagon;
            for (int i = 0; i < 8; ++i) {
                const double a = (i * 45 + 22.5) * 3.14159 / 180;
                octagon << QPointF(9.5 + 7.8 * std::cos(a), 9 + 7.8 * std::sin(a));
            }
            p.setPen(QPen(kRed.darker(150), 0.7));
            p.setBrush(kRed);
            p.drawPolygon(octagon);
            p.fillRect(QRectF(4.5, 7.8, 10, 2.6), Qt::white);
            break;
        }
        case kGoToOriginal:
            Bar(p, 3, kBlue);
            Triangle(p, 10, -1, kBlue);
            Triangle(p, 15, -1, kBlue);
            break;
        case kBack:
            Triangle(p, 12, -1, kBlue);
            break;
        case kForward:
            Triangle(p, 7, 1, kBlue);
            break;
        case kGoToLast:
            Triangle(p, 4, 1, kBlue);
            Triangle(p, 9, 1, kBlue);
            Bar(p, 14.5, kBlue);
            break;
        case kOverview:
            p.fillRect(QRectF(0.5, 3, 18, 12), kInk);
            for (int i = 0; i < 3; ++i) {
                p.fillRect(QRectF(1.8 + i * 5.9, 5.5, 4.4, 7),
                           i == 1 ? QColor(200, 240, 200) : QColor(10, 100, 10));
            }
            for (double x = 1.5; x < 18; x += 2.5) {
                p.fillRect(QRectF(x, 3.6, 1.2, 1), kPaper);
                p.fillRect(QRectF(x, 13.4, 1.2, 1), kPaper);
            }
            break;
        case kIdeaGallery: {
            // Three by two small pictures, one picked out, under the Wizard's star.
            const QColor tiles[] = {
                kBlue, kGreen, kRed, kYellow.darker(120), kBlue.lighter(150), kGreen.lighter(140)};
            p.setPen(QPen(kInk, 0.6));
            for (int i = 0; i < 6; ++i) {
                p.setBrush(tiles[i]);
                p.drawRect(QRectF(1 + (i % 3) * 5.8, 6 + (i / 3) * 5.8, 4.6, 4.6));
            }
            p.setPen(QPen(kYellow.darker(130), 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(6.2, 11.2, 5.8, 5.8));
            Star(p, {15, 3.8}, 3.6, kYellow);
            break;
        }
        case kSelection:
            p.setPen(QPen(kInk, 0.9, Qt::DashLine));
            p.setBrush(QColor(255, 160, 60, 120));
            p.drawEllipse(QRectF(2, 3, 15, 12));
            p.setPen(QPen(kInk, 1.2));
            p.drawLine(QPointF(13, 14), QPointF(17.5, 17.5));
            break;
        case kImageQuality:
            p.setPen(QPen(kInk, 1.4));
            p.setBrush(QColor(200, 230, 255));
            p.drawEllipse(QRectF(2, 2, 10, 10));
            p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(11, 11), QPointF(16.5, 16.5));
            p.setPen(QPen(kBlue, 0.7));
            p.drawLine(QPointF(7, 4), QPointF(7, 10));
            p.drawLine(QPointF(4, 7), QPointF(10, 7));
            break;
        case kMixSettings:
            p.setPen(QPen(kInk, 0.7));
            p.setBrush(QColor(220, 40, 40, 170));
            p.drawEllipse(QRectF(1.5, 3, 10, 10));
            p.setBrush(QColor(40, 80, 220, 170));
            p.drawEllipse(QRectF(7.5, 5, 10, 10));
            break;
        default:
            break;
    }
}

}  // namespace

QIcon ToolIcon(int commandId) {
    QImage image(kGridW * kOversample, kGridH * kOversample, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(kOversample, kOversample);
        Paint(p, commandId);
    }
    return QIcon(QPixmap::fromImage(image));
}

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // A picture frame holding a mosaic, with the Wizard's star at its corner.
    p.setPen(QPen(QColor(60, 40, 20), 2));
    p.setBrush(QColor(120, 80, 40));
    p.drawRoundedRect(QRectF(4, 8, 52, 48), 4, 4);
    const QColor tiles[] = {{230, 90, 40}, {250, 190, 50}, {60, 150, 220},
                            {80, 180, 90}, {170, 70, 170}, {240, 240, 230}};
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            p.setPen(Qt::NoPen);
            p.setBrush(tiles[(row * 5 + col * 3) % 6]);
            p.drawRoundedRect(QRectF(11 + col * 10, 15 + row * 9, 8.5, 7.5), 1.5, 1.5);
        }
    }
    Star(p, {50, 14}, 12, kYellow);
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}
