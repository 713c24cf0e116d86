#pragma once
// The five acoustic environments of the Effect page: sent to the audio extension driver as an
// index and an enable request.
#include <cstdint>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

inline constexpr int32_t kEffectCount = static_cast<int32_t>(kEffectNames.size());

class EnvironmentEffects final : public FeatureUnit {
public:
    explicit EnvironmentEffects(FeatureContext& context);

    // The five effect buttons and the effect pictures beside them.
    void Press(const ControlRow& row, Component& sender) override;
    bool IsDown(const ControlRow& row) const override;
    void Redraw() override;
    void ResetAfterRemoval() override;

    // Construction: effect 1 shown (nothing sent).
    void Construct();
    void ShowEffect(int32_t effect);
    void SendEffect(int32_t effect);

private:
    FeatureContext& context_;
};

}  // namespace tavrin
