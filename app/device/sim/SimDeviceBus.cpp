#include "app/device/sim/SimDeviceBus.h"

#include <algorithm>

namespace tavrin {
namespace {

template <class Function>
Function Find(DynamicLibrary& library, const char* name) {
    return reinterpret_cast<Function>(library.Symbol(name));
}

constexpr uint32_t kTextCapacity = 512;

// Reads list item `index` of a text list of the bus face; false past its end.
template <class Function>
bool ReadListText(Function function, uint32_t index, std::wstring& text) {
    if (function == nullptr) return false;
    std::wstring buffer(kTextCapacity, L'\0');
    if (function(index, buffer.data(), kTextCapacity) != 0) return false;
    text.assign(buffer.c_str());
    return true;
}

}  // namespace

SimDeviceBus::SimDeviceBus(DynamicLibrary& library)
    : getDeviceHardwareId_(
          Find<TavrinSim_GetDeviceHardwareId_Fn>(library, "TavrinSim_GetDeviceHardwareId")),
      getHidInterfacePath_(
          Find<TavrinSim_GetHidInterfacePath_Fn>(library, "TavrinSim_GetHidInterfacePath")),
      openHid_(Find<TavrinSim_OpenHid_Fn>(library, "TavrinSim_OpenHid")),
      closeHid_(Find<TavrinSim_CloseHid_Fn>(library, "TavrinSim_CloseHid")),
      getHidAttributes_(Find<TavrinSim_GetHidAttributes_Fn>(library, "TavrinSim_GetHidAttributes")),
      getHidCaps_(Find<TavrinSim_GetHidCaps_Fn>(library, "TavrinSim_GetHidCaps")),
      setOutputReport_(Find<TavrinSim_SetOutputReport_Fn>(library, "TavrinSim_SetOutputReport")),
      getInputReport_(Find<TavrinSim_GetInputReport_Fn>(library, "TavrinSim_GetInputReport")),
      driver_(library) {}

bool SimDeviceBus::PresentHardwareIds(std::vector<std::wstring>& hardwareIds) {
    if (getDeviceHardwareId_ == nullptr) return false;
    std::wstring id;
    for (uint32_t index = 0; ReadListText(getDeviceHardwareId_, index, id); ++index) {
        hardwareIds.push_back(id);
    }
    return true;
}

bool SimDeviceBus::InterfacePaths(std::vector<std::wstring>& paths) {
    if (getHidInterfacePath_ == nullptr) return false;
    std::wstring path;
    for (uint32_t index = 0; ReadListText(getHidInterfacePath_, index, path); ++index) {
        paths.push_back(path);
    }
    return true;
}

DeviceHandle SimDeviceBus::Open(const std::wstring& path) {
    uint32_t handle = 0;
    if (openHid_ == nullptr || openHid_(path.c_str(), &handle) != 0) return kNoDeviceHandle;
    return handle;
}

void SimDeviceBus::Close(DeviceHandle handle) {
    if (closeHid_ != nullptr && handle != kNoDeviceHandle) {
        closeHid_(static_cast<uint32_t>(handle));
    }
}

bool SimDeviceBus::Attributes(DeviceHandle handle, uint16_t& vendorId, uint16_t& productId) {
    return getHidAttributes_ != nullptr &&
           getHidAttributes_(static_cast<uint32_t>(handle), &vendorId, &productId) == 0;
}

bool SimDeviceBus::Capabilities(DeviceHandle handle, uint16_t& outputLength,
                                uint16_t& inputLength) {
    return getHidCaps_ != nullptr &&
           getHidCaps_(static_cast<uint32_t>(handle), &outputLength, &inputLength) == 0;
}

bool SimDeviceBus::SetOutputReport(DeviceHandle handle, const std::vector<uint8_t>& report) {
    return setOutputReport_ != nullptr &&
           setOutputReport_(static_cast<uint32_t>(handle), report.data(),
                            static_cast<uint32_t>(report.size())) == 0;
}

bool SimDeviceBus::GetInputReport(DeviceHandle handle, std::vector<uint8_t>& report) {
    return getInputReport_ != nullptr &&
           getInputReport_(static_cast<uint32_t>(handle), report.data(),
                           static_cast<uint32_t>(report.size())) == 0;
}

SimDeviceBus::DriverSide::DriverSide(DynamicLibrary& library)
    : open_(Find<TavrinSim_OpenDriver_Fn>(library, "TavrinSim_OpenDriver")),
      close_(Find<TavrinSim_CloseDriver_Fn>(library, "TavrinSim_CloseDriver")),
      control_(Find<TavrinSim_DriverControl_Fn>(library, "TavrinSim_DriverControl")) {}

DeviceHandle SimDeviceBus::DriverSide::Open(const std::wstring& path) {
    uint32_t handle = 0;
    if (open_ == nullptr || open_(path.c_str(), &handle) != 0) return kNoDeviceHandle;
    return handle;
}

void SimDeviceBus::DriverSide::Close(DeviceHandle handle) {
    if (close_ != nullptr && handle != kNoDeviceHandle) close_(static_cast<uint32_t>(handle));
}

bool SimDeviceBus::DriverSide::Control(DeviceHandle handle, uint32_t code,
                                       const std::vector<uint8_t>& input,
                                       std::vector<uint8_t>& output) {
    if (control_ == nullptr) return false;
    uint32_t returned = 0;
    if (control_(static_cast<uint32_t>(handle), code, input.data(),
                 static_cast<uint32_t>(input.size()), output.empty() ? nullptr : output.data(),
                 static_cast<uint32_t>(output.size()), &returned) != 0) {
        return false;
    }
    output.resize(std::min<size_t>(returned, output.size()));
    return true;
}

}  // namespace tavrin
