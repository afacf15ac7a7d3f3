// Collects the messages the code under test reports, instead of printing them.
#pragma once

#include <string>
#include <vector>

#include "util/error_box.h"

class MessageCapture {
  public:
    // answer: what a question gets.
    explicit MessageCapture(Answer answer = Answer::No);
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<Message>& Messages() const { return messages_; }
    // The texts alone, in order (notices included).
    std::vector<std::string> Texts() const;
    // The texts of the notices alone, and of everything else.
    std::vector<std::string> Notices() const;
    std::vector<std::string> Faults() const;
    void Clear() { messages_.clear(); }

  private:
    std::vector<Message> messages_;
    Reporter previous_;
};
