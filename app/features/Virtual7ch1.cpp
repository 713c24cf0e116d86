#include "app/features/Virtual7ch1.h"

#include <utility>

namespace tavrin {
namespace {

using namespace control_tag;

}  // namespace

Virtual7ch1::Virtual7ch1(FeatureContext& context) : context_(context) {}

void Virtual7ch1::SendOffAtStart() {
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
}

void Virtual7ch1::SendScalar() {
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_Scalar>(
        context_.settings.m_fV7ch1Scalar);
}

void Virtual7ch1::SwitchOffForThreeD() {
    SettingsModel& s = context_.settings;
    WindowControls& window = context_.window;
    s.m_b7ch1Enable = 0;
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
    SendScalar();
    window.ShowButton(kVirtualEnable, false);
    if (Component* enable = window.Form().FindByTag(ComponentKind::Image, kVirtualEnable)) {
        enable->visible = false;
    }
    for (const auto& [flag, tag] :
         {std::pair{&s.m_bRotateCW, kRotateCw}, std::pair{&s.m_bRotateCCW, kRotateCcw}}) {
        if (*flag == 0) continue;
        *flag = 0;
        window.ShowButton(tag, false);
        if (Component* image = window.Form().FindByTag(ComponentKind::Image, tag)) {
            image->visible = false;
        }
    }
}

void Virtual7ch1::SwitchOff() {
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
}

// The reset button does nothing while the Bee demonstration has the speakers.
PressVerdict Virtual7ch1::Admit(const ControlRow& row) {
    if (row.tag != kVirtualReset) return PressVerdict::Allow();
    const Component* bee = context_.window.Form().Find(L"BeeCheckBox");
    return bee != nullptr && bee->checked ? PressVerdict::Refuse() : PressVerdict::Allow();
}

bool Virtual7ch1::IsDown(const ControlRow& row) const {
    const SettingsModel& s = context_.settings;
    switch (row.tag) {
        case kVirtualEnable: return s.m_b7ch1Enable != 0;
        case kRotateCw: return s.m_bRotateCW != 0;
        case kRotateCcw: return s.m_bRotateCCW != 0;
        case kNarrow: return s.m_bNarrow != 0;
        case kEnlarge: return s.m_bEnlarge != 0;
        default: return false;
    }
}

void Virtual7ch1::ResetAfterRemoval() {
    context_.settings.m_b7ch1Enable = 0;
    context_.window.ShowButton(kVirtualEnable, false);
}

}  // namespace tavrin
