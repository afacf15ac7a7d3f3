// Progress and status of a run, shared between the generation thread, which
// writes them, and the user interface, which shows them.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

// The stop flag the Xforms poll in their loops. One flag serves the whole
// process (STOP, Escape, Ctrl+C), but a thread drawing work of its own, such
// as a page of gallery ideas, can install a flag of its own with a
// ThreadStopGuard: on that thread StopRequested then reads and writes the
// installed flag, and the process-wide one is left alone. It reads like the
// std::atomic<int> it stands in for.
class StopFlag {
  public:
    int load(std::memory_order order = std::memory_order_seq_cst) const noexcept {
        return Current().load(order);
    }
    void store(int value, std::memory_order order = std::memory_order_seq_cst) noexcept {
        Current().store(value, order);
    }
    operator int() const noexcept { return load(); }
    int operator=(int value) noexcept {
        store(value);
        return value;
    }
    // The process's own flag, whatever this thread has installed: for
    // signal handlers, which may run on any thread.
    std::atomic<int>& ProcessWide() noexcept { return processWide_; }

  private:
    friend class ThreadStopGuard;
    std::atomic<int>& Current() const noexcept {
        return threadFlag_ != nullptr ? *threadFlag_ : processWide_;
    }
    mutable std::atomic<int> processWide_{0};
    static constinit inline thread_local std::atomic<int>* threadFlag_ = nullptr;
};

inline StopFlag StopRequested;

// What an Xform's run polls between its stages and rows.
inline bool Stopped() {
    return StopRequested.load() != 0;
}

// While it lives, StopRequested on this thread is flag (null: the
// process-wide flag again).
class ThreadStopGuard {
  public:
    explicit ThreadStopGuard(std::atomic<int>* flag) : previous_(StopFlag::threadFlag_) {
        StopFlag::threadFlag_ = flag;
    }
    ~ThreadStopGuard() { StopFlag::threadFlag_ = previous_; }
    ThreadStopGuard(const ThreadStopGuard&) = delete;
    ThreadStopGuard& operator=(const ThreadStopGuard&) = delete;

  private:
    std::atomic<int>* previous_;
};

// The application's run percent, where every XformContext points by default.
std::atomic<int>& ApplicationProgress();

// Maps percentOfStage (0..100) into the stage lo..hi and stores it; sets the
// status text when text is not null.
void SetPercent(std::atomic<int>* progress, int lo, int hi, int percentOfStage, const char* text);

// The status text: at most 40 characters. On a thread with a
// ThreadStatusGuard it goes to that guard's line instead; GetStatusText
// always reads the process's own, which the main window shows.
void SetStatusText(const char* text);
std::string GetStatusText();

// A status text of its own, for work drawn beside the document's run.
class StatusLine {
  public:
    void Set(const char* text);
    std::string Get() const;

  private:
    mutable std::mutex lock_;
    char text_[41] = "";  // 40 characters, as the process's own
};

// While it lives, SetStatusText on this thread goes to line (null: nowhere).
class ThreadStatusGuard {
  public:
    explicit ThreadStatusGuard(StatusLine* line);
    ~ThreadStatusGuard();
    ThreadStatusGuard(const ThreadStatusGuard&) = delete;
    ThreadStatusGuard& operator=(const ThreadStatusGuard&) = delete;

  private:
    StatusLine* previous_;
    bool previousInstalled_;
};

// The status bar's ticker: while a run shows its progress bar, the status
// text turns one character to the left on every call of Scroll (the main
// window calls it every 250 ms). A new text starts again at its first
// character.
namespace StatusTicker {
// Starts the ticker at the text's first character (a new progress bar).
void Restart();
// The status text turned by the current offset; the offset then moves on.
std::string Scroll();
}  // namespace StatusTicker
