#pragma once
// The virtual headset as the library presents it: the chip model with the bus around it (device
// list, HID interface, filter driver, capture endpoint), the trace, injected faults and the
// button-scan thread, all behind one lock. Both exported faces call into one instance.
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <vector>

#include "sim/BusFaceApi.h"
#include "sim/SimText.h"
#include "sim/Trace.h"
#include "sim/VirtualHeadset.h"

namespace tavrin::sim {

class ControlChannel;

inline constexpr uint16_t kDefaultReportLength = 65;
inline constexpr uint32_t kDefaultVolumeSteps = 101;

// Filter-driver control codes.
inline constexpr uint32_t kDriverQueryValue = 0x00223028;
inline constexpr uint32_t kDriverQueryState = 0x00223190;
inline constexpr uint32_t kDriverSelect = 0x08232008;
inline constexpr uint32_t kDriverEnable = 0x08232000;

enum class Switch { Eq, ThreeD };
enum class ReportKind { Output, Input };

// What the HID register protocol expects next from an input report.
enum class HidPending { Nothing, Register, GpioLevels };

struct BusState {
    bool plugged = true;
    bool driverInstalled = true;
    // Replaces the headset's audio-interface hardware ID when not empty (any length).
    std::wstring audioHardwareId;
    // Devices of other makers that are always present, before the headset in the list.
    std::vector<std::wstring> otherDevices = {
        L"USB\\ROOT_HUB30&VIDFFF2&PID9D2F&REV0021",
        L"HID\\VID_FFF1&PID_C077&REV_7200",
    };

    uint16_t outputReportLength = kDefaultReportLength;
    uint16_t inputReportLength = kDefaultReportLength;
    bool vanishNextOpen = false;
    HidPending pending = HidPending::Nothing;
    uint16_t pendingAddress = 0;
    uint32_t commits = 0;
    std::array<uint8_t, kGpioLineCount> gpioOutputs{};

    uint32_t environmentEffect = 0;  // last select request
    uint32_t environmentEnable = 0;  // last enable request
    uint32_t driverState = 1;
    std::map<uint16_t, uint32_t> driverValues = {{0, 0x0100}};

    uint32_t volumeSteps = kDefaultVolumeSteps;
    uint32_t volumeStep = 50;
    int32_t mute = 0;
    int32_t autoGain = 1;
    // The microphone's level, 0.0 (silence, the default) to 1.0 (full scale), set by a script;
    // its samples are a 1 kHz square wave of that amplitude.
    float peak = 0.0f;
    uint64_t samplesRead = 0;
};

// A script's first failure: its line number (0 when the file did not open) and what was wrong.
struct ScriptResult {
    uint32_t line = 0;
    std::string message;
    bool Ok() const { return message.empty(); }
};

class HeadsetSimulator {
public:
    HeadsetSimulator();
    // Stops the scan thread. The library's own instance is never destroyed (see the .cpp).
    ~HeadsetSimulator();
    HeadsetSimulator(const HeadsetSimulator&) = delete;
    HeadsetSimulator& operator=(const HeadsetSimulator&) = delete;

    // One vendor SDK entry point: faults, the unplugged device, the call itself and its trace
    // line. body(chip, outText) returns the result and may describe out-values in outText.
    template <class Body>
    int32_t Sdk(std::string_view name, const std::string& arguments, Body&& body) {
        Guard guard(*this);
        int32_t result = 0;
        std::string note;
        if (TakeFault(name, result)) {
            note = "(fault)";
        } else if (!bus_.plugged) {
            result = kNoDevice;
            note = "(unplugged)";
        } else {
            result = body(chip_, note);
        }
        AddTrace("sdk " + std::string(name) + "(" + arguments + ") -> " + std::to_string(result) +
                 (note.empty() ? "" : " " + note));
        SyncScanner();
        return result;
    }

    // Read-back faults of the verified switches; called by the Is*_Enable entry points inside
    // Sdk(), with the value the chip answered. True when it replaced the value.
    bool ApplyReadback(Switch which, int32_t& value);

