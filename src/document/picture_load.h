// A picture file read on a thread of its own, so that the window stays live
// while a large picture loads. What the readers report on that thread is
// kept and told afterwards as one message.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "surface/global_memory.h"
#include "util/error_box.h"

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
    // After Finished: the picture as a packed DIB, now the caller's (null
    // when it could not be read), and the messages of the reading.
    HGLOBAL TakeDib();
    std::vector<Message> TakeMessages();

  private:
    void RefuseUnusable();
    std::string path_;
    std::function<void()> onFinished_;
    HGLOBAL dib_ = nullptr;
    std::vector<Message> messages_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

// The messages of a failed reading of path made one: the reason first, in
// words, then where the file is. The readers' step codes are left out
// when their words say why.
std::string OneLoadFailureText(const std::vector<Message>& messages, const std::string& path);
