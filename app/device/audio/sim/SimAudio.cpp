#include "app/device/audio/sim/SimAudio.h"

#include <utility>

namespace tavrin {
namespace {

using Face = BusFaceFunctions;

constexpr uint32_t kTextCapacity = 1024;
// What DirectSound lists first, without a GUID, when any capture device is present.
constexpr wchar_t kPrimaryCaptureDriver[] = L"Primary Sound Capture Driver";
// Core Audio names the adapter device behind a connector by "{2}." and its interface path.
constexpr wchar_t kAdapterIdPrefix[] = L"{2}.";

struct EndpointEntry {
    std::wstring friendlyName;
    std::wstring interfacePath;
};

AudioResult FromBus(int32_t result) {
    return result == 0 ? kAudioOk : kAudioFailed;
}

std::vector<EndpointEntry> ListEndpoints(const Face& face) {
    std::vector<EndpointEntry> endpoints;
    if (face.getCaptureEndpoint == nullptr) return endpoints;
    for (uint32_t index = 0;; ++index) {
        wchar_t name[kTextCapacity] = {};
        wchar_t path[kTextCapacity] = {};
        if (face.getCaptureEndpoint(index, name, kTextCapacity, path, kTextCapacity) != 0) break;
        endpoints.push_back({name, path});
    }
    return endpoints;
}

class SimVolume final : public AudioEndpointVolume {
public:
    explicit SimVolume(const Face& face) : face_(face) {}
    AudioResult GetVolumeStepInfo(uint32_t& step, uint32_t& stepCount) override {
        return FromBus(face_.getCaptureVolumeStep(&step, &stepCount));
    }
    AudioResult SetMasterVolumeLevelScalar(float level) override {
        return FromBus(face_.setCaptureVolumeScalar(level));
    }
    AudioResult GetMute(bool& mute) override {
        int32_t value = 0;
        const AudioResult result = FromBus(face_.getCaptureMute(&value));
        if (result == kAudioOk) mute = value != 0;
        return result;
    }
    AudioResult SetMute(bool mute) override { return FromBus(face_.setCaptureMute(mute ? 1 : 0)); }

private:
    Face face_;
};

class SimAutoGain final : public AudioAutoGainControl {
public:
    explicit SimAutoGain(const Face& face) : face_(face) {}
    AudioResult GetEnabled(bool& enabled) override {
        int32_t value = 0;
        const AudioResult result = FromBus(face_.getCaptureAutoGain(&value));
        if (result == kAudioOk) enabled = value != 0;
        return result;
    }
    AudioResult SetEnabled(bool enabled) override {
        return FromBus(face_.setCaptureAutoGain(enabled ? 1 : 0));
    }

private:
    Face face_;
};

class SimPart final : public AudioPart {
public:
    explicit SimPart(const Face& face) : face_(face) {}
    AudioResult ActivateAutoGainControl(std::unique_ptr<AudioAutoGainControl>& control) override {
        if (face_.getCaptureAutoGain == nullptr || face_.setCaptureAutoGain == nullptr)
            return kAudioNoInterface;
        control = std::make_unique<SimAutoGain>(face_);
        return kAudioOk;
    }

private:
    Face face_;
};

class SimSubunit final : public AudioSubunit {
public:
    explicit SimSubunit(const Face& face) : face_(face) {}
    AudioResult QueryPart(std::unique_ptr<AudioPart>& part) override {
        part = std::make_unique<SimPart>(face_);
        return kAudioOk;
    }

private:
    Face face_;
};

class SimConnector final : public AudioConnector {
public:
    explicit SimConnector(std::wstring adapterId) : adapterId_(std::move(adapterId)) {}
    AudioResult GetDeviceIdConnectedTo(std::wstring& deviceId) override {
        deviceId = adapterId_;
        return kAudioOk;
    }

private:
    std::wstring adapterId_;
};

// An endpoint's topology has the connector to the adapter and no subunits; the adapter's has
// the one gain subunit and no connector of interest.
class SimTopology final : public AudioDeviceTopology {
public:
    SimTopology(const Face& face, std::wstring adapterId)
        : face_(face), adapterId_(std::move(adapterId)) {}
    AudioResult GetConnector(uint32_t index, std::unique_ptr<AudioConnector>& connector) override {
        if (adapterId_.empty() || index != 0) return kAudioInvalidArgument;
        connector = std::make_unique<SimConnector>(adapterId_);
        return kAudioOk;
    }
    AudioResult GetSubunitCount(uint32_t& count) override {
        count = adapterId_.empty() ? 1 : 0;
        return kAudioOk;
    }
    AudioResult GetSubunit(uint32_t index, std::unique_ptr<AudioSubunit>& subunit) override {
        if (!adapterId_.empty() || index != 0) return kAudioInvalidArgument;
        subunit = std::make_unique<SimSubunit>(face_);
        return kAudioOk;
    }

private:
    Face face_;
    std::wstring adapterId_;  // empty for the adapter's own topology
};

class SimDevice final : public AudioDevice {
public:
    SimDevice(const Face& face, EndpointEntry entry, bool isAdapter)
        : face_(face), entry_(std::move(entry)), isAdapter_(isAdapter) {}
    AudioResult ReadFriendlyName(std::wstring& name) override {
        name = entry_.friendlyName;
        return kAudioOk;
    }
    AudioResult ActivateEndpointVolume(std::unique_ptr<AudioEndpointVolume>& volume) override {
        if (isAdapter_ || face_.getCaptureVolumeStep == nullptr ||
            face_.setCaptureVolumeScalar == nullptr || face_.getCaptureMute == nullptr ||
            face_.setCaptureMute == nullptr) {
            return kAudioNoInterface;
        }
        volume = std::make_unique<SimVolume>(face_);
        return kAudioOk;
    }
    AudioResult ActivateDeviceTopology(std::unique_ptr<AudioDeviceTopology>& topology) override {
        topology = std::make_unique<SimTopology>(
            face_, isAdapter_ ? L"" : kAdapterIdPrefix + entry_.interfacePath);
        return kAudioOk;
    }

private:
    Face face_;
    EndpointEntry entry_;
    bool isAdapter_;
};

class SimCollection final : public AudioDeviceCollection {
public:
    SimCollection(const Face& face, std::vector<EndpointEntry> endpoints)
        : face_(face), endpoints_(std::move(endpoints)) {}
    AudioResult GetCount(uint32_t& count) override {
        count = static_cast<uint32_t>(endpoints_.size());
        return kAudioOk;
    }
    AudioResult Item(uint32_t index, std::unique_ptr<AudioDevice>& device) override {
        if (index >= endpoints_.size()) return kAudioInvalidArgument;
        device = std::make_unique<SimDevice>(face_, endpoints_[index], false);
        return kAudioOk;
    }

private:
    Face face_;
    std::vector<EndpointEntry> endpoints_;
};

class SimEnumerator final : public AudioDeviceEnumerator {
public:
    explicit SimEnumerator(const Face& face) : face_(face) {}
    AudioResult EnumActiveCaptureEndpoints(
        std::unique_ptr<AudioDeviceCollection>& endpoints) override {
        endpoints = std::make_unique<SimCollection>(face_, ListEndpoints(face_));
        return kAudioOk;
    }
    AudioResult GetDevice(const std::wstring& deviceId,
                          std::unique_ptr<AudioDevice>& device) override {
        for (const EndpointEntry& entry : ListEndpoints(face_)) {
            if (deviceId == kAdapterIdPrefix + entry.interfacePath) {
                device = std::make_unique<SimDevice>(face_, entry, true);
                return kAudioOk;
            }
        }
        return kAudioNotFound;
    }

private:
    Face face_;
};

}  // namespace

AudioResult SimAudio::EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) {
    entries.clear();
    const std::vector<EndpointEntry> endpoints = ListEndpoints(face_.Functions());
    if (endpoints.empty()) return kAudioOk;
    entries.push_back({true, kPrimaryCaptureDriver, L""});
    for (const EndpointEntry& endpoint : endpoints) {
        entries.push_back({false, endpoint.friendlyName, endpoint.interfacePath});
    }
    return kAudioOk;
}

AudioResult SimAudio::CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) {
    enumerator = std::make_unique<SimEnumerator>(face_.Functions());
    return kAudioOk;
}

AudioResult SimAudio::OpenMixer(uint32_t /*index*/, std::unique_ptr<Mixer>& /*mixer*/) {
    return kAudioInvalidArgument;
}

}  // namespace tavrin
