#pragma once
// The main window's side of device discovery, reduced to what tests watch: the device label,
// the poll timer and the LED initialisations.
#include "app/device/DeviceDiscovery.h"

namespace tavrin::test {

class QuietDiscoveryHost final : public DiscoveryHost {
public:
    void ShowDeviceLabel(DeviceLabel value) override { label = value; }
    void UpdateDeviceIndicators() override {}
    void SetTimer1Enabled(bool enabled) override { timer1 = enabled; }
    void RedrawCurrentPage() override {}
    void ProcessPendingMessages() override {}
    int OperatingSystemClass() override { return 6; }
    bool AcquireCaptureEndpoint() override { return false; }
    void ReleaseCaptureEndpoint() override {}
    void RunMicrophoneSetup() override {}
    void CloseMicLevelMonitorUnlessMicPage() override {}
    void ResetMicrophoneControls() override {}
    void ClearMicrophoneMonitorState() override {}
    void ForgetMicrophoneCapture() override {}
    int LedFlag() override { return 0; }
    void RestoreGpioAndEnc(ActivationPath) override {}
    void RestoreVoiceMagic() override {}
    void RestoreEqAnd3D() override {}
    void PrepareVirtual7ch1() override {}
    void SendVirtual7ch1() override {}
    void InitialiseLedColours() override { ++ledInitialisations; }
    void ClearEncArmed() override {}
    void ResetSwitchDisplays() override {}
    void CloseLedWorkerEvent() override {}

    DeviceLabel label = DeviceLabel::Unactive;
    bool timer1 = false;
    int ledInitialisations = 0;
};

}  // namespace tavrin::test
