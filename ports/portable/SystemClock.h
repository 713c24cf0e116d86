#pragma once
#include "ports/Clock.h"

namespace tavrin {

class SystemClock final : public Clock {
public:
    void Sleep(uint32_t milliseconds) override;
    uint64_t MonotonicMilliseconds() override;
};

}  // namespace tavrin
