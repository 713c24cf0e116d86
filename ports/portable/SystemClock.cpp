#include "ports/portable/SystemClock.h"

#include <chrono>
#include <thread>

namespace tavrin {

void SystemClock::Sleep(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint64_t SystemClock::MonotonicMilliseconds() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace tavrin
