#include "sim/HeadsetSimulator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sim/ControlChannel.h"
#include "sim/VendorSdkNames.h"

namespace tavrin::sim {
namespace {

constexpr uint8_t kCommandByte = 0x60;
constexpr uint8_t kOpAddress = 0x10;
constexpr uint8_t kOpData = 0x20;
constexpr uint8_t kOpGpioRead = 0x30;
constexpr uint8_t kOpGpioWrite = 0x3C;  // the low two bits carry lines 8 and 9

// The other maker's HID interface: a mouse that takes no output reports.
constexpr wchar_t kMousePath[] =
    L"\\\\?\\hid#vid_fff1&pid_c077#7&1b2c3d4e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr uint16_t kMouseVid = 0xFFF1;
constexpr uint16_t kMousePid = 0xC077;
constexpr uint16_t kMouseInputLength = 8;

constexpr wchar_t kBuiltInMicName[] = L"Microphone (High Definition Audio Device)";
constexpr wchar_t kBuiltInMicPath[] =
    L"\\\\?\\HDAUDIO#FUNC_01&VEN_FFF3&DEV_0269#4&2a1b3c4d&0&0001"
    L"#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\intmic";
constexpr wchar_t kHeadsetMicName[] = L"Microphone (USB PnP Audio Device)";

constexpr std::array<std::string_view, 20> kBusEntryPoints = {
    "TavrinSim_GetDeviceHardwareId",
    "TavrinSim_GetHidInterfacePath",
    "TavrinSim_OpenHid",
    "TavrinSim_CloseHid",
    "TavrinSim_GetHidAttributes",
    "TavrinSim_GetHidCaps",
    "TavrinSim_SetOutputReport",
    "TavrinSim_GetInputReport",
    "TavrinSim_OpenDriver",
    "TavrinSim_CloseDriver",
    "TavrinSim_DriverControl",
    "TavrinSim_GetCaptureEndpoint",
    "TavrinSim_GetCaptureVolumeStep",
    "TavrinSim_SetCaptureVolumeScalar",
    "TavrinSim_GetCaptureMute",
    "TavrinSim_SetCaptureMute",
    "TavrinSim_GetCaptureAutoGain",
    "TavrinSim_SetCaptureAutoGain",
    "TavrinSim_GetCapturePeak",
    "TavrinSim_ReadCaptureSamples",
};

uint32_t ReadLe16(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8;
}

uint32_t ReadLe32(const uint8_t* bytes) {
    return ReadLe16(bytes) | ReadLe16(bytes + 2) << 16;
}

void WriteLe32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::wstring HexWide(uint32_t value, bool upper) {
    std::string text = Hex(value, 4);
    if (!upper) {
        for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
    }
    return FromUtf8(text);
}

// Copies text with its terminator; the capacity counts characters.
int32_t CopyText(const std::wstring& text, wchar_t* buffer, uint32_t capacity) {
    if (buffer == nullptr || capacity < text.size() + 1) return kBusBufferTooSmall;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = L'\0';
    return 0;
}

std::string Quoted(const wchar_t* text) {
    return text == nullptr ? "null" : "\"" + ToUtf8(text) + "\"";
}

}  // namespace

HeadsetSimulator::Guard::~Guard() {
    std::vector<std::thread> retired;
    retired.swap(owner_.retired_);
    std::vector<std::pair<bool, std::wstring>> announcements;
    announcements.swap(owner_.announcements_);
    const DeviceAnnouncer announcer = owner_.announcer_;
    lock_.unlock();
    for (const auto& [arrival, path] : announcements) announcer(arrival, path);
    for (std::thread& thread : retired) {
        // A callback that stops the scan cannot wait for its own thread; it ends by itself.
        if (thread.get_id() == std::this_thread::get_id()) {
            thread.detach();
        } else {
            thread.join();
        }
    }
}

HeadsetSimulator::HeadsetSimulator() = default;

HeadsetSimulator::~HeadsetSimulator() {
    // The channel first: a line it runs could start the scan again.
    control_.reset();
    Guard guard(*this);
    StopScanner();
}

void HeadsetSimulator::SetDeviceAnnouncer(DeviceAnnouncer announcer) {
    Guard guard(*this);
    announcer_ = announcer;
}

void HeadsetSimulator::FollowControlFile(const std::wstring& path) {
    control_.reset();
    if (!path.empty()) control_ = std::make_unique<ControlChannel>(*this, path);
}

// ---- names and lists ----

std::wstring HeadsetSimulator::AudioHardwareId() {
    if (!bus_.audioHardwareId.empty()) return bus_.audioHardwareId;
    const ChipState& state = chip_.State();
    return L"USB\\VID_" + HexWide(state.vendorId, true) + L"&PID_" +
           HexWide(state.productId, true) + L"&REV_0100&MI_00";
}

std::wstring HeadsetSimulator::HidPath() {
    const ChipState& state = chip_.State();
    return L"\\\\?\\hid#vid_" + HexWide(state.vendorId, false) + L"&pid_" +
           HexWide(state.productId, false) +
           L"&mi_03#7&2f3a1b4c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

std::wstring HeadsetSimulator::DriverPath() {
    const ChipState& state = chip_.State();
    return L"\\\\.\\Class#UsbAudioExtension&" + HexWide(state.vendorId, true) + L"&" +
           HexWide(state.productId, true);
}

std::vector<std::wstring> HeadsetSimulator::DeviceList() {
    std::vector<std::wstring> devices = bus_.otherDevices;
    if (bus_.plugged) {
        const ChipState& state = chip_.State();
        devices.push_back(AudioHardwareId());
        devices.push_back(L"USB\\VID_" + HexWide(state.vendorId, true) + L"&PID_" +
                          HexWide(state.productId, true) + L"&REV_0100&MI_03");
    }
    return devices;
}

std::vector<HeadsetSimulator::HidInterface> HeadsetSimulator::HidList() {
    std::vector<HidInterface> list = {{kMousePath, false}};
    if (bus_.plugged) list.push_back({HidPath(), true});
    return list;
}

// ---- faults ----

bool HeadsetSimulator::TakeFault(std::string_view name, int32_t& result) {
    const auto found = failures_.find(name);
    if (found == failures_.end() || found->second.remaining == 0) return false;
    result = found->second.result;
    if (--found->second.remaining == 0) failures_.erase(found);
    return true;
}

std::optional<std::string> HeadsetSimulator::KnownEntryPoint(std::string_view entryPoint) {
    std::string name(entryPoint);
    const bool sdk = name.rfind("DLLZR_", 0) == 0;
    if (!sdk && name.rfind("TavrinSim_", 0) != 0) name = "TavrinSim_" + name;
    const auto& sdkNames = kVendorSdkEntryPointNames;
    const bool known = sdk ? std::find(sdkNames.begin(), sdkNames.end(), name) != sdkNames.end()
                           : std::find(kBusEntryPoints.begin(), kBusEntryPoints.end(), name) !=
                                 kBusEntryPoints.end();
    if (!known) return std::nullopt;
    return name;
}

void HeadsetSimulator::FailNextLocked(const std::string& name, uint32_t count,
                                      std::optional<int32_t> result) {
    const bool sdk = name.rfind("DLLZR_", 0) == 0;
    const int32_t value = result.value_or(sdk ? kNotSupported : kBusRefused);
    if (count == 0) {
        failures_.erase(name);
    } else {
        failures_[name] = Failure{count, value};
    }
    AddTrace("ctl fail " + name + " next " + std::to_string(count) + " with " +
             std::to_string(value));
}

bool HeadsetSimulator::FailNext(std::string_view entryPoint, uint32_t count,
                                std::optional<int32_t> result) {
    const std::optional<std::string> name = KnownEntryPoint(entryPoint);
    if (!name) return false;
    Guard guard(*this);
    FailNextLocked(*name, count, result);
    return true;
}

void HeadsetSimulator::SetReadback(Switch which, int32_t value, uint32_t count) {
    Guard guard(*this);
    SetReadbackLocked(which, value, count);
}

void HeadsetSimulator::SetReadbackLocked(Switch which, int32_t value, uint32_t count) {
    readbacks_[static_cast<std::size_t>(which)] = {value, count};
    AddTrace(std::string("ctl readback ") + (which == Switch::Eq ? "eq" : "3d") + " " +
             std::to_string(value) + " for " + std::to_string(count));
}

bool HeadsetSimulator::ApplyReadback(Switch which, int32_t& value) {
    auto& [forced, remaining] = readbacks_[static_cast<std::size_t>(which)];
    if (remaining == 0) return false;
    --remaining;
    value = forced;
    return true;
}

void HeadsetSimulator::SetDriverInstalled(bool installed) {
    Guard guard(*this);
    bus_.driverInstalled = installed;
    AddTrace(std::string("ctl driver ") + (installed ? "present" : "absent"));
}

void HeadsetSimulator::SetReportLength(ReportKind kind, uint16_t length) {
    Guard guard(*this);
    (kind == ReportKind::Output ? bus_.outputReportLength : bus_.inputReportLength) = length;
    AddTrace(std::string("ctl reportlength ") + (kind == ReportKind::Output ? "out " : "in ") +
             std::to_string(length));
}

void HeadsetSimulator::VanishHidOnNextOpen() {
    Guard guard(*this);
    bus_.vanishNextOpen = true;
    AddTrace("ctl vanish-hid");
}

// ---- bus face ----

bool HeadsetSimulator::BusFault(const char* name, const std::string& arguments, int32_t& result) {
    if (!TakeFault(std::string("TavrinSim_") + name, result)) return false;
    AddTrace("bus " + std::string(name) + "(" + arguments + ") -> " + std::to_string(result) +
             " (fault)");
    return true;
}

int32_t HeadsetSimulator::BusResult(const char* name, const std::string& arguments, int32_t result,
                                    const std::string& note) {
    AddTrace("bus " + std::string(name) + "(" + arguments + ") -> " + std::to_string(result) +
             (note.empty() ? "" : " " + note));
    return result;
}

HeadsetSimulator::Handle* HeadsetSimulator::FindHandle(uint32_t handle, Handle::Kind kind) {
    const auto found = handles_.find(handle);
    return found == handles_.end() || found->second.kind != kind ? nullptr : &found->second;
}

int32_t HeadsetSimulator::HidHandle(uint32_t handle, Handle*& found) {
    found = FindHandle(handle, Handle::Kind::Hid);
    if (found == nullptr) return kBusNoSuchItem;
    if (found->headset && (found->stale || !bus_.plugged)) return kBusNotPresent;
    return 0;
}

// Enumeration is polled, so it stays out of the trace unless it fails on purpose.
int32_t HeadsetSimulator::GetDeviceHardwareId(uint32_t index, wchar_t* buffer, uint32_t capacity) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("GetDeviceHardwareId", Args("index", index), result)) return result;
    const std::vector<std::wstring> devices = DeviceList();
    if (index >= devices.size()) return kBusNoSuchItem;
    return CopyText(devices[index], buffer, capacity);
}

