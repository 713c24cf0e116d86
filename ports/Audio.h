#pragma once
// The capture side of the Windows audio system: DirectSound's list of capture drivers, the Core
// Audio endpoints with their volume and topology objects, the multimedia mixer, and the wave
// devices that record and play. Each class stands for one system object and releases it when
// destroyed; every call answers with the system's own result (an HRESULT or MMRESULT on
// Windows): 0 is success.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ports/UiHost.h"

namespace tavrin {

using AudioResult = int32_t;

inline constexpr AudioResult kAudioOk = 0;
// The HRESULTs the portable implementations answer with, so callers see what Windows reports.
inline constexpr AudioResult kAudioFailed = static_cast<int32_t>(0x80004005);       // E_FAIL
inline constexpr AudioResult kAudioNoInterface = static_cast<int32_t>(0x80004002);  // E_NOINTERFACE
inline constexpr AudioResult kAudioNotFound = static_cast<int32_t>(0x80070490);     // E_NOTFOUND
inline constexpr AudioResult kAudioInvalidArgument = static_cast<int32_t>(0x80070057);
// The MMRESULT of a wave device that is not there (MMSYSERR_BADDEVICEID).
inline constexpr AudioResult kAudioNoWaveDevice = 2;

// One entry of the DirectSound capture enumeration.
struct CaptureDriverEntry {
    bool isDefault = false;      // the primary entry, listed without a GUID
    std::wstring name;           // the description
    std::wstring interfacePath;  // the driver's module text
};

// IAudioEndpointVolume.
class AudioEndpointVolume {
public:
    virtual ~AudioEndpointVolume() = default;
    virtual AudioResult GetVolumeStepInfo(uint32_t& step, uint32_t& stepCount) = 0;
    // Event context GUID_NULL.
    virtual AudioResult SetMasterVolumeLevelScalar(float level) = 0;
    virtual AudioResult GetMute(bool& mute) = 0;
    virtual AudioResult SetMute(bool mute) = 0;
};

// IAudioAutoGainControl.
class AudioAutoGainControl {
public:
    virtual ~AudioAutoGainControl() = default;
    virtual AudioResult GetEnabled(bool& enabled) = 0;
    // No event context.
    virtual AudioResult SetEnabled(bool enabled) = 0;
};

// IPart.
class AudioPart {
public:
    virtual ~AudioPart() = default;
    virtual AudioResult ActivateAutoGainControl(std::unique_ptr<AudioAutoGainControl>& control) = 0;
};

// A subunit of a device topology, before it is queried for IPart.
class AudioSubunit {
public:
    virtual ~AudioSubunit() = default;
    virtual AudioResult QueryPart(std::unique_ptr<AudioPart>& part) = 0;
};

// IConnector.
class AudioConnector {
public:
    virtual ~AudioConnector() = default;
    virtual AudioResult GetDeviceIdConnectedTo(std::wstring& deviceId) = 0;
};

// IDeviceTopology.
class AudioDeviceTopology {
public:
    virtual ~AudioDeviceTopology() = default;
    virtual AudioResult GetConnector(uint32_t index,
                                     std::unique_ptr<AudioConnector>& connector) = 0;
    virtual AudioResult GetSubunitCount(uint32_t& count) = 0;
    virtual AudioResult GetSubunit(uint32_t index, std::unique_ptr<AudioSubunit>& subunit) = 0;
};

// IMMDevice: an endpoint, or the adapter device an endpoint's connector leads to.
class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    // Opens the property store for reading, reads PKEY_Device_FriendlyName and releases the store.
    virtual AudioResult ReadFriendlyName(std::wstring& name) = 0;
    virtual AudioResult ActivateEndpointVolume(std::unique_ptr<AudioEndpointVolume>& volume) = 0;
    virtual AudioResult ActivateDeviceTopology(std::unique_ptr<AudioDeviceTopology>& topology) = 0;
};

// IMMDeviceCollection.
class AudioDeviceCollection {
public:
    virtual ~AudioDeviceCollection() = default;
    virtual AudioResult GetCount(uint32_t& count) = 0;
    virtual AudioResult Item(uint32_t index, std::unique_ptr<AudioDevice>& device) = 0;
};

