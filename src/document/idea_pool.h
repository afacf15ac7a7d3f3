// Ideas drawn side by side: the items 0..count-1 of a batch handed out in
// order to a few worker threads, each thread with the batch's own stop flag
// and status line installed, so that the batch neither listens to nor
// scribbles over the document's run. A recipe draws the same pixels on any
// thread, so the results do not depend on how many threads there are.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/progress.h"

class IdeaPool {
  public:
    struct Options {
        // Worker threads; 0: one per core. Never more than there are items.
        int threads = 0;
        // How far the items handed out may run ahead of those the consumer
        // has taken (Release), so that finished pictures waiting to be
        // written in order cannot pile up; 0: no limit.
        int window = 0;
        // The batch's stop flag; null: the process-wide StopRequested.
        std::atomic<int>* stop = nullptr;
        // Where the workers' status texts go; null: nowhere.
        StatusLine* status = nullptr;
    };

    IdeaPool() = default;
    // Waits for the workers (stop them first for a quick end).
    ~IdeaPool();
    IdeaPool(const IdeaPool&) = delete;
    IdeaPool& operator=(const IdeaPool&) = delete;

    // Starts work(i) for every item on the workers; false (nothing started)
    // while a batch is still going, or when no thread could be started.
    // Once a stop is asked for, the items not yet begun are skipped.
    bool Start(int count, std::function<void(int item)> work, Options options);
    // The consumer has taken one more item: the window moves on by one.
    void Release();
    // Blocks until every worker has ended.
    void Wait();
    // Workers are still going.
    bool Busy() const { return running_ > 0; }
    // Items begun so far.
    int Begun() const { return next_; }

    // One per core, at least one.
    static int Cores();

  private:
    void Work();
    bool Stopped() const;

    std::vector<std::thread> threads_;
    std::function<void(int)> work_;
    Options options_;
    int count_ = 0;
    std::atomic<int> next_{0};
    std::atomic<int> running_{0};
    int released_ = 0;
    std::mutex lock_;
    std::condition_variable windowMoved_;
};
