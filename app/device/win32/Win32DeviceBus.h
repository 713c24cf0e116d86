#pragma once
#include "ports/DeviceBus.h"

namespace tavrin {

class Win32DeviceEnumeration final : public DeviceEnumeration {
public:
    bool PresentHardwareIds(std::vector<std::wstring>& hardwareIds) override;
};

class Win32HidBus final : public HidBus {
public:
    bool InterfacePaths(std::vector<std::wstring>& paths) override;
    DeviceHandle Open(const std::wstring& path) override;
    void Close(DeviceHandle handle) override;
    bool Attributes(DeviceHandle handle, uint16_t& vendorId, uint16_t& productId) override;
    bool Capabilities(DeviceHandle handle, uint16_t& outputLength, uint16_t& inputLength) override;
    bool SetOutputReport(DeviceHandle handle, const std::vector<uint8_t>& report) override;
    bool GetInputReport(DeviceHandle handle, std::vector<uint8_t>& report) override;
};

class Win32DriverBus final : public DriverBus {
public:
    DeviceHandle Open(const std::wstring& path) override;
    void Close(DeviceHandle handle) override;
    bool Control(DeviceHandle handle, uint32_t code, const std::vector<uint8_t>& input,
                 std::vector<uint8_t>& output) override;
};

}  // namespace tavrin
