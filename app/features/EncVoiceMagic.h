#pragma once
// Noise cancellation (ENC) and the voice effect (Voice Magic): their pages' switches, the ENC
// level slider and the five voice effects. Both keep their state in the shared registry key
// rather than in the profile, and both need a device the registry knows an ENC level for.
#include <array>
#include <cstdint>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

inline constexpr int32_t kEncLevelMax = 30;
inline constexpr size_t kEncStateBlockSize = 8;
inline constexpr size_t kEncParameterBlockSize = 16;
inline constexpr size_t kVoiceMagicBlockSize = 10;
inline constexpr int32_t kVoiceMagicModeCount = 5;

// The travel of the ENC slider's top edge: ENCTop .. ENCTop + ENCRange.
struct EncTravel {
    int32_t top = 150;
    int32_t range = 209;  // always positive

    // Both computed in floating point and truncated.
    int32_t LevelForTop(int32_t sliderTop) const;
    int32_t TopForLevel(int32_t level) const;
};

// A voice effect's pitch (0 for modes outside 0..4) and the registry's level for a mode.
int32_t VoiceMagicPitch(int32_t mode);
// The mode a stored VoiceMagicLevel stands for; 0 for values no effect has.
int32_t VoiceMagicModeOfLevel(uint32_t level);

class EncVoiceMagic final : public FeatureUnit {
public:
    explicit EncVoiceMagic(FeatureContext& context);

    // The ENC level the registry holds for the active device decides ENC support; with it, ENC
    // goes on at that level.
    void LoadENC();
    void ShowENC();
    void SetENCEnable(int32_t state, bool send);
    void SendENCParameters();
    // The hardware ENC button: the switch toggles as if pressed, without the parameters.
    void ToggleEncFromButton();

    void LoadVoiceMagic();
    void ShowVoiceMagic();
    void SetVoiceMagicEnable(int32_t state, bool send);
    void SetVoiceMagicMode(int32_t mode);

    // Window close: both features off on the device; the registry keeps the user's choice.
    void SwitchOff();

    PressVerdict Admit(const ControlRow& row) override;
    void Click(const ControlRow& row, Component& sender) override;
    bool IsDown(const ControlRow& row) const override;
    void BarPressed(const ControlRow& row, Component& bar, int32_t x, int32_t y) override;
    void Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t top) override;
    void DragEnded(const ControlRow& row, Component& slider) override;
    void PageTabPressed(int32_t tabPage) override;
    void SkinApplied() override;
    void Redraw() override;
    void ResetAfterRemoval() override;

private:
    bool ReadEncLevel(uint32_t& level);
    void PressEncSwitch();
    void PressVoiceMagicSwitch();
    void PressVoiceEffect(int32_t mode);
    void ShowEncSwitch();
    void ShowLevel();
    void PlaceSlider(int32_t level);
    // The skin's ENCSlider as far as it gives it; what it leaves out stays as it was.
    const EncTravel& Travel();
    // One of the unit's controls, by its picture's name, in its Down or Up look.
    void ShowLook(const wchar_t* image, bool down);

    FeatureContext& context_;
    EncTravel travel_;
    std::array<uint8_t, kEncStateBlockSize> state_{};
    std::array<uint8_t, kEncParameterBlockSize> parameters_{};
    std::array<uint8_t, kVoiceMagicBlockSize> voiceBlock_{};
};

}  // namespace tavrin
