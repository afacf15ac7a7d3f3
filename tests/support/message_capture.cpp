#include "support/message_capture.h"

MessageCapture::MessageCapture(Answer answer) {
    previous_ = SetReporter([this, answer](const Message& m) {
        messages_.push_back(m);
        return answer;
    });
}

MessageCapture::~MessageCapture() {
    SetReporter(previous_);
}

std::vector<std::string> MessageCapture::Texts() const {
    std::vector<std::string> texts;
    for (const Message& m : messages_)
        texts.push_back(m.text);
    return texts;
}

std::vector<std::string> MessageCapture::Notices() const {
    std::vector<std::string> texts;
    for (const Message& m : messages_)
        if (m.kind == MessageKind::Notice) texts.push_back(m.text);
    return texts;
}

std::vector<std::string> MessageCapture::Faults() const {
    std::vector<std::string> texts;
    for (const Message& m : messages_)
        if (m.kind != MessageKind::Notice) texts.push_back(m.text);
    return texts;
}
