#include "engine/progress.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "util/error_box.h"

namespace {

constexpr std::size_t kStatusLength = 40;

// Written by the generation thread and read by the user interface, so the
// text and the ticker's offset sit behind one small lock.
std::mutex statusLock;
char statusText[kStatusLength + 1] = "";
int scrollOffset = 0;

// The second and later bytes of a UTF-8 character.
bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The line a ThreadStatusGuard installed on this thread; installed with a
// null line, the texts go nowhere.
constinit thread_local StatusLine* threadLine = nullptr;
constinit thread_local bool threadLineInstalled = false;

// At most kStatusLength bytes of text; a UTF-8 character cut by the limit
// goes whole, back to its first byte. The length copied.
std::size_t CopyStatus(char* into, const char* text) {
    std::size_t end = strnlen(text, kStatusLength);
    if (end == kStatusLength) {
        while (end > 0 && IsContinuation(text[end]))
            --end;
    }
    std::memcpy(into, text, end);
    into[end] = '\0';
    return end;
}

}  // namespace

std::atomic<int>& ApplicationProgress() {
    static std::atomic<int> progress{0};
    return progress;
}

void SetPercent(std::atomic<int>* progress, int lo, int hi, int percentOfStage, const char* text) {
    if (progress == nullptr) return;
    // 64 bits so that extreme bounds cannot overflow; stage values fit in 32.
    const std::int64_t span = static_cast<std::int64_t>(hi) - lo;
    if (span < 1) {
        ErrorBox("SetPercent (ptr,%d,%d,%d)", lo, hi, percentOfStage);
        return;
    }
    progress->store(static_cast<int>(span * percentOfStage / 100 + lo));
    if (text != nullptr) SetStatusText(text);
}

void SetStatusText(const char* text) {
    if (text == nullptr) text = "";
    if (threadLineInstalled) {
        if (threadLine != nullptr) threadLine->Set(text);
        return;
    }
    char copy[kStatusLength + 1];
    const std::size_t end = CopyStatus(copy, text);
    std::lock_guard lock(statusLock);
    if (std::strncmp(copy, statusText, end) != 0 || statusText[end] != '\0') scrollOffset = 0;
    std::memcpy(statusText, copy, end + 1);
}

void StatusLine::Set(const char* text) {
    std::lock_guard lock(lock_);
    CopyStatus(text_, text != nullptr ? text : "");
}

std::string StatusLine::Get() const {
    std::lock_guard lock(lock_);
    return text_;
}

ThreadStatusGuard::ThreadStatusGuard(StatusLine* line)
    : previous_(threadLine), previousInstalled_(threadLineInstalled) {
    threadLine = line;
    threadLineInstalled = true;
}

ThreadStatusGuard::~ThreadStatusGuard() {
    threadLine = previous_;
    threadLineInstalled = previousInstalled_;
}

std::string GetStatusText() {
    std::lock_guard lock(statusLock);
    return statusText;
}

namespace StatusTicker {

void Restart() {
    std::lock_guard lock(statusLock);
    scrollOffset = 0;
}

std::string Scroll() {
    std::lock_guard lock(statusLock);
    const std::size_t n = std::strlen(statusText);
    std::string scrolled(n, ' ');
    // A character of several UTF-8 bytes turns as one: the text never
    // starts inside one.
    for (std::size_t skipped = 0; n > 0 && skipped < n; ++skipped) {
        if (!IsContinuation(statusText[static_cast<std::size_t>(scrollOffset) % n])) break;
        scrollOffset = scrollOffset == INT_MAX ? 0 : scrollOffset + 1;
    }
    for (std::size_t i = 0; i < n; ++i) {
        scrolled[i] = statusText[(static_cast<std::size_t>(scrollOffset) + i) % n];
    }
    // INT_MAX quarter seconds are 17 years; wrap rather than overflow.
    scrollOffset = scrollOffset == INT_MAX ? 0 : scrollOffset + 1;
    return scrolled;
}

}  // namespace StatusTicker
