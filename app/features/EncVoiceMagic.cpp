#include "app/features/EncVoiceMagic.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "app/device/AudioCommand.h"

namespace tavrin {
namespace {

constexpr uint8_t kEncCommand = 4;
constexpr uint8_t kVoiceMagicCommand = 7;

constexpr std::array<std::wstring_view, 5> kVoiceEffectPictures = {
    L"VMEffectNoneImage", L"VMEffect1Image", L"VMEffect2Image", L"VMEffect3Image",
    L"VMEffect4Image"};

bool Is(const ControlRow& row, std::wstring_view image) {
    return row.image != nullptr && image == row.image;
}

}  // namespace

EncVoiceMagic::EncVoiceMagic(FeatureContext& context) : context_(context) {}

void EncVoiceMagic::SwitchOff() {
    SendAudioValue(context_.sdk, kEncCommand, 0, 0);
    SendAudioValue(context_.sdk, kVoiceMagicCommand, 0, 0);
}

// The ENC level needs a device that has noise cancellation.
PressVerdict EncVoiceMagic::Admit(const ControlRow& row) {
    const bool encLevel = row.role == ControlRole::Slider || row.role == ControlRole::Bar;
    if (encLevel && context_.settings.m_bENCSupported == 0) {
        return PressVerdict::Refuse(L"LabelWarning1");
    }
    return PressVerdict::Allow();
}

bool EncVoiceMagic::IsDown(const ControlRow& row) const {
    const SettingsModel& s = context_.settings;
    if (Is(row, L"ENCFunctionImage")) return s.m_bENCEnable != 0;
    if (Is(row, L"VMFunctionImage")) return s.m_bVoiceMagicEnable != 0;
    for (size_t mode = 0; mode < kVoiceEffectPictures.size(); ++mode) {
        if (Is(row, kVoiceEffectPictures[mode])) {
            return s.m_iVoiceMagicMode == static_cast<int32_t>(mode);
        }
    }
    return false;
}

// The slider keeps inside its bar: at least 10 pixels below the bar's top, and its lower part
// (a fifth of its height) never below the bar's end.
void EncVoiceMagic::Dragged(const ControlRow&, Component& slider, int32_t, int32_t top) {
    if (const Component* bar = context_.window.Form().Find(L"ENCBarImage")) {
        const auto highest = bar->top + bar->height - static_cast<int32_t>(1.2 * slider.height);
        top = std::max(std::min(top, highest), bar->top + 10);
    }
    slider.top = top;
}

void EncVoiceMagic::ResetAfterRemoval() {
    SettingsModel& s = context_.settings;
    s.m_bVoiceMagicEnable = 0;
    s.m_iVoiceMagicMode = 0;
    s.m_bENCEnable = 0;
}

}  // namespace tavrin