int32_t HeadsetSimulator::GetHidInterfacePath(uint32_t index, wchar_t* buffer, uint32_t capacity) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("GetHidInterfacePath", Args("index", index), result)) return result;
    const std::vector<HidInterface> list = HidList();
    if (index >= list.size()) return kBusNoSuchItem;
    return CopyText(list[index].path, buffer, capacity);
}

int32_t HeadsetSimulator::OpenHid(const wchar_t* path, uint32_t* handle) {
    Guard guard(*this);
    const std::string arguments = Args("path", Quoted(path));
    int32_t result = 0;
    if (BusFault("OpenHid", arguments, result)) return result;
    if (path == nullptr || handle == nullptr)
        return BusResult("OpenHid", arguments, kBusNoSuchItem);
    std::optional<bool> headset;
    for (const HidInterface& item : HidList()) {
        if (EqualsIgnoringCase(item.path, path)) headset = item.headset;
    }
    if (!headset.has_value()) {
        // A headset path while unplugged is a device that went away, not a wrong name.
        const bool gone = EqualsIgnoringCase(HidPath(), path);
        return BusResult("OpenHid", arguments, gone ? kBusNotPresent : kBusNoSuchItem);
    }
    if (*headset && bus_.vanishNextOpen) {
        bus_.vanishNextOpen = false;
        return BusResult("OpenHid", arguments, kBusNotPresent, "(vanished)");
    }
    *handle = nextHandle_;
    nextHandle_ += 4;
    handles_[*handle] = Handle{Handle::Kind::Hid, *headset, false};
    return BusResult("OpenHid", arguments, 0, "handle=" + std::to_string(*handle));
}

