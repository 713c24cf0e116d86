#include "app/features/AudioFeatures.h"

namespace tavrin {
namespace {

constexpr uint16_t kShutdownRegister = 0x100;

}  // namespace

template <class UnitType, class... Arguments>
UnitType& AudioFeatures::Build(std::optional<UnitType>& unit, FeatureUnitId id,
                               Arguments&&... arguments) {
    UnitType& built = unit.emplace(std::forward<Arguments>(arguments)...);
    byId_[static_cast<size_t>(id)] = &built;
    units_.push_back(&built);
    return built;
}

void AudioFeatures::Attach(FeatureContext& context) {
    context_ = &context;
    units_.clear();
    byId_ = {};
    Build(equalizer_, FeatureUnitId::Equalizer, context);
    Build(threeD_, FeatureUnitId::ThreeD, context, [this] { virtual7ch1_->SwitchOffForThreeD(); });
    Build(effects_, FeatureUnitId::EnvironmentEffects, context);
    Build(
        virtual7ch1_, FeatureUnitId::Virtual7ch1, context,
        [this] { threeD_->SwitchOffForVirtual7ch1(); },
        HardwareSwitch{[this] { return GpioLevelMode(); }, [this] { return VirtualSwitchState(); },
                       [this](int32_t tag) { return PressLocked(tag); }});
    Build(microphone_, FeatureUnitId::Microphone, context);
    Build(encVoiceMagic_, FeatureUnitId::EncVoiceMagic, context);
    Build(lighting_, FeatureUnitId::Lighting, context);
    Build(buttons_, FeatureUnitId::Buttons, context, *encVoiceMagic_);
    Build(profiles_, FeatureUnitId::Profiles, context, *equalizer_, *threeD_, *effects_,
          ProfileUnits{[this](const ProfileData& profile) { LoadProfileUnits(profile); },
                       [this](ProfileData& profile) { SaveProfileUnits(profile); }});
    Build(about_, FeatureUnitId::About, context);
}

void AudioFeatures::Detach() {
    if (buttons_) buttons_->Stop();
    if (lighting_) lighting_->StopWorkers();
    if (microphone_) microphone_->Close();
}

// The steps of a profile load that the units own, in their order: 10 the speakers measured and
// sent, 12 LEDON, 13 the [LED] keys and the LED page, 14 ENC and Voice Magic from the registry.
void AudioFeatures::LoadProfileUnits(const ProfileData& profile) {
    virtual7ch1_->SendProfileLayout();
    if (const auto ledOn = profile.GivenNumber(ProfileKeyId::LEDON)) {
        lighting_->LoadLedButton(*ledOn != 0 ? 1 : 0);
    }
    lighting_->LoadLEDUI(profiles_->CurrentProfile());
    lighting_->RefreshLEDPage();
    encVoiceMagic_->LoadENC();
    encVoiceMagic_->LoadVoiceMagic();
}

// The [LED] keys come from the lighting's own state, each by its name.
void AudioFeatures::SaveProfileUnits(ProfileData& profile) {
    for (const LedProfileValue& value : lighting_->LEDProfileValues()) {
        for (const ProfileKey& key : ProfileKeys()) {
            if (std::wstring_view(key.key) == value.key) profile.SetNumber(key.id, value.value);
        }
    }
}

FeatureUnit* AudioFeatures::Unit(FeatureUnitId id) {
    return byId_[static_cast<size_t>(id)];
}

bool AudioFeatures::ModalDialogShowing() {
    return lighting_ && lighting_->DialogShowing();
}

bool AudioFeatures::PageInUse(int32_t page) {
    return page != page::kLed || (lighting_ && lighting_->LedPageInUse());
}

// ---- Construction ----

void AudioFeatures::SetInitialState() {
    context_->image.Reset();
    lighting_->SetInitialState();
    // The speakers' timers run only while something moves: nothing wakes the program idle.
    UiHost& ui = context_->ui;
    ui.SetTimer(TimerId::Speaker, kSpeakerTimerInterval, false);
    ui.SetTimer(TimerId::Bee, kBeeTimerInterval, false);
    ui.SetTimer(TimerId::BeePlay, kBeePlayTimerInterval, false);
    ui.SetTimer(TimerId::LoopBack, kLoopBackInterval, false);
}

void AudioFeatures::ConstructPages() {
    // The EQ sliders and presets, then the default profile over them.
    equalizer_->Construct();
    profiles_->LoadDefaultProfile();
    // The 3D, effect and virtual 7.1 pages.
    threeD_->Construct();
    effects_->Construct();
    virtual7ch1_->Construct();
    microphone_->ResetControls();
    if (context_->DeviceActive()) StartDevicePages();
    // The speakers' default layout; the driver's environment effect on.
    virtual7ch1_->ResetVirtual();
    context_->io.SendDriverEnable(1);
    DebugLog& log = context_->platform.debugLog;
    log.Write(L"[TAudioMainForm][1]");
    lighting_->DumpColorLEDRecord();
    log.Write(L"[TAudioMainForm][2]");
    lighting_->DumpColorLEDRecord();
}

void AudioFeatures::StartDevicePages() {
    DeviceIo& io = context_->io;
    io.QueryDriverState();
    virtual7ch1_->SendOffAtStart();
    io.QueryDriverValue(0, 0);
    microphone_->SetUpOnce();
    virtual7ch1_->SendScalar();
}

void AudioFeatures::AfterNotificationsRegistered() {
    microphone_->ReleaseEndpoint();
    virtual7ch1_->SwitchBeeOff();
}

void AudioFeatures::RestoreAtStart() {
    // The last profile; without one (or with one that fails) ENC and Voice Magic come from the
    // registry.
    if (!profiles_->LoadLastProfile()) {
        encVoiceMagic_->LoadENC();
        encVoiceMagic_->LoadVoiceMagic();
    }
    // Where the hardware switches stand.
    if (buttons_->LevelMode()) buttons_->ReadGPIOAndSetUI();
    if (context_->DeviceActive()) {
        // What the device holds, when the profile asks for it.
        if (context_->settings.m_bEQFromEEPROM == 1) ReadEqFromDevice();
        if (context_->settings.m_b3DFromEEPROM == 1) Read3DFromDevice();
        if (buttons_->LevelMode()) {
            buttons_->ScanENCGPIO();
        } else {
            ArmEncButton();
        }
        lighting_->InitMultiColorLED();
    }
    buttons_->StartWorker();
}

void AudioFeatures::ArmEncButton() {
    if (buttons_->SetUpEncLine()) buttons_->ScanENCGPIO();
}

void AudioFeatures::ReadEqFromDevice() {
    for (int read = 0; read < 2; ++read) equalizer_->RestoreFromDevice();
}

void AudioFeatures::Read3DFromDevice() {
    for (int read = 0; read < 2; ++read) threeD_->Read3DFromDevice(equalizer_->ThreeDHint());
}

// ---- Close ----

void AudioFeatures::Close() {
    // No hardware press from here on; the settings kept; what plays and records stops; the
    // features' own switch-off, then the device's shutdown group on one HID handle.
    buttons_->Stop();
    profiles_->SaveLastProfile();
    virtual7ch1_->CloseMediaPlayer();
    microphone_->Close();
    equalizer_->Close();
    threeD_->Close();
    HidOperation hid = context_->OpenDevice();
    if (!hid.IsOpen()) {
        lighting_->StopWorkers();
        return;
    }
    hid.Write(kShutdownRegister, 0);
    context_->io.SendDriverSelect(0);
    context_->io.SendDriverEnable(1);
    virtual7ch1_->SwitchOff();
    encVoiceMagic_->SwitchOff();
    context_->platform.debugLog.Write(L"[FormDestroy][1]");
    lighting_->Shutdown();
    hid.Commit();
}

// ---- Device arrival and removal ----

// The controls are shown off before the one-time set-up reads what the endpoint holds, so that
// the first arrival shows the real switches.
void AudioFeatures::PrepareMicrophone() {
    microphone_->ResetControls();
    microphone_->SetUpOnce();
}

void AudioFeatures::Restore(ActivationPath path, bool firstActivation) {
    FeatureContext& c = *context_;
    // The poll prepares the microphone here; an arrival did so already, and clears the monitor.
    if (path == ActivationPath::Timer) {
        PrepareMicrophone();
    } else {
        microphone_->ClearMonitorState();
    }
    // The LED indicator, by the LED button; the endpoint let go.
    c.io.SendLedIndicator(c.discovery.ActiveVendorId(), c.discovery.ActiveProductId(),
                          lighting_->LedButtonState());
    microphone_->ReleaseEndpoint();
    RestoreButtonsAndEnc(path);
    encVoiceMagic_->LoadVoiceMagic();
    c.window.RedrawCurrentPage();
    c.ui.ProcessPendingMessages();
    RestoreEqAnd3D();
    // Virtual 7.1.
    virtual7ch1_->ShowSwitchAfterArrival();
    c.io.QueryDriverState();
    virtual7ch1_->SendAfterArrival();
    c.io.QueryDriverValue(0, 0);
    if (firstActivation) lighting_->InitMultiColorLED();
    buttons_->StartWorker();
}

// The poll's activation only loads ENC: the buttons stay as they were.
void AudioFeatures::RestoreButtonsAndEnc(ActivationPath path) {
    if (path == ActivationPath::Arrival && buttons_->LevelMode()) {
        buttons_->ReadGPIOAndSetUI();
        buttons_->ScanENCGPIO();
        return;
    }
    encVoiceMagic_->LoadENC();
    if (path == ActivationPath::Arrival && buttons_->SetUpEncLine()) {
        context_->platform.debugLog.Write(L"[DeviceArrival1][ScanENCGPIO]");
        buttons_->ScanENCGPIO();
    }
}

void AudioFeatures::RestoreEqAnd3D() {
    SettingsModel& s = context_->settings;
    if (s.m_bEQFromEEPROM == 1) {
        ReadEqFromDevice();
    } else if (s.m_bDefaultEQEnable == 1) {
        s.m_bEQEnable = 1;
        equalizer_->SetEQEnable(1);
    }
    if (s.m_b3DFromEEPROM == 1) {
        Read3DFromDevice();
    } else if (s.m_bDefault3DEnable == 1) {
        s.m_b3DEnable = 1;
        threeD_->Set3DEnable(1);
    }
}

// After the device is gone every unit shows itself off; nothing is sent.
void AudioFeatures::DeviceRemoved() {
    for (FeatureUnit* unit : units_) unit->ResetAfterRemoval();
    context_->window.Repaint();
}

// The LED worker ends with the device (the next activation starts another), and so does the
// microphone's capture.
void AudioFeatures::ReleaseDevice() {
    lighting_->ReleaseEffectWorker();
    microphone_->ForgetCapture();
}

}  // namespace tavrin
