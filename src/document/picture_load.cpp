#include "document/picture_load.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "surface/dib_decode.h"
#include "surface/image_files.h"

namespace {
constexpr const char kCouldNotOpen[] = "Could not open imagefile:\n<";
}  // namespace

PictureLoad::PictureLoad(std::string path, std::function<void()> finished)
    : path_(std::move(path)), onFinished_(std::move(finished)) {
    auto read = [this] {
        {
            ThreadMessages kept;
            HGLOBAL dib = RefuseUnusable(VicLoadImageFile(path_.c_str()));
            if (dib) {
                pictures_ = PicturesOfDib(dib);
                GlobalFree(dib);
            }
            messages_ = kept.Take();
        }
        finished_ = true;
        if (onFinished_) onFinished_();
    };
    try {
        thread_ = std::thread(read);
    } catch (const std::system_error&) {
        // No thread to spare: read here, the window waits.
        read();
    }
}

DocPictures PicturesOfDib(HGLOBAL dib) {
    DocPictures pictures;
    pictures.original.reset(CDADC::CreateFromDib(dib));
    if (pictures.original) pictures.shown.reset(CDADC::CreateFromDib(dib));
    if (!pictures) return {};
    return pictures;
}

HGLOBAL PictureLoad::RefuseUnusable(HGLOBAL dib) {
    if (!dib) return nullptr;
    // A reader of last resort can hand over a DIB that no surface can be
    // made from (a depth no BMP has): refused here, with the reader's words.
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(dib));
    std::string why = "the picture cannot be locked";
    DibLayout layout;
    const bool usable = bytes && ReadDibLayout({bytes, GlobalSize(dib)}, &layout, &why);
    if (bytes) GlobalUnlock(dib);
    if (usable) return dib;
    GlobalFree(dib);
    std::string tag = std::filesystem::path(path_).extension().string();
    if (!tag.empty()) tag.erase(0, 1);
    for (char& c : tag)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ErrorBox("%s: %s\n%s%s>", tag.c_str(), why.c_str(), kCouldNotOpen, path_.c_str());
    return nullptr;
}

PictureLoad::~PictureLoad() {
    Wait();
}

void PictureLoad::Wait() {
    if (thread_.joinable()) thread_.join();
}

DocPictures PictureLoad::TakePictures() {
    if (!finished_) return {};
    Wait();
    return std::move(pictures_);
}

std::vector<Message> PictureLoad::TakeMessages() {
    if (!finished_) return {};
    Wait();
    return std::move(messages_);
}

namespace {

// The readers' words start with the format they tried ("JPEG: the file is
// empty"); the tag is at most four capitals.
bool SplitFormatTag(const std::string& words, std::string* tag, std::string* rest) {
    const size_t colon = words.find(": ");
    if (colon == std::string::npos || colon == 0 || colon > 4) return false;
    for (size_t i = 0; i < colon; ++i) {
        if (!std::isupper(static_cast<unsigned char>(words[i]))) return false;
    }
    *tag = words.substr(0, colon);
    *rest = words.substr(colon + 2);
    return true;
}

}  // namespace

std::string OneLoadFailureText(const std::vector<Message>& messages, const std::string& path) {
    const std::string file = std::filesystem::path(path).filename().string();
    const std::string where = kCouldNotOpen + path + ">";
    std::string words;
    bool ended = false;  // the readers' last message was there
    for (const Message& m : messages) {
        const size_t at = m.text.find(kCouldNotOpen);
        if (at == std::string::npos) continue;
        ended = true;
        words = m.text.substr(0, at);
        while (!words.empty() && words.back() == '\n')
            words.pop_back();
    }
    std::string reason;
    std::string tag, rest;
    if (!words.empty() && SplitFormatTag(words, &tag, &rest)) {
        reason = file + " is not a " + tag + " picture: " + rest;
    } else if (!words.empty()) {
        reason = file + ": " + words;
    } else {
        // No words from a reader: the first message says what went wrong
        // (a type that is not read, a name without its extension).
        for (const Message& m : messages) {
            if (m.kind == MessageKind::Notice || m.text.find(kCouldNotOpen) != std::string::npos)
                continue;
            reason = m.text;
            break;
        }
    }
    if (reason.empty()) reason = file + " could not be read";
    // Where the file is, unless the one message there was names it already.
    if (ended || reason.find(path) == std::string::npos) reason += "\n\n" + where;
    return reason;
}