int32_t HeadsetSimulator::CloseHid(uint32_t handle) {
    Guard guard(*this);
    const std::string arguments = Args("handle", handle);
    int32_t result = 0;
    if (BusFault("CloseHid", arguments, result)) return result;
    if (FindHandle(handle, Handle::Kind::Hid) == nullptr) {
        return BusResult("CloseHid", arguments, kBusNoSuchItem);
    }
    handles_.erase(handle);
    return BusResult("CloseHid", arguments, 0);
}

int32_t HeadsetSimulator::GetHidAttributes(uint32_t handle, uint16_t* vid, uint16_t* pid) {
    Guard guard(*this);
    const std::string arguments = Args("handle", handle);
    int32_t result = 0;
    if (BusFault("GetHidAttributes", arguments, result)) return result;
    Handle* found = nullptr;
    if (result = HidHandle(handle, found); result != 0) {
        return BusResult("GetHidAttributes", arguments, result);
    }
    if (vid == nullptr || pid == nullptr) {
        return BusResult("GetHidAttributes", arguments, kBusBufferTooSmall);
    }
    *vid = found->headset ? chip_.State().vendorId : kMouseVid;
    *pid = found->headset ? chip_.State().productId : kMousePid;
    return BusResult("GetHidAttributes", arguments, 0,
                     "vid=" + Hex16(*vid) + ", pid=" + Hex16(*pid));
}

