// Writing a file whole: the contents go to a temporary file first, which
// takes the target's place only when it is complete, so a failure or a stop
// never leaves half a file where a good one was.
//
// The target is followed through symbolic links and written in its own
// folder; a link is never replaced by a file. A device or a FIFO (such as
// /dev/stdout) cannot be replaced at all: the finished contents are copied
// into it. A folder, or a FIFO that nobody reads, is refused.
#pragma once

#include <string>

class SafeFileWrite {
  public:
    explicit SafeFileWrite(const std::string& path);
    // Removes the temporary file unless Commit took it.
    ~SafeFileWrite();
    SafeFileWrite(const SafeFileWrite&) = delete;
    SafeFileWrite& operator=(const SafeFileWrite&) = delete;

    // false when the target cannot be written at all; Error says why.
    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    // Where to write the contents: a hidden name beside the target, unique
    // in the process, with the target's extension kept (picture writers
    // choose the format by it).
    const std::string& Path() const { return temporary_; }
    // Puts the finished contents in place; false with error ("<path>: ...")
    // and the target as it was.
    bool Commit(std::string* error);

  private:
    std::string path_;       // as given, for messages
    std::string target_;     // the file the contents end up in
    std::string temporary_;  // what Path gives
    bool intoDevice_ = false;
    unsigned mode_ = 0;  // the permissions of the file replaced; 0: a new file
    bool committed_ = false;
    std::string error_;
};

// Writes text whole to path; false with error ("<path>: ...").
bool WriteTextFile(const std::string& path, const std::string& text, std::string* error);
