// A picture file read on a thread of its own, so that the window stays live
// while a large picture loads. What the readers report on that thread is
// kept and told afterwards as one message.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "surface/cdadc.h"
#include "surface/global_memory.h"
#include "util/error_box.h"

// A picture made ready for a document: its original and the copy its view
// shows and draws each idea on.
struct DocPictures {
    std::unique_ptr<CDADC> original;
    std::unique_ptr<CDADC> shown;
    explicit operator bool() const { return original && shown; }
};
// Both surfaces of a packed DIB, which stays the caller's; empty, after the
// message, when either cannot be made.
DocPictures PicturesOfDib(HGLOBAL dib);

class PictureLoad {
  public:
    // Starts reading path. finished is called on the reading thread as soon
    // as it is done; it must only post work elsewhere.
    explicit PictureLoad(std::string path, std::function<void()> finished = {});
    // Waits for the reading thread; a picture nobody took is freed.
    ~PictureLoad();
    PictureLoad(const PictureLoad&) = delete;
    PictureLoad& operator=(const PictureLoad&) = delete;

    bool Finished() const { return finished_; }
    void Wait();
    const std::string& Path() const { return path_; }
    // After Finished: the picture made ready on the reading thread, so that
    // even a camera-sized one costs the window no copying (empty when it
    // could not be read), and the messages of the reading.
    DocPictures TakePictures();
    std::vector<Message> TakeMessages();

  private:
    HGLOBAL RefuseUnusable(HGLOBAL dib);
    std::string path_;
    std::function<void()> onFinished_;
    DocPictures pictures_;
    std::vector<Message> messages_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

// The messages of a failed reading of path made one: the reason first, in
// words, then where the file is. The readers' step codes are left out
// when their words say why.
std::string OneLoadFailureText(const std::vector<Message>& messages, const std::string& path);