int32_t HeadsetSimulator::GetHidCaps(uint32_t handle, uint16_t* outputLength,
                                     uint16_t* inputLength) {
    Guard guard(*this);
    const std::string arguments = Args("handle", handle);
    int32_t result = 0;
    if (BusFault("GetHidCaps", arguments, result)) return result;
    Handle* found = nullptr;
    if (result = HidHandle(handle, found); result != 0) {
        return BusResult("GetHidCaps", arguments, result);
    }
    if (outputLength == nullptr || inputLength == nullptr) {
        return BusResult("GetHidCaps", arguments, kBusBufferTooSmall);
    }
    *outputLength = found->headset ? bus_.outputReportLength : 0;
    *inputLength = found->headset ? bus_.inputReportLength : kMouseInputLength;
    return BusResult(
        "GetHidCaps", arguments, 0,
        "out=" + std::to_string(*outputLength) + ", in=" + std::to_string(*inputLength));
}

int32_t HeadsetSimulator::HandleOutputReport(const uint8_t* report, uint32_t length,
                                             std::string& note) {
    if (std::all_of(report, report + length, [](uint8_t byte) { return byte == 0; })) {
        ++bus_.commits;
        bus_.pending = HidPending::Nothing;
        note = "commit";
        return 0;
    }
    if (length < 5 || report[1] != kCommandByte) {
        note = "ignored: unknown operation";
        return 0;
    }
    const uint8_t op = report[4];
    ChipState& state = chip_.State();
    if (op == kOpAddress) {
        bus_.pendingAddress = static_cast<uint16_t>(ReadLe16(report + 2));
        bus_.pending = HidPending::Register;
        note = "address " + Hex16(bus_.pendingAddress);
    } else if (op == kOpData && report[3] == 0x01) {
        if (bus_.pending != HidPending::Register) {
            note = "ignored: data without an address";
        } else {
            state.registers[bus_.pendingAddress] = report[2];
            note = "register " + Hex16(bus_.pendingAddress) + " := 0x" + Hex(report[2], 2);
        }
    } else if (op == kOpGpioRead && report[2] == 0 && report[3] == 0) {
        bus_.pending = HidPending::GpioLevels;
        note = "gpio read";
    } else if ((op & 0xFC) == kOpGpioWrite && report[3] == 0xFF) {
        std::string levels;
        for (std::size_t line = 0; line < kGpioLineCount; ++line) {
            const uint32_t bits = line < 8 ? report[2] >> line : op >> (line - 8);
            bus_.gpioOutputs[line] = static_cast<uint8_t>(bits & 1);
            levels += static_cast<char>('0' + bus_.gpioOutputs[line]);
        }
        note = "gpio out " + levels + " (lines 0..9)";
    } else {
        note = "ignored: unknown operation";
    }
    return 0;
}

int32_t HeadsetSimulator::SetOutputReport(uint32_t handle, const uint8_t* report, uint32_t length) {
    Guard guard(*this);
    const std::string bytes = report == nullptr ? "null" : HexReport(report, length);
    int32_t result = 0;
    if (TakeFault("TavrinSim_SetOutputReport", result)) {
        AddTrace("hid out " + bytes + " -> " + std::to_string(result) + " (fault)");
        return result;
    }
    Handle* found = nullptr;
    std::string note;
    result = HidHandle(handle, found);
    if (result == 0) {
        const uint32_t expected = found->headset ? bus_.outputReportLength : 0;
        if (report == nullptr || length == 0 || length != expected) {
            result = kBusRefused;
            note = "(output length is " + std::to_string(expected) + ")";
        } else {
            result = HandleOutputReport(report, length, note);
        }
    }
    AddTrace("hid out " + bytes + " -> " + std::to_string(result) + (note.empty() ? "" : " ") +
             note);
    return result;
}

