#include "tests/device/audio/FakeAudio.h"

namespace tavrin::test {
namespace {

class Counted {
public:
    explicit Counted(FakeAudioState& state) : state_(state) { ++state_.liveObjects; }
    ~Counted() { --state_.liveObjects; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

protected:
    bool Fails(GainCall call) const { return state_.failGainCall == call; }
    FakeAudioState& state_;
};

class Volume final : public AudioEndpointVolume, Counted {
public:
    Volume(FakeAudioState& state, FakeEndpoint& endpoint) : Counted(state), endpoint_(endpoint) {}
    AudioResult GetVolumeStepInfo(uint32_t& step, uint32_t& stepCount) override {
        if (endpoint_.stepInfo != kAudioOk) return endpoint_.stepInfo;
        step = endpoint_.step;
        stepCount = endpoint_.stepCount;
        return kAudioOk;
    }
    AudioResult SetMasterVolumeLevelScalar(float level) override {
        endpoint_.level = level;
        return endpoint_.setLevel;
    }
    AudioResult GetMute(bool& mute) override {
        if (endpoint_.muteCall == kAudioOk) mute = endpoint_.mute;
        return endpoint_.muteCall;
    }
    AudioResult SetMute(bool mute) override {
        if (endpoint_.muteCall == kAudioOk) endpoint_.mute = mute;
        return endpoint_.muteCall;
    }

private:
    FakeEndpoint& endpoint_;
};

class AutoGain final : public AudioAutoGainControl, Counted {
public:
    using Counted::Counted;
    AudioResult GetEnabled(bool& enabled) override {
        if (state_.gainCall == kAudioOk) enabled = state_.gainEnabled;
        return state_.gainCall;
    }
    AudioResult SetEnabled(bool enabled) override {
        if (state_.gainCall == kAudioOk) state_.gainEnabled = enabled;
        return state_.gainCall;
    }
};

class Part final : public AudioPart, Counted {
public:
    Part(FakeAudioState& state, uint32_t index) : Counted(state), index_(index) {}
    AudioResult ActivateAutoGainControl(std::unique_ptr<AudioAutoGainControl>& control) override {
        ++state_.partsAsked;
        if (static_cast<int>(index_) != state_.gainSubunit) return kAudioNoInterface;
        control = std::make_unique<AutoGain>(state_);
        return kAudioOk;
    }

private:
    uint32_t index_;
};

class Subunit final : public AudioSubunit, Counted {
public:
    Subunit(FakeAudioState& state, uint32_t index) : Counted(state), index_(index) {}
    AudioResult QueryPart(std::unique_ptr<AudioPart>& part) override {
        if (Fails(GainCall::Part)) return kAudioNoInterface;
        part = std::make_unique<Part>(state_, index_);
        return kAudioOk;
    }

private:
    uint32_t index_;
};

class Connector final : public AudioConnector, Counted {
public:
    Connector(FakeAudioState& state, std::wstring connectedId)
        : Counted(state), connectedId_(std::move(connectedId)) {}
    AudioResult GetDeviceIdConnectedTo(std::wstring& deviceId) override {
        if (Fails(GainCall::ConnectedId)) return kAudioFailed;
        deviceId = connectedId_;
        return kAudioOk;
    }

private:
    std::wstring connectedId_;
};

// The endpoint's topology leads through connector 0; the adapter's holds the subunits.
class Topology final : public AudioDeviceTopology, Counted {
public:
    Topology(FakeAudioState& state, const FakeEndpoint* endpoint)
        : Counted(state), endpoint_(endpoint) {}
    AudioResult GetConnector(uint32_t index, std::unique_ptr<AudioConnector>& connector) override {
        if (Fails(GainCall::Connector) || endpoint_ == nullptr || index != 0) {
            return kAudioInvalidArgument;
        }
        connector = std::make_unique<Connector>(state_, endpoint_->connectedId);
        return kAudioOk;
    }
    AudioResult GetSubunitCount(uint32_t& count) override {
        if (Fails(GainCall::SubunitCount)) return kAudioFailed;
        count = endpoint_ == nullptr ? state_.subunitCount : 0;
        return kAudioOk;
    }
    AudioResult GetSubunit(uint32_t index, std::unique_ptr<AudioSubunit>& subunit) override {
        if (Fails(GainCall::Subunit) || endpoint_ != nullptr) return kAudioInvalidArgument;
        subunit = std::make_unique<Subunit>(state_, index);
        return kAudioOk;
    }

private:
    const FakeEndpoint* endpoint_;  // null for the adapter
};

class Device final : public AudioDevice, Counted {
public:
    Device(FakeAudioState& state, FakeEndpoint* endpoint) : Counted(state), endpoint_(endpoint) {}
    AudioResult ReadFriendlyName(std::wstring& name) override {
        if (endpoint_ == nullptr) return kAudioFailed;
        if (endpoint_->readName == kAudioOk) name = endpoint_->friendlyName;
        return endpoint_->readName;
    }
    AudioResult ActivateEndpointVolume(std::unique_ptr<AudioEndpointVolume>& volume) override {
        if (endpoint_ == nullptr) return kAudioNoInterface;
        if (endpoint_->activateVolume != kAudioOk) return endpoint_->activateVolume;
        volume = std::make_unique<Volume>(state_, *endpoint_);
        return kAudioOk;
    }
    AudioResult ActivateDeviceTopology(std::unique_ptr<AudioDeviceTopology>& topology) override {
        const GainCall call =
            endpoint_ != nullptr ? GainCall::EndpointTopology : GainCall::ConnectedTopology;
        if (Fails(call)) return kAudioNoInterface;
        topology = std::make_unique<Topology>(state_, endpoint_);
        return kAudioOk;
    }

private:
    FakeEndpoint* endpoint_;  // null for the adapter
};

class Collection final : public AudioDeviceCollection, Counted {
public:
    using Counted::Counted;
    AudioResult GetCount(uint32_t& count) override {
        count = static_cast<uint32_t>(state_.endpoints.size());
        return kAudioOk;
    }
    AudioResult Item(uint32_t index, std::unique_ptr<AudioDevice>& device) override {
        if (index >= state_.endpoints.size()) return kAudioInvalidArgument;
        device = std::make_unique<Device>(state_, &state_.endpoints[index]);
        return kAudioOk;
    }
};

class Enumerator final : public AudioDeviceEnumerator, Counted {
public:
    using Counted::Counted;
    AudioResult EnumActiveCaptureEndpoints(
        std::unique_ptr<AudioDeviceCollection>& endpoints) override {
        if (state_.enumEndpoints != kAudioOk) return state_.enumEndpoints;
        endpoints = std::make_unique<Collection>(state_);
        return kAudioOk;
    }
    AudioResult GetDevice(const std::wstring& deviceId,
                          std::unique_ptr<AudioDevice>& device) override {
        state_.requestedDeviceId = deviceId;
        if (Fails(GainCall::ConnectedDevice) || deviceId != state_.adapterId) {
            return kAudioNotFound;
        }
        device = std::make_unique<Device>(state_, nullptr);
        return kAudioOk;
    }
};

class FakeMixerDevice final : public Mixer, Counted {
public:
    FakeMixerDevice(FakeAudioState& state, FakeMixer& mixer) : Counted(state), mixer_(mixer) {}
    AudioResult GetWaveInDestination(MixerLine& line) override {
        if (!mixer_.hasWaveIn) return 1024;  // MIXERR_INVALLINE
        line.destination = 0;
        line.lineId = kDestinationLine;
        line.sourceCount = static_cast<uint32_t>(mixer_.sources.size());
        line.component = MixerComponent::WaveInDestination;
        line.targetProductName = mixer_.productName;
        return kAudioOk;
    }
    AudioResult GetSourceLine(uint32_t destination, uint32_t source, MixerLine& line) override {
        if (destination != 0 || source >= mixer_.sources.size() ||
            !mixer_.sources[source].readable) {
            return 1024;
        }
        line.destination = 0;
        line.lineId = source;
        line.component = mixer_.sources[source].component;
        return kAudioOk;
    }
    AudioResult GetLineControl(uint32_t lineId, MixerControlType type,
                               MixerControlInfo& control) override {
        const FakeMixerLine& line =
            lineId == kDestinationLine ? mixer_.destination : mixer_.sources.at(lineId);
        auto found = line.controls.find(type);
        if (found == line.controls.end()) return 1025;  // MIXERR_INVALCONTROL
        control = found->second;
        return kAudioOk;
    }
    AudioResult GetControlValue(uint32_t controlId, uint32_t& value) override {
        if (mixer_.detailsCall == kAudioOk) value = mixer_.values[controlId];
        return mixer_.detailsCall;
    }
    AudioResult SetControlValue(uint32_t controlId, uint32_t value) override {
        if (mixer_.detailsCall == kAudioOk) mixer_.values[controlId] = value;
        return mixer_.detailsCall;
    }

private:
    static constexpr uint32_t kDestinationLine = 0xFFFF0000;
    FakeMixer& mixer_;
};

}  // namespace

AudioResult FakeAudio::CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) {
    if (state_.createEnumerator != kAudioOk) return state_.createEnumerator;
    if (state_.failGainCall == GainCall::CreateEnumerator) return kAudioFailed;
    enumerator = std::make_unique<Enumerator>(state_);
    return kAudioOk;
}

AudioResult FakeAudio::OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) {
    FakeMixer& fake = state_.mixers.at(index);
    if (fake.open != kAudioOk) return fake.open;
    mixer = std::make_unique<FakeMixerDevice>(state_, fake);
    return kAudioOk;
}

}  // namespace tavrin::test
