#include "app/device/DeviceIo.h"

#include <algorithm>
#include <cwchar>

#include "common/ByteOrder.h"

namespace tavrin {

// clang-format off
const std::array<uint8_t, 256> kDescriptorTemplate = [] {
    std::array<uint8_t, 256> bytes{};
    const uint8_t head[0x22] = {
        0xc7, 0x61, 0xfc, 0x17, 0x15, 0xc8, 0xc8, 0x3a, 0x3a, 0x3e, 0x7f, 0x80, 0x1a, 0x40, 0x3d, 0x07,
        0xbf, 0xbf, 0xbf, 0xbf, 0x08, 0xbf, 0xbf, 0xff, 0x76, 0x0c, 0x1b, 0x16, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00};
    const char product[] = "USB PnP Audio Device";  // 0x22, zero-filled to 0x3D
    const char maker[] = "Vantrel Co.,Ltd.";        // 0x3E, zero-filled to 0x59
    const uint8_t tail[0xA6] = {
                                            0x00, 0x01, 0x01, 0x00, 0x18, 0xd7,
        0xe8, 0x28, 0xe9, 0xdd, 0x17, 0x22, 0xc8, 0x00, 0x58, 0x1b, 0x02, 0x00, 0x02, 0x00, 0x9c, 0xff,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x15, 0x74, 0x6f, 0x20, 0x0a, 0xaf, 0x05, 0x10, 0x10, 0x81,
        0x22, 0x13, 0x10, 0x08, 0x09, 0x09, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0x7b, 0x3f, 0x3f, 0xff, 0x3f, 0x7f, 0x00, 0x90, 0x00, 0x00, 0x02, 0x00, 0x50, 0x29, 0x4a,
        0x05, 0x01, 0xf8, 0x4e, 0x6c, 0x5c, 0xec, 0x20, 0x50, 0x0d, 0xfe, 0x18, 0x15, 0x18, 0x0d, 0xfa,
        0x18, 0x1d, 0x18, 0x0d, 0xfa, 0x18, 0x15, 0x18, 0x80, 0xf8, 0x41, 0x80, 0xb8, 0xa0, 0x81, 0xa1,
        0xb0, 0xb1, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0x03, 0x2c, 0x2d, 0x04, 0x2e, 0x2f, 0x39, 0x05,
        0x06, 0x07, 0xba, 0xbb, 0xff, 0xff, 0xff, 0xa3, 0xa3, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0x9f, 0x77, 0x77, 0x77, 0x07, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    std::copy(std::begin(head), std::end(head), bytes.begin());
    std::copy(product, product + sizeof(product) - 1, bytes.begin() + 0x22);
    std::copy(maker, maker + sizeof(maker) - 1, bytes.begin() + 0x3E);
    std::copy(std::begin(tail), std::end(tail), bytes.begin() + 0x5A);
    return bytes;
}();
// clang-format on

namespace {

// Shortest report that carries the operation bytes 0..4.
constexpr size_t kOperationLength = 5;

std::vector<uint8_t> OperationReport(size_t length, uint8_t byte2, uint8_t byte3, uint8_t byte4) {
    std::vector<uint8_t> report(length, 0);
    report[0] = 0;  // report ID
    report[1] = kHidCommandByte;
    report[2] = byte2;
    report[3] = byte3;
    report[4] = byte4;
    return report;
}

void PutLittleEndian16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    WriteLittleEndian16(bytes.data() + at, value);
}

void PutLittleEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    WriteLittleEndian32(bytes.data() + at, value);
}

uint32_t GetLittleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return ReadLittleEndian32(bytes.data() + at);
}

// Closes a handle on every path out of an operation.
class HandleGuard {
public:
    HandleGuard(HidBus& hid, DeviceHandle handle) : hid_(hid), handle_(handle) {}
    ~HandleGuard() {
        if (handle_ != kNoDeviceHandle) hid_.Close(handle_);
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    DeviceHandle Get() const { return handle_; }

private:
    HidBus& hid_;
    DeviceHandle handle_;
};

}  // namespace

DeviceIo::DeviceIo(HidBus& hid, DriverBus& driver) : hid_(hid), driver_(driver) {}

// ---- filter driver ----

int DeviceIo::ProbeAudioExtension(uint16_t vendorId, uint16_t productId) {
    std::lock_guard<std::mutex> lock(driverMutex_);
    wchar_t path[64];
    std::swprintf(path, 64, L"\\\\.\\Class#UsbAudioExtension&%.4X&%.4X",
                  static_cast<unsigned>(vendorId), static_cast<unsigned>(productId));
    driverPath_ = path;
    const DeviceHandle handle = driver_.Open(driverPath_);
    if (handle == kNoDeviceHandle) return 1;
    driver_.Close(handle);
    return 0;
}

