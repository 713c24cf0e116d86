#pragma once
// The main window's and the features' sides of device discovery, reduced to what tests watch:
// the device label, the poll timer and the first activations.
#include "app/device/DeviceDiscovery.h"

namespace tavrin::test {

class QuietDiscoveryHost final : public DiscoveryHost, public DeviceRestore {
public:
    void ShowDeviceLabel(DeviceLabel value) override { label = value; }
    void UpdateDeviceIndicators() override {}
    void SetTimer1Enabled(bool enabled) override { timer1 = enabled; }
    void RedrawCurrentPage() override {}
    void ProcessPendingMessages() override {}
    void PrepareMicrophone() override {}
    void Restore(ActivationPath, bool first) override { firstActivations += first ? 1 : 0; }
    void DeviceRemoved() override {}
    void ReleaseDevice() override {}

    DeviceLabel label = DeviceLabel::Unactive;
    bool timer1 = false;
    int firstActivations = 0;
};

}  // namespace tavrin::test
