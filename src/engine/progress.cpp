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

// The line a ThreadStatusGuard installed on this thread; installed with a
// null line, the texts go nowhere.
constinit thread_local StatusLine* threadLine = nullptr;
constinit thread_local bool threadLineInstalled = false;

void CopyStatus(char* into, const char* text) {
    std::strncpy(into, text, kStatusLength);
    into[kStatusLength] = '\0';
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
    std::lock_guard lock(statusLock);
    if (std::strncmp(text, statusText, kStatusLength) != 0) scrollOffset = 0;
    CopyStatus(statusText, text);
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
    for (std::size_t i = 0; i < n; ++i) {
        scrolled[i] = statusText[(static_cast<std::size_t>(scrollOffset) + i) % n];
    }
    // INT_MAX quarter seconds are 17 years; wrap rather than overflow.
    scrollOffset = scrollOffset == INT_MAX ? 0 : scrollOffset + 1;
    return scrolled;
}

}  // namespace StatusTicker