// 1 the path does not open (also before any probe), 2 the request failed, else 0.
int DeviceIo::DriverRequest(uint32_t code, const std::vector<uint8_t>& input,
                            std::vector<uint8_t>& output) {
    std::lock_guard<std::mutex> lock(driverMutex_);
    if (driverPath_.empty()) return 1;
    const DeviceHandle handle = driver_.Open(driverPath_);
    if (handle == kNoDeviceHandle) return 1;
    const bool sent = driver_.Control(handle, code, input, output);
    driver_.Close(handle);
    return sent ? 0 : 2;
}

int DeviceIo::QueryDriverValue(uint16_t selector, uint32_t value, uint32_t* reply) {
    std::vector<uint8_t> request(8, 0);
    PutLittleEndian16(request, 0, 1);
    PutLittleEndian16(request, 2, selector);
    PutLittleEndian32(request, 4, value);
    std::vector<uint8_t> answer(8, 0);
    const int result = DriverRequest(kIoctlQueryDriverValue, request, answer);
    if (result != 0) return result;
    if (answer.empty()) return 3;
    if (reply != nullptr) *reply = answer.size() >= 8 ? GetLittleEndian32(answer, 4) : 0;
    return 0;
}

int DeviceIo::QueryDriverState(uint32_t* reply) {
    std::vector<uint8_t> request(8, 0);
    PutLittleEndian32(request, 0, 1);
    std::vector<uint8_t> answer(8, 0);
    const int result = DriverRequest(kIoctlQueryDriverState, request, answer);
    if (result == 0 && reply != nullptr) {
        *reply = answer.size() >= 8 ? GetLittleEndian32(answer, 4) : 0;
    }
    return result;
}

int DeviceIo::SendDriverSelect(uint32_t value) {
    std::vector<uint8_t> request(4, 0);
    PutLittleEndian32(request, 0, value);
    std::vector<uint8_t> none;
    return DriverRequest(kIoctlDriverSelect, request, none);
}

int DeviceIo::SendDriverEnable(uint32_t value) {
    std::vector<uint8_t> request(4, 0);
    PutLittleEndian32(request, 0, value);
    std::vector<uint8_t> none;
    return DriverRequest(kIoctlDriverEnable, request, none);
}

// ---- HID interface ----

DeviceHandle DeviceIo::OpenHidDevice(uint16_t vendorId, uint16_t productId) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    return OpenHidLocked(vendorId, productId);
}

DeviceHandle DeviceIo::OpenHidLocked(uint16_t vendorId, uint16_t productId) {
    std::vector<std::wstring> paths;
    if (!hid_.InterfacePaths(paths)) return kNoDeviceHandle;
    for (const std::wstring& path : paths) {
        const DeviceHandle handle = hid_.Open(path);
        if (handle == kNoDeviceHandle) continue;  // gone since the enumeration, or busy
        uint16_t foundVendor = 0;
        uint16_t foundProduct = 0;
        if (hid_.Attributes(handle, foundVendor, foundProduct) && foundVendor == vendorId &&
            foundProduct == productId) {
            return handle;
        }
        hid_.Close(handle);
    }
    return kNoDeviceHandle;
}

void DeviceIo::CloseHidDevice(DeviceHandle handle) {
    if (handle == kNoDeviceHandle) return;
    std::lock_guard<std::mutex> lock(hidMutex_);
    hid_.Close(handle);
}

uint16_t DeviceIo::ReportLengths(DeviceHandle handle, ReportDirection direction) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    return ReportLengthLocked(handle, direction);
}

uint16_t DeviceIo::ReportLengthLocked(DeviceHandle handle, ReportDirection direction) {
    uint16_t output = 0;
    uint16_t input = 0;
    if (!hid_.Capabilities(handle, output, input)) return 0;
    return direction == ReportDirection::Output ? output : input;
}

// A report shorter than its five operation bytes cannot be built: treated as having no usable
// length rather than sending a cut report.
int DeviceIo::WriteRegister(DeviceHandle handle, uint16_t address, uint8_t value) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    const uint16_t length = ReportLengthLocked(handle, ReportDirection::Output);
    if (length < kOperationLength) return 1;
    const auto low = static_cast<uint8_t>(address & 0xFF);
    const auto high = static_cast<uint8_t>(address >> 8);
    if (!hid_.SetOutputReport(handle, OperationReport(length, low, high, 0x10))) return 2;
    if (!hid_.SetOutputReport(handle, OperationReport(length, value, 0x01, 0x20))) return 3;
    return 0;
}

