#include "document/idea_pool.h"

#include <algorithm>
#include <system_error>

IdeaPool::~IdeaPool() {
    Wait();
}

int IdeaPool::Cores() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

bool IdeaPool::Start(int count, std::function<void(int item)> work, Options options) {
    if (running_ > 0) return false;
    Wait();
    work_ = std::move(work);
    options_ = options;
    count_ = std::max(count, 0);
    next_ = 0;
    released_ = 0;
    const int threads = std::min(options.threads > 0 ? options.threads : Cores(), count_);
    running_ = threads;
    for (int i = 0; i < threads; ++i) {
        try {
            threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // The threads that did start share the batch.
            running_ -= threads - i;
            break;
        }
    }
    return threads_.size() > 0 || count_ == 0;
}

void IdeaPool::Release() {
    {
        std::lock_guard guard(lock_);
        ++released_;
    }
    windowMoved_.notify_all();
}

void IdeaPool::Wait() {
    for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
    threads_.clear();
}

bool IdeaPool::Stopped() const {
    return (options_.stop != nullptr ? options_.stop->load()
                                     : StopRequested.ProcessWide().load()) != 0;
}

void IdeaPool::Work() {
    ThreadStopGuard stop(options_.stop);
    ThreadStatusGuard status(options_.status);
    for (;;) {
        int item = 0;
        {
            std::unique_lock guard(lock_);
            // A window that does not move would keep a worker waiting for
            // ever after a stop: it is looked at again now and then.
            while (options_.window > 0 && next_ >= released_ + options_.window && !Stopped())
                windowMoved_.wait_for(guard, std::chrono::milliseconds(50));
            if (next_ >= count_ || Stopped()) break;
            item = next_++;
        }
        work_(item);
    }
    --running_;
}
