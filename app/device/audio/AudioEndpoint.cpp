#include "app/device/audio/AudioEndpoint.h"

#include <algorithm>
#include <vector>

#include "ports/TextCase.h"

namespace tavrin {
namespace {

constexpr wchar_t kAudioServiceName[] = L"audiosrv";
constexpr wchar_t kEndpointInstanceValue[] = L"{233164c8-1b2c-4c7d-bc68-b671687a2567},1";
constexpr wchar_t kListenValueFirst[] = L"{24dbb0fc-9311-4b3d-9cf0-18ff155639d4},1";
constexpr wchar_t kListenValueSecond[] = L"{24dbb0fc-9311-4b3d-9cf0-18ff155639d4},4";
// The instance text is read into a buffer of this many bytes; a longer value does not fit.
constexpr size_t kEndpointInstanceMaxBytes = 260;

// COM for the duration of one endpoint operation.
class ComUse {
public:
    explicit ComUse(Audio& audio) : audio_(audio), balance_(audio.InitializeCom()) {}
    ~ComUse() {
        if (balance_) audio_.UninitializeCom();
    }
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;

private:
    Audio& audio_;
    bool balance_;
};

template <class Object>
bool Failed(AudioResult result, const std::unique_ptr<Object>& object) {
    return result != kAudioOk || object == nullptr;
}

// The first `length` characters of both, which the caller guarantees are there.
bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b, size_t length) {
    return EqualsIgnoringCase(std::wstring_view(a).substr(0, length),
                              std::wstring_view(b).substr(0, length));
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& start) {
    return text.size() >= start.size() && EqualIgnoringCase(text, start, start.size());
}

std::wstring Hex(uint16_t number, bool upper, int minimumDigits) {
    const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring text;
    for (uint32_t rest = number; rest != 0 || static_cast<int>(text.size()) < minimumDigits;
         rest >>= 4) {
        text.insert(text.begin(), digits[rest & 0xF]);
    }
    return text;
}

// Gain control: connector 0 of the endpoint leads to the adapter device, whose first part
// offering automatic gain control is the one used.
template <class Use>
int WithGainControl(Audio& audio, AudioDevice& endpoint, Use use) {
    ComUse com(audio);
    std::unique_ptr<AudioDeviceEnumerator> enumerator;
    if (Failed(audio.CreateDeviceEnumerator(enumerator), enumerator)) {
        return kGainEnumeratorFailed;
    }
    std::unique_ptr<AudioDeviceTopology> endpointTopology;
    if (Failed(endpoint.ActivateDeviceTopology(endpointTopology), endpointTopology)) {
        return kGainTopologyFailed;
    }
    std::unique_ptr<AudioConnector> connector;
    if (Failed(endpointTopology->GetConnector(0, connector), connector)) {
        return kGainConnectorFailed;
    }
    std::wstring connectedId;
    if (connector->GetDeviceIdConnectedTo(connectedId) != kAudioOk) return kGainConnectedIdFailed;
    std::unique_ptr<AudioDevice> connected;
    if (Failed(enumerator->GetDevice(connectedId, connected), connected)) {
        return kGainConnectedDeviceFailed;
    }
    std::unique_ptr<AudioDeviceTopology> topology;
    if (Failed(connected->ActivateDeviceTopology(topology), topology)) {
        return kGainConnectedTopologyFailed;
    }
    uint32_t subunitCount = 0;
    if (topology->GetSubunitCount(subunitCount) != kAudioOk) return kGainSubunitCountFailed;
    for (uint32_t index = 0; index < subunitCount; ++index) {
        std::unique_ptr<AudioSubunit> subunit;
        if (Failed(topology->GetSubunit(index, subunit), subunit)) return kGainSubunitFailed;
        std::unique_ptr<AudioPart> part;
        if (Failed(subunit->QueryPart(part), part)) return kGainPartFailed;
        std::unique_ptr<AudioAutoGainControl> control;
        if (Failed(part->ActivateAutoGainControl(control), control)) continue;
        return use(*control) == kAudioOk ? kEndpointDone : kGainControlRefused;
    }
    return kGainControlNotFound;
}

MixerControlType ControlTypeOf(MixerOperation operation) {
    switch (operation) {
        case MixerOperation::GetVolume:
        case MixerOperation::SetVolume: return MixerControlType::Volume;
        case MixerOperation::GetMute:
        case MixerOperation::SetMute: return MixerControlType::Mute;
        case MixerOperation::GetInputSelector:
        case MixerOperation::SetInputSelector: break;
    }
    return MixerControlType::InputSelector;
}

// A mixer names its product in at most 31 characters, so only the shorter length can be
// compared. An empty name would match anything and names nothing.
bool SameProductName(const std::wstring& productName, const std::wstring& captureName) {
    const size_t length = std::min(productName.size(), captureName.size());
    return length != 0 && EqualIgnoringCase(productName, captureName, length);
}

bool FindLineControl(Mixer& mixer, const MixerLine& destination, MixerControlType type,
                     MixerControlInfo& control) {
    if (mixer.GetLineControl(destination.lineId, type, control) == kAudioOk) return true;
    for (uint32_t source = 0; source < destination.sourceCount; ++source) {
        MixerLine line;
        if (mixer.GetSourceLine(destination.destination, source, line) != kAudioOk) return false;
        if (line.component != MixerComponent::Microphone &&
            line.component != MixerComponent::Undefined) {
            continue;
        }
        if (mixer.GetLineControl(line.lineId, type, control) == kAudioOk) return true;
    }
    return false;
}

bool ApplyMixerOperation(Mixer& mixer, MixerOperation operation, const MixerControlInfo& control,
                         uint32_t& value, uint32_t& minimum, uint32_t& maximum) {
    switch (operation) {
        case MixerOperation::GetVolume:
            if (mixer.GetControlValue(control.controlId, value) != kAudioOk) return false;
            minimum = control.minimum;
            maximum = control.maximum;
            return true;
        case MixerOperation::GetMute:
        case MixerOperation::GetInputSelector:
            return mixer.GetControlValue(control.controlId, value) == kAudioOk;
        case MixerOperation::SetVolume:
        case MixerOperation::SetMute:
        case MixerOperation::SetInputSelector: break;
    }
    return mixer.SetControlValue(control.controlId, value) == kAudioOk;
}

bool OccursAfterFirstCharacter(const std::wstring& text, const std::wstring& part) {
    return text.find(part, 1) != std::wstring::npos;
}

RegistryValue ListenBlob(bool on) {
    const uint8_t level = on ? 0xFF : 0x00;
    return {kRegBinary, {0x0B, 0, 0, 0, 0x01, 0, 0, 0, level, level, 0, 0, 0, 0, 0, 0}};
}

int StopAndWait(ServiceHandle& service, Clock& clock) {
    ServiceStatus status;
    if (service.Control(kServiceControlStop, status) != 0) return kAudioServiceStopRefused;
    for (uint32_t waited = 0;; waited += kAudioServiceStopPoll) {
        if (service.QueryStatus(status) == 0 && status.currentState == kServiceStopped) {
            return kAudioServiceDone;
        }
        if (waited >= kAudioServiceStopLimit) return kAudioServiceNotStopped;
        clock.Sleep(kAudioServiceStopPoll);
    }
}

}  // namespace

