#pragma once
// Noise cancellation (ENC) and the voice effect (Voice Magic): their pages' switches, the ENC
// level slider and the five voice effects.
#include <cstdint>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

class EncVoiceMagic final : public FeatureUnit {
public:
    explicit EncVoiceMagic(FeatureContext& context);

    // Window close: both features off on the device.
    void SwitchOff();

    PressVerdict Admit(const ControlRow& row) override;
    bool IsDown(const ControlRow& row) const override;
    void Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t top) override;
    void ResetAfterRemoval() override;

private:
    FeatureContext& context_;
};

}  // namespace tavrin
