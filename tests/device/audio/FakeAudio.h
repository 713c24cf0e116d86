#pragma once
// A scripted audio port: capture drivers, endpoints with volume and topology, mixer devices.
// Every object it hands out is counted while alive, so tests see what was not released, and
// every call that a test may want to fail has a knob.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/Audio.h"

namespace tavrin::test {

struct FakeEndpoint {
    std::wstring friendlyName;
    AudioResult readName = kAudioOk;
    AudioResult activateVolume = kAudioOk;
    AudioResult stepInfo = kAudioOk;
    uint32_t step = 50;
    uint32_t stepCount = 101;
    AudioResult setLevel = kAudioOk;
    float level = -1.0f;  // last scalar written
    AudioResult muteCall = kAudioOk;
    bool mute = false;
    std::wstring connectedId = L"{2}.adapter";
};

struct FakeMixerLine {
    MixerComponent component = MixerComponent::Other;
    bool readable = true;
    std::map<MixerControlType, MixerControlInfo> controls;
};

struct FakeMixer {
    AudioResult open = kAudioOk;
    bool hasWaveIn = true;
    std::wstring productName;
    FakeMixerLine destination{MixerComponent::WaveInDestination, true, {}};
    std::vector<FakeMixerLine> sources;
    std::map<uint32_t, uint32_t> values;  // by control ID
    AudioResult detailsCall = kAudioOk;
};

// The gain walk's calls, numbered like the operation's steps, for failing one of them.
enum class GainCall {
    None = 0,
    CreateEnumerator = 2,
    EndpointTopology = 3,
    Connector = 4,
    ConnectedId = 5,
    ConnectedDevice = 6,
    ConnectedTopology = 7,
    SubunitCount = 8,
    Subunit = 9,
    Part = 10,
};

struct FakeAudioState {
    // COM
    int comInitializations = 0;
    int comUninitializations = 0;
    bool comNeedsBalance = true;
    // Objects alive now.
    int liveObjects = 0;

    std::vector<CaptureDriverEntry> captureDrivers;
    AudioResult enumerateDrivers = kAudioOk;
    AudioResult createEnumerator = kAudioOk;
    AudioResult enumEndpoints = kAudioOk;
    std::vector<FakeEndpoint> endpoints;

    // The adapter behind the connectors.
    std::wstring adapterId = L"{2}.adapter";
    std::wstring requestedDeviceId;  // what GetDevice was asked for
    uint32_t subunitCount = 3;
    int gainSubunit = 1;  // the subunit whose part offers the gain control; -1 none
    GainCall failGainCall = GainCall::None;
    AudioResult gainCall = kAudioOk;
    bool gainEnabled = false;
    int partsAsked = 0;  // parts asked for the gain control

    std::vector<FakeMixer> mixers;
};

class FakeAudio final : public Audio {
public:
    explicit FakeAudio(FakeAudioState& state) : state_(state) {}

    bool InitializeCom() override {
        ++state_.comInitializations;
        return state_.comNeedsBalance;
    }
    void UninitializeCom() override { ++state_.comUninitializations; }
    AudioResult EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) override {
        entries = state_.captureDrivers;
        return state_.enumerateDrivers;
    }
    AudioResult CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) override;
    uint32_t MixerDeviceCount() override { return static_cast<uint32_t>(state_.mixers.size()); }
    AudioResult OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) override;
    // No wave devices here (tests/support/FakeWaveDevices.h has them).
    AudioResult OpenRecording(const WaveFormat&, uint32_t, uint32_t, RecordingSink*, UiHost&,
                              std::unique_ptr<WaveRecording>&) override {
        return kAudioNoWaveDevice;
    }
    AudioResult Play(const WaveFormat&, std::vector<uint8_t>,
                     std::unique_ptr<WavePlayback>&) override {
        return kAudioNoWaveDevice;
    }

private:
    FakeAudioState& state_;
};

}  // namespace tavrin::test
