#include "app/device/DeviceDiscovery.h"

#include <cwchar>
#include <cwctype>

#include "app/device/AudioCommand.h"
#include "common/DeviceIdMgr.h"
#include "ports/TextCase.h"

namespace tavrin {
namespace {

constexpr uint32_t kSelectRetryWait = 10;
constexpr uint32_t kArrivalWait = 10;
constexpr int kArrivalProbeAttempts = 5;
constexpr int kTimerProbeAttempts = 10;
constexpr uint8_t kReadinessCode = 4;
constexpr uint8_t kReadinessSub = 0;

size_t FindEither(const std::wstring& text, const wchar_t* upper, const wchar_t* mixed) {
    const size_t found = text.find(upper);
    return found != std::wstring::npos ? found : text.find(mixed);
}

// Up to four hexadecimal digits, stopping at the first other character.
uint16_t ParseHex4(const std::wstring& text, size_t at) {
    uint16_t value = 0;
    for (size_t i = at; i < text.size() && i < at + 4 && std::iswxdigit(text[i]); ++i) {
        const wchar_t c = static_cast<wchar_t>(std::towupper(text[i]));
        value = static_cast<uint16_t>(value * 16 + (c <= L'9' ? c - L'0' : c - L'A' + 10));
    }
    return value;
}

}  // namespace

void ParseVidPid(const std::wstring& text, uint16_t& vendorId, uint16_t& productId) {
    vendorId = 0;
    productId = 0;
    const size_t vid = FindEither(text, L"VID_", L"Vid_");
    if (vid == std::wstring::npos) return;
    vendorId = ParseHex4(text, vid + 4);
    const size_t pid = FindEither(text, L"PID_", L"Pid_");
    if (pid == std::wstring::npos) return;
    productId = ParseHex4(text, pid + 4);
}

DeviceDiscovery::DeviceDiscovery(Platform& platform, const CAudioConfig& config,
                                 DeviceEnumeration& enumeration, VendorSdk& sdk, DeviceIo& io,
                                 DiscoveryHost& host, DeviceRestore& restore)
    : platform_(platform),
      config_(config),
      enumeration_(enumeration),
      sdk_(sdk),
      io_(io),
      host_(host),
      restore_(restore) {}

void DeviceDiscovery::Log(const std::wstring& line) {
    platform_.debugLog.Write(line);
}

bool DeviceDiscovery::FindServedDevice(std::wstring& hardwareId) {
    // A group that fails to load stays empty and matches nothing.
    DEVICEID_MGR::CDeviceIdMgr group(platform_.files, platform_.registry);
    group.LoadGroupFromFile(config_.SourceFolderFullPath + kAudioConfigFileName, kUsbVidPidSection);
    std::vector<std::wstring> hardwareIds;
    if (!enumeration_.PresentHardwareIds(hardwareIds)) return false;
    const size_t servedLength = std::wcslen(kServedIdPattern);
    for (const std::wstring& id : hardwareIds) {
        if (id.size() != servedLength) continue;
        if (group.MatchDeviceId(id)) {
            hardwareId = id;
            return true;
        }
    }
    return false;
}

int32_t DeviceDiscovery::SetActiveDevice() {
    return sdk_.Invoke<&VendorSdkTable::DLLZR_SetActive_Device>(activeVendorId_, activeProductId_);
}

void DeviceDiscovery::SetActive(int32_t active) {
    m_bDeviceActive = active;
    m_bSync = active;
    host_.UpdateDeviceIndicators();
}

void DeviceDiscovery::ConstructionStep() {
    // 1. The served device, with one more look when the first finds none.
    std::wstring hardwareId;
    if (!FindServedDevice(hardwareId)) FindServedDevice(hardwareId);
    ParseVidPid(hardwareId, activeVendorId_, activeProductId_);

    // 2. Select it in the SDK, once more after a short wait when that fails.
    int32_t selected = SetActiveDevice();
    if (selected != 0) {
        Log(L"***** fnDLLZR_SetActive_Device, ret = " + std::to_wstring(selected) + L" *****");
        platform_.clock.Sleep(kSelectRetryWait);
        selected = SetActiveDevice();
    }

    // 3. The HID interface stays open; the filter driver decides between active and no driver.
    // A device the SDK would not select answers no SDK call: it is not usable, and the poll
    // tries again.
    if (selected == 0) hidHandle_ = io_.OpenHidDevice(activeVendorId_, activeProductId_);
    if (hidHandle_ == kNoDeviceHandle) {
        host_.ShowDeviceLabel(DeviceLabel::Unactive);
        SetActive(0);
    } else if (io_.ProbeAudioExtension(activeVendorId_, activeProductId_) == 0) {
        host_.ShowDeviceLabel(DeviceLabel::Active);
        SetActive(1);
    } else {
        host_.ShowDeviceLabel(DeviceLabel::UnDriver);
        SetActive(0);
    }

    // 4. Poll while nothing is active.
    if (m_bDeviceActive == 0) host_.SetTimer1Enabled(true);
}

void DeviceDiscovery::DeviceArrival1(const std::wstring& /*interfaceName*/) {
    Log(L"DeviceArrival1");
    platform_.clock.Sleep(kArrivalWait);
    restore_.PrepareMicrophone();
    if (hidHandle_ != kNoDeviceHandle) {
        Log(L"m_hDevice != NULL");
        return;
    }
    Activate(ActivationPath::Arrival);
}

void DeviceDiscovery::Timer1Timer() {
    Activate(ActivationPath::Timer);
}

// The common steps of an arrival and a poll tick.
void DeviceDiscovery::Activate(ActivationPath path) {
    const bool arrival = path == ActivationPath::Arrival;

    std::wstring hardwareId;
    if (!FindServedDevice(hardwareId)) {
        if (arrival) Log(L"bResult = 0");
        return;
    }

    ParseVidPid(hardwareId, activeVendorId_, activeProductId_);
    int32_t selected = SetActiveDevice();
    if (selected != 0) {
        if (arrival) {
            Log(L"***** fnDLLZR_SetActive_Device, ret = " + std::to_wstring(selected) + L" *****");
        } else {
            selected = SetActiveDevice();
        }
    }

    // Not selected in the SDK: as unusable as a device without its HID interface.
    const DeviceHandle handle =
        selected == 0 ? io_.OpenHidDevice(activeVendorId_, activeProductId_) : kNoDeviceHandle;
    if (handle == kNoDeviceHandle) {
        host_.SetTimer1Enabled(true);
        host_.ShowDeviceLabel(DeviceLabel::Unactive);
        SetActive(0);
        host_.RedrawCurrentPage();
    } else {
        io_.CloseHidDevice(handle);
        // The device answers the readiness probe once its firmware is up.
        int32_t answered = -1;
        const int attempts = arrival ? kArrivalProbeAttempts : kTimerProbeAttempts;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            answered = SendAudioValue(sdk_, kReadinessCode, kReadinessSub, 0);
            if (answered != 0) continue;
            // The driver's path follows the device that became active, whichever way it came:
            // the poll too, or its requests would name no device (or the one before).
            const bool driverFound =
                io_.ProbeAudioExtension(activeVendorId_, activeProductId_) == 0;
            if (arrival && driverFound) Log(L"***** ZRN_Set_DEVICE_SYMBOLIC_NAME Success *****");
            SetActive(1);
            host_.RedrawCurrentPage();
            break;
        }
        if (answered != 0) return;
    }

