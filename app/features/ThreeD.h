#pragma once
// The 3D effect: its switch (verified through the SDK and over registers), the α/β parameters
// and FBM over registers, the sliders with their link modes, reset and the read at start.
#include <cstdint>
#include <functional>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

inline constexpr int32_t kD3SliderTop = 105;
inline constexpr int32_t kD3SliderBottom = 225;

// The 3D record; α and β are 4-bit values.
struct ThreeDRecord {
    int32_t on = 0;
    int32_t fbm = 1;
    uint8_t leftAlpha = 10;
    uint8_t leftBeta = 3;
    uint8_t rightAlpha = 10;
    uint8_t rightBeta = 3;
    bool operator==(const ThreeDRecord&) const = default;
};

// The record in the configuration image (bytes 0xA1, 0xE7, 0xE8) and back.
ThreeDRecord ThreeDRecordFromImage(const ConfigurationImage& image);
void StoreThreeDRecord(const ThreeDRecord& record, ConfigurationImage& image);
// 105 gives 15, 225 gives 0 (with the default travel of 120).
int32_t ThreeDValueFromTop(int32_t top, int32_t eqRange);

class ThreeD final : public FeatureUnit {
public:
    // `switchVirtual7ch1Off` runs when 3D goes on while the two exclude each other.
    ThreeD(FeatureContext& context, std::function<void()> switchVirtual7ch1Off);

    // The unit's controls: 3D-EN, FBM, the two links, RESET and the four sliders.
    void Press(const ControlRow& row, Component& sender) override;
    void Click(const ControlRow& row, Component& sender) override;
    bool IsDown(const ControlRow& row) const override;
    void Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t top) override;
    void Redraw() override;
    void ResetAfterRemoval() override;

    // Construction: the record from the template, FBM on, both links -1.
    void Construct();

    void Set3DEnable(int32_t state);
    void Write3DEnableRegister(int32_t state);
    void Write3DRegisters(int32_t state);
    void SetFBM(int32_t state);
    void Send3DLeft(int32_t write);
    void Send3DRight(int32_t write);
    void Reset3D();
    // `eepromHint`: bit 4 of the EEPROM status byte (the equalizer reads it).
    void Read3DFromDevice(int32_t eepromHint);
    void Show3DState(int32_t fbm, int32_t on);

    // Presses (the window has checked the device gate where one applies).
    void Press3DEnable();         // tag 8
    void PressFbm();              // tag 13
    void PressLink(int32_t tag);  // tags 14 (α) and 15 (β)
    // A slider the pointer moved (the window placed it within 105..225): partners, then
    // Send3DLeft and Send3DRight with m_bSync.
    void SliderMoved(Component& slider);
    // Virtual 7.1 went on while the two exclude each other.
    void SwitchOffForVirtual7ch1();
    // Window close: Reset3D, SetFBM(1), Set3DEnable(0).
    void Close();

    const ThreeDRecord& Record() const { return record_; }

private:
    bool WriteRecordRegisters(HidOperation& hid);
    // The record's registers (when `write` is 1) and its copy in the image, one write group.
    void SendRecord(int32_t write);
    void ShowLinkPicture(int32_t tag, int32_t mode);

    FeatureContext& context_;
    std::function<void()> switchVirtual7ch1Off_;
    ThreeDRecord record_;
};

}  // namespace tavrin
