#include "app/features/EventWorker.h"

#include <utility>

namespace tavrin {

EventWorker::EventWorker(std::function<void()> beforeWait, std::function<void()> pass)
    : beforeWait_(std::move(beforeWait)), pass_(std::move(pass)) {}

EventWorker::~EventWorker() {
    Stop();
}

void EventWorker::Start() {
    if (thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = false;
        stopping_ = false;
    }
    thread_ = std::thread([this] { Loop(); });
}

void EventWorker::Signal() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
    }
    wake_.notify_one();
}

void EventWorker::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

bool EventWorker::Stopping() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
}

void EventWorker::Loop() {
    for (;;) {
        if (beforeWait_) beforeWait_();
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return signalled_ || stopping_; });
            if (stopping_) return;
            signalled_ = false;
        }
        pass_();
    }
}

}  // namespace tavrin
