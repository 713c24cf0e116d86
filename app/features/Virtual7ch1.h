#pragma once
// Virtual 7.1: its switch, the speaker motion buttons and the eight speakers of the 7.1 page.
#include <cstdint>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

class Virtual7ch1 final : public FeatureUnit {
public:
    explicit Virtual7ch1(FeatureContext& context);

    // Construction with an active device: the renderer off until the profile decides.
    void SendOffAtStart();
    void SendScalar();
    // The 3D effect went on while the two exclude each other.
    void SwitchOffForThreeD();
    // Window close.
    void SwitchOff();

    PressVerdict Admit(const ControlRow& row) override;
    bool IsDown(const ControlRow& row) const override;
    void ResetAfterRemoval() override;

private:
    FeatureContext& context_;
};

}  // namespace tavrin