// IMMDeviceEnumerator.
class AudioDeviceEnumerator {
public:
    virtual ~AudioDeviceEnumerator() = default;
    // eCapture, DEVICE_STATE_ACTIVE.
    virtual AudioResult EnumActiveCaptureEndpoints(
        std::unique_ptr<AudioDeviceCollection>& endpoints) = 0;
    virtual AudioResult GetDevice(const std::wstring& deviceId,
                                  std::unique_ptr<AudioDevice>& device) = 0;
};

enum class MixerComponent { WaveInDestination, Microphone, Undefined, Other };
enum class MixerControlType { Volume, Mute, InputSelector };

struct MixerLine {
    uint32_t destination = 0;
    uint32_t lineId = 0;
    uint32_t sourceCount = 0;  // connections of a destination line
    MixerComponent component = MixerComponent::Other;
    std::wstring targetProductName;
};

struct MixerControlInfo {
    uint32_t controlId = 0;
    uint32_t minimum = 0;
    uint32_t maximum = 0;
};

// One open mixer device (mixerOpen); closed when destroyed.
class Mixer {
public:
    virtual ~Mixer() = default;
    // The destination line of component type wave-in.
    virtual AudioResult GetWaveInDestination(MixerLine& line) = 0;
    virtual AudioResult GetSourceLine(uint32_t destination, uint32_t source, MixerLine& line) = 0;
    // The line's control of one type (MIXER_GETLINECONTROLSF_ONEBYTYPE).
    virtual AudioResult GetLineControl(uint32_t lineId, MixerControlType type,
                                       MixerControlInfo& control) = 0;
    // Details of one channel and one item.
    virtual AudioResult GetControlValue(uint32_t controlId, uint32_t& value) = 0;
    virtual AudioResult SetControlValue(uint32_t controlId, uint32_t value) = 0;
};

// Uncompressed PCM as the wave devices take it.
struct WaveFormat {
    uint16_t channels = 1;
    uint32_t samplesPerSecond = 8000;
    uint16_t bitsPerSample = 8;
    uint16_t blockAlign = 1;
    uint32_t bytesPerSecond = 8000;
};

// Hears of a recording's filled buffers, on the window thread.
class RecordingSink {
public:
    virtual ~RecordingSink() = default;
    // The buffer goes back to the device when this returns, while the recording is open.
    virtual void BufferFilled(std::span<const uint8_t> samples) = 0;
};

// The default wave input device, open, with its buffers prepared and queued (waveIn). Destroying
// it stops and resets the device, closes it and frees the buffers.
class WaveRecording {
public:
    virtual ~WaveRecording() = default;
    virtual AudioResult Start() = 0;
    // Stops and resets: every buffer comes back with what it holds.
    virtual AudioResult Stop() = 0;
    // Buffer `index` as it is now, all of it (the device writes into it while it records).
    virtual std::vector<uint8_t> Contents(size_t index) = 0;
    // What the device reported recording into buffer `index` when it gave the buffer back.
    virtual uint32_t BytesRecorded(size_t index) = 0;
};

// The default wave output device playing one buffer (waveOut). Destroying it resets the device,
// unprepares the buffer and closes the device.
class WavePlayback {
public:
    virtual ~WavePlayback() = default;
};

class Audio {
public:
    virtual ~Audio() = default;

    // COM on the calling thread; true when the initialisation must be balanced by
    // UninitializeCom.
    virtual bool InitializeCom() = 0;
    virtual void UninitializeCom() = 0;

    // DirectSound capture enumeration: every entry, the default one included, in its order.
    virtual AudioResult EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) = 0;
    // MMDeviceEnumerator.
    virtual AudioResult CreateDeviceEnumerator(
        std::unique_ptr<AudioDeviceEnumerator>& enumerator) = 0;

    virtual uint32_t MixerDeviceCount() = 0;
    virtual AudioResult OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) = 0;

    // The default wave input device with `bufferCount` buffers of `bufferBytes`, prepared and
    // queued, not started. Open it on the window thread: with a sink, every filled buffer reaches
    // the sink there (through `windowThread` where the system does not deliver it there itself);
    // without one the device only signals an event that nothing has to wait for.
    virtual AudioResult OpenRecording(const WaveFormat& format, uint32_t bufferBytes,
                                      uint32_t bufferCount, RecordingSink* sink,
                                      UiHost& windowThread,
                                      std::unique_ptr<WaveRecording>& recording) = 0;
    // The default wave output device, playing `samples` once from now on.
    virtual AudioResult Play(const WaveFormat& format, std::vector<uint8_t> samples,
                             std::unique_ptr<WavePlayback>& playback) = 0;
};

}  // namespace tavrin
