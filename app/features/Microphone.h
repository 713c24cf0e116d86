#pragma once
// The microphone page: boost, mute, monitor and the level slider.
#include <cstdint>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

class Microphone final : public FeatureUnit {
public:
    explicit Microphone(FeatureContext& context);

    bool IsDown(const ControlRow& row) const override;
    void BarPressed(const ControlRow& row, Component& bar, int32_t x, int32_t y) override;
    void Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t top) override;
    void ResetAfterRemoval() override;

private:
    FeatureContext& context_;
};

}  // namespace tavrin