int32_t HeadsetSimulator::GetInputReport(uint32_t handle, uint8_t* report, uint32_t length) {
    Guard guard(*this);
    int32_t result = 0;
    if (TakeFault("TavrinSim_GetInputReport", result)) {
        AddTrace("hid in -> " + std::to_string(result) + " (fault)");
        return result;
    }
    Handle* found = nullptr;
    if (result = HidHandle(handle, found); result != 0) {
        AddTrace("hid in -> " + std::to_string(result));
        return result;
    }
    const uint32_t expected = found->headset ? bus_.inputReportLength : kMouseInputLength;
    if (report == nullptr || length == 0 || length != expected) {
        AddTrace("hid in " + std::to_string(length) + " bytes -> " + std::to_string(kBusRefused) +
                 " (input length is " + std::to_string(expected) + ")");
        return kBusRefused;
    }
    std::fill(report, report + length, 0);
    std::string note;
    if (!found->headset) {
        note = "(no movement)";
    } else {
        const auto put = [&](std::size_t at, uint8_t value) {
            if (at < length) report[at] = value;
        };
        put(1, kCommandByte);
        const ChipState& state = chip_.State();
        if (bus_.pending == HidPending::Register) {
            put(2, state.registers[bus_.pendingAddress]);
            note = "register " + Hex16(bus_.pendingAddress);
        } else if (bus_.pending == HidPending::GpioLevels) {
            const std::array<uint8_t, 5> levels = GpioReport();
            put(2, levels[2]);
            put(3, levels[3]);
            note = "gpio levels";
        } else {
            note = "(nothing asked)";
        }
        bus_.pending = HidPending::Nothing;
    }
    AddTrace("hid in " + HexReport(report, length) + " -> 0 " + note);
    return 0;
}

int32_t HeadsetSimulator::OpenDriver(const wchar_t* path, uint32_t* handle) {
    Guard guard(*this);
    const std::string arguments = Args("path", Quoted(path));
    int32_t result = 0;
    if (BusFault("OpenDriver", arguments, result)) return result;
    if (path == nullptr || handle == nullptr || !EqualsIgnoringCase(DriverPath(), path)) {
        return BusResult("OpenDriver", arguments, kBusNoSuchItem);
    }
    if (!bus_.plugged || !bus_.driverInstalled) {
        return BusResult("OpenDriver", arguments, kBusNotPresent,
                         bus_.plugged ? "(driver absent)" : "(unplugged)");
    }
    *handle = nextHandle_;
    nextHandle_ += 4;
    handles_[*handle] = Handle{Handle::Kind::Driver, true, false};
    return BusResult("OpenDriver", arguments, 0, "handle=" + std::to_string(*handle));
}

int32_t HeadsetSimulator::CloseDriver(uint32_t handle) {
    Guard guard(*this);
    const std::string arguments = Args("handle", handle);
    int32_t result = 0;
    if (BusFault("CloseDriver", arguments, result)) return result;
    if (FindHandle(handle, Handle::Kind::Driver) == nullptr) {
        return BusResult("CloseDriver", arguments, kBusNoSuchItem);
    }
    handles_.erase(handle);
    return BusResult("CloseDriver", arguments, 0);
}

int32_t HeadsetSimulator::DriverControl(uint32_t handle, uint32_t code, const uint8_t* input,
                                        uint32_t inputLength, uint8_t* output,
                                        uint32_t outputCapacity, uint32_t* returned) {
    Guard guard(*this);
    const std::string request = "drv 0x" + Hex(code, 8) + " in " +
                                (input == nullptr ? "null" : HexBytes(input, inputLength));
    const auto finish = [&](int32_t value, const std::string& note) {
        std::string line = request;
        if (value == 0 && returned != nullptr && *returned > 0) {
            line += " out " + HexBytes(output, *returned);
        }
        AddTrace(line + " -> " + std::to_string(value) + (note.empty() ? "" : " " + note));
        return value;
    };
    if (returned != nullptr) *returned = 0;
    int32_t result = 0;
    if (TakeFault("TavrinSim_DriverControl", result)) return finish(result, "(fault)");
    Handle* found = FindHandle(handle, Handle::Kind::Driver);
    if (found == nullptr) return finish(kBusNoSuchItem, "(no such handle)");
    if (found->stale || !bus_.plugged || !bus_.driverInstalled) {
        return finish(kBusNotPresent, "");
    }
    if (input == nullptr) return finish(kBusRefused, "(no input)");

    if (code == kDriverQueryValue || code == kDriverQueryState) {
        const bool valueQuery = code == kDriverQueryValue;
        if (inputLength != 8) return finish(kBusRefused, "(input must be 8 bytes)");
        const bool wellFormed = valueQuery ? ReadLe16(input) == 1 : ReadLe32(input) == 1;
        if (!wellFormed) return finish(kBusRefused, "(first field must be 1)");
        if (output == nullptr || outputCapacity < 8 || returned == nullptr) {
            return finish(kBusBufferTooSmall, "");
        }
        std::copy(input, input + 8, output);
        uint32_t value = bus_.driverState;
        if (valueQuery) {
            const auto known = bus_.driverValues.find(static_cast<uint16_t>(ReadLe16(input + 2)));
            value = known == bus_.driverValues.end() ? 0 : known->second;
        }
        WriteLe32(output + 4, value);
        *returned = 8;
        return finish(0, "");
    }
    if (code == kDriverSelect || code == kDriverEnable) {
        if (inputLength != 4) return finish(kBusRefused, "(input must be 4 bytes)");
        const uint32_t value = ReadLe32(input);
        if (code == kDriverSelect) {
            bus_.environmentEffect = value;
            return finish(0, "environment effect " + std::to_string(value));
        }
        bus_.environmentEnable = value;
        return finish(0, "enable " + std::to_string(value));
    }
    return finish(kBusRefused, "(unknown control code)");
}

