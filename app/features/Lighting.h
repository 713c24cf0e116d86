#pragma once
// RGB lighting: the LED button of the main window and the LED page.
#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

class Lighting final : public FeatureUnit {
public:
    explicit Lighting(FeatureContext& context);

    // The LED button lights the headset while it is held.
    void Press(const ControlRow& row, Component& sender) override;
    void Release(const ControlRow& row, Component& sender) override;

private:
    void SendLedSwitch(bool on);

    FeatureContext& context_;
};

}  // namespace tavrin
