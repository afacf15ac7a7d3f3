// Between the core's pictures (CDADC surfaces, packed DIBs) and Qt's images,
// and the clipboard, which carries pictures as images.
#pragma once

#include <QImage>

#include "surface/global_memory.h"

class CDADC;

// A top-down copy of the surface's pixels; a null image for a surface
// without pixels.
QImage PictureToImage(const CDADC& picture);
// A packed DIB of any depth as an image; null when the DIB cannot be read.
QImage PackedDibToImage(HGLOBAL dib);
// The image as a new 24-bit packed DIB (alpha is dropped); null on failure.
HGLOBAL ImageToPackedDib(const QImage& image);

// Copy: the picture on the clipboard as an image. False after the message
// of the failing step.
bool CopyPictureToClipboard(const CDADC* picture);
// Paste: the clipboard's image as a new 24-bit packed DIB, owned by the
// caller; null after "The clipboard is empty" or "The contents of the
// clipboard\nare not an image".
HGLOBAL ClipboardPictureDib();
void EmptyClipboard();
