#include "app/features/Microphone.h"

namespace tavrin {
namespace {

using namespace control_tag;

}  // namespace

Microphone::Microphone(FeatureContext& context) : context_(context) {}

bool Microphone::IsDown(const ControlRow& row) const {
    const SettingsModel& s = context_.settings;
    switch (row.tag) {
        case kMicBoost: return s.m_bMicBoost != 0;
        case kMicMute: return s.m_bMicMute != 0;
        case kMicMonitor: return s.m_bMicMonitor != 0;
        default: return false;
    }
}

void Microphone::BarPressed(const ControlRow&, Component&, int32_t, int32_t y) {
    Component* slider = context_.window.Form().FindByTag(ComponentKind::Image, kMicSlider);
    if (slider == nullptr) return;
    slider->top = WithinTravel(y - slider->height / 2, context_.window.MicSliderTravel());
}

void Microphone::Dragged(const ControlRow&, Component& slider, int32_t, int32_t top) {
    slider.top = WithinTravel(top, context_.window.MicSliderTravel());
}

void Microphone::ResetAfterRemoval() {
    context_.settings.m_bMicMute = 0;
    context_.settings.m_bMicMonitor = 0;
    context_.window.ShowButton(kMicMute, false);
    context_.window.ShowButton(kMicMonitor, false);
}

}  // namespace tavrin
