#include "app/features/Equalizer.h"

#include <algorithm>
#include <cwchar>
#include <span>

#include "common/AudioConfig.h"

namespace tavrin {
namespace {

using namespace control_tag;

constexpr size_t kSlotSize = 16;
constexpr size_t kFirstSlotOffset = 0x100;
constexpr uint16_t kFirstGainRegister = 0x120;
constexpr uint16_t kBand4HighRegister = 0x129;
constexpr uint16_t kSwitchRegister = 0x100;
constexpr uint8_t kSwitchRegisterEqBit = 0x04;

constexpr uint8_t kEepromHeaderChip = 0x50;
constexpr uint8_t kEepromTableChip = 0x51;
constexpr uint8_t kEepromTableFlagAddress = 0x8D;
constexpr uint8_t kEepromBankAddress = 0x8E;
constexpr uint32_t kI2cTimeout = 100;
constexpr uint32_t kEepromByteWaitMs = 10;
constexpr size_t kEepromTableBytes = 8;

constexpr uint32_t kProfileValueCapacity = 256;
constexpr size_t kProfileItemMaxLength = 127;

// The flags' nibble as register 0x129 and slot byte 7 carry it.
uint8_t FlagNibble(const EqRecord& record) {
    return static_cast<uint8_t>((record.d != 0 ? 0x10 : 0) | (record.b != 0 ? 0x20 : 0) |
                                (record.c != 0 ? 0x40 : 0) | (record.a != 0 ? 0x80 : 0));
}

uint8_t LowByte(uint16_t gain) {
    return static_cast<uint8_t>(gain & 0xFF);
}

uint8_t HighNibble(uint16_t gain) {
    return static_cast<uint8_t>((gain >> 8) & 0x0F);
}

// A profile number: decimal with the strict rules of the configuration, or 0x-prefixed
// hexadecimal; anything else raises the conversion error that ends a profile load.
int32_t PresetValue(const std::wstring& text) {
    if (const auto number = ParseInteger(text, true)) return *number;
    throw ConfigConversionError(text);
}

std::wstring HexText(uint32_t value, bool upper) {
    wchar_t text[16];
    std::swprintf(text, 16, upper ? L"0x%X" : L"%x", value);
    return text;
}

// The HID interface for one operation, closed on every path out of it.
// False at the first refused write; the rest of the group is abandoned.
bool WriteAll(HidOperation& hid, std::span<const EqRegisterWrite> writes) {
    for (const EqRegisterWrite& write : writes) {
        if (!hid.Write(write.address, write.value)) return false;
    }
    return true;
}

}  // namespace

uint16_t GainFromSliderTop(int32_t top, const SliderTravel& travel) {
    // A skin without travel leaves the slider nowhere to go.
    if (travel.range == 0) return kNeutralGain;
    const int32_t s = (top - travel.top) * 1024 / travel.range;
    uint16_t g = static_cast<uint16_t>(1536 - s);
    // The upper half of the travel covers three times the gain of the lower half.
    if (g > 1024) g = static_cast<uint16_t>(3 * (g - 1024) + 1023);
    return g;
}

int32_t SliderOffsetFromGain(uint16_t gain, int32_t range) {
    int32_t d = gain;
    if (d > 1024) d = (d - 1023) / 3 + 1024;
    return range - (d - 512) * range / 1024;
}

std::array<uint8_t, 16> PackEqSlot(const EqRecord& record) {
    const auto& g = record.gains;
    std::array<uint8_t, 16> slot{};
    slot[0] = LowByte(g[0]);
    slot[1] = static_cast<uint8_t>(HighNibble(g[0]) | ((g[1] & 0x0F) << 4));
    slot[2] = static_cast<uint8_t>((g[1] >> 4) & 0xFF);
    slot[3] = LowByte(g[2]);
    slot[4] = static_cast<uint8_t>(HighNibble(g[2]) | ((g[3] & 0x0F) << 4));
    slot[5] = static_cast<uint8_t>((g[3] >> 4) & 0xFF);
    slot[6] = LowByte(g[4]);
    slot[7] = static_cast<uint8_t>(HighNibble(g[4]) | FlagNibble(record));
    slot[14] = record.e;
    slot[15] = static_cast<uint8_t>((record.f != 0 ? 0x80 : 0) | (record.e & 0x7F));
    return slot;
}

EqRecord UnpackEqSlot(const uint8_t* slot) {
    EqRecord record;
    record.gains[0] = static_cast<uint16_t>(slot[0] | ((slot[1] & 0x0F) << 8));
    record.gains[1] = static_cast<uint16_t>((slot[1] >> 4) | (slot[2] << 4));
    record.gains[2] = static_cast<uint16_t>(slot[3] | ((slot[4] & 0x0F) << 8));
    record.gains[3] = static_cast<uint16_t>((slot[4] >> 4) | (slot[5] << 4));
    record.gains[4] = static_cast<uint16_t>(slot[6] | ((slot[7] & 0x0F) << 8));
    record.d = (slot[7] >> 4) & 1;
    record.b = (slot[7] >> 5) & 1;
    record.c = (slot[7] >> 6) & 1;
    record.a = (slot[7] >> 7) & 1;
    record.e = slot[14];
    record.f = (slot[15] >> 7) & 1;
    return record;
}

bool IsFlat(const EqRecord& record) {
    return std::all_of(record.gains.begin(), record.gains.end(),
                       [](uint16_t gain) { return gain == kNeutralGain; });
}

std::array<EqRegisterWrite, 2> BandRegisterWrites(int32_t band, uint16_t gain,
                                                  uint8_t register129) {
    const auto low = static_cast<uint16_t>(kFirstGainRegister + 2 * band);
    uint8_t high = HighNibble(gain);
    if (band == kEqBandCount - 1) high = static_cast<uint8_t>((register129 & 0xF0) | high);
    return {EqRegisterWrite{low, LowByte(gain)},
            EqRegisterWrite{static_cast<uint16_t>(low + 1), high}};
}

std::array<EqRegisterWrite, 10> RecordRegisterWrites(const EqRecord& record) {
    std::array<EqRegisterWrite, 10> writes{};
    for (int32_t band = 0; band < kEqBandCount; ++band) {
        const auto pair = BandRegisterWrites(band, record.gains[band], FlagNibble(record));
        writes[2 * band] = pair[0];
        writes[2 * band + 1] = pair[1];
    }
    return writes;
}

Equalizer::Equalizer(FeatureContext& context) : context_(context) {}

uint8_t* Equalizer::Slot(int32_t preset) {
    if (preset < 1 || preset > kEqPresetCount) return nullptr;
    return context_.image.bytes.data() + kFirstSlotOffset + kSlotSize * (preset - 1);
}

Component* Equalizer::Slider(int32_t band) {
    return context_.window.Form().FindByTag(ComponentKind::Image, kFirstEqSlider + band);
}

void Equalizer::Construct() {
    const EqRecord neutral;
    const std::array<uint8_t, 16> slot = PackEqSlot(neutral);
    for (int32_t preset = 1; preset <= kEqPresetCount; ++preset) {
        std::copy(slot.begin(), slot.end(), Slot(preset));
    }
    record_ = neutral;
    const int32_t middle = context_.window.EqSliderTravel().range / 2;
    for (auto& offsets : offsets_) offsets.fill(middle);
    context_.settings.m_bEQEnable = 0;
    for (int32_t preset = 1; preset <= kEqPresetCount; ++preset) ShowPreset(preset);
}

void Equalizer::SetEQEnable(int32_t state) {
    if (!context_.DeviceActive()) return;
    VerifiedSwitch(context_.sdk, SwitchedFeature::Equalizer, state,
                   context_.settings.m_bEQFlat == 1);
}

void Equalizer::SendBand(int32_t tag, int32_t write) {
    const int32_t band = tag - kFirstEqSlider;
    const Component* slider = Slider(band);
    if (band < 0 || band >= kEqBandCount || slider == nullptr) return;
    SettingsModel& settings = context_.settings;
    settings.m_bEQFlat = 0;
    const uint16_t gain = GainFromSliderTop(slider->top, context_.window.EqSliderTravel());
    record_.gains[band] = gain;
    if (IsFlat(record_)) settings.m_bEQFlat = 1;

    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen()) return;
    if (write == 1) {
        SetEQEnable(settings.m_bEQEnable);
        // Band 4 shares its high register with the flags the device holds: the low byte goes
        // first, then the high register is read and written back with the gain's nibble.
        uint8_t register129 = 0;
        const auto low = BandRegisterWrites(band, gain, register129);
        if (!WriteAll(hid, std::span(low).first(1))) return;
        if (band == kEqBandCount - 1 && !hid.Read(kBand4HighRegister, register129)) return;
        const auto high = BandRegisterWrites(band, gain, register129);
        if (!WriteAll(hid, std::span(high).last(1))) return;
    }
    hid.Commit();
}