    // The bus face, with the results of sim/BusFaceApi.h.
    int32_t GetDeviceHardwareId(uint32_t index, wchar_t* buffer, uint32_t capacity);
    int32_t GetHidInterfacePath(uint32_t index, wchar_t* buffer, uint32_t capacity);
    int32_t OpenHid(const wchar_t* path, uint32_t* handle);
    int32_t CloseHid(uint32_t handle);
    int32_t GetHidAttributes(uint32_t handle, uint16_t* vid, uint16_t* pid);
    int32_t GetHidCaps(uint32_t handle, uint16_t* outputLength, uint16_t* inputLength);
    int32_t SetOutputReport(uint32_t handle, const uint8_t* report, uint32_t length);
    int32_t GetInputReport(uint32_t handle, uint8_t* report, uint32_t length);
    int32_t OpenDriver(const wchar_t* path, uint32_t* handle);
    int32_t CloseDriver(uint32_t handle);
    int32_t DriverControl(uint32_t handle, uint32_t code, const uint8_t* input,
                          uint32_t inputLength, uint8_t* output, uint32_t outputCapacity,
                          uint32_t* returned);
    int32_t GetCaptureEndpoint(uint32_t index, wchar_t* friendlyName, uint32_t nameCapacity,
                               wchar_t* interfacePath, uint32_t pathCapacity);
    int32_t GetCaptureVolumeStep(uint32_t* step, uint32_t* stepCount);
    int32_t SetCaptureVolumeScalar(float level);
    int32_t GetCaptureMute(int32_t* mute);
    int32_t SetCaptureMute(int32_t mute);
    int32_t GetCaptureAutoGain(int32_t* enabled);
    int32_t SetCaptureAutoGain(int32_t enabled);
    int32_t GetCapturePeak(float* peak);
    int32_t ReadCaptureSamples(uint32_t bitsPerSample, uint8_t* buffer, uint32_t byteCount);

    // Controls.
    int32_t Reset();
    int32_t Plug();
    int32_t Unplug();
    int32_t SetGpioLine(uint32_t line, uint32_t level);
    // Line by line, each under the lock; "wait <ms>" pauses between lines without it (through
    // `pause` when given, which returns false to end the script there). `source` and `firstLine`
    // name the lines in the trace ("script 3: ...").
    using ScriptPause = std::function<bool(uint32_t milliseconds)>;
    ScriptResult RunScript(std::string_view text, std::string_view source = "script",
                           uint32_t firstLine = 1, const ScriptPause& pause = {});
    ScriptResult RunScriptFile(const std::wstring& path);
    // Follows a file that commands are appended to while the product runs (see ControlChannel);
    // an empty path stops following.
    void FollowControlFile(const std::wstring& path);
    // Told of every plug and unplug (the headset's HID interface path), outside the lock, as
    // the system would tell the program.
    using DeviceAnnouncer = void (*)(bool arrival, const std::wstring& interfacePath);
    void SetDeviceAnnouncer(DeviceAnnouncer announcer);
    int32_t WriteTrace(const std::wstring& path);
    int32_t ClearTrace();
    uint32_t OpenHandleCount();
    // Appends every later trace line to this file (empty: stop).
    bool SetTraceFile(const std::wstring& path);
    // TAVRIN_SIM_TRACE names a trace file, TAVRIN_SIM_SCRIPT a script to run now,
    // TAVRIN_SIM_CONTROL a file of commands to follow.
    void LoadFromEnvironment();
    std::vector<std::string> TraceLines();

    // Faults. An entry point is named as exported ("DLLZR_IsEQ_Enable_ById", "TavrinSim_OpenHid")
    // or, for the bus face, without the prefix ("OpenHid"); false for an unknown name.
    bool FailNext(std::string_view entryPoint, uint32_t count, std::optional<int32_t> result);
    void SetReadback(Switch which, int32_t value, uint32_t count = 1);
    void SetDriverInstalled(bool installed);
    void SetReportLength(ReportKind kind, uint16_t length);
    void VanishHidOnNextOpen();

    // Runs edit(chip, bus) under the lock, for state that has no control of its own.
    template <class Edit>
    decltype(auto) With(Edit&& edit) {
        Guard guard(*this);
        return std::forward<Edit>(edit)(chip_.State(), bus_);
    }

private:
    // Hardware IDs and paths that follow the model's VID and PID.
    std::wstring AudioHardwareId();
    std::wstring HidPath();
    std::wstring DriverPath();

