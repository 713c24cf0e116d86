#include "app/features/EnvironmentEffects.h"

#include <string>
#include <string_view>

namespace tavrin {
namespace {

// The buttons are paired with their effect by tag, not by name: the control named after
// StoneGallery carries the Bathroom tag and the other way round.
std::wstring ButtonKey(int32_t effect, bool down) {
    return std::wstring(L"EffectButton") + kEffectNames[effect - 1] +
           (down ? L"ImageDown" : L"ImageUp");
}

constexpr wchar_t kSection[] = L"Effect";
// Every effect caption takes its colours from the first one's record.
constexpr wchar_t kCaptionColours[] = L"EffectNonLabel";

bool IsEffect(int32_t effect) {
    return effect >= 1 && effect <= kEffectCount;
}

}  // namespace

EnvironmentEffects::EnvironmentEffects(FeatureContext& context) : context_(context) {}

void EnvironmentEffects::Construct() {
    context_.settings.m_iCurrentEffect = 1;
    ShowEffect(1);
}

void EnvironmentEffects::ShowEffect(int32_t effect) {
    WindowControls& window = context_.window;
    FormModel& form = window.Form();
    for (int32_t i = 1; i <= kEffectCount; ++i) {
        const int32_t tag = control_tag::kFirstEffect - 1 + i;
        const bool chosen = i == effect;
        if (Component* button = form.FindByTag(ComponentKind::Image, tag)) {
            window.ShowPicture(kSection, ButtonKey(i, chosen).c_str(), *button);
        }
        if (Component* label = form.FindByTag(ComponentKind::Label, tag)) {
            window.SetCaptionColour(*label, kCaptionColours, chosen);
        }
        // The environment's icon beside its button follows the choice too.
        const std::wstring icon = std::wstring(L"Effect") + kEffectNames[i - 1] + L"Image";
        if (const ControlRow* row = FindControlRow(icon)) window.ShowLook(*row, chosen);
    }
    if (!IsEffect(effect)) return;
    if (Component* picture = form.Find(L"EffectPicImage")) {
        const std::wstring key = std::wstring(L"EffectPic") + kEffectNames[effect - 1] + L"Image";
        window.ShowPicture(kSection, key.c_str(), *picture);
    }
}

void EnvironmentEffects::SendEffect(int32_t effect) {
    context_.io.SendDriverSelect(static_cast<uint32_t>(effect - 1));
    context_.io.SendDriverEnable(1);
}

void EnvironmentEffects::Press(const ControlRow& row, Component&) {
    const int32_t effect = row.tag - control_tag::kFirstEffect + 1;
    if (!IsEffect(effect)) return;
    context_.settings.m_iCurrentEffect = effect;
    ShowEffect(effect);
    SendEffect(effect);
    context_.window.Repaint();
}

// The buttons by tag, the effect pictures beside them by name.
bool EnvironmentEffects::IsDown(const ControlRow& row) const {
    const int32_t current = context_.settings.m_iCurrentEffect;
    if (row.tag != kNoTag) return row.tag - control_tag::kFirstEffect + 1 == current;
    return IsEffect(current) && std::wstring_view(row.image) ==
                                    std::wstring(L"Effect") + kEffectNames[current - 1] + L"Image";
}

void EnvironmentEffects::Redraw() {
    ShowEffect(context_.settings.m_iCurrentEffect);
}

void EnvironmentEffects::ResetAfterRemoval() {
    context_.settings.m_iCurrentEffect = 1;
    ShowEffect(1);
}

}  // namespace tavrin