void Equalizer::ApplyPreset(int32_t preset) {
    const uint8_t* slot = Slot(preset);
    if (slot == nullptr) return;
    SettingsModel& settings = context_.settings;
    settings.m_bEQFlat = 0;
    record_ = UnpackEqSlot(slot);
    if (IsFlat(record_)) {
        settings.m_bEQFlat = 1;
        return;
    }
    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen()) return;
    if (context_.Sync() && settings.m_bProfileBusy == 0 &&
        !WriteAll(hid, RecordRegisterWrites(record_))) {
        return;
    }
    hid.Commit();
}

void Equalizer::ShowPreset(int32_t preset) {
    const uint8_t* slot = Slot(preset);
    if (slot == nullptr) return;
    record_ = UnpackEqSlot(slot);
    const SliderTravel travel = context_.window.EqSliderTravel();
    FormModel& form = context_.window.Form();
    for (int32_t band = 0; band < kEqBandCount; ++band) {
        const uint16_t gain = record_.gains[band];
        const int32_t offset = SliderOffsetFromGain(gain, travel.range);
        offsets_[preset - 1][band] = offset;
        const int32_t tag = kFirstEqSlider + band;
        if (Component* slider = Slider(band)) {
            slider->top = offset + travel.top;
            if (Component* bar = form.FindByTag(ComponentKind::Image, tag + kFilledBarOffset)) {
                bar->autoSize = false;
                bar->height = slider->top + slider->height - bar->top;
            }
        }
        if (Component* value = form.FindByTag(ComponentKind::Label, tag)) {
            value->caption = HexText(gain, false);
        }
    }
}

