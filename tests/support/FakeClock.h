#pragma once
#include <mutex>
#include <vector>

#include "ports/Clock.h"

namespace tavrin::test {

// Records every wait and advances time without sleeping. Workers may wait on it too; read the
// record once they are stopped.
class FakeClock final : public Clock {
public:
    void Sleep(uint32_t milliseconds) override {
        std::lock_guard<std::mutex> lock(mutex_);
        waits.push_back(milliseconds);
        now += milliseconds;
    }
    uint64_t MonotonicMilliseconds() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return now;
    }

    std::vector<uint32_t> waits;
    uint64_t now = 0;

private:
    std::mutex mutex_;
};

}  // namespace tavrin::test
