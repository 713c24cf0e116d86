#pragma once
// The device side in simulation mode: the virtual headset's bus face, reached through the
// library that the vendor SDK binding loaded.
#include "ports/DeviceBus.h"
#include "ports/DynamicLibrary.h"
#include "sim/BusFaceApi.h"

namespace tavrin {

class SimDeviceBus final : public DeviceEnumeration, public HidBus {
public:
    // `library` is the virtual headset, already loaded: the bus face is looked up here, once.
    // Missing names read as an empty bus.
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

private:
    class DriverSide final : public DriverBus {
    public:
        explicit DriverSide(DynamicLibrary& library);
        DeviceHandle Open(const std::wstring& path) override;
        void Close(DeviceHandle handle) override;
        bool Control(DeviceHandle handle, uint32_t code, const std::vector<uint8_t>& input,
                     std::vector<uint8_t>& output) override;

    private:
        TavrinSim_OpenDriver_Fn open_;
        TavrinSim_CloseDriver_Fn close_;
        TavrinSim_DriverControl_Fn control_;
    };

    TavrinSim_GetDeviceHardwareId_Fn getDeviceHardwareId_;
    TavrinSim_GetHidInterfacePath_Fn getHidInterfacePath_;
    TavrinSim_OpenHid_Fn openHid_;
    TavrinSim_CloseHid_Fn closeHid_;
    TavrinSim_GetHidAttributes_Fn getHidAttributes_;
    TavrinSim_GetHidCaps_Fn getHidCaps_;
    TavrinSim_SetOutputReport_Fn setOutputReport_;
    TavrinSim_GetInputReport_Fn getInputReport_;
    DriverSide driver_;
};

}  // namespace tavrin