    // Holds the lock; on release joins scan threads that were stopped meanwhile and announces
    // plugs and unplugs, outside it.
    class Guard {
    public:
        explicit Guard(HeadsetSimulator& owner) : owner_(owner), lock_(owner.mutex_) {}
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        HeadsetSimulator& owner_;
        std::unique_lock<std::mutex> lock_;
    };

    struct Handle {
        enum class Kind { Hid, Driver } kind;
        bool headset = false;  // else the other maker's HID interface
        bool stale = false;    // the device was unplugged since the handle was opened
    };

    struct ScanSession {
        ScanButtonCallback callback = nullptr;
        uint32_t vid = 0;
        uint32_t pid = 0;
        bool stop = false;
        std::deque<std::array<uint8_t, 5>> reports;
    };

    struct Failure {
        uint32_t remaining = 0;
        int32_t result = 0;
    };

    void AddTrace(const std::string& line) { trace_.Add(line); }
    bool TakeFault(std::string_view name, int32_t& result);
    static std::optional<std::string> KnownEntryPoint(std::string_view entryPoint);
    void FailNextLocked(const std::string& name, uint32_t count, std::optional<int32_t> result);
    void SetReadbackLocked(Switch which, int32_t value, uint32_t count);
    int32_t SetGpioLineLocked(uint32_t line, uint32_t level);
    void PlugLocked();
    // Bus-face prologue: a fault, or nothing (0).
    bool BusFault(const char* name, const std::string& arguments, int32_t& result);
    int32_t BusResult(const char* name, const std::string& arguments, int32_t result,
                      const std::string& note = {});
    Handle* FindHandle(uint32_t handle, Handle::Kind kind);
    int32_t HidHandle(uint32_t handle, Handle*& found);
    void ResetLocked();
    void UnplugLocked();
    void SyncScanner();
    void StopScanner();
    std::array<uint8_t, 5> GpioReport() const;
    int32_t HandleOutputReport(const uint8_t* report, uint32_t length, std::string& note);
    // One command; the error text, or empty when it ran.
    std::string RunScriptLine(const std::vector<std::string>& words);

    std::vector<std::wstring> DeviceList();
    struct HidInterface {
        std::wstring path;
        bool headset;
    };
    std::vector<HidInterface> HidList();

    std::mutex mutex_;
    std::condition_variable scanWake_;
    VirtualHeadset chip_;
    BusState bus_;
    Trace trace_;
    std::map<std::string, Failure, std::less<>> failures_;
    std::array<std::pair<int32_t, uint32_t>, 2> readbacks_{};  // value, remaining calls
    std::map<uint32_t, Handle> handles_;
    uint32_t nextHandle_ = 0x40;
    std::shared_ptr<ScanSession> scan_;
    std::thread scanThread_;
    std::vector<std::thread> retired_;
    DeviceAnnouncer announcer_ = nullptr;
    // Plugs (true) and unplugs waiting for the lock to be let go.
    std::vector<std::pair<bool, std::wstring>> announcements_;
    // Declared last: stopped first, while everything it drives is still there.
    std::unique_ptr<ControlChannel> control_;
};

// "name=value, ..." for trace lines.
inline std::string ArgText(const std::string& value) {
    return value;
}
inline std::string ArgText(const char* value) {
    return value;
}
inline std::string ArgText(float value) {
    std::string text = std::to_string(value);
    while (text.size() > 1 && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text += '0';
    return text;
}
template <class T>
std::string ArgText(const T* pointer) {
    return pointer == nullptr ? "null" : "&";
}
template <class T>
requires std::is_integral_v<T> std::string ArgText(T value) {
    return std::to_string(static_cast<int64_t>(value));
}
inline std::string Args() {
    return {};
}
template <class T, class... Rest>
std::string Args(const char* name, const T& value, const Rest&... rest) {
    std::string text = std::string(name) + "=" + ArgText(value);
    if constexpr (sizeof...(rest) > 0) text += ", " + Args(rest...);
    return text;
}
inline std::string Hex16(uint16_t value) {
    return "0x" + Hex(value, 4);
}

}  // namespace tavrin::sim