std::wstring FormatDeviceText(uint16_t vid, uint16_t pid) {
    return L"\\\\?\\USB#VID_" + Hex(vid, true, 4) + L"&PID_" + Hex(pid, true, 4);
}

std::wstring FindCaptureName(Audio& audio, uint16_t vid, uint16_t pid) {
    const std::wstring deviceText = FormatDeviceText(vid, pid);
    std::vector<CaptureDriverEntry> entries;
    // Entries reported before a failure still count, as each reached the callback.
    audio.EnumerateCaptureDrivers(entries);
    std::wstring captureName;
    for (const CaptureDriverEntry& entry : entries) {
        if (entry.isDefault || !StartsWithIgnoringCase(entry.interfacePath, deviceText)) continue;
        captureName = entry.name.substr(0, kCaptureNameMaxLength);
    }
    return captureName;
}

std::unique_ptr<AudioDevice> FindCaptureEndpoint(Audio& audio, uint16_t vid, uint16_t pid) {
    const std::wstring captureName = FindCaptureName(audio, vid, pid);
    // Every friendly name contains the empty text: without a capture driver of the device there
    // is no endpoint of it, and another microphone must not be taken for it.
    if (captureName.empty()) return nullptr;
    std::unique_ptr<AudioDeviceEnumerator> enumerator;
    if (Failed(audio.CreateDeviceEnumerator(enumerator), enumerator)) return nullptr;
    std::unique_ptr<AudioDeviceCollection> endpoints;
    if (Failed(enumerator->EnumActiveCaptureEndpoints(endpoints), endpoints)) return nullptr;
    uint32_t count = 0;
    if (endpoints->GetCount(count) != kAudioOk) return nullptr;
    for (uint32_t index = 0; index < count; ++index) {
        std::unique_ptr<AudioDevice> endpoint;
        if (Failed(endpoints->Item(index, endpoint), endpoint)) return nullptr;
        std::wstring friendlyName;
        if (endpoint->ReadFriendlyName(friendlyName) != kAudioOk) return nullptr;
        if (friendlyName.find(captureName) != std::wstring::npos) return endpoint;
    }
    return nullptr;
}