int32_t HeadsetSimulator::GetCaptureEndpoint(uint32_t index, wchar_t* friendlyName,
                                             uint32_t nameCapacity, wchar_t* interfacePath,
                                             uint32_t pathCapacity) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("GetCaptureEndpoint", Args("index", index), result)) return result;
    std::vector<std::pair<std::wstring, std::wstring>> endpoints = {
        {kBuiltInMicName, kBuiltInMicPath}};
    if (bus_.plugged) {
        const ChipState& state = chip_.State();
        endpoints.emplace_back(kHeadsetMicName,
                               L"\\\\?\\USB#VID_" + HexWide(state.vendorId, true) + L"&PID_" +
                                   HexWide(state.productId, true) +
                                   L"&MI_00#6&3f2a1b0c&0&0000"
                                   L"#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\global");
    }
    if (index >= endpoints.size()) return kBusNoSuchItem;
    if (const int32_t copied = CopyText(endpoints[index].first, friendlyName, nameCapacity);
        copied != 0) {
        return copied;
    }
    return CopyText(endpoints[index].second, interfacePath, pathCapacity);
}

int32_t HeadsetSimulator::GetCaptureVolumeStep(uint32_t* step, uint32_t* stepCount) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("GetCaptureVolumeStep", "", result)) return result;
    if (!bus_.plugged) return BusResult("GetCaptureVolumeStep", "", kBusNotPresent);
    if (step == nullptr || stepCount == nullptr) {
        return BusResult("GetCaptureVolumeStep", "", kBusBufferTooSmall);
    }
    *step = bus_.volumeStep;
    *stepCount = bus_.volumeSteps;
    return BusResult("GetCaptureVolumeStep", "", 0,
                     "step=" + std::to_string(*step) + ", count=" + std::to_string(*stepCount));
}

int32_t HeadsetSimulator::SetCaptureVolumeScalar(float level) {
    Guard guard(*this);
    const std::string arguments = Args("level", level);
    int32_t result = 0;
    if (BusFault("SetCaptureVolumeScalar", arguments, result)) return result;
    if (!bus_.plugged) return BusResult("SetCaptureVolumeScalar", arguments, kBusNotPresent);
    if (!(level >= 0.0f && level <= 1.0f)) {
        return BusResult("SetCaptureVolumeScalar", arguments, kBusRefused, "(not 0.0..1.0)");
    }
    bus_.volumeStep = static_cast<uint32_t>(std::lround(level * (bus_.volumeSteps - 1)));
    return BusResult("SetCaptureVolumeScalar", arguments, 0,
                     "step=" + std::to_string(bus_.volumeStep));
}

int32_t HeadsetSimulator::GetCaptureMute(int32_t* mute) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("GetCaptureMute", "", result)) return result;
    if (!bus_.plugged) return BusResult("GetCaptureMute", "", kBusNotPresent);
    if (mute == nullptr) return BusResult("GetCaptureMute", "", kBusBufferTooSmall);
    *mute = bus_.mute;
    return BusResult("GetCaptureMute", "", 0, "mute=" + std::to_string(*mute));
}

int32_t HeadsetSimulator::SetCaptureMute(int32_t mute) {
    Guard guard(*this);
    const std::string arguments = Args("mute", mute);
    int32_t result = 0;
    if (BusFault("SetCaptureMute", arguments, result)) return result;
    if (!bus_.plugged) return BusResult("SetCaptureMute", arguments, kBusNotPresent);
    bus_.mute = mute != 0 ? 1 : 0;
    return BusResult("SetCaptureMute", arguments, 0);
}

int32_t HeadsetSimulator::GetCaptureAutoGain(int32_t* enabled) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("GetCaptureAutoGain", "", result)) return result;
    if (!bus_.plugged) return BusResult("GetCaptureAutoGain", "", kBusNotPresent);
    if (enabled == nullptr) return BusResult("GetCaptureAutoGain", "", kBusBufferTooSmall);
    *enabled = bus_.autoGain;
    return BusResult("GetCaptureAutoGain", "", 0, "enabled=" + std::to_string(*enabled));
}

