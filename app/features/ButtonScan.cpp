#include "app/features/ButtonScan.h"

#include <algorithm>
#include <mutex>

namespace tavrin {
namespace {

// The SDK's callback carries no context of ours, so the open route is kept here, behind its
// own lock; at most one window scans at a time.
std::mutex& RouteLock() {
    static std::mutex lock;
    return lock;
}

ButtonScanRoute*& OpenRoute() {
    static ButtonScanRoute* route = nullptr;
    return route;
}

}  // namespace

ButtonScanRoute::ButtonScanRoute(UiHost& ui, Receiver receiver)
    : ui_(ui), receiver_(std::move(receiver)) {}

ButtonScanRoute::~ButtonScanRoute() {
    Close();
}

ScanButtonCallback ButtonScanRoute::Open() {
    std::lock_guard lock(RouteLock());
    // Opened again (a new arrival), reports already on their way still count.
    if (!IsOpen()) open_ = std::make_shared<bool>(true);
    OpenRoute() = this;
    return &ButtonScanRoute::Callback;
}

void ButtonScanRoute::Close() {
    std::lock_guard lock(RouteLock());
    if (open_ != nullptr) *open_ = false;
    if (OpenRoute() == this) OpenRoute() = nullptr;
}

int32_t TAVRIN_SDK_CALL ButtonScanRoute::Callback(uint32_t, uint32_t, uint8_t* report, uint32_t,
                                                  uint32_t) {
    if (report == nullptr) return 0;
    ScanReport copy{};
    std::copy_n(report, copy.size(), copy.begin());
    std::lock_guard lock(RouteLock());
    if (ButtonScanRoute* route = OpenRoute()) route->Post(copy);
    return 0;
}

void ButtonScanRoute::Post(const ScanReport& report) {
    ui_.PostToWindowThread([open = open_, receiver = &receiver_, report] {
        if (*open) (*receiver)(report);
    });
}

}  // namespace tavrin
