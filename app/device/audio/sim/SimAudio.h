#pragma once
#include "app/device/sim/BusFace.h"
#include "ports/Audio.h"

namespace tavrin {

// The audio port over the virtual headset's bus face, looked up in the SDK library at first use
// (the library is bound after the ports are wired). The headset's capture endpoints appear as
// DirectSound entries and Core Audio endpoints; the connector of an endpoint leads to an adapter
// device with one part that offers automatic gain control. The bus face has no mixer: there are no
// mixer devices. A library without the capture functions has no endpoints. Recordings take the
// headset microphone's samples at the pace of their format, from a worker of their own that hands
// each filled buffer to the window thread; the headset has nothing to play on, so playback only
// keeps its buffer.
class SimAudio final : public Audio {
public:
    explicit SimAudio(BusFace& face) : face_(face) {}

    bool InitializeCom() override { return false; }
    void UninitializeCom() override {}
    AudioResult EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) override;
    AudioResult CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) override;
    uint32_t MixerDeviceCount() override { return 0; }
    AudioResult OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) override;
    AudioResult OpenRecording(const WaveFormat& format, uint32_t bufferBytes, uint32_t bufferCount,
                              RecordingSink* sink, UiHost& windowThread,
                              std::unique_ptr<WaveRecording>& recording) override;
    AudioResult Play(const WaveFormat& format, std::vector<uint8_t> samples,
                     std::unique_ptr<WavePlayback>& playback) override;

private:
    BusFace& face_;
};

}  // namespace tavrin
