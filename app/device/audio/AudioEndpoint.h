#pragma once
// Windows' own view of the device's capture side: the Core Audio endpoint (level, mute, gain
// control), the multimedia mixer line, the listen-to-this-device setting and the restart of the
// audio service that applies it.
#include <cstdint>
#include <memory>
#include <string>

#include "ports/Audio.h"
#include "ports/Clock.h"
#include "ports/Registry.h"
#include "ports/ServiceManager.h"

namespace tavrin {

// Level and mute results.
inline constexpr int kEndpointDone = 0;
inline constexpr int kEndpointActivationFailed = 2;
inline constexpr int kEndpointStepQueryFailed = 3;

// Gain-control results: the number of the failing step; past the steps, no part of the connected
// device offers the control, or the control refused the read or write.
inline constexpr int kGainEnumeratorFailed = 2;
inline constexpr int kGainTopologyFailed = 3;
inline constexpr int kGainConnectorFailed = 4;
inline constexpr int kGainConnectedIdFailed = 5;
inline constexpr int kGainConnectedDeviceFailed = 6;
inline constexpr int kGainConnectedTopologyFailed = 7;
inline constexpr int kGainSubunitCountFailed = 8;
inline constexpr int kGainSubunitFailed = 9;
inline constexpr int kGainPartFailed = 10;
inline constexpr int kGainControlNotFound = 11;
inline constexpr int kGainControlRefused = 12;

inline constexpr int kMixerDone = 1;
inline constexpr int kMixerNotFound = 0;

enum class MixerOperation {
    GetVolume = 0,
    SetVolume = 1,
    GetMute = 2,
    SetMute = 3,
    GetInputSelector = 4,
    SetInputSelector = 5,
};

inline constexpr int kAudioServiceDone = 0;
inline constexpr int kAudioServiceStopRefused = 1;
inline constexpr int kAudioServiceNotStopped = 2;
inline constexpr int kAudioServiceStartRefused = 3;
// The audio service may take seconds to stop: its status is polled at this pace, up to the limit.
inline constexpr uint32_t kAudioServiceStopPoll = 100;
inline constexpr uint32_t kAudioServiceStopLimit = 10000;

inline constexpr size_t kCaptureNameMaxLength = 259;
inline constexpr wchar_t kCaptureDevicesKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\MMDevices\\Audio\\Capture";

// "\\?\USB#VID_%0.4X&PID_%0.4X".
std::wstring FormatDeviceText(uint16_t vid, uint16_t pid);
// The DirectSound name of the device's capture driver; empty when the device has none.
std::wstring FindCaptureName(Audio& audio, uint16_t vid, uint16_t pid);

// Relies on COM being initialised on the calling thread. Null when no endpoint matches.
std::unique_ptr<AudioDevice> FindCaptureEndpoint(Audio& audio, uint16_t vid, uint16_t pid);

// The device's capture endpoint, found with COM initialised on this thread and kept so for as
// long as the endpoint is held. Empty when the device has none.
class HeldCaptureEndpoint {
public:
    HeldCaptureEndpoint(Audio& audio, uint16_t vid, uint16_t pid);
    ~HeldCaptureEndpoint();
    HeldCaptureEndpoint(const HeldCaptureEndpoint&) = delete;
    HeldCaptureEndpoint& operator=(const HeldCaptureEndpoint&) = delete;

    explicit operator bool() const { return endpoint_ != nullptr; }
    AudioDevice& operator*() const { return *endpoint_; }

private:
    Audio& audio_;
    bool balanceCom_;
    std::unique_ptr<AudioDevice> endpoint_;
};

int GetEndpointLevel(Audio& audio, AudioDevice& endpoint, int& percent);
int SetEndpointLevel(Audio& audio, AudioDevice& endpoint, int percent);
// kEndpointActivationFailed, else the result of the call itself.
AudioResult GetEndpointMute(Audio& audio, AudioDevice& endpoint, bool& mute);
AudioResult SetEndpointMute(Audio& audio, AudioDevice& endpoint, bool mute);
int GetEndpointGainControl(Audio& audio, AudioDevice& endpoint, bool& enabled);
int SetEndpointGainControl(Audio& audio, AudioDevice& endpoint, bool enabled);

// value is read or written by the operation; minimum and maximum are filled by GetVolume.
int MixerControl(Audio& audio, MixerOperation operation, uint32_t& value, uint32_t& minimum,
                 uint32_t& maximum, uint16_t vid, uint16_t pid);

// Writes the listen setting of every capture endpoint of the device (64-bit registry view).
void SetListenToDevice(Registry& registry, bool on, uint16_t vid, uint16_t pid);

// Stops the audio service when it runs and starts it again; once stopped by us it is started
// again also when the stop did not complete in time (the result still says so).
int RestartAudioService(ServiceManager& services, Clock& clock);

}  // namespace tavrin
