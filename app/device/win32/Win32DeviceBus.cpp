#include "app/device/win32/Win32DeviceBus.h"

#include <windows.h>

#include <setupapi.h>
// The HID headers need the types of windows.h first, and MinGW's lack C linkage of their own.
extern "C" {
#include <hidsdi.h>

#include <hidpi.h>
}

namespace tavrin {
namespace {

// The audio device class; with DIGCF_ALLCLASSES it only seeds the enumeration.
constexpr GUID kMediaClassGuid = {
    0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

HANDLE ToHandle(DeviceHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

DeviceHandle FromHandle(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? kNoDeviceHandle
                                          : reinterpret_cast<DeviceHandle>(handle);
}

class DeviceInfoList {
public:
    explicit DeviceInfoList(HDEVINFO list) : list_(list) {}
    ~DeviceInfoList() {
        if (Valid()) SetupDiDestroyDeviceInfoList(list_);
    }
    DeviceInfoList(const DeviceInfoList&) = delete;
    DeviceInfoList& operator=(const DeviceInfoList&) = delete;
    bool Valid() const { return list_ != INVALID_HANDLE_VALUE; }
    HDEVINFO Get() const { return list_; }

private:
    HDEVINFO list_;
};

}  // namespace

bool Win32DeviceEnumeration::PresentHardwareIds(std::vector<std::wstring>& hardwareIds) {
    DeviceInfoList devices(
        SetupDiGetClassDevsW(&kMediaClassGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!devices.Valid()) return false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices.Get(), index, &device); ++index) {
        DWORD size = 0;
        SetupDiGetDeviceRegistryPropertyW(devices.Get(), &device, SPDRP_HARDWAREID, nullptr,
                                          nullptr, 0, &size);
        std::wstring ids;
        if (size >= sizeof(wchar_t)) {
            std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
            if (SetupDiGetDeviceRegistryPropertyW(devices.Get(), &device, SPDRP_HARDWAREID, nullptr,
                                                  reinterpret_cast<BYTE*>(buffer.data()), size,
                                                  nullptr)) {
                ids = buffer.data();  // the first string of the list
            }
        }
        hardwareIds.push_back(ids);
    }
    return true;
}

bool Win32HidBus::InterfacePaths(std::vector<std::wstring>& paths) {
    GUID hidClass{};
    HidD_GetHidGuid(&hidClass);
    DeviceInfoList interfaces(
        SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!interfaces.Valid()) return false;
    SP_DEVICE_INTERFACE_DATA item{};
    item.cbSize = sizeof(item);
    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(interfaces.Get(), nullptr, &hidClass, index, &item); ++index) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(interfaces.Get(), &item, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        std::vector<uint8_t> buffer(size, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (SetupDiGetDeviceInterfaceDetailW(interfaces.Get(), &item, detail, size, nullptr,
                                             nullptr)) {
            paths.emplace_back(detail->DevicePath);
        }
    }
    return true;
}

DeviceHandle Win32HidBus::Open(const std::wstring& path) {
    return FromHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr));
}

void Win32HidBus::Close(DeviceHandle handle) {
    if (handle != kNoDeviceHandle) CloseHandle(ToHandle(handle));
}

bool Win32HidBus::Attributes(DeviceHandle handle, uint16_t& vendorId, uint16_t& productId) {
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof(attributes);
    if (!HidD_GetAttributes(ToHandle(handle), &attributes)) return false;
    vendorId = attributes.VendorID;
    productId = attributes.ProductID;
    return true;
}

bool Win32HidBus::Capabilities(DeviceHandle handle, uint16_t& outputLength, uint16_t& inputLength) {
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!HidD_GetPreparsedData(ToHandle(handle), &data)) return false;
    HIDP_CAPS caps{};
    const bool ok = HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS;
    HidD_FreePreparsedData(data);
    if (!ok) return false;
    outputLength = caps.OutputReportByteLength;
    inputLength = caps.InputReportByteLength;
    return true;
}

bool Win32HidBus::SetOutputReport(DeviceHandle handle, const std::vector<uint8_t>& report) {
    std::vector<uint8_t> buffer = report;  // the call takes a writable buffer
    return HidD_SetOutputReport(ToHandle(handle), buffer.data(),
                                static_cast<ULONG>(buffer.size())) != FALSE;
}

bool Win32HidBus::GetInputReport(DeviceHandle handle, std::vector<uint8_t>& report) {
    return HidD_GetInputReport(ToHandle(handle), report.data(),
                               static_cast<ULONG>(report.size())) != FALSE;
}

DeviceHandle Win32DriverBus::Open(const std::wstring& path) {
    return FromHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
}

void Win32DriverBus::Close(DeviceHandle handle) {
    if (handle != kNoDeviceHandle) CloseHandle(ToHandle(handle));
}

bool Win32DriverBus::Control(DeviceHandle handle, uint32_t code, const std::vector<uint8_t>& input,
                             std::vector<uint8_t>& output) {
    std::vector<uint8_t> in = input;
    DWORD returned = 0;
    const BOOL ok =
        DeviceIoControl(ToHandle(handle), code, in.empty() ? nullptr : in.data(),
                        static_cast<DWORD>(in.size()), output.empty() ? nullptr : output.data(),
                        static_cast<DWORD>(output.size()), &returned, nullptr);
    if (!ok) return false;
    output.resize(returned);
    return true;
}

}  // namespace tavrin
