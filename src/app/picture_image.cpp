#include "app/picture_image.h"

#include <cstring>
#include <string>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "surface/cdadc.h"
#include "surface/clipboard_dib.h"
#include "surface/dib_decode.h"
#include "surface/vic_image.h"
#include "util/error_box.h"

namespace {
constexpr unsigned kClipboardNotImage = 61222;
constexpr unsigned kClipboardEmpty = 61223;
}  // namespace

QImage PictureToImage(const CDADC& picture) {
    if (!picture.pBits || picture.width <= 0 || picture.height <= 0) return {};
    QImage image(picture.width, picture.height, QImage::Format_BGR888);
    if (image.isNull()) return {};
    const size_t bytes = static_cast<size_t>(picture.width) * 3;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), picture.Row(y), bytes);
    return image;
}

QImage PackedDibToImage(HGLOBAL dib) {
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(dib));
    if (!bytes) return {};
    DecodedDib decoded;
    const bool ok = DecodePackedDib(PackedDibView{bytes, GlobalSize(dib)}, &decoded);
    GlobalUnlock(dib);
    if (!ok) return {};
    QImage image(decoded.width, decoded.height, QImage::Format_BGR888);
    if (image.isNull()) return {};
    const size_t rowBytes = static_cast<size_t>(decoded.width) * 3;
    for (int y = 0; y < decoded.height; ++y) {
        std::memcpy(image.scanLine(y), decoded.Pixel(0, y), rowBytes);
    }
    return image;
}

HGLOBAL ImageToPackedDib(const QImage& source) {
    if (source.isNull()) return nullptr;
    const QImage image = source.convertToFormat(QImage::Format_BGR888);
    VicImage vic;
    if (allocimage(&vic, image.width(), image.height(), 24) != kVicOk) return nullptr;
    const size_t rowBytes = static_cast<size_t>(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(vic.Row(y), image.constScanLine(y), rowBytes);
    HGLOBAL dib = nullptr;
    const int code = imagetodib(&vic, &dib);
    freeimage(&vic);
    return code == kVicOk ? dib : nullptr;
}

bool CopyPictureToClipboard(const CDADC* picture) {
    HGLOBAL dib = PictureToPackedDib(picture);
    if (!dib) return false;
    const QImage image = PackedDibToImage(dib);
    GlobalFree(dib);
    if (image.isNull()) {
        ErrorBox("SetClipboardData failed");
        return false;
    }
    QGuiApplication::clipboard()->setImage(image);
    return true;
}

HGLOBAL ClipboardPictureDib() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || data->formats().isEmpty()) {
        ErrorBoxFromString(kClipboardEmpty);
        return nullptr;
    }
    const QImage image = data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
    if (image.isNull()) {
        ErrorBoxFromString(kClipboardNotImage);
        return nullptr;
    }
    HGLOBAL dib = ImageToPackedDib(image);
    if (!dib) {
        SystemErrorBox("COculantApp::OnEditPaste()", "CloseClipboard, hNewDib = %d", 0);
    }
    return dib;
}

void EmptyClipboard() {
    QGuiApplication::clipboard()->clear();
}