int DeviceIo::ReadRegister(DeviceHandle handle, uint16_t address, uint8_t& value) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    const uint16_t outputLength = ReportLengthLocked(handle, ReportDirection::Output);
    if (outputLength < kOperationLength) return 1;
    const auto low = static_cast<uint8_t>(address & 0xFF);
    const auto high = static_cast<uint8_t>(address >> 8);
    if (!hid_.SetOutputReport(handle, OperationReport(outputLength, low, high, 0x10))) return 2;
    const uint16_t inputLength = ReportLengthLocked(handle, ReportDirection::Input);
    if (inputLength == 0) return 3;
    std::vector<uint8_t> input(inputLength, 0);
    // An input report too short to hold the value byte counts as a failed read.
    if (!hid_.GetInputReport(handle, input) || input.size() < 3) return 4;
    value = input[2];
    return 0;
}

int DeviceIo::ReadGpioBits(DeviceHandle handle, GpioLines& lines) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    return ReadGpioBitsLocked(handle, lines);
}

int DeviceIo::ReadGpioBitsLocked(DeviceHandle handle, GpioLines& lines) {
    const uint16_t outputLength = ReportLengthLocked(handle, ReportDirection::Output);
    if (outputLength == 0) return 1;
    if (outputLength <= 4) return 2;
    if (!hid_.SetOutputReport(handle, OperationReport(outputLength, 0x00, 0x00, 0x30))) return 3;
    const uint16_t inputLength = ReportLengthLocked(handle, ReportDirection::Input);
    if (inputLength == 0) return 4;
    if (inputLength <= 4) return 5;
    std::vector<uint8_t> input(inputLength, 0);
    if (!hid_.GetInputReport(handle, input) || input.size() < 4) return 6;
    for (size_t line = 0; line < kGpioLines; ++line) {
        lines[line] = (input[2 + line / 8] >> (line % 8)) & 1;
    }
    return 0;
}

int DeviceIo::WriteGpioBits(DeviceHandle handle, const GpioLines& lines) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    return WriteGpioBitsLocked(handle, lines);
}

int DeviceIo::WriteGpioBitsLocked(DeviceHandle handle, const GpioLines& lines) {
    const uint16_t length = ReportLengthLocked(handle, ReportDirection::Output);
    if (length == 0) return 1;
    if (length <= 4) return 2;
    uint8_t low = 0;
    for (size_t line = 0; line < 8; ++line) low |= static_cast<uint8_t>((lines[line] & 1) << line);
    const auto high = static_cast<uint8_t>(0x3C | (lines[8] & 1) | ((lines[9] & 1) << 1));
    if (!hid_.SetOutputReport(handle, OperationReport(length, low, 0xFF, high))) return 3;
    return 0;
}

int DeviceIo::SendCommitReport(DeviceHandle handle) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    return SendCommitReportLocked(handle);
}

int DeviceIo::SendCommitReportLocked(DeviceHandle handle) {
    const uint16_t length = ReportLengthLocked(handle, ReportDirection::Output);
    if (length == 0) return 1;
    if (!hid_.SetOutputReport(handle, std::vector<uint8_t>(length, 0))) return 2;
    return 0;
}

int DeviceIo::SendLedSwitch(uint16_t vendorId, uint16_t productId, bool on) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    HandleGuard device(hid_, OpenHidLocked(vendorId, productId));
    if (device.Get() == kNoDeviceHandle) return 1;
    GpioLines lines{};
    lines[0] = on ? 1 : 0;
    if (WriteGpioBitsLocked(device.Get(), lines) != 0) return 2;
    if (SendCommitReportLocked(device.Get()) != 0) return 3;
    return 0;
}

int DeviceIo::SendLedIndicator(uint16_t vendorId, uint16_t productId, int flag) {
    std::lock_guard<std::mutex> lock(hidMutex_);
    HandleGuard device(hid_, OpenHidLocked(vendorId, productId));
    if (device.Get() == kNoDeviceHandle) return 1;
    GpioLines lines{};
    const int result = flag != 0 ? ReadGpioBitsLocked(device.Get(), lines)
                                 : WriteGpioBitsLocked(device.Get(), lines);
    if (result != 0) return 2;
    if (SendCommitReportLocked(device.Get()) != 0) return 3;
    return 0;
}

}  // namespace tavrin
