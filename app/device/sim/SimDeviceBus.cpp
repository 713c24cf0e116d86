#include "app/device/sim/SimDeviceBus.h"

#include <algorithm>

namespace tavrin {
namespace {

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

SimDeviceBus::SimDeviceBus(DynamicLibrary& library) : face_(library) {}

bool SimDeviceBus::PresentHardwareIds(std::vector<std::wstring>& hardwareIds) {
    const auto list = Resolve().getDeviceHardwareId;
    if (list == nullptr) return false;
    std::wstring id;
    for (uint32_t index = 0; ReadListText(list, index, id); ++index) hardwareIds.push_back(id);
    return true;
}

bool SimDeviceBus::InterfacePaths(std::vector<std::wstring>& paths) {
    const auto list = Resolve().getHidInterfacePath;
    if (list == nullptr) return false;
    std::wstring path;
    for (uint32_t index = 0; ReadListText(list, index, path); ++index) paths.push_back(path);
    return true;
}

DeviceHandle SimDeviceBus::Open(const std::wstring& path) {
    const auto open = Resolve().openHid;
    uint32_t handle = 0;
    if (open == nullptr || open(path.c_str(), &handle) != 0) return kNoDeviceHandle;
    return handle;
}

void SimDeviceBus::Close(DeviceHandle handle) {
    const auto close = Resolve().closeHid;
    if (close != nullptr && handle != kNoDeviceHandle) close(static_cast<uint32_t>(handle));
}

bool SimDeviceBus::Attributes(DeviceHandle handle, uint16_t& vendorId, uint16_t& productId) {
    const auto attributes = Resolve().getHidAttributes;
    return attributes != nullptr &&
           attributes(static_cast<uint32_t>(handle), &vendorId, &productId) == 0;
}

bool SimDeviceBus::Capabilities(DeviceHandle handle, uint16_t& outputLength,
                                uint16_t& inputLength) {
    const auto capabilities = Resolve().getHidCaps;
    return capabilities != nullptr &&
           capabilities(static_cast<uint32_t>(handle), &outputLength, &inputLength) == 0;
}

bool SimDeviceBus::SetOutputReport(DeviceHandle handle, const std::vector<uint8_t>& report) {
    const auto send = Resolve().setOutputReport;
    return send != nullptr && send(static_cast<uint32_t>(handle), report.data(),
                                   static_cast<uint32_t>(report.size())) == 0;
}

bool SimDeviceBus::GetInputReport(DeviceHandle handle, std::vector<uint8_t>& report) {
    const auto receive = Resolve().getInputReport;
    return receive != nullptr && receive(static_cast<uint32_t>(handle), report.data(),
                                         static_cast<uint32_t>(report.size())) == 0;
}

DeviceHandle SimDeviceBus::DriverSide::Open(const std::wstring& path) {
    const auto open = bus_.Resolve().openDriver;
    uint32_t handle = 0;
    if (open == nullptr || open(path.c_str(), &handle) != 0) return kNoDeviceHandle;
    return handle;
}

void SimDeviceBus::DriverSide::Close(DeviceHandle handle) {
    const auto close = bus_.Resolve().closeDriver;
    if (close != nullptr && handle != kNoDeviceHandle) close(static_cast<uint32_t>(handle));
}

bool SimDeviceBus::DriverSide::Control(DeviceHandle handle, uint32_t code,
                                       const std::vector<uint8_t>& input,
                                       std::vector<uint8_t>& output) {
    const auto control = bus_.Resolve().driverControl;
    if (control == nullptr) return false;
    uint32_t returned = 0;
    if (control(static_cast<uint32_t>(handle), code, input.data(),
                static_cast<uint32_t>(input.size()), output.empty() ? nullptr : output.data(),
                static_cast<uint32_t>(output.size()), &returned) != 0) {
        return false;
    }
    output.resize(std::min<size_t>(returned, output.size()));
    return true;
}

}  // namespace tavrin