HeldCaptureEndpoint::HeldCaptureEndpoint(Audio& audio, uint16_t vid, uint16_t pid)
    : audio_(audio),
      balanceCom_(audio.InitializeCom()),
      endpoint_(FindCaptureEndpoint(audio, vid, pid)) {}

// The endpoint goes before COM does.
HeldCaptureEndpoint::~HeldCaptureEndpoint() {
    endpoint_.reset();
    if (balanceCom_) audio_.UninitializeCom();
}

int GetEndpointLevel(Audio& audio, AudioDevice& endpoint, int& percent) {
    ComUse com(audio);
    std::unique_ptr<AudioEndpointVolume> volume;
    if (Failed(endpoint.ActivateEndpointVolume(volume), volume)) {
        return kEndpointActivationFailed;
    }
    uint32_t step = 0;
    uint32_t stepCount = 0;
    if (volume->GetVolumeStepInfo(step, stepCount) != kAudioOk) return kEndpointStepQueryFailed;
    // A control with a single step (or none) has no range to place the level in: 0 percent.
    percent =
        stepCount > 1 ? static_cast<int>(uint64_t{step} * 100 / (uint64_t{stepCount} - 1)) : 0;
    return kEndpointDone;
}

int SetEndpointLevel(Audio& audio, AudioDevice& endpoint, int percent) {
    ComUse com(audio);
    std::unique_ptr<AudioEndpointVolume> volume;
    if (Failed(endpoint.ActivateEndpointVolume(volume), volume)) {
        return kEndpointActivationFailed;
    }
    // The level is read back by the caller; the set call's own answer is not needed.
    volume->SetMasterVolumeLevelScalar(static_cast<float>(percent * 0.01));
    return kEndpointDone;
}

AudioResult GetEndpointMute(Audio& audio, AudioDevice& endpoint, bool& mute) {
    ComUse com(audio);
    std::unique_ptr<AudioEndpointVolume> volume;
    if (Failed(endpoint.ActivateEndpointVolume(volume), volume)) {
        return kEndpointActivationFailed;
    }
    return volume->GetMute(mute);
}

AudioResult SetEndpointMute(Audio& audio, AudioDevice& endpoint, bool mute) {
    ComUse com(audio);
    std::unique_ptr<AudioEndpointVolume> volume;
    if (Failed(endpoint.ActivateEndpointVolume(volume), volume)) {
        return kEndpointActivationFailed;
    }
    return volume->SetMute(mute);
}