    if (m_bDeviceActive == 0) {
        host_.SetTimer1Enabled(true);
        return;
    }
    ++activationCount_;
    restore_.Restore(path, activationCount_ == 1);
    host_.RedrawCurrentPage();
    host_.ShowDeviceLabel(DeviceLabel::Active);
    if (!arrival) host_.SetTimer1Enabled(false);
}

void DeviceDiscovery::DeviceRemoval(const std::wstring& classGuid,
                                    const std::wstring& interfaceName) {
    if (!EqualsIgnoringCase(classGuid, kHidInterfaceClass)) return;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    ParseVidPid(interfaceName, vendorId, productId);
    if (vendorId != activeVendorId_ || productId != activeProductId_) return;

    host_.ShowDeviceLabel(DeviceLabel::Unactive);
    m_bDeviceActive = 0;
    m_bSync = 0;
    host_.UpdateDeviceIndicators();
    restore_.DeviceRemoved();
    host_.RedrawCurrentPage();
    if (hidHandle_ != kNoDeviceHandle) {
        io_.CloseHidDevice(hidHandle_);
        hidHandle_ = kNoDeviceHandle;
        restore_.ReleaseDevice();
        activationCount_ = 0;
    }
}

void DeviceDiscovery::CloseKeptHandle() {
    if (hidHandle_ == kNoDeviceHandle) return;
    io_.CloseHidDevice(hidHandle_);
    hidHandle_ = kNoDeviceHandle;
}

void DeviceDiscovery::HandleDeviceChange(uint32_t event, uint32_t deviceType,
                                         const std::wstring& classGuid,
                                         const std::wstring& interfaceName) {
    if (deviceType == kDbtDeviceTypeInterface) {
        if (event == kDbtDeviceArrival) DeviceArrival1(interfaceName);
        if (event == kDbtDeviceRemoveComplete) DeviceRemoval(classGuid, interfaceName);
    }
    host_.ProcessPendingMessages();
}

}  // namespace tavrin
