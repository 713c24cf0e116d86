#include "app/features/AudioFeatures.h"

namespace tavrin {
namespace {

constexpr int32_t kEqEnableTag = 7;
constexpr int32_t k3DEnableTag = 8;
constexpr int32_t kFbmTag = 13;
constexpr int32_t kAlphaLinkTag = 14;
constexpr int32_t kBetaLinkTag = 15;
constexpr int32_t k7ch1EnableTag = 47;
constexpr int32_t kCwTag = 49;
constexpr int32_t kCcwTag = 50;
constexpr int32_t kMicMuteTag = 22;
constexpr int32_t kMicMonitorTag = 89;

}  // namespace

void AudioFeatures::Attach(FeatureContext& context) {
    context_ = &context;
    equalizer_.emplace(context);
    threeD_.emplace(context, [this] { SwitchVirtual7ch1Off(); });
    effects_.emplace(context);
}

void AudioFeatures::SetInitialPageState() {
    context_->image.Reset();
}

void AudioFeatures::LayoutEqualizer() {
    equalizer_->Construct();
}

void AudioFeatures::InitialiseEffectPages() {
    threeD_->Construct();
    effects_->Construct();
}

void AudioFeatures::ReadEqFromDevice() {
    for (int read = 0; read < 2; ++read) equalizer_->RestoreFromDevice();
}

void AudioFeatures::Read3DFromDevice() {
    for (int read = 0; read < 2; ++read) threeD_->Read3DFromDevice(equalizer_->ThreeDHint());
}

void AudioFeatures::RestoreFromDeviceAtStart() {
    if (context_->settings.m_bEQFromEEPROM == 1) ReadEqFromDevice();
    if (context_->settings.m_b3DFromEEPROM == 1) Read3DFromDevice();
}

// Arrival: from the device when the profile asks for it, else the default profile's switches.
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

void AudioFeatures::SwitchFeaturesOff() {
    equalizer_->Close();
    threeD_->Close();
}

// After the device is gone the window shows everything off; nothing is sent.
void AudioFeatures::ResetSwitchDisplays() {
    SettingsModel& s = context_->settings;
    WindowControls& window = context_->window;
    s.m_bEQEnable = 0;
    s.m_b3DEnable = 0;
    s.m_b7ch1Enable = 0;
    s.m_bMicMute = 0;
    s.m_bMicMonitor = 0;
    s.m_iCurrentEffect = 1;
    s.m_bVoiceMagicEnable = 0;
    s.m_iVoiceMagicMode = 0;
    s.m_bENCEnable = 0;
    for (const int32_t tag :
         {kEqEnableTag, k3DEnableTag, k7ch1EnableTag, kMicMuteTag, kMicMonitorTag}) {
        int32_t shown = 1;  // shows Up
        window.SetButtonState(tag, shown);
    }
    effects_->ResetAfterRemoval();
    window.Repaint();
}

void AudioFeatures::PressFeature(int32_t tag) {
    if (tag == kEqEnableTag) {
        equalizer_->PressEqEnable();
    } else if (tag == k3DEnableTag) {
        threeD_->Press3DEnable();
    } else if (tag >= 9 && tag <= 12) {
        equalizer_->PressPreset(tag - 8);
    } else if (tag == kFbmTag) {
        threeD_->PressFbm();
    } else if (tag == kAlphaLinkTag || tag == kBetaLinkTag) {
        threeD_->PressLink(tag);
    } else if (tag >= kFirstEffectTag && tag < kFirstEffectTag + kEffectCount) {
        effects_->Press(tag);
    }
    context_->window.Repaint();
}

void AudioFeatures::HandleControlEvent(const std::wstring& event, Component&) {
    if (event == L"EQResetImageClick" || event == L"EQResetLabelClick") {
        equalizer_->ResetEQ();
    } else if (event == L"D3ResetImageClick" || event == L"D3ResetLabelClick") {
        threeD_->Reset3D();
    } else {
        return;
    }
    context_->window.Repaint();
}

void AudioFeatures::EqSliderMoved(int32_t band) {
    equalizer_->SliderMoved(band);
}

void AudioFeatures::D3SliderMoved(Component& slider) {
    threeD_->SliderMoved(slider);
}

void AudioFeatures::RedrawFeatureDisplays() {
    equalizer_->RefreshEQPage(context_->settings.m_iEQPreset);
    effects_->ShowEffect(context_->settings.m_iCurrentEffect);
    threeD_->Show3DState(context_->settings.m_bFBM, context_->settings.m_b3DEnable);
}

// The 3D side of the exclusion; the speaker block itself belongs to virtual 7.1.
void AudioFeatures::SwitchVirtual7ch1Off() {
    SettingsModel& s = context_->settings;
    WindowControls& window = context_->window;
    s.m_b7ch1Enable = 0;
    context_->sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
    context_->sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_Scalar>(s.m_fV7ch1Scalar);
    int32_t shown = 1;
    window.SetButtonState(k7ch1EnableTag, shown);
    if (Component* enable = window.Form().FindByTag(ComponentKind::Image, k7ch1EnableTag)) {
        enable->visible = false;
    }
    for (const auto& [flag, tag] :
         {std::pair{&s.m_bRotateCW, kCwTag}, std::pair{&s.m_bRotateCCW, kCcwTag}}) {
        if (*flag == 0) continue;
        *flag = 0;
        int32_t up = 1;
        window.SetButtonState(tag, up);
        if (Component* image = window.Form().FindByTag(ComponentKind::Image, tag)) {
            image->visible = false;
        }
    }
}

}  // namespace tavrin
