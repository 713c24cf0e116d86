#pragma once
#include <vector>

#include "ports/Clock.h"

namespace tavrin::test {

// Records every wait and advances time without sleeping.
class FakeClock final : public Clock {
public:
    void Sleep(uint32_t milliseconds) override {
        waits.push_back(milliseconds);
        now += milliseconds;
    }
    uint64_t MonotonicMilliseconds() override { return now; }

    std::vector<uint32_t> waits;
    uint64_t now = 0;
};

}  // namespace tavrin::test