void Equalizer::StorePreset(int32_t preset) {
    uint8_t* slot = Slot(preset);
    if (slot == nullptr) return;
    const std::array<uint8_t, 16> packed = PackEqSlot(record_);
    std::copy(packed.begin(), packed.end(), slot);
}

void Equalizer::RefreshEQPage(int32_t preset) {
    ShowPreset(preset);
    if (!context_.DeviceActive()) return;
    context_.window.ShowButton(kEqEnable, context_.settings.m_bEQEnable == 1);
}

void Equalizer::LoadPresetValues(const std::array<std::wstring, 6>& values, int32_t slot,
                                 int32_t current) {
    // Every text is converted before anything changes, so a bad one leaves the slot as it was.
    std::array<int32_t, 6> numbers{};
    for (size_t i = 0; i < values.size(); ++i) numbers[i] = PresetValue(values[i]);
    SettingsModel& settings = context_.settings;
    for (int32_t band = 0; band < kEqBandCount; ++band) {
        record_.gains[band] = static_cast<uint16_t>(numbers[band]);
    }
    StorePreset(slot);
    // The rest of the window treats any switch that is not 0 as on.
    settings.m_bEQEnable = numbers[5] != 0 ? 1 : 0;
    ApplyPreset(slot);
    RefreshEQPage(slot);
    SetEQEnable(settings.m_bEQEnable);
    ApplyPreset(current);
    RefreshEQPage(current);
    SetEQEnable(settings.m_bEQEnable);
}

void Equalizer::WriteEQEnableRegister(int32_t state) {
    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen()) return;
    uint8_t value = 0;
    if (!hid.Read(kSwitchRegister, value)) return;
    value = state == 1 ? static_cast<uint8_t>(value | kSwitchRegisterEqBit)
                       : static_cast<uint8_t>(value & ~kSwitchRegisterEqBit);
    if (!hid.Write(kSwitchRegister, value)) return;
    if (state == 1 && !WriteAll(hid, RecordRegisterWrites(record_))) return;
    hid.Commit();
}

// The preset's line of the default profile; a line that does not give six numbers resets to
// the built-in record instead, so that a missing default profile cannot stop the window.
void Equalizer::ApplyDefaultProfilePreset(int32_t preset) {
    const std::wstring key = L"S" + std::to_wstring(preset);
    const std::vector<std::wstring> items =
        SplitAtCommas(ReadConfigValue(context_.platform.profiles, context_.defaultProfilePath,
                                      L"EQ", key, kProfileValueCapacity));
    std::array<std::wstring, 6> values;
    for (size_t i = 0; i < values.size() && i < items.size(); ++i) {
        values[i] = items[i].substr(0, kProfileItemMaxLength);
    }
    try {
        LoadPresetValues(values, preset, preset);
    } catch (const ConfigConversionError&) {
        record_ = EqRecord{};
    }
}

