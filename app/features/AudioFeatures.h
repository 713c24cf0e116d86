#pragma once
// The feature units of the main window behind its seams: the equalizer, the 3D effect and the
// environment effects, with the settings model's removal reset. Units still to come keep the
// seams' empty defaults.
#include <memory>
#include <optional>

#include "app/features/DeviceCommands.h"
#include "app/features/EnvironmentEffects.h"
#include "app/features/Equalizer.h"
#include "app/features/MainWindowFeatures.h"
#include "app/features/ThreeD.h"

namespace tavrin {

class AudioFeatures final : public MainWindowFeatures {
public:
    void Attach(FeatureContext& context) override;

    // Construction.
    void SetInitialPageState() override;
    void LayoutEqualizer() override;
    void InitialiseEffectPages() override;
    void RestoreFromDeviceAtStart() override;
    // Destruction.
    void SwitchFeaturesOff() override;
    // Device arrival and removal.
    void RestoreEqAnd3D() override;
    void ResetSwitchDisplays() override;
    // The window's presses, events and sliders.
    void PressFeature(int32_t tag) override;
    void HandleControlEvent(const std::wstring& event, Component& sender) override;
    void EqSliderMoved(int32_t band) override;
    void D3SliderMoved(Component& slider) override;
    void RedrawFeatureDisplays() override;

    Equalizer& Eq() { return *equalizer_; }
    ThreeD& Effect3D() { return *threeD_; }
    EnvironmentEffects& Effects() { return *effects_; }

private:
    // 3D went on while it and virtual 7.1 exclude each other.
    void SwitchVirtual7ch1Off();
    // Start and arrival read each twice.
    void ReadEqFromDevice();
    void Read3DFromDevice();

    FeatureContext* context_ = nullptr;
    std::optional<Equalizer> equalizer_;
    std::optional<ThreeD> threeD_;
    std::optional<EnvironmentEffects> effects_;
};

}  // namespace tavrin
