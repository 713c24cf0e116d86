#include "app/device/audio/win32/Win32Audio.h"

// The lean windows.h leaves out what the audio headers need: include order matters here.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>
#include <devicetopology.h>
#include <dsound.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
// clang-format on

#include <utility>

namespace tavrin {
namespace {

// Our own copies of the identifiers, so that nothing depends on which of them the import
// libraries happen to define.
constexpr CLSID kClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr IID kIidMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr IID kIidAudioEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};
constexpr IID kIidDeviceTopology = {
    0x2A07407E, 0x6497, 0x4A18, {0x97, 0x87, 0x32, 0xF7, 0x9B, 0xD0, 0xD9, 0x8F}};
constexpr IID kIidPart = {
    0xAE2DE0E4, 0x5BCA, 0x4F2D, {0xAA, 0x46, 0x5D, 0x13, 0xF8, 0xFD, 0xB3, 0xA9}};
constexpr IID kIidAudioAutoGainControl = {
    0x85401FD4, 0x6DE4, 0x4B9D, {0x98, 0x69, 0x2D, 0x67, 0x53, 0xA8, 0x2F, 0x3C}};
constexpr PROPERTYKEY kDeviceFriendlyName = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 14};
constexpr GUID kNullEventContext = {};

// IAudioAutoGainControl as Windows defines it; MinGW's header declares other methods in its
// slots (GetEnabled with the arguments of SetEnabled, then a GetMute).
struct AutoGainControlInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID eventContext) = 0;
};

// Windows calls it ISubunit; MinGW spells it ISubUnit.
using SubunitInterface = ISubUnit;

// One reference to a COM object, released on every path.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComRef& operator=(ComRef&&) = delete;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return object_; }
    Interface* Get() const { return object_; }
    Interface** Put() {
        Reset();
        return &object_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

private:
    void Reset() {
        if (object_ != nullptr) object_->Release();
        object_ = nullptr;
    }
    Interface* object_ = nullptr;
};

// Wraps a freshly obtained reference in the port's object when the call succeeded.
template <class Port, class Wrapper, class Interface>
AudioResult Wrap(HRESULT result, ComRef<Interface>& reference, std::unique_ptr<Port>& object) {
    if (FAILED(result)) return result;
    object = std::make_unique<Wrapper>(std::move(reference));
    return S_OK;
}

// A string the callee allocated with CoTaskMemAlloc.
class TaskText {
public:
    ~TaskText() { CoTaskMemFree(text_); }
    LPWSTR* Put() { return &text_; }
    std::wstring Text() const { return text_ == nullptr ? std::wstring() : std::wstring(text_); }

private:
    LPWSTR text_ = nullptr;
};

class Win32Volume final : public AudioEndpointVolume {
public:
    explicit Win32Volume(ComRef<IAudioEndpointVolume> volume) : volume_(std::move(volume)) {}
    AudioResult GetVolumeStepInfo(uint32_t& step, uint32_t& stepCount) override {
        UINT current = 0;
        UINT count = 0;
        const HRESULT result = volume_->GetVolumeStepInfo(&current, &count);
        step = current;
        stepCount = count;
        return result;
    }
    AudioResult SetMasterVolumeLevelScalar(float level) override {
        return volume_->SetMasterVolumeLevelScalar(level, &kNullEventContext);
    }
    AudioResult GetMute(bool& mute) override {
        BOOL value = FALSE;
        const HRESULT result = volume_->GetMute(&value);
        if (SUCCEEDED(result)) mute = value != FALSE;
        return result;
    }
    AudioResult SetMute(bool mute) override {
        return volume_->SetMute(mute ? TRUE : FALSE, &kNullEventContext);
    }

private:
    ComRef<IAudioEndpointVolume> volume_;
};

class Win32AutoGain final : public AudioAutoGainControl {
public:
    explicit Win32AutoGain(ComRef<AutoGainControlInterface> control)
        : control_(std::move(control)) {}
    AudioResult GetEnabled(bool& enabled) override {
        BOOL value = FALSE;
        const HRESULT result = control_->GetEnabled(&value);
        if (SUCCEEDED(result)) enabled = value != FALSE;
        return result;
    }
    AudioResult SetEnabled(bool enabled) override {
        return control_->SetEnabled(enabled ? TRUE : FALSE, nullptr);
    }

private:
    ComRef<AutoGainControlInterface> control_;
};

