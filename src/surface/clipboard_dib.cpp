#include "surface/clipboard_dib.h"

#include <cstring>

#include "surface/cdadc.h"
#include "surface/vic_image.h"
#include "util/error_box.h"

HGLOBAL PictureToPackedDib(const CDADC* picture) {
    const bool usable = picture && picture->pBits;
    VicImage image;
    // A picture without pixels is refused by the allocation as 0 x 0.
    int code = allocimage(&image, usable ? picture->width : 0, usable ? picture->height : 0, 24);
    if (code) {
        ErrorBox("Vic32, OnEditCopy,\nallocimage() error: %d", code);
        return nullptr;
    }
    // Both hold bottom-up rows padded to 4 bytes: the rows copy as they are.
    for (int r = 0; r < image.height; ++r) {
        std::memcpy(image.pixels + static_cast<size_t>(r) * image.rowBytes,
                    picture->pBits + static_cast<size_t>(r) * picture->rowBytes,
                    static_cast<size_t>(image.rowBytes));
    }
    HGLOBAL dib = nullptr;
    code = imagetodib(&image, &dib);
    freeimage(&image);
    if (code) {
        ErrorBox("Clipboard copy, imagetodib failed\nrcode=%d", code);
        return nullptr;
    }
    return dib;
}
