#pragma once
#include <cstdint>

namespace tavrin {

// Every fixed wait of the device protocol goes through here, so that tests can record the waits
// instead of sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(uint32_t milliseconds) = 0;
    virtual uint64_t MonotonicMilliseconds() = 0;
};

}  // namespace tavrin
