#pragma once
#include "ports/Audio.h"

namespace tavrin {

// Core Audio (MMDevice API, endpoint volume, device topology), DirectSound capture enumeration
// and the multimedia mixer.
class Win32Audio final : public Audio {
public:
    bool InitializeCom() override;
    void UninitializeCom() override;
    AudioResult EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) override;
    AudioResult CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) override;
    uint32_t MixerDeviceCount() override;
    AudioResult OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) override;
};

}  // namespace tavrin