void Equalizer::ResetEQ() {
    SettingsModel& settings = context_.settings;
    const int32_t preset = settings.m_iEQPreset;
    if (context_.config.defaultIni != 0) {
        if (!context_.DeviceActive()) context_.discovery.m_bSync = 0;
        ApplyDefaultProfilePreset(preset);
    } else {
        record_ = EqRecord{};
    }
    StorePreset(preset);
    RefreshEQPage(preset);

    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen()) return;
    if (context_.Sync()) {
        for (int32_t band = 0; band < kEqBandCount; ++band) {
            SendBand(kFirstEqSlider + band, 1);
        }
        // No commit after this group: the 3D switch follows.
        if (!WriteAll(hid, RecordRegisterWrites(record_))) return;
    }
    VerifiedSwitch(context_.sdk, SwitchedFeature::ThreeD, settings.m_b3DEnable, false);
}

void Equalizer::ReadEQFromEEPROM() {
    SettingsModel& settings = context_.settings;
    VendorSdk& sdk = context_.sdk;
    const auto readByte = [&sdk](uint8_t chip, uint8_t address, uint8_t& byte) {
        return sdk.Invoke<&VendorSdkTable::DLLZR_Read_I2C_ById>(chip, address, &byte, uint32_t{1},
                                                                kI2cTimeout, kActiveDeviceIndex);
    };
    settings.m_bEQFlat = 0;

    uint8_t header = 0;
    const int32_t flagRead = WithSingleRetry(
        [&] { return readByte(kEepromHeaderChip, kEepromTableFlagAddress, header); });
    const bool table = flagRead == 0 && (header & 1) != 0;

    uint8_t bankByte = 0;
    WithSingleRetry([&] { return readByte(kEepromHeaderChip, kEepromBankAddress, bankByte); });
    const int32_t bank = bankByte >= 0x10 && bankByte <= 0x13 ? bankByte - 0x10 : 0;
    const auto bankAddress = static_cast<uint8_t>(16 * bank);

    uint8_t status = 0;
    if (readByte(kEepromTableChip, static_cast<uint8_t>(bankAddress + 7), status) != 0) return;
    if (status == 0x00 || status == 0xFF) {
        settings.m_bEQFlat = 1;
        return;
    }
    settings.m_bEQEnable = (status & 0x80) == 0 ? 1 : 0;
    threeDHint_ = (status >> 4) & 1;

    std::array<uint16_t, kEqBandCount> gains;
    gains.fill(kNeutralGain);
    if (table) {
        std::array<uint8_t, 16> bytes{};
        for (size_t i = 0; i < kEepromTableBytes; ++i) {
            if (readByte(kEepromTableChip, static_cast<uint8_t>(bankAddress + i), bytes[i]) != 0) {
                return;
            }
            context_.platform.clock.Sleep(kEepromByteWaitMs);
        }
        // The table keeps 2 × gain − 0x400.
        const EqRecord stored = UnpackEqSlot(bytes.data());
        for (int32_t band = 0; band < kEqBandCount; ++band) {
            gains[band] = static_cast<uint16_t>((stored.gains[band] + 0x400) / 2);
        }
    }

    std::array<std::wstring, 6> values;
    for (int32_t band = 0; band < kEqBandCount; ++band) values[band] = HexText(gains[band], true);
    values[5] = std::to_wstring(settings.m_bEQEnable);
    LoadPresetValues(values, settings.m_iEQPreset, settings.m_iEQPreset);
    if (std::all_of(gains.begin(), gains.end(), [](uint16_t g) { return g == kNeutralGain; })) {
        settings.m_bEQFlat = 1;
    }
}

void Equalizer::PressEqEnable() {
    SettingsModel& settings = context_.settings;
    settings.m_bEQEnable = settings.m_bEQEnable == 0 ? 1 : 0;
    context_.window.ShowButton(kEqEnable, settings.m_bEQEnable == 1);
    StorePreset(settings.m_iEQPreset);
    SetEQEnable(settings.m_bEQEnable);
}

