#pragma once
// The five-band equalizer: gains from slider positions and back, the four preset slots in the
// configuration image, the EQ registers over HID, the verified switch, the EEPROM table, and
// the presses of EQ-EN, S1..S4 and RESET.
#include <array>
#include <cstdint>
#include <string>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

inline constexpr int32_t kEqBandCount = 5;
inline constexpr int32_t kEqPresetCount = 4;
inline constexpr uint16_t kNeutralGain = 0x400;

// The working copy of one preset.
struct EqRecord {
    std::array<uint16_t, kEqBandCount> gains{kNeutralGain, kNeutralGain, kNeutralGain, kNeutralGain,
                                             kNeutralGain};
    int32_t a = 1;
    int32_t b = 1;
    int32_t c = 1;
    int32_t d = 0;
    uint8_t e = 0;
    int32_t f = 1;
    bool operator==(const EqRecord&) const = default;
};

// Slider top to 12-bit gain and gain to the slider's offset below the top of its travel.
uint16_t GainFromSliderTop(int32_t top, const SliderTravel& travel);
int32_t SliderOffsetFromGain(uint16_t gain, int32_t range);
// The 16-byte slot layout, shared with the device's EEPROM table.
std::array<uint8_t, 16> PackEqSlot(const EqRecord& record);
EqRecord UnpackEqSlot(const uint8_t* slot);
// All five gains neutral: the device's equalizer is then switched off.
bool IsFlat(const EqRecord& record);

// One byte for one of the equalizer registers 0x120..0x129.
struct EqRegisterWrite {
    uint16_t address = 0;
    uint8_t value = 0;
    bool operator==(const EqRegisterWrite&) const = default;
};
// The two registers of band 0..4 for `gain`; band 4 keeps the high nibble of `register129`,
// the value the device holds there.
std::array<EqRegisterWrite, 2> BandRegisterWrites(int32_t band, uint16_t gain, uint8_t register129);
// Registers 0x120..0x129 of a whole record in ascending order, 0x129 with the record's flags.
std::array<EqRegisterWrite, 10> RecordRegisterWrites(const EqRecord& record);

class Equalizer final : public FeatureUnit {
public:
    explicit Equalizer(FeatureContext& context);

    // The unit's controls: EQ-EN, S1..S4, RESET, the five sliders and their bars.
    void Press(const ControlRow& row, Component& sender) override;
    void Click(const ControlRow& row, Component& sender) override;
    bool IsDown(const ControlRow& row) const override;
    void BarPressed(const ControlRow& row, Component& bar, int32_t x, int32_t y) override;
    void Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t top) override;
    void Redraw() override;
    void ResetAfterRemoval() override;

    // Construction: every slot holds the default record, every offset is half the travel,
    // EQ off, and S1..S4 are shown in turn.
    void Construct();

    void SetEQEnable(int32_t state);
    // Band change of the slider with `tag` (29..33); `write` is m_bSync.
    void SendBand(int32_t tag, int32_t write);
    void ApplyPreset(int32_t preset);
    void ShowPreset(int32_t preset);
    void StorePreset(int32_t preset);
    void RefreshEQPage(int32_t preset);
    // Five gains (decimal or 0x-hex) and the switch, as texts.
    void LoadPresetValues(const std::array<std::wstring, 6>& values, int32_t slot, int32_t current);
    void WriteEQEnableRegister(int32_t state);
    void ResetEQ();
    void ReadEQFromEEPROM();

    // Presses (the window has checked the device gate).
    void PressEqEnable();              // tag 7
    void PressPreset(int32_t preset);  // tags 9..12: preset 1..4
    // A slider the pointer moved (the window placed it within its travel): the band change,
    // the stored offset, StorePreset and RefreshEQPage.
    void SliderMoved(int32_t band);
    // Start and arrival with the equalizer in the EEPROM: query the switch (once more on
    // failure), ReadEQFromEEPROM, SetEQEnable.
    void RestoreFromDevice();
    // Window close: ResetEQ, then SetEQEnable(0).
    void Close();

    const EqRecord& Record() const { return record_; }
    int32_t SliderOffset(int32_t preset, int32_t band) const;
    // Bit 4 of the EEPROM status byte, read by the last ReadEQFromEEPROM.
    int32_t ThreeDHint() const { return threeDHint_; }

private:
    uint8_t* Slot(int32_t preset);
    Component* Slider(int32_t band);
    void ApplyDefaultProfilePreset(int32_t preset);

    FeatureContext& context_;
    EqRecord record_;
    std::array<std::array<int32_t, kEqBandCount>, kEqPresetCount> offsets_{};
    int32_t threeDHint_ = 0;
};

}  // namespace tavrin
