#include "app/device/audio/sim/SimAudio.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace tavrin {
namespace {

using Face = BusFaceFunctions;

constexpr uint32_t kTextCapacity = 1024;
// What DirectSound lists first, without a GUID, when any capture device is present.
constexpr wchar_t kPrimaryCaptureDriver[] = L"Primary Sound Capture Driver";
// Core Audio names the adapter device behind a connector by "{2}." and its interface path.
constexpr wchar_t kAdapterIdPrefix[] = L"{2}.";
// A recording takes the microphone's samples in stretches of at most this long, or of one buffer
// when that is shorter.
constexpr uint32_t kStretchMilliseconds = 50;
constexpr AudioResult kBadWaveFormat = 32;  // WAVERR_BADFORMAT

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

// The headset's microphone recorded into a ring of buffers by a worker that keeps the format's
// pace. With a sink each filled buffer is handed to the window thread and recorded into again at
// once; without one the recording ends when every buffer is full.
class SimRecording final : public WaveRecording {
public:
    SimRecording(const Face& face, const WaveFormat& format, uint32_t bufferBytes,
                 uint32_t bufferCount, RecordingSink* sink, UiHost& windowThread)
        : face_(face),
          format_(format),
          sink_(sink),
          windowThread_(windowThread),
          shared_(std::make_shared<Shared>()) {
        shared_->buffers.assign(bufferCount, std::vector<uint8_t>(bufferBytes, Silence()));
        shared_->filled.assign(bufferCount, 0);
        shared_->returned.assign(bufferCount, 0);
        const uint32_t stretch =
            std::min(format.bytesPerSecond * kStretchMilliseconds / 1000, bufferBytes);
        stretchBytes_ =
            std::max<uint32_t>(stretch - stretch % format.blockAlign, format.blockAlign);
        worker_ = std::thread([this] { Run(); });
    }
    ~SimRecording() override {
        {
            std::lock_guard<std::mutex> lock(shared_->mutex);
            shared_->ending = true;
        }
        shared_->wake.notify_all();
        worker_.join();
    }
    SimRecording(const SimRecording&) = delete;
    SimRecording& operator=(const SimRecording&) = delete;

    AudioResult Start() override {
        {
            std::lock_guard<std::mutex> lock(shared_->mutex);
            shared_->running = true;
        }
        shared_->wake.notify_all();
        return kAudioOk;
    }
    AudioResult Stop() override {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->running = false;
        if (shared_->current < shared_->buffers.size()) {
            shared_->returned[shared_->current] = shared_->filled[shared_->current];
        }
        return kAudioOk;
    }
    std::vector<uint8_t> Contents(size_t index) override {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        return index < shared_->buffers.size() ? shared_->buffers[index] : std::vector<uint8_t>{};
    }
    uint32_t BytesRecorded(size_t index) override {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        return index < shared_->returned.size() ? shared_->returned[index] : 0;
    }

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        bool running = false;
        bool ending = false;
        std::vector<std::vector<uint8_t>> buffers;
        std::vector<uint32_t> filled;
        std::vector<uint32_t> returned;
        size_t current = 0;  // the buffer being recorded into; past the end when all are full
    };

    uint8_t Silence() const { return format_.bitsPerSample == 8 ? 128 : 0; }

    bool Recording(const Shared& shared) const {
        return shared.running && shared.current < shared.buffers.size();
    }

    void Run() {
        Shared& shared = *shared_;
        const auto stretch = std::chrono::milliseconds(
            std::max<uint64_t>(1, uint64_t{stretchBytes_} * 1000 / format_.bytesPerSecond));
        std::unique_lock<std::mutex> lock(shared.mutex);
        while (true) {
            shared.wake.wait(lock, [&] { return shared.ending || Recording(shared); });
            if (shared.ending) return;
            if (shared.wake.wait_for(lock, stretch,
                                     [&] { return shared.ending || !Recording(shared); })) {
                continue;
            }
            std::vector<uint8_t>& buffer = shared.buffers[shared.current];
            uint32_t& filled = shared.filled[shared.current];
            std::vector<uint8_t> samples(std::min<size_t>(stretchBytes_, buffer.size() - filled),
                                         Silence());
            lock.unlock();
            // An unplugged headset records silence.
            face_.readCaptureSamples(format_.bitsPerSample, samples.data(),
                                     static_cast<uint32_t>(samples.size()));
            lock.lock();
            if (!Recording(shared)) continue;
            std::copy(samples.begin(), samples.end(), buffer.begin() + filled);
            filled += static_cast<uint32_t>(samples.size());
            if (filled == buffer.size()) BufferFull(shared);
        }
    }

    // Called with the lock held.
    void BufferFull(Shared& shared) {
        const size_t index = shared.current;
        shared.returned[index] = shared.filled[index];
        if (sink_ == nullptr) {
            ++shared.current;
            return;
        }
        shared.filled[index] = 0;
        shared.current = (index + 1) % shared.buffers.size();
        // The recording may be gone (or stopped) by the time the window thread gets to it.
        std::weak_ptr<Shared> alive = shared_;
        windowThread_.PostToWindowThread([alive, sink = sink_, samples = shared.buffers[index]] {
            const std::shared_ptr<Shared> recording = alive.lock();
            if (recording == nullptr) return;
            {
                std::lock_guard<std::mutex> lock(recording->mutex);
                if (!recording->running) return;
            }
            sink->BufferFilled(samples);
        });
    }

    Face face_;
    WaveFormat format_;
    RecordingSink* sink_;
    UiHost& windowThread_;
    uint32_t stretchBytes_ = 1;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

// Nothing to play on: the samples are only kept while the playback lasts.
class SimPlayback final : public WavePlayback {
public:
    explicit SimPlayback(std::vector<uint8_t> samples) : samples_(std::move(samples)) {}

private:
    std::vector<uint8_t> samples_;
};

bool PlausibleFormat(const WaveFormat& format) {
    return (format.bitsPerSample == 8 || format.bitsPerSample == 16) && format.channels == 1 &&
           format.blockAlign == format.bitsPerSample / 8 && format.bytesPerSecond != 0;
}

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

AudioResult SimAudio::OpenRecording(const WaveFormat& format, uint32_t bufferBytes,
                                    uint32_t bufferCount, RecordingSink* sink, UiHost& windowThread,
                                    std::unique_ptr<WaveRecording>& recording) {
    const Face& face = face_.Functions();
    if (face.readCaptureSamples == nullptr) return kAudioNoWaveDevice;
    if (!PlausibleFormat(format)) return kBadWaveFormat;
    if (bufferCount == 0 || bufferBytes == 0 || bufferBytes % format.blockAlign != 0) {
        return kAudioInvalidArgument;
    }
    recording =
        std::make_unique<SimRecording>(face, format, bufferBytes, bufferCount, sink, windowThread);
    return kAudioOk;
}

AudioResult SimAudio::Play(const WaveFormat& format, std::vector<uint8_t> samples,
                           std::unique_ptr<WavePlayback>& playback) {
    if (!PlausibleFormat(format)) return kBadWaveFormat;
    playback = std::make_unique<SimPlayback>(std::move(samples));
    return kAudioOk;
}

}  // namespace tavrin