class Win32Part final : public AudioPart {
public:
    explicit Win32Part(ComRef<IPart> part) : part_(std::move(part)) {}
    AudioResult ActivateAutoGainControl(std::unique_ptr<AudioAutoGainControl>& control) override {
        ComRef<AutoGainControlInterface> reference;
        const HRESULT result =
            part_->Activate(CLSCTX_ALL, kIidAudioAutoGainControl, reference.PutVoid());
        return Wrap<AudioAutoGainControl, Win32AutoGain>(result, reference, control);
    }

private:
    ComRef<IPart> part_;
};

class Win32Subunit final : public AudioSubunit {
public:
    explicit Win32Subunit(ComRef<SubunitInterface> subunit) : subunit_(std::move(subunit)) {}
    AudioResult QueryPart(std::unique_ptr<AudioPart>& part) override {
        ComRef<IPart> reference;
        const HRESULT result = subunit_->QueryInterface(kIidPart, reference.PutVoid());
        return Wrap<AudioPart, Win32Part>(result, reference, part);
    }

private:
    ComRef<SubunitInterface> subunit_;
};

class Win32Connector final : public AudioConnector {
public:
    explicit Win32Connector(ComRef<IConnector> connector) : connector_(std::move(connector)) {}
    AudioResult GetDeviceIdConnectedTo(std::wstring& deviceId) override {
        TaskText text;
        const HRESULT result = connector_->GetDeviceIdConnectedTo(text.Put());
        if (SUCCEEDED(result)) deviceId = text.Text();
        return result;
    }

private:
    ComRef<IConnector> connector_;
};

class Win32Topology final : public AudioDeviceTopology {
public:
    explicit Win32Topology(ComRef<IDeviceTopology> topology) : topology_(std::move(topology)) {}
    AudioResult GetConnector(uint32_t index, std::unique_ptr<AudioConnector>& connector) override {
        ComRef<IConnector> reference;
        const HRESULT result = topology_->GetConnector(index, reference.Put());
        return Wrap<AudioConnector, Win32Connector>(result, reference, connector);
    }
    AudioResult GetSubunitCount(uint32_t& count) override {
        UINT value = 0;
        const HRESULT result = topology_->GetSubunitCount(&value);
        count = value;
        return result;
    }
    AudioResult GetSubunit(uint32_t index, std::unique_ptr<AudioSubunit>& subunit) override {
        ComRef<SubunitInterface> reference;
        const HRESULT result = topology_->GetSubunit(index, reference.Put());
        return Wrap<AudioSubunit, Win32Subunit>(result, reference, subunit);
    }

private:
    ComRef<IDeviceTopology> topology_;
};

class Win32Device final : public AudioDevice {
public:
    explicit Win32Device(ComRef<IMMDevice> device) : device_(std::move(device)) {}
    AudioResult ReadFriendlyName(std::wstring& name) override {
        ComRef<IPropertyStore> store;
        HRESULT result = device_->OpenPropertyStore(STGM_READ, store.Put());
        if (FAILED(result)) return result;
        PROPVARIANT value;
        PropVariantInit(&value);
        result = store->GetValue(kDeviceFriendlyName, &value);
        if (SUCCEEDED(result)) {
            name = value.vt == VT_LPWSTR && value.pwszVal != nullptr ? value.pwszVal : L"";
        }
        PropVariantClear(&value);
        return result;
    }
    AudioResult ActivateEndpointVolume(std::unique_ptr<AudioEndpointVolume>& volume) override {
        ComRef<IAudioEndpointVolume> reference;
        const HRESULT result =
            device_->Activate(kIidAudioEndpointVolume, CLSCTX_ALL, nullptr, reference.PutVoid());
        return Wrap<AudioEndpointVolume, Win32Volume>(result, reference, volume);
    }
    AudioResult ActivateDeviceTopology(std::unique_ptr<AudioDeviceTopology>& topology) override {
        ComRef<IDeviceTopology> reference;
        const HRESULT result =
            device_->Activate(kIidDeviceTopology, CLSCTX_ALL, nullptr, reference.PutVoid());
        return Wrap<AudioDeviceTopology, Win32Topology>(result, reference, topology);
    }

private:
    ComRef<IMMDevice> device_;
};

class Win32Collection final : public AudioDeviceCollection {
public:
    explicit Win32Collection(ComRef<IMMDeviceCollection> collection)
        : collection_(std::move(collection)) {}
    AudioResult GetCount(uint32_t& count) override {
        UINT value = 0;
        const HRESULT result = collection_->GetCount(&value);
        count = value;
        return result;
    }
    AudioResult Item(uint32_t index, std::unique_ptr<AudioDevice>& device) override {
        ComRef<IMMDevice> reference;
        const HRESULT result = collection_->Item(index, reference.Put());
        return Wrap<AudioDevice, Win32Device>(result, reference, device);
    }

private:
    ComRef<IMMDeviceCollection> collection_;
};

