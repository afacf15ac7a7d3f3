#include "surface/image_files.h"

#include <strings.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "surface/cdadc.h"
#include "surface/codec_internal.h"
#include "surface/packed_dib.h"
#include "util/error_box.h"

namespace {

// The last "." of the file's own name; a dot in a folder name is no extension.
const char* ExtensionDot(const char* name) {
    const char* slash = std::strrchr(name, '/');
    return std::strrchr(slash ? slash + 1 : name, '.');
}

// The messages of one format's loader, each taking the library's code;
// null where the format shows none.
struct LoaderSteps {
    int (*info)(const char*, VicFileInfo*);
    int (*load)(const char*, VicImage*);
    const char* infoError;
    const char* allocate24Error;
    const char* load24Error;
    const char* allocateTemporaryError;
    const char* loadTemporaryError;
    const char* allocateResultError;
    const char* convertError;
};

int BmpFileInfo(const char* name, VicFileInfo* info) {
    BITMAPINFOHEADER header{};
    if (int code = bmpinfo(name, &header)) return code;
    info->width = header.biWidth;
    info->height = header.biHeight;
    info->bitsPerPixel = header.biBitCount;
    return 0;
}

void Report(const char* format, int code) {
    if (format) ErrorBox(format, code);
}

// What the loader could not read of a picture it loaded, as a notice.
int Loaded(const char* name, const std::string& notice) {
    if (!notice.empty()) NoticeBox("%s: %s", name, notice.c_str());
    return 1;
}

int LoadImage(const LoaderSteps& steps, VicImage* image, const char* name) {
    VicFileInfo info;
    int code = steps.info(name, &info);
    if (code) {
        Report(steps.infoError, code);
        return 0;
    }
    if (info.bitsPerPixel == 24) {
        if ((code = allocimage(image, info.width, info.height, 24))) {
            Report(steps.allocate24Error, code);
            return 0;
        }
        if ((code = steps.load(name, image))) {
            Report(steps.load24Error, code);
            freeimage(image);
            return 0;
        }
        return Loaded(name, VicLastNotice());
    }
    VicImage temporary;
    if ((code = allocimage(&temporary, info.width, info.height, info.bitsPerPixel))) {
        Report(steps.allocateTemporaryError, code);
        return 0;
    }
    if ((code = steps.load(name, &temporary))) {
        Report(steps.loadTemporaryError, code);
        freeimage(&temporary);
        return 0;
    }
    const std::string notice = VicLastNotice();
    if ((code = allocimage(image, info.width, info.height, 24))) {
        Report(steps.allocateResultError, code);
        freeimage(&temporary);
        return 0;
    }
    if ((code = convertpaltorgb(&temporary, image))) {
        Report(steps.convertError, code);
        freeimage(&temporary);
        freeimage(image);
        return 0;
    }
    freeimage(&temporary);
    return Loaded(name, notice);
}

}  // namespace

int ImageFileType(const char* name) {
    const char* dot = name ? ExtensionDot(name) : nullptr;
    if (!dot) {
        ErrorBox("Missing extension from filename:\n'%s'", name ? name : "");
        return 0;
    }
    const char* extension = dot + 1;
    static const struct {
        const char* extension;
        int code;
    } kTypes[] = {{"jpg", kJpgFileType}, {"jpeg", kJpgFileType}, {"jpe", kJpgFileType},
                  {"tga", kTgaFileType}, {"pcx", kPcxFileType},  {"bmp", kBmpFileType},
                  {"png", kPngFileType}};
    for (const auto& type : kTypes)
        if (strcasecmp(extension, type.extension) == 0) return type.code;
    if (std::strlen(extension) != 3) {
        ErrorBox("File name has bad extension:\n'%s'", name);
        return 0;
    }
    ErrorBox("Support for image files of type '%s'\nnot yet implemented", extension);
    return -1;
}

int LoadBmpImage(VicImage* image, const char* name) {
    static const LoaderSteps steps{BmpFileInfo,
                                   loadbmp,
                                   "BMP data error: %d",
                                   "BMP allocimage error: %d",
                                   "loadbmp error: %d",
                                   "allocimage, (bmp,non24) error: %d",
                                   "loadbmp error: %d",
                                   "allocimage, 2nd (bmp) error: %d",
                                   nullptr};
    return LoadImage(steps, image, name);
}

int LoadJpgImage(VicImage* image, const char* name) {
    static const LoaderSteps steps{jpeginfo,
                                   loadjpg,
                                   "Jpeg data error: %d",
                                   "Jpeg allocimage error: %d",
                                   "loadjpg error: %d",
                                   "allocimage, 1st (jpg) error: %d",
                                   "loadjpg error: %d",
                                   "allocimage, 2nd (jpg) error: %d",
                                   "n bit convert jpg error: %d"};
    return LoadImage(steps, image, name);
}

int LoadTgaImage(VicImage* image, const char* name) {
    static const LoaderSteps steps{tgainfo,
                                   loadtga,
                                   "TGA data error: %d",
                                   "24 bit Tga allocimage error: %d",
                                   "24 bit loadtga error: %d",
                                   "n bit allocimage(1) error: %d",
                                   "n bit loadtga error: %d",
                                   "n bit allocimage(2) error: %d",
                                   "n bit converttga error: %d"};
    return LoadImage(steps, image, name);
}

