#include "app/features/EncVoiceMagic.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "app/device/AudioCommand.h"
#include "common/ByteOrder.h"
#include "common/SharedRegistry.h"

namespace tavrin {
namespace {

using namespace REGINI_MGR;

constexpr uint8_t kEncCommand = 4;
constexpr uint8_t kEncOnOff = 0;
constexpr uint8_t kEncReadBlocks = 8;
constexpr size_t kEncLevelOffset = 8;
constexpr uint8_t kVoiceMagicCommand = 7;
constexpr uint8_t kVoiceMagicOnOff = 0;
constexpr uint8_t kVoiceMagicEffect = 2;
constexpr size_t kVoicePitchOffset = 4;
// The registry keeps a voice effect as its pitch + 12, so that it is never negative.
constexpr int32_t kVoiceLevelBias = 12;

constexpr wchar_t kEncSwitch[] = L"ENCFunctionImage";
constexpr wchar_t kVoiceSwitch[] = L"VMFunctionImage";
constexpr std::array<const wchar_t*, kVoiceMagicModeCount> kVoiceEffects = {
    L"VMEffectNoneImage", L"VMEffect1Image", L"VMEffect2Image", L"VMEffect3Image",
    L"VMEffect4Image"};
constexpr std::array<int32_t, kVoiceMagicModeCount> kVoicePitches = {0, -3, 7, -10, 12};

bool Is(const ControlRow& row, std::wstring_view image) {
    return row.image != nullptr && image == row.image;
}

// The voice effect a control stands for, or -1.
int32_t VoiceEffectOf(const ControlRow& row) {
    for (size_t mode = 0; mode < kVoiceEffects.size(); ++mode) {
        if (Is(row, kVoiceEffects[mode])) return static_cast<int32_t>(mode);
    }
    return -1;
}

}  // namespace

int32_t EncTravel::LevelForTop(int32_t sliderTop) const {
    return static_cast<int32_t>((top + range - sliderTop) * static_cast<double>(kEncLevelMax) /
                                range);
}

int32_t EncTravel::TopForLevel(int32_t level) const {
    return top + static_cast<int32_t>(range - level * static_cast<double>(range) / kEncLevelMax);
}

int32_t VoiceMagicPitch(int32_t mode) {
    return mode >= 0 && mode < kVoiceMagicModeCount ? kVoicePitches[static_cast<size_t>(mode)] : 0;
}

int32_t VoiceMagicModeOfLevel(uint32_t level) {
    for (int32_t mode = 0; mode < kVoiceMagicModeCount; ++mode) {
        if (static_cast<int64_t>(level) == VoiceMagicPitch(mode) + kVoiceLevelBias) return mode;
    }
    return 0;
}

EncVoiceMagic::EncVoiceMagic(FeatureContext& context) : context_(context) {}

// ---- ENC ----

bool EncVoiceMagic::ReadEncLevel(uint32_t& level) {
    const DeviceDiscovery& device = context_.discovery;
    return ReadSharedDword(context_.platform.registry, kEncValueMapKeyName,
                           EncValueName(device.ActiveVendorId(), device.ActiveProductId()), level);
}

void EncVoiceMagic::LoadENC() {
    if (!context_.DeviceActive()) return;
    SettingsModel& s = context_.settings;
    uint32_t level = 0;
    if (!ReadEncLevel(level)) {
        s.m_bENCSupported = 0;
        s.m_bENCEnable = 0;
        return;
    }
    s.m_bENCSupported = 1;
    s.m_bENCEnable = 1;
    s.m_iENCValue = static_cast<int32_t>(level);
    SetENCEnable(1, true);
    // The device's own blocks come back with only the switch and the level replaced.
    state_.fill(0);
    parameters_.fill(0);
    GetAudioReply(context_.sdk, kEncCommand, kEncReadBlocks, state_.data(), state_.size(),
                  parameters_.data(), parameters_.size());
    WriteLittleEndian32(state_.data(), static_cast<uint32_t>(s.m_bENCEnable));
    WriteLittleEndian32(parameters_.data() + kEncLevelOffset, level);
    SendENCParameters();
    ShowLevel();
    PlaceSlider(s.m_iENCValue);
}

void EncVoiceMagic::ShowENC() {
    ShowEncSwitch();
    ShowLevel();
    PlaceSlider(context_.settings.m_iENCValue);
}

void EncVoiceMagic::SetENCEnable(int32_t state, bool send) {
    if (!send) return;
    WithSingleRetry([&] {
        return SendAudioValue(context_.sdk, kEncCommand, kEncOnOff, static_cast<uint32_t>(state));
    });
}

void EncVoiceMagic::SendENCParameters() {
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetEnc_Parameters>(parameters_.data());
}

void EncVoiceMagic::ToggleEncFromButton() {
    SettingsModel& s = context_.settings;
    s.m_bENCEnable = s.m_bENCEnable == 0 ? 1 : 0;
    if (s.m_iCurrentPage == page::kEnc) ShowEncSwitch();
    SetENCEnable(s.m_bENCEnable, true);
}

void EncVoiceMagic::PressEncSwitch() {
    SettingsModel& s = context_.settings;
    s.m_bENCEnable = s.m_bENCEnable == 0 ? 1 : 0;
    ShowEncSwitch();
    SetENCEnable(s.m_bENCEnable, true);
    SendENCParameters();
}

void EncVoiceMagic::ShowEncSwitch() {
    ShowLook(kEncSwitch, context_.settings.m_bENCEnable != 0);
}

void EncVoiceMagic::ShowLevel() {
    if (Component* label = context_.window.Form().Find(L"ENCValueLabel")) {
        label->caption = std::to_wstring(context_.settings.m_iENCValue);
    }
}

// A level the registry holds outside 0..30 still leaves the slider on its bar.
void EncVoiceMagic::PlaceSlider(int32_t level) {
    const EncTravel& travel = Travel();
    if (Component* slider = context_.window.Form().Find(L"ENCSliderImage")) {
        slider->top = std::clamp(travel.TopForLevel(level), travel.top, travel.top + travel.range);
    }
}

// A skin without ENCSlider, or without a positive range (the level divides by it), keeps the
// travel the last skin gave, or the default.
const EncTravel& EncVoiceMagic::Travel() {
    const GivenTravel given = context_.window.EncSliderTravel();
    if (given.top) travel_.top = *given.top;
    if (given.range && *given.range > 0) travel_.range = *given.range;
    return travel_;
}

// ---- Voice Magic ----

void EncVoiceMagic::LoadVoiceMagic() {
    SettingsModel& s = context_.settings;
    if (!context_.DeviceActive() || s.m_bENCSupported != 1) return;
    Registry& registry = context_.platform.registry;
    uint32_t enable = 0;
    uint32_t level = 0;
    if (!ReadSharedDword(registry, kSharedKeyName, kVoiceMagicEnableValue, enable)) enable = 0;
    if (!ReadSharedDword(registry, kSharedKeyName, kVoiceMagicLevelValue, level)) level = 0;
    s.m_iVoiceMagicMode = VoiceMagicModeOfLevel(level);
    s.m_bVoiceMagicEnable = enable != 0 ? 1 : 0;
    SetVoiceMagicEnable(s.m_bVoiceMagicEnable, true);
    SetVoiceMagicMode(s.m_iVoiceMagicMode);
}

void EncVoiceMagic::ShowVoiceMagic() {
    const SettingsModel& s = context_.settings;
    ShowLook(kVoiceSwitch, s.m_bVoiceMagicEnable != 0);
    for (size_t mode = 0; mode < kVoiceEffects.size(); ++mode) {
        ShowLook(kVoiceEffects[mode], s.m_iVoiceMagicMode == static_cast<int32_t>(mode));
    }
}

void EncVoiceMagic::SetVoiceMagicEnable(int32_t state, bool send) {
    WriteSharedDword(context_.platform.registry, kSharedKeyName, kVoiceMagicEnableValue,
                     static_cast<uint32_t>(state));
    WriteLittleEndian32(voiceBlock_.data(), static_cast<uint32_t>(state));
    if (!send) return;
    SendAudioValue(context_.sdk, kVoiceMagicCommand, kVoiceMagicOnOff,
                   static_cast<uint32_t>(state));
    SetVoiceMagicMode(context_.settings.m_iVoiceMagicMode);
}

void EncVoiceMagic::SetVoiceMagicMode(int32_t mode) {
    const int32_t pitch = VoiceMagicPitch(mode);
    WriteLittleEndian32(voiceBlock_.data(),
                        static_cast<uint32_t>(context_.settings.m_bVoiceMagicEnable));
    WriteLittleEndian16(voiceBlock_.data() + kVoicePitchOffset,
                        static_cast<uint16_t>(static_cast<int16_t>(pitch)));
    WriteSharedDword(context_.platform.registry, kSharedKeyName, kVoiceMagicLevelValue,
                     static_cast<uint32_t>(pitch + kVoiceLevelBias));
    SendAudioPayload(context_.sdk, kVoiceMagicCommand, kVoiceMagicEffect, voiceBlock_.data(),
                     voiceBlock_.size());
}

void EncVoiceMagic::PressVoiceMagicSwitch() {
    SettingsModel& s = context_.settings;
    s.m_bVoiceMagicEnable = s.m_bVoiceMagicEnable == 0 ? 1 : 0;
    ShowLook(kVoiceSwitch, s.m_bVoiceMagicEnable != 0);
    SetVoiceMagicEnable(s.m_bVoiceMagicEnable, true);
}

void EncVoiceMagic::PressVoiceEffect(int32_t mode) {
    context_.settings.m_iVoiceMagicMode = mode;
    for (size_t effect = 0; effect < kVoiceEffects.size(); ++effect) {
        ShowLook(kVoiceEffects[effect], static_cast<int32_t>(effect) == mode);
    }
    SetVoiceMagicMode(mode);
}

// ---- Both ----

void EncVoiceMagic::SwitchOff() {
    SendAudioValue(context_.sdk, kEncCommand, kEncOnOff, 0);
    SendAudioValue(context_.sdk, kVoiceMagicCommand, kVoiceMagicOnOff, 0);
}

void EncVoiceMagic::ShowLook(const wchar_t* image, bool down) {
    if (const ControlRow* row = FindControlRow(image)) context_.window.ShowLook(*row, down);
}

// The ENC level needs a device that has noise cancellation.
PressVerdict EncVoiceMagic::Admit(const ControlRow& row) {
    const bool encLevel = row.role == ControlRole::Slider || row.role == ControlRole::Bar;
    if (encLevel && context_.settings.m_bENCSupported == 0) {
        return PressVerdict::Refuse(L"LabelWarning1");
    }
    return PressVerdict::Allow();
}

// The switches and effects of both pages act only with a device, and only one the registry
// knows an ENC level for.
void EncVoiceMagic::Click(const ControlRow& row, Component&) {
    if (!context_.DeviceActive()) return;
    if (context_.settings.m_bENCSupported == 0) {
        context_.window.ShowWarning(L"LabelWarning1");
        return;
    }
    if (Is(row, kEncSwitch)) {
        PressEncSwitch();
    } else if (Is(row, kVoiceSwitch)) {
        PressVoiceMagicSwitch();
    } else if (const int32_t mode = VoiceEffectOf(row); mode >= 0) {
        PressVoiceEffect(mode);
    }
}

bool EncVoiceMagic::IsDown(const ControlRow& row) const {
    const SettingsModel& s = context_.settings;
    if (Is(row, kEncSwitch)) return s.m_bENCEnable != 0;
    if (Is(row, kVoiceSwitch)) return s.m_bVoiceMagicEnable != 0;
    const int32_t mode = VoiceEffectOf(row);
    return mode >= 0 && s.m_iVoiceMagicMode == mode;
}

// The slider jumps to the pointer; nothing reaches the device or the registry until the next
// release of the slider or press of the switch.
void EncVoiceMagic::BarPressed(const ControlRow&, Component&, int32_t, int32_t y) {
    Component* slider = context_.window.Form().Find(L"ENCSliderImage");
    if (slider == nullptr) return;
    const EncTravel& travel = Travel();
    const int32_t top = std::clamp(y - slider->height / 2, travel.top, travel.top + travel.range);
    slider->top = top;
    context_.settings.m_iENCValue = (travel.top + travel.range - top) * kEncLevelMax / travel.range;
    ShowENC();
}

void EncVoiceMagic::Dragged(const ControlRow&, Component& slider, int32_t, int32_t top) {
    const EncTravel& travel = Travel();
    slider.top = std::clamp(top, travel.top, travel.top + travel.range);
    context_.settings.m_iENCValue = travel.LevelForTop(slider.top);
    ShowLevel();
}

// The level the slider was let go at goes to the device and is kept for this device.
void EncVoiceMagic::DragEnded(const ControlRow&, Component&) {
    const int32_t level = context_.settings.m_iENCValue;
    WriteLittleEndian32(parameters_.data() + kEncLevelOffset, static_cast<uint32_t>(level));
    SendENCParameters();
    const DeviceDiscovery& device = context_.discovery;
    WriteSharedDword(context_.platform.registry, kEncValueMapKeyName,
                     EncValueName(device.ActiveVendorId(), device.ActiveProductId()),
                     static_cast<uint32_t>(level));
}

void EncVoiceMagic::PageTabPressed(int32_t tabPage) {
    if (tabPage == page::kEnc) ShowENC();
    if (tabPage == page::kVoiceMagic) ShowVoiceMagic();
}

void EncVoiceMagic::SkinApplied() {
    Travel();
}

void EncVoiceMagic::Redraw() {
    ShowENC();
    ShowVoiceMagic();
}

void EncVoiceMagic::ResetAfterRemoval() {
    SettingsModel& s = context_.settings;
    s.m_bVoiceMagicEnable = 0;
    s.m_iVoiceMagicMode = 0;
    SetVoiceMagicEnable(0, false);
    s.m_bENCEnable = 0;
    ShowEncSwitch();
    ShowVoiceMagic();
}

}  // namespace tavrin