int32_t HeadsetSimulator::SetCaptureAutoGain(int32_t enabled) {
    Guard guard(*this);
    const std::string arguments = Args("enabled", enabled);
    int32_t result = 0;
    if (BusFault("SetCaptureAutoGain", arguments, result)) return result;
    if (!bus_.plugged) return BusResult("SetCaptureAutoGain", arguments, kBusNotPresent);
    bus_.autoGain = enabled != 0 ? 1 : 0;
    return BusResult("SetCaptureAutoGain", arguments, 0);
}

// The meter polls this many times a second; only faults reach the trace.
int32_t HeadsetSimulator::GetCapturePeak(float* peak) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("GetCapturePeak", "", result)) return result;
    if (!bus_.plugged) return kBusNotPresent;
    if (peak == nullptr) return kBusBufferTooSmall;
    *peak = bus_.mute != 0 ? 0.0f : bus_.peak;
    return 0;
}

// Mono PCM at 8 kHz: 8-bit samples around 128 or 16-bit signed little-endian ones around 0. Like
// the peak, read many times a second: only faults reach the trace.
int32_t HeadsetSimulator::ReadCaptureSamples(uint32_t bitsPerSample, uint8_t* buffer,
                                             uint32_t byteCount) {
    Guard guard(*this);
    int32_t result = 0;
    if (BusFault("ReadCaptureSamples", "", result)) return result;
    if (!bus_.plugged) return kBusNotPresent;
    const bool wide = bitsPerSample == 16;
    if ((bitsPerSample != 8 && !wide) || buffer == nullptr || (wide && byteCount % 2 != 0)) {
        return kBusRefused;
    }
    const float level = bus_.mute != 0 ? 0.0f : bus_.peak;
    const int32_t amplitude = static_cast<int32_t>(level * (wide ? 32767.0f : 127.0f) + 0.5f);
    constexpr uint64_t kHalfPeriod = 4;  // samples: 1 kHz at 8000 samples per second
    const uint32_t count = wide ? byteCount / 2 : byteCount;
    for (uint32_t i = 0; i < count; ++i, ++bus_.samplesRead) {
        const int32_t sample = (bus_.samplesRead / kHalfPeriod) % 2 == 0 ? amplitude : -amplitude;
        if (wide) {
            buffer[2 * i] = static_cast<uint8_t>(sample & 0xFF);
            buffer[2 * i + 1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
        } else {
            buffer[i] = static_cast<uint8_t>(128 + sample);
        }
    }
    return 0;
}

// ---- controls ----

void HeadsetSimulator::ResetLocked() {
    StopScanner();
    chip_ = VirtualHeadset{};
    bus_ = BusState{};
    failures_.clear();
    readbacks_ = {};
    // Handles left open by an earlier scenario are forgotten, so that each one counts its own.
    handles_.clear();
    trace_.Clear();
    AddTrace("ctl reset");
}

int32_t HeadsetSimulator::Reset() {
    Guard guard(*this);
    ResetLocked();
    return 0;
}

int32_t HeadsetSimulator::Plug() {
    Guard guard(*this);
    PlugLocked();
    return 0;
}

void HeadsetSimulator::PlugLocked() {
    AddTrace(bus_.plugged ? "ctl plug (already plugged)" : "ctl plug");
    if (!bus_.plugged && announcer_ != nullptr) announcements_.emplace_back(true, HidPath());
    bus_.plugged = true;
}

void HeadsetSimulator::UnplugLocked() {
    AddTrace(bus_.plugged ? "ctl unplug" : "ctl unplug (already unplugged)");
    if (bus_.plugged && announcer_ != nullptr) announcements_.emplace_back(false, HidPath());
    bus_.plugged = false;
    bus_.pending = HidPending::Nothing;
    for (auto& [number, handle] : handles_) {
        if (handle.headset) handle.stale = true;
    }
    // The library forgets the scan with the device; the product arms it again at arrival.
    chip_.State().scanning = false;
    chip_.State().scanCallback = nullptr;
    SyncScanner();
}

int32_t HeadsetSimulator::Unplug() {
    Guard guard(*this);
    UnplugLocked();
    return 0;
}

std::array<uint8_t, 5> HeadsetSimulator::GpioReport() const {
    const ChipState& state = chip_.State();
    std::array<uint8_t, 5> report = {0x00, kCommandByte, 0, 0, kOpGpioRead};
    for (std::size_t line = 0; line < kGpioLineCount; ++line) {
        if (state.gpioLevels[line] != 0)
            report[2 + line / 8] |= static_cast<uint8_t>(1 << line % 8);
    }
    return report;
}

int32_t HeadsetSimulator::SetGpioLine(uint32_t line, uint32_t level) {
    Guard guard(*this);
    return SetGpioLineLocked(line, level);
}

int32_t HeadsetSimulator::SetGpioLineLocked(uint32_t line, uint32_t level) {
    if (line >= kGpioLineCount) {
        AddTrace("ctl gpio " + std::to_string(line) + " -> " + std::to_string(kBusNoSuchItem));
        return kBusNoSuchItem;
    }
    const auto value = static_cast<uint8_t>(level != 0 ? 1 : 0);
    uint8_t& current = chip_.State().gpioLevels[line];
    AddTrace("ctl gpio " + std::to_string(line) + " " + std::to_string(value));
    if (current == value) return 0;
    current = value;
    if (scan_) {
        scan_->reports.push_back(GpioReport());
        scanWake_.notify_all();
    }
    return 0;
}

int32_t HeadsetSimulator::WriteTrace(const std::wstring& path) {
    Guard guard(*this);
    return trace_.WriteTo(path) ? 0 : kBusRefused;
}

int32_t HeadsetSimulator::ClearTrace() {
    Guard guard(*this);
    trace_.Clear();
    return 0;
}

uint32_t HeadsetSimulator::OpenHandleCount() {
    Guard guard(*this);
    return static_cast<uint32_t>(handles_.size());
}

bool HeadsetSimulator::SetTraceFile(const std::wstring& path) {
    Guard guard(*this);
    return trace_.SetSink(path);
}

std::vector<std::string> HeadsetSimulator::TraceLines() {
    Guard guard(*this);
    return trace_.Lines();
}

void HeadsetSimulator::LoadFromEnvironment() {
#if defined(_WIN32)
    const wchar_t* tracePath = _wgetenv(L"TAVRIN_SIM_TRACE");
    const wchar_t* scriptPath = _wgetenv(L"TAVRIN_SIM_SCRIPT");
    const wchar_t* controlPath = _wgetenv(L"TAVRIN_SIM_CONTROL");
    const std::wstring trace = tracePath == nullptr ? L"" : tracePath;
    const std::wstring script = scriptPath == nullptr ? L"" : scriptPath;
    const std::wstring control = controlPath == nullptr ? L"" : controlPath;
#else
    const char* tracePath = std::getenv("TAVRIN_SIM_TRACE");
    const char* scriptPath = std::getenv("TAVRIN_SIM_SCRIPT");
    const char* controlPath = std::getenv("TAVRIN_SIM_CONTROL");
    const std::wstring trace = tracePath == nullptr ? L"" : FromUtf8(tracePath);
    const std::wstring script = scriptPath == nullptr ? L"" : FromUtf8(scriptPath);
    const std::wstring control = controlPath == nullptr ? L"" : FromUtf8(controlPath);
#endif
    if (!trace.empty()) SetTraceFile(trace);
    if (!script.empty()) RunScriptFile(script);
    if (!control.empty()) FollowControlFile(control);
}

// ---- the button scan ----

void HeadsetSimulator::StopScanner() {
    if (!scan_) return;
    scan_->stop = true;
    scan_.reset();
    scanWake_.notify_all();
    retired_.push_back(std::move(scanThread_));
    AddTrace("scan stopped");
}

void HeadsetSimulator::SyncScanner() {
    const ChipState& state = chip_.State();
    const bool wanted = bus_.plugged && state.scanning && state.scanCallback != nullptr;
    if (scan_ && (!wanted || scan_->callback != state.scanCallback)) StopScanner();
    if (!wanted || scan_) return;
    auto session = std::make_shared<ScanSession>();
    session->callback = state.scanCallback;
    session->vid = state.vendorId;
    session->pid = state.productId;
    // The first report carries the levels as they are, before any change.
    session->reports.push_back(GpioReport());
    scan_ = session;
    AddTrace("scan started");
    scanThread_ = std::thread([this, session] {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            scanWake_.wait(lock, [&] { return session->stop || !session->reports.empty(); });
            if (session->stop) return;
            std::array<uint8_t, 5> report = session->reports.front();
            session->reports.pop_front();
            AddTrace("scan callback(report=" + HexBytes(report.data(), report.size()) + ")");
            lock.unlock();
            session->callback(session->vid, session->pid, report.data(), 0, 0);
            lock.lock();
        }
    });
}

}  // namespace tavrin::sim