int GetEndpointGainControl(Audio& audio, AudioDevice& endpoint, bool& enabled) {
    return WithGainControl(audio, endpoint, [&](AudioAutoGainControl& control) {
        return control.GetEnabled(enabled);
    });
}

int SetEndpointGainControl(Audio& audio, AudioDevice& endpoint, bool enabled) {
    return WithGainControl(audio, endpoint, [&](AudioAutoGainControl& control) {
        return control.SetEnabled(enabled);
    });
}

int MixerControl(Audio& audio, MixerOperation operation, uint32_t& value, uint32_t& minimum,
                 uint32_t& maximum, uint16_t vid, uint16_t pid) {
    const std::wstring captureName = FindCaptureName(audio, vid, pid);
    if (captureName.empty()) return kMixerNotFound;
    const MixerControlType type = ControlTypeOf(operation);
    const uint32_t mixerCount = audio.MixerDeviceCount();
    for (uint32_t index = 0; index < mixerCount; ++index) {
        std::unique_ptr<Mixer> mixer;
        if (Failed(audio.OpenMixer(index, mixer), mixer)) continue;
        // A mixer without a recording destination (a playback-only device) is not the one.
        MixerLine destination;
        if (mixer->GetWaveInDestination(destination) != kAudioOk) continue;
        if (!SameProductName(destination.targetProductName, captureName)) continue;
        MixerControlInfo control;
        if (!FindLineControl(*mixer, destination, type, control)) continue;
        return ApplyMixerOperation(*mixer, operation, control, value, minimum, maximum)
                   ? kMixerDone
                   : kMixerNotFound;
    }
    return kMixerNotFound;
}

void SetListenToDevice(Registry& registry, bool on, uint16_t vid, uint16_t pid) {
    const auto hklm = RegistryHive::LocalMachine;
    const auto view = RegistryView::Native64;
    const std::wstring vidText = Hex(vid, false, 1);
    const std::wstring pidText = Hex(pid, false, 1);
    std::vector<std::wstring> endpoints;
    if (registry.EnumSubKeyNames(hklm, kCaptureDevicesKey, endpoints, view) != 0) return;
    for (const std::wstring& endpoint : endpoints) {
        const std::wstring properties =
            std::wstring(kCaptureDevicesKey) + L"\\" + endpoint + L"\\Properties";
        RegistryValue value;
        std::wstring instance;
        if (registry.QueryValue(hklm, properties, kEndpointInstanceValue, value, view) != 0 ||
            value.data.size() > kEndpointInstanceMaxBytes || !ReadStringValue(value, instance)) {
            continue;
        }
        if (!OccursAfterFirstCharacter(instance, vidText) ||
            !OccursAfterFirstCharacter(instance, pidText)) {
            continue;
        }
        // Each write opens and closes the key; the audio service reads the live registry when
        // it restarts, so nothing needs flushing first.
        const RegistryValue blob = ListenBlob(on);
        registry.SetValue(hklm, properties, kListenValueFirst, blob, view);
        registry.SetValue(hklm, properties, kListenValueSecond, blob, view);
    }
}

int RestartAudioService(ServiceManager& services, Clock& clock) {
    uint32_t error = 0;
    // Without the manager or the service nothing can be started.
    const auto manager = services.Connect(kScManagerAllAccess, error);
    if (manager == nullptr) return kAudioServiceStartRefused;
    const auto service = manager->Open(kAudioServiceName, kServiceAllAccess, error);
    if (service == nullptr) return kAudioServiceStartRefused;

    int result = kAudioServiceDone;
    ServiceStatus status;
    if (service->QueryStatus(status) == 0 && status.currentState == kServiceRunning) {
        result = StopAndWait(*service, clock);
    }
    // A refused stop leaves it running; in every other case it must run again, or the machine
    // is left without sound.
    if (result == kAudioServiceStopRefused) return result;
    if (service->Start() != 0 && result == kAudioServiceDone) result = kAudioServiceStartRefused;
    return result;
}

}  // namespace tavrin
