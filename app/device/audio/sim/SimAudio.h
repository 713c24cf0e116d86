#pragma once
#include "ports/Audio.h"
#include "ports/DynamicLibrary.h"
#include "sim/BusFaceApi.h"

namespace tavrin {

// The audio port over the virtual headset's bus face, looked up in the SDK library at first use
// (the library is bound after the ports are wired). The headset's capture endpoints appear as
// DirectSound entries and Core Audio endpoints; the connector of an endpoint leads to an adapter
// device with one part that offers automatic gain control. The bus face has no mixer: there are no
// mixer devices. A library without the capture functions has no endpoints.
class SimAudio final : public Audio {
public:
    struct BusFace {
        TavrinSim_GetCaptureEndpoint_Fn getEndpoint = nullptr;
        TavrinSim_GetCaptureVolumeStep_Fn getVolumeStep = nullptr;
        TavrinSim_SetCaptureVolumeScalar_Fn setVolumeScalar = nullptr;
        TavrinSim_GetCaptureMute_Fn getMute = nullptr;
        TavrinSim_SetCaptureMute_Fn setMute = nullptr;
        TavrinSim_GetCaptureAutoGain_Fn getAutoGain = nullptr;
        TavrinSim_SetCaptureAutoGain_Fn setAutoGain = nullptr;
    };

    explicit SimAudio(DynamicLibrary& library);

    bool InitializeCom() override { return false; }
    void UninitializeCom() override {}
    AudioResult EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) override;
    AudioResult CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) override;
    uint32_t MixerDeviceCount() override { return 0; }
    AudioResult OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) override;

private:
    const BusFace& Face();

    DynamicLibrary& library_;
    BusFace face_;
};

}  // namespace tavrin
