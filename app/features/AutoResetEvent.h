#pragma once
// An auto-reset event: Set wakes one waiter (or the next one to wait) and the event resets as
// it lets that waiter go. Workers sleep on one between jobs.
#include <condition_variable>
#include <mutex>

namespace tavrin {

class AutoResetEvent {
public:
    void Set() {
        {
            std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        wake_.notify_one();
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return signalled_; });
        signalled_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool signalled_ = false;
};

}  // namespace tavrin
