#pragma once
// A clock for tests with workers: the test thread's waits are recorded in order, the workers'
// apart; while workers are held, a worker that waits stays in its wait until they are let go.
// Nothing really sleeps.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "ports/Clock.h"

namespace tavrin::test {

class WorkerClock final : public Clock {
public:
    void Sleep(uint32_t milliseconds) override {
        if (std::this_thread::get_id() == testThread_) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                waits_.push_back(milliseconds);
            }
            if (onTestWait) onTestWait(milliseconds);
            return;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        workerWaits_.push_back(milliseconds);
        letGo_.wait(lock, [this] { return !held_; });
    }
    uint64_t MonotonicMilliseconds() override { return 0; }

    void HoldWorkers() {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = true;
    }
    void LetWorkersGo() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            held_ = false;
        }
        letGo_.notify_all();
    }
    std::vector<uint32_t> Waits() {
        std::lock_guard<std::mutex> lock(mutex_);
        return waits_;
    }
    std::vector<uint32_t> WorkerWaits() {
        std::lock_guard<std::mutex> lock(mutex_);
        return workerWaits_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        waits_.clear();
        workerWaits_.clear();
    }

    // Runs in each of the test thread's waits, so that a worker can be let in at that point.
    std::function<void(uint32_t)> onTestWait;

private:
    const std::thread::id testThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable letGo_;
    bool held_ = false;
    std::vector<uint32_t> waits_;
    std::vector<uint32_t> workerWaits_;
};

}  // namespace tavrin::test
