#pragma once
// A device side with knobs and recorders: present devices, HID interfaces that answer the
// register protocol, and a filter driver device.
#include <map>
#include <optional>
#include <set>

#include "ports/DeviceBus.h"

namespace tavrin::test {

class FakeDeviceEnumeration final : public DeviceEnumeration {
public:
    bool PresentHardwareIds(std::vector<std::wstring>& ids) override {
        ++enumerations;
        if (fails) return false;
        ids.insert(ids.end(), hardwareIds.begin(), hardwareIds.end());
        return true;
    }
    std::vector<std::wstring> hardwareIds;
    bool fails = false;
    int enumerations = 0;
};

struct FakeHidInterface {
    std::wstring path;
    uint16_t vendorId = 0x2B7A;
    uint16_t productId = 0x5801;
    bool opens = true;  // false: listed, but gone by the time it is opened
};

class FakeHidBus final : public HidBus {
public:
    bool InterfacePaths(std::vector<std::wstring>& paths) override {
        for (const auto& item : interfaces) paths.push_back(item.path);
        return true;
    }
    DeviceHandle Open(const std::wstring& path) override {
        for (size_t i = 0; i < interfaces.size(); ++i) {
            if (interfaces[i].path != path || !interfaces[i].opens) continue;
            const DeviceHandle handle = nextHandle++;
            open[handle] = i;
            ++opened;
            return handle;
        }
        return kNoDeviceHandle;
    }
    void Close(DeviceHandle handle) override {
        if (open.erase(handle) == 0) ++badCloses;
    }
    bool Attributes(DeviceHandle handle, uint16_t& vendorId, uint16_t& productId) override {
        auto found = open.find(handle);
        if (found == open.end()) return false;
        vendorId = interfaces[found->second].vendorId;
        productId = interfaces[found->second].productId;
        return true;
    }
    bool Capabilities(DeviceHandle handle, uint16_t& outputLength, uint16_t& inputLength) override {
        if (open.count(handle) == 0 || !capabilitiesReadable) return false;
        outputLength = this->outputLength;
        inputLength = this->inputLength;
        return true;
    }
    bool SetOutputReport(DeviceHandle handle, const std::vector<uint8_t>& report) override {
        if (open.count(handle) == 0) return false;
        sent.push_back(report);
        if (refuseOutputAt && sent.size() == *refuseOutputAt) return false;
        Answer(report);
        return true;
    }
    bool GetInputReport(DeviceHandle handle, std::vector<uint8_t>& report) override {
        if (open.count(handle) == 0 || refuseInput) return false;
        std::fill(report.begin(), report.end(), 0);
        for (size_t i = 0; i < report.size() && i < pendingInput.size(); ++i) {
            report[i] = pendingInput[i];
        }
        ++inputsRead;
        return true;
    }

    // The device's side of the register protocol.
    void Answer(const std::vector<uint8_t>& report) {
        if (report.size() < 5 || report[1] != 0x60) return;
        if (report[4] == 0x10) {
            address = static_cast<uint16_t>(report[2] | (report[3] << 8));
            pendingInput = {0, 0x60, registers[address], 0, 0};
        } else if (report[4] == 0x20 && report[3] == 0x01) {
            registers[address] = report[2];
        } else if (report[4] == 0x30) {
            pendingInput = {0, 0x60, gpioLow, gpioHigh, 0};
        }
    }

    std::vector<FakeHidInterface> interfaces{{L"\\\\?\\hid#vid_2b7a&pid_5801&mi_03#1"}};
    uint16_t outputLength = 65;
    uint16_t inputLength = 65;
    bool capabilitiesReadable = true;
    std::optional<size_t> refuseOutputAt;  // 1-based number of the report to refuse
    bool refuseInput = false;
    std::vector<std::vector<uint8_t>> sent;
    std::map<uint16_t, uint8_t> registers;
    uint8_t gpioLow = 0;
    uint8_t gpioHigh = 0;
    std::vector<uint8_t> pendingInput;
    uint16_t address = 0;
    std::map<DeviceHandle, size_t> open;
    DeviceHandle nextHandle = 100;
    int opened = 0;
    int badCloses = 0;
    int inputsRead = 0;
};

struct DriverRequestRecord {
    uint32_t code;
    std::vector<uint8_t> input;
};

class FakeDriverBus final : public DriverBus {
public:
    DeviceHandle Open(const std::wstring& path) override {
        openedPaths.push_back(path);
        if (presentPaths.count(path) == 0) return kNoDeviceHandle;
        ++openCount;
        return 7;
    }
    void Close(DeviceHandle) override { --openCount; }
    bool Control(DeviceHandle, uint32_t code, const std::vector<uint8_t>& input,
                 std::vector<uint8_t>& output) override {
        requests.push_back({code, input});
        if (fails) return false;
        if (reply) {
            output = *reply;
        } else {
            output.resize(std::min(output.size(), input.size()));
            std::copy_n(input.begin(), output.size(), output.begin());
        }
        return true;
    }

    std::set<std::wstring> presentPaths{L"\\\\.\\Class#UsbAudioExtension&2B7A&5801"};
    std::vector<std::wstring> openedPaths;
    std::vector<DriverRequestRecord> requests;
    std::optional<std::vector<uint8_t>> reply;
    bool fails = false;
    int openCount = 0;
};

}  // namespace tavrin::test