class Win32Enumerator final : public AudioDeviceEnumerator {
public:
    explicit Win32Enumerator(ComRef<IMMDeviceEnumerator> enumerator)
        : enumerator_(std::move(enumerator)) {}
    AudioResult EnumActiveCaptureEndpoints(
        std::unique_ptr<AudioDeviceCollection>& endpoints) override {
        ComRef<IMMDeviceCollection> reference;
        const HRESULT result =
            enumerator_->EnumAudioEndpoints(eCapture, DEVICE_STATE_ACTIVE, reference.Put());
        return Wrap<AudioDeviceCollection, Win32Collection>(result, reference, endpoints);
    }
    AudioResult GetDevice(const std::wstring& deviceId,
                          std::unique_ptr<AudioDevice>& device) override {
        ComRef<IMMDevice> reference;
        const HRESULT result = enumerator_->GetDevice(deviceId.c_str(), reference.Put());
        return Wrap<AudioDevice, Win32Device>(result, reference, device);
    }

private:
    ComRef<IMMDeviceEnumerator> enumerator_;
};

MixerComponent ComponentOf(DWORD type) {
    switch (type) {
        case MIXERLINE_COMPONENTTYPE_DST_WAVEIN: return MixerComponent::WaveInDestination;
        case MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE: return MixerComponent::Microphone;
        case MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED: return MixerComponent::Undefined;
        default: return MixerComponent::Other;
    }
}

DWORD ControlTypeOf(MixerControlType type) {
    switch (type) {
        case MixerControlType::Volume: return MIXERCONTROL_CONTROLTYPE_VOLUME;
        case MixerControlType::Mute: return MIXERCONTROL_CONTROLTYPE_MUTE;
        case MixerControlType::InputSelector: break;
    }
    return MIXERCONTROL_CONTROLTYPE_MUX;
}

class Win32Mixer final : public Mixer {
public:
    explicit Win32Mixer(HMIXER mixer) : mixer_(mixer) {}
    ~Win32Mixer() override { mixerClose(mixer_); }
    Win32Mixer(const Win32Mixer&) = delete;
    Win32Mixer& operator=(const Win32Mixer&) = delete;

