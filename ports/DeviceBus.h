#pragma once
// The device side that Windows reports: present devices, HID interfaces and the filter driver's
// device. Each handle is opened for one operation and closed by its user.
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

// An open HID interface or driver device; 0 is none.
using DeviceHandle = uint64_t;
inline constexpr DeviceHandle kNoDeviceHandle = 0;

class DeviceEnumeration {
public:
    virtual ~DeviceEnumeration() = default;
    // The first hardware ID of every present device of every class, in enumeration order;
    // false when the enumeration itself fails.
    virtual bool PresentHardwareIds(std::vector<std::wstring>& hardwareIds) = 0;
};

class HidBus {
public:
    virtual ~HidBus() = default;
    // Device paths of the present HID interfaces, in enumeration order.
    virtual bool InterfacePaths(std::vector<std::wstring>& paths) = 0;
    virtual DeviceHandle Open(const std::wstring& path) = 0;
    virtual void Close(DeviceHandle handle) = 0;
    virtual bool Attributes(DeviceHandle handle, uint16_t& vendorId, uint16_t& productId) = 0;
    // Report lengths from the interface's capabilities; false when they cannot be read.
    virtual bool Capabilities(DeviceHandle handle, uint16_t& outputLength,
                              uint16_t& inputLength) = 0;
    virtual bool SetOutputReport(DeviceHandle handle, const std::vector<uint8_t>& report) = 0;
    // `report` comes sized to the input length and is filled in place.
    virtual bool GetInputReport(DeviceHandle handle, std::vector<uint8_t>& report) = 0;
};

class DriverBus {
public:
    virtual ~DriverBus() = default;
    virtual DeviceHandle Open(const std::wstring& path) = 0;
    virtual void Close(DeviceHandle handle) = 0;
    // A buffered control request; `output` comes sized to the output buffer and is cut to the
    // bytes returned.
    virtual bool Control(DeviceHandle handle, uint32_t code, const std::vector<uint8_t>& input,
                         std::vector<uint8_t>& output) = 0;
};

}  // namespace tavrin
