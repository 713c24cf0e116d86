#pragma once
#include "ports/Audio.h"

namespace tavrin {

// Core Audio (MMDevice API, endpoint volume, device topology), DirectSound capture enumeration,
// the multimedia mixer and the wave devices (Win32Wave.cpp).
class Win32Audio final : public Audio {
public:
    bool InitializeCom() override;
    void UninitializeCom() override;
    AudioResult EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) override;
    AudioResult CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) override;
    uint32_t MixerDeviceCount() override;
    AudioResult OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) override;
    AudioResult OpenRecording(const WaveFormat& format, uint32_t bufferBytes, uint32_t bufferCount,
                              RecordingSink* sink, UiHost& windowThread,
                              std::unique_ptr<WaveRecording>& recording) override;
    AudioResult Play(const WaveFormat& format, std::vector<uint8_t> samples,
                     std::unique_ptr<WavePlayback>& playback) override;
};

}  // namespace tavrin