void Equalizer::PressPreset(int32_t preset) {
    if (preset < 1 || preset > kEqPresetCount) return;
    SettingsModel& settings = context_.settings;
    WindowControls& window = context_.window;
    FormModel& form = window.Form();
    settings.m_iEQPreset = preset;
    for (int32_t n = 1; n <= kEqPresetCount; ++n) {
        const bool down = n == preset;
        const std::wstring name = L"EQS" + std::to_wstring(n);
        if (Component* image = form.Find(name + L"Image")) {
            const std::wstring key = name + (down ? L"ImageDown" : L"ImageUp");
            window.ShowPicture(L"EQ", key.c_str(), *image);
        }
        if (Component* label = form.Find(name + L"Label")) {
            window.SetCaptionColour(*label, L"EQS1Label", down);
            if (down) {
                if (Component* sx = form.Find(L"SXLabel")) sx->caption = label->caption;
            }
        }
    }
    ApplyPreset(preset);
    RefreshEQPage(preset);
    SetEQEnable(settings.m_bEQEnable);
}

void Equalizer::SliderMoved(int32_t band) {
    const Component* slider = Slider(band);
    if (band < 0 || band >= kEqBandCount || slider == nullptr) return;
    SettingsModel& settings = context_.settings;
    const int32_t preset = settings.m_iEQPreset;
    SendBand(kFirstEqSlider + band, context_.Sync() ? 1 : 0);
    if (preset >= 1 && preset <= kEqPresetCount) {
        offsets_[preset - 1][band] = slider->top - context_.window.EqSliderTravel().top;
    }
    StorePreset(preset);
    RefreshEQPage(preset);
}

void Equalizer::RestoreFromDevice() {
    int32_t enabled = 0;
    WithSingleRetry([&] {
        return context_.sdk.Invoke<&VendorSdkTable::DLLZR_IsEQ_Enable_ById>(&enabled,
                                                                            kActiveDeviceIndex);
    });
    ReadEQFromEEPROM();
    SetEQEnable(context_.settings.m_bEQEnable);
}

void Equalizer::Close() {
    ResetEQ();
    SetEQEnable(0);
}

int32_t Equalizer::SliderOffset(int32_t preset, int32_t band) const {
    if (preset < 1 || preset > kEqPresetCount || band < 0 || band >= kEqBandCount) return 0;
    return offsets_[preset - 1][band];
}

}  // namespace tavrin

namespace tavrin {

void Equalizer::Press(const ControlRow& row, Component&) {
    if (row.tag == kEqEnable) {
        PressEqEnable();
    } else if (row.tag >= kFirstPreset && row.tag < kFirstPreset + kEqPresetCount) {
        PressPreset(row.tag - kFirstPreset + 1);
    } else {
        return;
    }
    context_.window.Repaint();
}

void Equalizer::Click(const ControlRow& row, Component&) {
    if (row.tag != kEqReset) return;
    ResetEQ();
    context_.window.Repaint();
}

bool Equalizer::IsDown(const ControlRow& row) const {
    const SettingsModel& settings = context_.settings;
    if (row.tag == kEqEnable) return settings.m_bEQEnable != 0;
    if (row.tag >= kFirstPreset && row.tag < kFirstPreset + kEqPresetCount) {
        return settings.m_iEQPreset == row.tag - kFirstPreset + 1;
    }
    return false;
}

void Equalizer::BarPressed(const ControlRow& row, Component&, int32_t, int32_t y) {
    const int32_t sliderTag =
        row.tag >= kFilledBarOffset ? row.tag - kFilledBarOffset : row.tag - kBarOffset;
    Component* slider = context_.window.Form().FindByTag(ComponentKind::Image, sliderTag);
    if (slider == nullptr) return;
    const SliderTravel travel = context_.window.EqSliderTravel();
    slider->top = WithinTravel(y - slider->height / 2, travel);
    SliderMoved(sliderTag - kFirstEqSlider);
}

void Equalizer::Dragged(const ControlRow& row, Component& slider, int32_t, int32_t top) {
    slider.top = WithinTravel(top, context_.window.EqSliderTravel());
    SliderMoved(row.tag - kFirstEqSlider);
}

void Equalizer::Redraw() {
    RefreshEQPage(context_.settings.m_iEQPreset);
}

void Equalizer::ResetAfterRemoval() {
    context_.settings.m_bEQEnable = 0;
    context_.window.ShowButton(kEqEnable, false);
}

}  // namespace tavrin