    AudioResult GetWaveInDestination(MixerLine& line) override {
        MIXERLINEW info{};
        info.cbStruct = sizeof(info);
        info.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
        return GetLine(info, MIXER_GETLINEINFOF_COMPONENTTYPE, line);
    }
    AudioResult GetSourceLine(uint32_t destination, uint32_t source, MixerLine& line) override {
        MIXERLINEW info{};
        info.cbStruct = sizeof(info);
        info.dwDestination = destination;
        info.dwSource = source;
        return GetLine(info, MIXER_GETLINEINFOF_SOURCE, line);
    }
    AudioResult GetLineControl(uint32_t lineId, MixerControlType type,
                               MixerControlInfo& control) override {
        MIXERCONTROLW found{};
        found.cbStruct = sizeof(found);
        MIXERLINECONTROLSW query{};
        query.cbStruct = sizeof(query);
        query.dwLineID = lineId;
        query.dwControlType = ControlTypeOf(type);
        query.cControls = 1;
        query.cbmxctrl = sizeof(found);
        query.pamxctrl = &found;
        const MMRESULT result = mixerGetLineControlsW(
            Object(), &query, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
        if (result != MMSYSERR_NOERROR) return static_cast<AudioResult>(result);
        control.controlId = found.dwControlID;
        control.minimum = found.Bounds.dwMinimum;
        control.maximum = found.Bounds.dwMaximum;
        return kAudioOk;
    }
    AudioResult GetControlValue(uint32_t controlId, uint32_t& value) override {
        DWORD detail = 0;
        MIXERCONTROLDETAILS details = OneValue(controlId, detail);
        const MMRESULT result = mixerGetControlDetailsW(
            Object(), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        if (result == MMSYSERR_NOERROR) value = detail;
        return static_cast<AudioResult>(result);
    }
    AudioResult SetControlValue(uint32_t controlId, uint32_t value) override {
        DWORD detail = value;
        MIXERCONTROLDETAILS details = OneValue(controlId, detail);
        return static_cast<AudioResult>(mixerSetControlDetails(
            Object(), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE));
    }

private:
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }

    // One channel, one item: a 32-bit value (unsigned for volume, boolean otherwise).
    static MIXERCONTROLDETAILS OneValue(uint32_t controlId, DWORD& detail) {
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof(details);
        details.dwControlID = controlId;
        details.cChannels = 1;
        details.cMultipleItems = 0;
        details.cbDetails = sizeof(detail);
        details.paDetails = &detail;
        return details;
    }

    AudioResult GetLine(MIXERLINEW& info, DWORD how, MixerLine& line) {
        const MMRESULT result = mixerGetLineInfoW(Object(), &info, MIXER_OBJECTF_HMIXER | how);
        if (result != MMSYSERR_NOERROR) return static_cast<AudioResult>(result);
        line.destination = info.dwDestination;
        line.lineId = info.dwLineID;
        line.sourceCount = info.cConnections;
        line.component = ComponentOf(info.dwComponentType);
        line.targetProductName = info.Target.szPname;
        return kAudioOk;
    }

    HMIXER mixer_;
};

BOOL CALLBACK AddCaptureDriver(LPGUID guid, LPCWSTR description, LPCWSTR module, LPVOID context) {
    auto& entries = *static_cast<std::vector<CaptureDriverEntry>*>(context);
    entries.push_back({guid == nullptr, description != nullptr ? description : L"",
                       module != nullptr ? module : L""});
    return TRUE;
}

// From Vista on DirectSound reports an entry's endpoint ID ("{0.0.1.00000000}.{...}") where it
// reported the driver's interface path before. The path is then the ID of the adapter device
// that the endpoint's connector 0 leads to ("{2}." and the path). Where that cannot be
// followed (no COM on the thread, a failing call) the module text stays.
std::wstring InterfacePathOf(IMMDeviceEnumerator& enumerator, const std::wstring& module) {
    if (module.rfind(L"{", 0) != 0) return module;
    ComRef<IMMDevice> endpoint;
    if (FAILED(enumerator.GetDevice(module.c_str(), endpoint.Put()))) return module;
    ComRef<IDeviceTopology> topology;
    if (FAILED(endpoint->Activate(kIidDeviceTopology, CLSCTX_ALL, nullptr, topology.PutVoid()))) {
        return module;
    }
    ComRef<IConnector> connector;
    if (FAILED(topology->GetConnector(0, connector.Put()))) return module;
    TaskText adapter;
    if (FAILED(connector->GetDeviceIdConnectedTo(adapter.Put()))) return module;
    const std::wstring adapterId = adapter.Text();
    const size_t end = adapterId.find(L"}.");
    return adapterId.rfind(L"{", 0) == 0 && end != std::wstring::npos ? adapterId.substr(end + 2)
                                                                      : adapterId;
}

}  // namespace

bool Win32Audio::InitializeCom() {
    // S_FALSE (already initialised here) must be balanced as well; a thread in the other
    // apartment model keeps its COM and must not be uninitialised.
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void Win32Audio::UninitializeCom() {
    CoUninitialize();
}

AudioResult Win32Audio::EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) {
    entries.clear();
    const HRESULT result = DirectSoundCaptureEnumerateW(AddCaptureDriver, &entries);
    ComRef<IMMDeviceEnumerator> enumerator;
    if (SUCCEEDED(CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL,
                                   kIidMMDeviceEnumerator, enumerator.PutVoid()))) {
        for (CaptureDriverEntry& entry : entries) {
            if (!entry.isDefault) {
                entry.interfacePath = InterfacePathOf(*enumerator.Get(), entry.interfacePath);
            }
        }
    }
    return result;
}

AudioResult Win32Audio::CreateDeviceEnumerator(std::unique_ptr<AudioDeviceEnumerator>& enumerator) {
    ComRef<IMMDeviceEnumerator> reference;
    const HRESULT result = CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL,
                                            kIidMMDeviceEnumerator, reference.PutVoid());
    return Wrap<AudioDeviceEnumerator, Win32Enumerator>(result, reference, enumerator);
}

uint32_t Win32Audio::MixerDeviceCount() {
    return mixerGetNumDevs();
}

AudioResult Win32Audio::OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) {
    HMIXER handle = nullptr;
    const MMRESULT result = mixerOpen(&handle, index, 0, 0, MIXER_OBJECTF_MIXER);
    if (result != MMSYSERR_NOERROR) return static_cast<AudioResult>(result);
    mixer = std::make_unique<Win32Mixer>(handle);
    return kAudioOk;
}

}  // namespace tavrin
