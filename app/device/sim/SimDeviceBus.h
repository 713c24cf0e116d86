#pragma once
// The device side in simulation mode: the virtual headset's bus face, reached through the
// library that the vendor SDK binding loaded.
#include "app/device/sim/BusFace.h"
#include "ports/DeviceBus.h"
#include "ports/DynamicLibrary.h"

namespace tavrin {

class SimDeviceBus final : public DeviceEnumeration, public HidBus {
public:
    // `library` is the virtual headset; its bus face is looked up at first use, once the library
    // is loaded. Missing names read as an empty bus.
    explicit SimDeviceBus(DynamicLibrary& library);

    bool PresentHardwareIds(std::vector<std::wstring>& hardwareIds) override;

    bool InterfacePaths(std::vector<std::wstring>& paths) override;
    DeviceHandle Open(const std::wstring& path) override;
    void Close(DeviceHandle handle) override;
    bool Attributes(DeviceHandle handle, uint16_t& vendorId, uint16_t& productId) override;
    bool Capabilities(DeviceHandle handle, uint16_t& outputLength, uint16_t& inputLength) override;
    bool SetOutputReport(DeviceHandle handle, const std::vector<uint8_t>& report) override;
    bool GetInputReport(DeviceHandle handle, std::vector<uint8_t>& report) override;

    // The filter driver's device, a port of its own: HidBus and DriverBus share method names.
    DriverBus& Driver() { return driver_; }
    // The rest of the bus face (capture endpoint, scenario controls) for the other ports.
    BusFace& Face() { return face_; }

private:
    class DriverSide final : public DriverBus {
    public:
        explicit DriverSide(SimDeviceBus& bus) : bus_(bus) {}
        DeviceHandle Open(const std::wstring& path) override;
        void Close(DeviceHandle handle) override;
        bool Control(DeviceHandle handle, uint32_t code, const std::vector<uint8_t>& input,
                     std::vector<uint8_t>& output) override;

    private:
        SimDeviceBus& bus_;
    };

    const BusFaceFunctions& Resolve() { return face_.Functions(); }

    BusFace face_;
    DriverSide driver_{*this};
};

}  // namespace tavrin
