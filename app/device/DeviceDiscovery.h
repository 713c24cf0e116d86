#pragma once
// Finding the served device and making it the active one: at construction, on a device arrival,
// on the 2-second poll while no device is active, and dropping it on removal.
#include <cstdint>
#include <string>

#include "app/device/DeviceIo.h"
#include "app/device/VendorSdk.h"
#include "common/AudioConfig.h"
#include "ports/DeviceBus.h"
#include "ports/Platform.h"

namespace tavrin {

enum class DeviceLabel { Active, Unactive, UnDriver };
enum class ActivationPath { Arrival, Timer };

inline constexpr uint16_t kInitialVendorId = 0x2B7A;
inline constexpr uint16_t kInitialProductId = 0x581F;
inline constexpr uint32_t kTimer1Interval = 2000;
inline constexpr uint32_t kDbtDeviceArrival = 0x8000;
inline constexpr uint32_t kDbtDeviceRemoveComplete = 0x8004;
inline constexpr uint32_t kDbtDeviceTypeInterface = 5;
inline constexpr wchar_t kHidInterfaceClass[] = L"{4D1E55B2-F16F-11CF-88CB-001111000030}";
// Only the length of the served pattern counts: hardware IDs of other lengths are skipped.
inline constexpr wchar_t kServedIdPattern[] = L"USB\\VID_2B7A&PID_58XX&REV_0100&MI_00";

// What activation asks of the main window: its device label and indicators, the poll timer and
// the redraws.
class DiscoveryHost {
public:
    virtual ~DiscoveryHost() = default;

    virtual void ShowDeviceLabel(DeviceLabel label) = 0;
    // The indicators that follow m_bDeviceActive and its negation.
    virtual void UpdateDeviceIndicators() = 0;
    virtual void SetTimer1Enabled(bool enabled) = 0;
    virtual void RedrawCurrentPage() = 0;
    virtual void ProcessPendingMessages() = 0;
};

// What activation asks of the features: the device layer knows when, the features know what.
class DeviceRestore {
public:
    virtual ~DeviceRestore() = default;

    // A device arrived: the one-time microphone set-up (when it can run) and the microphone
    // controls back to their start.
    virtual void PrepareMicrophone() = 0;
    // The device answers and is active: everything the features restore on it, in their order
    // (up to the label). `firstActivation`: the first since start or since the last removal.
    virtual void Restore(ActivationPath path, bool firstActivation) = 0;
    // The active device is gone: the features show themselves off, sending nothing.
    virtual void DeviceRemoved() = 0;
    // ...and, when its HID interface was held, they let go of what they held on it.
    virtual void ReleaseDevice() = 0;
};

// "VID_xxxx" (or "Vid_") and "PID_xxxx" (or "Pid_"); 0 for what is missing.
void ParseVidPid(const std::wstring& text, uint16_t& vendorId, uint16_t& productId);

class DeviceDiscovery {
public:
    DeviceDiscovery(Platform& platform, const CAudioConfig& config, DeviceEnumeration& enumeration,
                    VendorSdk& sdk, DeviceIo& io, DiscoveryHost& host, DeviceRestore& restore);

    bool FindServedDevice(std::wstring& hardwareId);
    void ConstructionStep();
    void DeviceArrival1(const std::wstring& interfaceName);
    void Timer1Timer();
    void DeviceRemoval(const std::wstring& classGuid, const std::wstring& interfaceName);
    // WM_DEVICECHANGE: arrivals and removals of device interfaces.
    void HandleDeviceChange(uint32_t event, uint32_t deviceType, const std::wstring& classGuid,
                            const std::wstring& interfaceName);

    void ResetActivationCount() { activationCount_ = 0; }
    // At the window's end: the HID handle kept since construction.
    void CloseKeptHandle();

    uint16_t ActiveVendorId() const { return activeVendorId_; }
    uint16_t ActiveProductId() const { return activeProductId_; }
    int32_t m_bDeviceActive = 0;
    int32_t m_bSync = 0;
    DeviceHandle HidHandle() const { return hidHandle_; }
    uint32_t ActivationCount() const { return activationCount_; }

private:
    int32_t SetActiveDevice();
    void SetActive(int32_t active);
    void Activate(ActivationPath path);
    void Log(const std::wstring& line);

    Platform& platform_;
    const CAudioConfig& config_;
    DeviceEnumeration& enumeration_;
    VendorSdk& sdk_;
    DeviceIo& io_;
    DiscoveryHost& host_;
    DeviceRestore& restore_;

    uint16_t activeVendorId_ = kInitialVendorId;
    uint16_t activeProductId_ = kInitialProductId;
    DeviceHandle hidHandle_ = kNoDeviceHandle;
    uint32_t activationCount_ = 0;
};

}  // namespace tavrin
