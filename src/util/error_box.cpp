#include "util/error_box.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

Answer DefaultReporter(const Message& m) {
    if (m.kind == MessageKind::Notice) {
        std::fprintf(stderr, "warning: %s\n", m.text.c_str());
    } else if (m.caption.empty() || m.caption == kAppTitle) {
        std::fprintf(stderr, "%s\n", m.text.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
    }
    return Answer::No;
}

std::mutex& ReporterLock() {
    static std::mutex lock;
    return lock;
}

Reporter& CurrentReporter() {
    static Reporter reporter = DefaultReporter;
    return reporter;
}

thread_local ThreadMessages* threadMessages = nullptr;
thread_local int errorsOnThisThread = 0;

Answer Deliver(Message m) {
    if (m.kind == MessageKind::Error || m.kind == MessageKind::SystemError) ++errorsOnThisThread;
    if (threadMessages) {
        const Answer answer = m.kind == MessageKind::Question ? Answer::Cancel : Answer::No;
        threadMessages->Keep(std::move(m));
        return answer;
    }
    Reporter reporter;
    {
        std::lock_guard<std::mutex> guard(ReporterLock());
        reporter = CurrentReporter();
    }
    return reporter(m);
}

std::string Format(const char* format, va_list args) {
    char buffer[kMessageBufferSize];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    return buffer;
}

// The program's string table: the texts that are shown by number.
struct StringEntry {
    unsigned id;
    const char* text;
};
constexpr StringEntry kStringTable[] = {
    {61220, "Still creating image:\nWait for completion \nor hit ESC or STOP..."},
    {61222, "The contents of the clipboard\nare not an image"},
    {61223, "The clipboard is empty"},
};

}  // namespace

ThreadMessages::ThreadMessages() : outer_(threadMessages) {
    threadMessages = this;
}

ThreadMessages::~ThreadMessages() {
    threadMessages = outer_;
}

int ErrorsOnThisThread() {
    return errorsOnThisThread;
}

Reporter SetReporter(Reporter reporter) {
    std::lock_guard<std::mutex> guard(ReporterLock());
    Reporter old = std::move(CurrentReporter());
    CurrentReporter() = reporter ? std::move(reporter) : Reporter(DefaultReporter);
    return old;
}

void ErrorBox(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = Format(format, args);
    va_end(args);
    Deliver({MessageKind::Error, kAppTitle, std::move(text)});
}

void NoticeBox(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = Format(format, args);
    va_end(args);
    Deliver({MessageKind::Notice, kAppTitle, std::move(text)});
}

void SystemErrorBox(const char* caption, const char* format, ...) {
    const int savedErrno = errno;
    va_list args;
    va_start(args, format);
    std::string text = Format(format, args);
    va_end(args);
    if (savedErrno != 0) {
        text += "\n";
        text += std::strerror(savedErrno);
    }
    if (text.size() >= kMessageBufferSize) text.resize(kMessageBufferSize - 1);
    Deliver({MessageKind::SystemError, caption ? caption : "", std::move(text)});
}

const char* LoadProgramString(unsigned stringId) {
    for (const StringEntry& e : kStringTable) {
        if (e.id == stringId) return e.text;
    }
    return nullptr;
}

void ErrorBoxFromString(unsigned stringId) {
    const char* text = LoadProgramString(stringId);
    if (!text) {
        ErrorBox("UEB:Could not load string %u", stringId);
        text = "";
    }
    ErrorBox("%s", text);
}

Answer QuestionBox(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = Format(format, args);
    va_end(args);
    return Deliver({MessageKind::Question, kAppTitle, std::move(text)});
}
