#pragma once
// The five acoustic environments of the Effect page: sent to the audio extension driver as an
// index and an enable request.
#include <cstdint>

#include "app/features/DeviceCommands.h"

namespace tavrin {

inline constexpr int32_t kEffectCount = static_cast<int32_t>(kEffectNames.size());
inline constexpr int32_t kFirstEffectTag = 16;

class EnvironmentEffects {
public:
    explicit EnvironmentEffects(FeatureContext& context);

    // Construction: effect 1 shown (nothing sent).
    void Construct();
    void ShowEffect(int32_t effect);
    void SendEffect(int32_t effect);
    // Tags 16..20 (the window has checked the device gate).
    void Press(int32_t tag);
    // After the device is gone: effect 1 shown, nothing sent.
    void ResetAfterRemoval();

private:
    FeatureContext& context_;
};

}  // namespace tavrin