int LoadPcxImage(VicImage* image, const char* name) {
    static const LoaderSteps steps{pcxinfo,
                                   loadpcx,
                                   nullptr,
                                   "24 bit PCX allocimage error: %d",
                                   "24 bit loadpcx error: %d",
                                   "n bit allocimage(1) error: %d",
                                   "n bit loadpcx error: %d",
                                   "n bit allocimage(2) error: %d",
                                   "n bit convert pcx error: %d"};
    return LoadImage(steps, image, name);
}

int LoadPngImage(VicImage* image, const char* name) {
    static const LoaderSteps steps{pnginfo,
                                   loadpng,
                                   "PNG data error: %d",
                                   "PNG allocimage error: %d",
                                   "loadpng error: %d",
                                   "allocimage, 1st (png) error: %d",
                                   "loadpng error: %d",
                                   "allocimage, 2nd (png) error: %d",
                                   "n bit convert png error: %d"};
    return LoadImage(steps, image, name);
}

namespace {

HGLOBAL LoadByType(const char* name) {
    const int code = ImageFileType(name);
    if (code == -1) return nullptr;
    VicImage image;
    int loaded = 0;
    switch (code) {
        case kPcxFileType:
            loaded = LoadPcxImage(&image, name);
            break;
        case kTgaFileType:
            loaded = LoadTgaImage(&image, name);
            break;
        case kBmpFileType:
            loaded = LoadBmpImage(&image, name);
            break;
        case kJpgFileType:
            loaded = LoadJpgImage(&image, name);
            break;
        case kPngFileType:
            loaded = LoadPngImage(&image, name);
            break;
        default:
            ErrorBox("bad image type: %d", code);
            return nullptr;
    }
    if (loaded) {
        HGLOBAL dib = nullptr;
        const int error = imagetodib(&image, &dib);
        freeimage(&image);
        if (error) {
            ErrorBox("VLIF: imagetodib error: %d", error);
            return nullptr;
        }
        return dib;
    }
    if (code != kBmpFileType) return nullptr;
    // The surface's own reader takes what the library could not; why the
    // library failed stays the reason when it cannot either.
    ReadFault fault = ReadFault::None;
    std::string why;
    HGLOBAL dib = ReadDibFromPath(name, &fault, &why);
    freeimage(&image);
    return dib;
}

}  // namespace

HGLOBAL VicLoadImageFile(const char* name) {
    if (!name || !ExtensionDot(name)) {
        ErrorBox("Filename has no extension:<%s>", name ? name : "");
        return nullptr;
    }
    vic::ClearError();
    HGLOBAL dib = LoadByType(name);
    if (!dib) {
        // The library's words for the failure come first, in the same message;
        // once shown they are cleared, so that no caller repeats them.
        if (*VicLastError()) {
            ErrorBox("%s\nCould not open imagefile:\n<%s>", VicLastError(), name);
            vic::ClearError();
        } else {
            ErrorBox("Could not open imagefile:\n<%s>", name);
        }
    }
    return dib;
}

int VicWriteFile(CDADC* surface, const char* name, int jpegQuality) {
    if (!name) name = "";
    const int type = ImageFileType(name);
    if (type == -1) return 0;
    VicImage image;
    // A surface without pixels is refused by the allocation as 0 × 0.
    const bool usable = surface && surface->pBits;
    int code = allocimage(&image, usable ? surface->width : 0, usable ? surface->height : 0, 24);
    if (code) {
        ErrorBox("VicWriteFile(%s),\nallocimage() error: %d", name, code);
        return 0;
    }
    for (int r = 0; r < image.height; ++r)
        std::memcpy(image.pixels + static_cast<size_t>(r) * image.rowBytes,
                    surface->pBits + static_cast<size_t>(r) * surface->rowBytes,
                    static_cast<size_t>(image.rowBytes));
    const char* failure = nullptr;  // each format's writer names itself
    switch (type) {
        case kPcxFileType: {
            failure = "SavePCX, savepcx error %d";
            VicImage reduced;
            if ((code = allocimage(&reduced, image.width, image.height, 8))) {
                ErrorBox("Could not allocate for PCX file");
                break;
            }
            if ((code = convertrgbtopal(256, &image, &reduced)))
                ErrorBox("Could not convert to PCX file");
            else
                code = savepcx(name, &reduced);
            freeimage(&reduced);
            break;
        }
        case kTgaFileType:
            failure = "SaveTGA, savetga error %d";
            code = savetga(name, &image, 1);
            break;
        case kJpgFileType:
            failure = "SaveJPG, savejpg error %d";
            code = savejpg(name, &image, jpegQuality);
            break;
        case kPngFileType:
            failure = "SavePNG, savepng error %d";
            code = savepng(name, &image);
            break;
        default:
            // No writer ran, so none is named: this message is the whole story.
            ErrorBox("bad image file type: %d\nFilename = <%s>", type, name);
            code = -1;
    }
    freeimage(&image);
    if (code) {
        if (failure) ErrorBox(failure, code);
        return 0;
    }
    return 1;
}
