#pragma once
// The two direct paths to the device besides the vendor SDK: control requests to the audio
// extension filter driver and HID reports with the command byte 0x60.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "ports/DeviceBus.h"

namespace tavrin {

inline constexpr uint32_t kIoctlQueryDriverValue = 0x00223028;
inline constexpr uint32_t kIoctlQueryDriverState = 0x00223190;
inline constexpr uint32_t kIoctlDriverSelect = 0x08232008;
inline constexpr uint32_t kIoctlDriverEnable = 0x08232000;

inline constexpr uint8_t kHidCommandByte = 0x60;
inline constexpr size_t kGpioLines = 10;
using GpioLines = std::array<uint8_t, kGpioLines>;

// The first 256 bytes of the configuration image.
extern const std::array<uint8_t, 256> kDescriptorTemplate;

enum class ReportDirection { Output, Input };

class DeviceIo {
public:
    DeviceIo(HidBus& hid, DriverBus& driver);

    // Driver device: 0 it opens (closed again at once), 1 it does not. Remembers the path that
    // every later driver request opens.
    int ProbeAudioExtension(uint16_t vendorId, uint16_t productId);
    const std::wstring& DriverPath() const { return driverPath_; }

    int QueryDriverValue(uint16_t selector, uint32_t value, uint32_t* reply = nullptr);
    int QueryDriverState(uint32_t* reply = nullptr);
    int SendDriverSelect(uint32_t value);
    int SendDriverEnable(uint32_t value);

    // The first present HID interface with this VID and PID; the caller closes it.
    DeviceHandle OpenHidDevice(uint16_t vendorId, uint16_t productId);
    void CloseHidDevice(DeviceHandle handle);
    // 0 when the capabilities cannot be read.
    uint16_t ReportLengths(DeviceHandle handle, ReportDirection direction);

    int WriteRegister(DeviceHandle handle, uint16_t address, uint8_t value);
    int ReadRegister(DeviceHandle handle, uint16_t address, uint8_t& value);
    int ReadGpioBits(DeviceHandle handle, GpioLines& lines);
    int WriteGpioBits(DeviceHandle handle, const GpioLines& lines);
    int SendCommitReport(DeviceHandle handle);

    // The main window's LED indicator, each on a handle of its own.
    int SendLedSwitch(uint16_t vendorId, uint16_t productId, bool on);
    int SendLedIndicator(uint16_t vendorId, uint16_t productId, int flag);

private:
    int DriverRequest(uint32_t code, const std::vector<uint8_t>& input,
                      std::vector<uint8_t>& output);
    DeviceHandle OpenHidLocked(uint16_t vendorId, uint16_t productId);
    uint16_t ReportLengthLocked(DeviceHandle handle, ReportDirection direction);
    int ReadGpioBitsLocked(DeviceHandle handle, GpioLines& lines);
    int WriteGpioBitsLocked(DeviceHandle handle, const GpioLines& lines);
    int SendCommitReportLocked(DeviceHandle handle);

    HidBus& hid_;
    DriverBus& driver_;
    // Several threads reach the device: one lock for the HID interface, one for the driver.
    std::mutex hidMutex_;
    std::mutex driverMutex_;
    std::wstring driverPath_;
};

// The HID interface of the device for one operation: opened by VID and PID, closed on every
// path out of the operation. Nothing is sent when it did not open.
class HidOperation {
public:
    HidOperation(DeviceIo& io, uint16_t vendorId, uint16_t productId)
        : io_(&io), handle_(io.OpenHidDevice(vendorId, productId)) {}
    ~HidOperation() {
        if (handle_ != kNoDeviceHandle) io_->CloseHidDevice(handle_);
    }
    HidOperation(HidOperation&& other) noexcept : io_(other.io_), handle_(other.handle_) {
        other.handle_ = kNoDeviceHandle;
    }
    HidOperation(const HidOperation&) = delete;
    HidOperation& operator=(const HidOperation&) = delete;
    HidOperation& operator=(HidOperation&&) = delete;

    bool IsOpen() const { return handle_ != kNoDeviceHandle; }
    DeviceHandle Handle() const { return handle_; }
    // The register protocol on this handle: true on success.
    bool Read(uint16_t address, uint8_t& value) {
        return io_->ReadRegister(handle_, address, value) == 0;
    }
    bool Write(uint16_t address, uint8_t value) {
        return io_->WriteRegister(handle_, address, value) == 0;
    }
    bool Commit() { return io_->SendCommitReport(handle_) == 0; }

private:
    DeviceIo* io_;
    DeviceHandle handle_;
};

}  // namespace tavrin
