#pragma once
// The SDK's button scan as the window sees it. The SDK calls back on a thread of its own with a
// raw report; the callback copies it, posts it to the window thread and returns at once (the
// thread that stops the scan waits for a running callback, so the callback must never wait for
// the window thread).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "ports/UiHost.h"
#include "sim/VendorSdkApi.h"

namespace tavrin {

inline constexpr size_t kScanReportSize = 5;
using ScanReport = std::array<uint8_t, kScanReportSize>;

class ButtonScanRoute {
public:
    using Receiver = std::function<void(const ScanReport&)>;

    ButtonScanRoute(UiHost& ui, Receiver receiver);
    ~ButtonScanRoute();
    ButtonScanRoute(const ButtonScanRoute&) = delete;
    ButtonScanRoute& operator=(const ButtonScanRoute&) = delete;

    // Window thread. The callback to hand to the SDK: from now on its reports reach the receiver
    // on the window thread, in the order they came, until Close.
    ScanButtonCallback Open();
    // Window thread. Reports not handled yet, and any later ones, are dropped.
    void Close();
    bool IsOpen() const { return open_ != nullptr && *open_; }

private:
    static int32_t TAVRIN_SDK_CALL Callback(uint32_t vid, uint32_t pid, uint8_t* report, uint32_t,
                                            uint32_t);
    // The SDK's thread, under the route's lock.
    void Post(const ScanReport& report);

    UiHost& ui_;
    Receiver receiver_;
    // Shared with the posted reports, which check it before they reach the receiver; read and
    // written on the window thread only.
    std::shared_ptr<bool> open_;
};

}  // namespace tavrin
