#include "app/features/Equalizer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "common/AudioConfig.h"
#include "ports/portable/PortableProfileStore.h"
#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

constexpr uint8_t kDefaultFlags = 0xE0;  // A, B, C set, D clear
const wchar_t* const kSliderNames[kEqBandCount] = {L"EQ60HzSliderImage", L"EQ300HzSliderImage",
                                                   L"EQ1200HzSliderImage", L"EQ3600HzSliderImage",
                                                   L"EQ12000HzSliderImage"};
const wchar_t* const kFilledBarNames[kEqBandCount] = {
    L"EQ60HzBarDownImage", L"EQ300HzBarDownImage", L"EQ1200HzBarDownImage", L"EQ3600HzBarDownImage",
    L"EQ12000HzBarDownImage"};
const wchar_t* const kValueLabelNames[kEqBandCount] = {L"EQ60HzValueLabel", L"EQ300HzValueLabel",
                                                       L"EQ1200HzValueLabel", L"EQ3600HzValueLabel",
                                                       L"EQ12000HzValueLabel"};

EqRecord WithGains(std::array<uint16_t, kEqBandCount> gains) {
    EqRecord record;
    record.gains = gains;
    return record;
}

std::string Hex2(uint32_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

std::string Register(uint16_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", address);
    return text;
}

// The traffic the virtual headset should see, in the words of its trace.
class Expected {
public:
    Expected& Address(uint16_t address) {
        lines_.push_back("hid out 00 60 " + Hex2(address) + " " + Hex2(address >> 8) +
                         " 10 00..(65) -> 0 address " + Register(address));
        return *this;
    }
    Expected& Write(uint16_t address, uint8_t value) {
        Address(address);
        lines_.push_back("hid out 00 60 " + Hex2(value) + " 01 20 00..(65) -> 0 register " +
                         Register(address) + " := 0x" + Hex2(value));
        return *this;
    }
    Expected& Read(uint16_t address, uint8_t value) {
        Address(address);
        lines_.push_back("hid in 00 60 " + Hex2(value) + " 00 00 00..(65) -> 0 register " +
                         Register(address));
        return *this;
    }
    Expected& Commit() {
        lines_.push_back("hid out 00 00 00 00 00 00..(65) -> 0 commit");
        return *this;
    }
    // Registers 0x120..0x129 of five gains, 0x129 with the flag nibble.
    Expected& Gains(const std::array<uint16_t, kEqBandCount>& gains,
                    uint8_t flags = kDefaultFlags) {
        for (int band = 0; band < kEqBandCount; ++band) {
            const auto low = static_cast<uint16_t>(0x120 + 2 * band);
            Write(low, static_cast<uint8_t>(gains[band] & 0xFF));
            Write(static_cast<uint16_t>(low + 1),
                  static_cast<uint8_t>((gains[band] >> 8) | (band == 4 ? flags : 0)));
        }
        return *this;
    }
    Expected& Sdk(const std::string& call) {
        lines_.push_back("sdk " + call);
        return *this;
    }
    // The verified switch whose read-back agrees.
    Expected& EqSwitch(int on) {
        return Sdk("DLLZR_ConfigEQ_ById(device=0) -> 0")
            .Sdk("DLLZR_SetEQ_OnOff_ById(on=" + std::to_string(on) + ", device=0) -> 0")
            .Sdk("DLLZR_IsEQ_Enable_ById(device=0) -> 0 [enabled=" + std::to_string(on) + "]");
    }
    // A flat preset: off, no read-back.
    Expected& EqFlatOff() {
        return Sdk("DLLZR_ConfigEQ_ById(device=0) -> 0")
            .Sdk("DLLZR_SetEQ_OnOff_ById(on=0, device=0) -> 0");
    }
    Expected& ThreeDSwitch(int on) {
        return Sdk("DLLZR_Config3D_ById(device=0) -> 0")
            .Sdk("DLLZR_Set3D_OnOff_ById(on=" + std::to_string(on) + ", device=0) -> 0")
            .Sdk("DLLZR_Is3D_Enable_ById(device=0) -> 0 [enabled=" + std::to_string(on) + "]");
    }
    Expected& I2c(uint8_t chip, uint8_t address, std::optional<uint8_t> byte) {
        return Sdk("DLLZR_Read_I2C_ById(chip=0x" + Hex2(chip) + ", address=0x" + Hex2(address) +
                   ", length=1, timeout=100, device=0) -> " +
                   (byte ? "0 [" + Hex2(*byte) + "]" : std::string("1 (fault)")));
    }
    operator const Lines&() const { return lines_; }

private:
    Lines lines_;
};

// ---- mapping, packing and register bytes ----

TEST(EqualizerMapping, SliderPositionsGiveTheGainCurve) {
    struct Case {
        int32_t offset;
        SliderTravel travel;
        uint16_t gain;
    };
    const Case cases[] = {
        {0, {200, 120}, 0x9FF},    // top of the travel
        {60, {200, 120}, 0x400},   // middle
        {120, {200, 120}, 0x200},  // bottom
        {30, {200, 120}, 0x6FF},   // 1536 - 256 = 1280, tripled above neutral
        {90, {200, 120}, 0x300},   // lower half is linear
        {59, {200, 120}, 0x41A},   // one pixel above the middle: 9 steps of 1024 / 120, tripled
        {0, {150, 240}, 0x9FF},      {120, {150, 240}, 0x400},
        {0, {200, 0}, kNeutralGain},  // a skin without travel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "offset " << c.offset << " range " << c.travel.range);
        EXPECT_EQ(GainFromSliderTop(c.travel.top + c.offset, c.travel), c.gain);
    }
}

TEST(EqualizerMapping, GainsPlaceTheSlider) {
    struct Case {
        uint16_t gain;
        int32_t range;
        int32_t offset;
    };
    const Case cases[] = {
        {0x9FF, 120, 0},  {0x400, 120, 60},  {0x200, 120, 120},
        {0x6FF, 120, 30}, {0x401, 120, 60},  // between two slider steps: snaps to the step below
        {0x600, 120, 40}, {0x400, 240, 120}, {0x6FF, 240, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "gain 0x" << c.gain);
        EXPECT_EQ(SliderOffsetFromGain(c.gain, c.range), c.offset);
    }
}

TEST(EqualizerMapping, EverySliderPositionSurvivesTheWayThroughTheGain) {
    for (const int32_t range : {120, 121, 50, 240}) {
        const SliderTravel travel{200, range};
        for (int32_t offset = 0; offset <= range; ++offset) {
            const uint16_t gain = GainFromSliderTop(travel.top + offset, travel);
            ASSERT_EQ(SliderOffsetFromGain(gain, range), offset)
                << "range " << range << " gain 0x" << std::hex << gain;
        }
    }
}

TEST(EqualizerSlot, PacksGainsFlagsAndTheTailByte) {
    EqRecord record = WithGains({0x123, 0x456, 0x789, 0xABC, 0xDEF});
    record.a = 1;
    record.b = 0;
    record.c = 1;
    record.d = 1;
    record.e = 0x85;
    record.f = 0;
    const std::array<uint8_t, 16> expected = {0x23, 0x61, 0x45, 0x89, 0xC7, 0xAB, 0xEF, 0xDD,
                                              0,    0,    0,    0,    0,    0,    0x85, 0x05};
    EXPECT_EQ(PackEqSlot(record), expected);
    EXPECT_EQ(UnpackEqSlot(expected.data()), record);

    const std::array<uint8_t, 16> neutral = {0x00, 0x04, 0x40, 0x00, 0x04, 0x40, 0x00, 0xE4,
                                             0,    0,    0,    0,    0,    0,    0x00, 0x80};
    EXPECT_EQ(PackEqSlot(EqRecord{}), neutral);
    EXPECT_EQ(UnpackEqSlot(neutral.data()), EqRecord{});
}

TEST(EqualizerSlot, TheEepromExampleDecodesToNeutralValues) {
    const std::array<uint8_t, 16> bytes = {0x00, 0x04, 0x40, 0x00, 0x04, 0x40, 0x00, 0x04};
    const EqRecord values = UnpackEqSlot(bytes.data());
    EXPECT_EQ(values.gains, WithGains({0x400, 0x400, 0x400, 0x400, 0x400}).gains);
    EXPECT_TRUE(IsFlat(values));
}

TEST(EqualizerRegisters, OneBandTouchesItsTwoRegisters) {
    using W = EqRegisterWrite;
    EXPECT_EQ(BandRegisterWrites(0, 0x9FF, 0xFF), (std::array{W{0x120, 0xFF}, W{0x121, 0x09}}));
    EXPECT_EQ(BandRegisterWrites(2, 0x6FF, 0xFF), (std::array{W{0x124, 0xFF}, W{0x125, 0x06}}));
    // Band 4 shares 0x129 with the flags, which it keeps.
    EXPECT_EQ(BandRegisterWrites(4, 0x6FF, 0xA3), (std::array{W{0x128, 0xFF}, W{0x129, 0xA6}}));
    EXPECT_EQ(BandRegisterWrites(4, 0x200, 0x0F), (std::array{W{0x128, 0x00}, W{0x129, 0x02}}));

    EqRecord record = WithGains({0x9FF, 0x400, 0x200, 0x6FF, 0x401});
    record.d = 1;
    record.a = 0;
    const std::array<W, 10> all = {W{0x120, 0xFF}, W{0x121, 0x09}, W{0x122, 0x00}, W{0x123, 0x04},
                                   W{0x124, 0x00}, W{0x125, 0x02}, W{0x126, 0xFF}, W{0x127, 0x06},
                                   W{0x128, 0x01}, W{0x129, 0x74}};
    EXPECT_EQ(RecordRegisterWrites(record), all);
}

// ---- against the virtual headset ----

class EqualizerTest : public test::FeatureTest {
protected:
    void SetUp() override {
        test::FeatureTest::SetUp();
        if (HasFatalFailure()) return;
        eq.emplace(*context);
        eq->Construct();
    }

    std::array<uint8_t, 16> SlotBytes(int preset) const {
        std::array<uint8_t, 16> slot{};
        std::copy_n(image.bytes.begin() + 0x100 + 16 * (preset - 1), 16, slot.begin());
        return slot;
    }
    void PutSlot(int preset, const EqRecord& record) {
        const auto bytes = PackEqSlot(record);
        std::copy(bytes.begin(), bytes.end(), image.bytes.begin() + 0x100 + 16 * (preset - 1));
    }
    Component& Slider(int band) { return window.Control(kSliderNames[band]); }
    // Places a slider `offset` pixels below the top of its travel.
    void PlaceSlider(int band, int32_t offset) { Slider(band).top = window.travel.top + offset; }
    uint32_t OpenHandles() {
        uint32_t count = 0;
        Face().openHandleCount(&count);
        return count;
    }
    // The EQ-EN look last asked for: true for Down.
    bool EqEnableShowsDown() const {
        for (auto it = window.buttonStates.rbegin(); it != window.buttonStates.rend(); ++it) {
            if (it->first == 7) return it->second;
        }
        ADD_FAILURE() << "EQ-EN was never drawn";
        return false;
    }

    std::optional<Equalizer> eq;
};

TEST_F(EqualizerTest, ConstructionFillsEverySlotWithTheNeutralRecord) {
    const auto neutral = PackEqSlot(EqRecord{});
    for (int preset = 1; preset <= kEqPresetCount; ++preset) {
        EXPECT_EQ(SlotBytes(preset), neutral) << "S" << preset;
        for (int band = 0; band < kEqBandCount; ++band) {
            EXPECT_EQ(eq->SliderOffset(preset, band), 60);
        }
    }
    EXPECT_EQ(Slider(2).top, 260);
    EXPECT_EQ(settings.m_bEQEnable, 0);
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(EqualizerTest, TheSwitchIsVerifiedOnceAndRepeatedOnAMismatch) {
    struct Case {
        const char* name;
        const wchar_t* script;
        int32_t flat;
        int32_t active;
        Lines traffic;
    };
    const Case cases[] = {
        {"read-back agrees", nullptr, 0, 1, Expected().EqSwitch(1)},
        {"read-back differs", L"readback eq 0", 0, 1,
         Expected()
             .Sdk("DLLZR_ConfigEQ_ById(device=0) -> 0")
             .Sdk("DLLZR_SetEQ_OnOff_ById(on=1, device=0) -> 0")
             .Sdk("DLLZR_IsEQ_Enable_ById(device=0) -> 0 [enabled=0, read-back fault]")
             .Sdk("DLLZR_SetEQ_OnOff_ById(on=1, device=0) -> 0")},
        {"flat preset", nullptr, 1, 1, Expected().EqFlatOff()},
        {"no active device", nullptr, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.script != nullptr) Script(c.script);
        settings.m_bEQFlat = c.flat;
        discovery->m_bDeviceActive = c.active;
        ClearTraffic();
        eq->SetEQEnable(1);
        EXPECT_EQ(DeviceTraffic(), c.traffic);
    }
}

TEST_F(EqualizerTest, ASliderMoveSendsItsBandAndSnapsToTheStoredGain) {
    settings.m_bEQEnable = 1;
    PlaceSlider(1, 30);
    eq->SliderMoved(1);

    EXPECT_EQ(DeviceTraffic(),
              Lines(Expected().EqSwitch(1).Write(0x122, 0xFF).Write(0x123, 0x06).Commit()));
    EXPECT_EQ(eq->Record().gains[1], 0x6FF);
    EXPECT_EQ(UnpackEqSlot(SlotBytes(1).data()), WithGains({0x400, 0x6FF, 0x400, 0x400, 0x400}));
    EXPECT_EQ(SlotBytes(2), PackEqSlot(EqRecord{}));
    EXPECT_EQ(eq->SliderOffset(1, 1), 30);
    EXPECT_EQ(Slider(1).top, 230);
    EXPECT_EQ(window.Control(L"EQ300HzValueLabel").caption, L"6ff");
    EXPECT_EQ(settings.m_bEQFlat, 0);
    EXPECT_TRUE(EqEnableShowsDown());
}

TEST_F(EqualizerTest, BandFourWritesItsLowByteThenKeepsTheFlagsInRegister129) {
    Script(L"register 0x129 0xA4");
    PlaceSlider(4, 0);
    eq->SliderMoved(4);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected()
                                         .EqSwitch(0)
                                         .Write(0x128, 0xFF)
                                         .Read(0x129, 0xA4)
                                         .Write(0x129, 0xA9)
                                         .Commit()));

    // A refused read of 0x129 abandons the group after the low byte went out.
    Script(L"fail GetInputReport 1");
    ClearTraffic();
    eq->SliderMoved(4);
    Lines expected = Lines(Expected().EqSwitch(0).Write(0x128, 0xFF));
    expected.push_back("hid out 00 60 29 01 10 00..(65) -> 0 address 0x0129");
    expected.push_back("hid in -> 4 (fault)");
    EXPECT_EQ(DeviceTraffic(), expected);
}

TEST_F(EqualizerTest, BackToNeutralSwitchesTheDeviceOffWhileTheButtonStaysOn) {
    settings.m_bEQEnable = 1;
    PlaceSlider(0, 0);
    eq->SliderMoved(0);
    ClearTraffic();
    PlaceSlider(0, 60);
    eq->SliderMoved(0);
    EXPECT_EQ(DeviceTraffic(),
              Lines(Expected().EqFlatOff().Write(0x120, 0x00).Write(0x121, 0x04).Commit()));
    EXPECT_EQ(settings.m_bEQFlat, 1);
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_TRUE(EqEnableShowsDown());
}

TEST_F(EqualizerTest, WithoutSyncAMoveIsKeptButNoRegisterIsWritten) {
    discovery->m_bSync = 0;
    PlaceSlider(3, 120);
    eq->SliderMoved(3);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().Commit()));
    EXPECT_EQ(UnpackEqSlot(SlotBytes(1).data()).gains[3], 0x200);
}

TEST_F(EqualizerTest, AMissingOrFailingInterfaceEndsTheBandChange) {
    const uint32_t handles = OpenHandles();
    Script(L"vanish-hid");
    PlaceSlider(2, 0);
    eq->SendBand(31, 1);
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_EQ(eq->Record().gains[2], 0x9FF);  // the model keeps the new value

    Script(L"fail SetOutputReport 1");
    ClearTraffic();
    eq->SendBand(31, 1);
    Lines expected = Expected().EqSwitch(0);
    expected.push_back("hid out 00 60 24 01 10 00..(65) -> 4 (fault)");
    EXPECT_EQ(DeviceTraffic(), expected);  // nothing after the refused report, no commit
    EXPECT_EQ(OpenHandles(), handles);
}

TEST_F(EqualizerTest, ApplyingAPresetWritesAllTenRegistersUnlessItIsFlat) {
    const std::array<uint16_t, kEqBandCount> gains = {0x9FF, 0x400, 0x200, 0x6FF, 0x401};
    EqRecord record = WithGains(gains);
    record.d = 1;
    PutSlot(3, record);
    eq->ApplyPreset(3);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().Gains(gains, 0xF0).Commit()));
    EXPECT_EQ(eq->Record(), record);
    EXPECT_EQ(settings.m_bEQFlat, 0);

    ClearTraffic();
    settings.m_bProfileBusy = 1;
    eq->ApplyPreset(3);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().Commit()));

    ClearTraffic();
    eq->ApplyPreset(4);
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_EQ(settings.m_bEQFlat, 1);
}

TEST_F(EqualizerTest, ShowingAPresetPlacesSlidersBarsAndValues) {
    window.travel = {180, 240};
    PutSlot(2, WithGains({0x9FF, 0x400, 0x200, 0x6FF, 0x401}));
    eq->ShowPreset(2);
    const int32_t tops[kEqBandCount] = {180, 300, 420, 240, 300};
    const wchar_t* values[kEqBandCount] = {L"9ff", L"400", L"200", L"6ff", L"401"};
    for (int band = 0; band < kEqBandCount; ++band) {
        SCOPED_TRACE(band);
        const Component& slider = Slider(band);
        const Component& bar = window.Control(kFilledBarNames[band]);
        EXPECT_EQ(slider.top, tops[band]);
        EXPECT_EQ(eq->SliderOffset(2, band), tops[band] - 180);
        EXPECT_FALSE(bar.autoSize);
        EXPECT_EQ(bar.top + bar.height, slider.top + slider.height);
        EXPECT_EQ(window.Control(kValueLabelNames[band]).caption, values[band]);
    }
    EXPECT_EQ(eq->SliderOffset(1, 0), 60);  // other presets keep theirs
}

TEST_F(EqualizerTest, TheRefreshShowsTheSwitchOnlyWithAnActiveDevice) {
    settings.m_bEQEnable = 1;
    eq->RefreshEQPage(1);
    EXPECT_TRUE(EqEnableShowsDown());
    settings.m_bEQEnable = 0;
    eq->RefreshEQPage(1);
    EXPECT_FALSE(EqEnableShowsDown());

    window.buttonStates.clear();
    discovery->m_bDeviceActive = 0;
    eq->RefreshEQPage(1);
    EXPECT_TRUE(window.buttonStates.empty());
}

TEST_F(EqualizerTest, TheEnableButtonTogglesModelLookAndDevice) {
    eq->PressEqEnable();
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(window.buttonStates.back(), (std::pair<int32_t, bool>{7, true}));
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().EqSwitch(1)));

    ClearTraffic();
    eq->PressEqEnable();
    EXPECT_EQ(settings.m_bEQEnable, 0);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().EqSwitch(0)));
}

TEST_F(EqualizerTest, APresetButtonLightsItselfAndAppliesItsSlot) {
    window.Control(L"EQS3Label").caption = L"Rock";
    const std::array<uint16_t, kEqBandCount> gains = {0x600, 0x500, 0x400, 0x400, 0x400};
    PutSlot(3, WithGains(gains));
    settings.m_bEQEnable = 1;
    eq->PressPreset(3);

    EXPECT_EQ(settings.m_iEQPreset, 3);
    for (int n = 1; n <= kEqPresetCount; ++n) {
        const std::wstring name = L"EQS" + std::to_wstring(n);
        const bool down = n == 3;
        EXPECT_EQ(window.Control((name + L"Image").c_str()).picture,
                  L"EQ/" + name + (down ? L"ImageDown" : L"ImageUp"));
        EXPECT_EQ(window.captions[name + L"Label"], down ? L"EQS1Label down" : L"EQS1Label up");
    }
    EXPECT_EQ(window.Control(L"SXLabel").caption, L"Rock");
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().Gains(gains).Commit().EqSwitch(1)));
    EXPECT_EQ(Slider(0).top, 240);  // 0x600 is 40 px below the top
}

TEST_F(EqualizerTest, AFlatPresetSwitchesTheDeviceOffAndLeavesTheButtonOn) {
    settings.m_bEQEnable = 1;
    eq->PressPreset(2);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().EqFlatOff()));
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_bEQFlat, 1);
    EXPECT_TRUE(EqEnableShowsDown());
}

TEST_F(EqualizerTest, PresetValuesFillTheSlotAndReapplyTheCurrentPreset) {
    eq->LoadPresetValues({L"0x600", L"1280", L"0X400", L"0x400", L"0x3ff", L"1"}, 2, 1);
    EXPECT_EQ(UnpackEqSlot(SlotBytes(2).data()), WithGains({0x600, 0x500, 0x400, 0x400, 0x3FF}));
    EXPECT_EQ(settings.m_bEQEnable, 1);
    // Slot 2, then the current (flat) slot 1 back into the record and the device.
    EXPECT_EQ(DeviceTraffic(), Lines(Expected()
                                         .Gains({0x600, 0x500, 0x400, 0x400, 0x3FF})
                                         .Commit()
                                         .EqSwitch(1)
                                         .EqFlatOff()));
    EXPECT_EQ(eq->Record(), EqRecord{});
    EXPECT_EQ(Slider(0).top, 260);
}

TEST_F(EqualizerTest, PresetValuesThatAreNotNumbersChangeNothing) {
    for (const wchar_t* bad : {L"", L"abc", L"0x", L"0x4G0", L"12a", L"0x1FFFFFFFF"}) {
        SCOPED_TRACE(std::wstring(bad).size());
        EXPECT_THROW(
            eq->LoadPresetValues({L"0x600", bad, L"0x400", L"0x400", L"0x400", L"1"}, 2, 1),
            ConfigConversionError);
        EXPECT_EQ(SlotBytes(2), PackEqSlot(EqRecord{}));
        EXPECT_EQ(settings.m_bEQEnable, 0);
    }
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(EqualizerTest, TheRegisterSwitchSetsOrClearsBitTwo) {
    PutSlot(1, WithGains({0x9FF, 0x400, 0x200, 0x6FF, 0x401}));
    eq->ApplyPreset(1);
    Script(L"register 0x100 0x80");
    ClearTraffic();
    eq->WriteEQEnableRegister(1);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected()
                                         .Read(0x100, 0x80)
                                         .Write(0x100, 0x84)
                                         .Gains({0x9FF, 0x400, 0x200, 0x6FF, 0x401})
                                         .Commit()));

    Script(L"register 0x100 0xFF");
    ClearTraffic();
    eq->WriteEQEnableRegister(0);
    EXPECT_EQ(DeviceTraffic(), Lines(Expected().Read(0x100, 0xFF).Write(0x100, 0xFB).Commit()));

    Script(L"fail GetInputReport 1");
    ClearTraffic();
    eq->WriteEQEnableRegister(1);
    EXPECT_EQ(DeviceTraffic(), (Lines{"hid out 00 60 00 01 10 00..(65) -> 0 address 0x0100",
                                      "hid in -> 4 (fault)"}));
}

TEST_F(EqualizerTest, ResetReturnsThePresetToNeutralAndRewritesEveryBand) {
    settings.m_iEQPreset = 2;
    PutSlot(2, WithGains({0x9FF, 0x9FF, 0x9FF, 0x9FF, 0x9FF}));
    eq->ShowPreset(2);
    settings.m_bEQEnable = 1;
    Script(L"register 0x129 0xE9");
    ClearTraffic();
    const uint32_t handles = OpenHandles();
    eq->ResetEQ();
    EXPECT_EQ(OpenHandles(), handles);

    EXPECT_EQ(SlotBytes(2), PackEqSlot(EqRecord{}));
    EXPECT_EQ(Slider(4).top, 260);
    Expected expected;
    for (int band = 0; band < kEqBandCount; ++band) {
        expected.EqFlatOff();
        const auto low = static_cast<uint16_t>(0x120 + 2 * band);
        if (band == 4) {
            expected.Write(0x128, 0x00).Read(0x129, 0xE9).Write(0x129, 0xE4);
        } else {
            expected.Write(low, 0x00).Write(static_cast<uint16_t>(low + 1), 0x04);
        }
        expected.Commit();
    }
    expected.Gains({0x400, 0x400, 0x400, 0x400, 0x400}).ThreeDSwitch(0);
    EXPECT_EQ(DeviceTraffic(), Lines(expected));
}

TEST_F(EqualizerTest, ResetWithoutTheInterfaceStopsAfterTheModel) {
    PutSlot(1, WithGains({0x9FF, 0x9FF, 0x9FF, 0x9FF, 0x9FF}));
    Script(L"vanish-hid");
    eq->ResetEQ();
    EXPECT_EQ(SlotBytes(1), PackEqSlot(EqRecord{}));
    EXPECT_TRUE(DeviceTraffic().empty());
}

// The reset with DefaultIni takes the preset from the default profile.
class EqualizerDefaultProfileTest : public EqualizerTest {
protected:
    void SetUp() override {
        EqualizerTest::SetUp();
        if (HasFatalFailure()) return;
        defaultConfig.defaultIni = 1;
        defaultContext.emplace(FeatureContext{defaultPlatform, ui, settings, sdk, *io, *discovery,
                                              window, image, defaultConfig, context->audio, 6,
                                              kProfilePath});
        defaultEq.emplace(*defaultContext);
    }

    static constexpr const wchar_t* kProfilePath =
        L"C:\\Users\\Ann\\AppData\\Roaming\\Tavrin\\DefaultProfile.ini";
    PortableProfileStore profileFiles{files};
    Platform defaultPlatform{profileFiles, registry, files, environment, clock, log};
    MainWindowConfig defaultConfig;
    std::optional<FeatureContext> defaultContext;
    std::optional<Equalizer> defaultEq;
};

TEST_F(EqualizerDefaultProfileTest, ResetTakesTheCurrentPresetsLine) {
    files.AddTextFile(kProfilePath,
                      "[EQ]\r\nS1=0x400,0x400,0x400,0x400,0x400,0\r\n"
                      "S2=0x600,0x500,0x400,0x400,0x400,1\r\n");
    settings.m_iEQPreset = 2;
    defaultEq->ResetEQ();
    const std::array<uint16_t, kEqBandCount> gains = {0x600, 0x500, 0x400, 0x400, 0x400};
    EXPECT_EQ(UnpackEqSlot(SlotBytes(2).data()), WithGains(gains));
    EXPECT_EQ(settings.m_bEQEnable, 1);

    Expected expected;
    expected.Gains(gains).Commit().EqSwitch(1);  // LoadPresetValues: the slot...
    expected.Gains(gains).Commit().EqSwitch(1);  // ...and the same slot as the current one
    // The bands are re-sent from the slider positions, which hold 0x500 only to the nearest
    // pixel; the slot keeps the exact value.
    const std::array<uint16_t, kEqBandCount> sent = {0x600, 0x4E6, 0x400, 0x400, 0x400};
    for (int band = 0; band < kEqBandCount; ++band) {
        expected.EqSwitch(1);
        const auto low = static_cast<uint16_t>(0x120 + 2 * band);
        expected.Write(low, static_cast<uint8_t>(sent[band] & 0xFF));
        if (band == 4) expected.Read(0x129, 0xE4);
        expected
            .Write(static_cast<uint16_t>(low + 1),
                   static_cast<uint8_t>((sent[band] >> 8) | (band == 4 ? 0xE0 : 0)))
            .Commit();
    }
    expected.Gains(sent).ThreeDSwitch(0);
    EXPECT_EQ(DeviceTraffic(), Lines(expected));
    EXPECT_EQ(UnpackEqSlot(SlotBytes(2).data()).gains[1], 0x500);
}

TEST_F(EqualizerDefaultProfileTest, WithoutAUsableLineResetUsesTheBuiltInRecord) {
    for (const char* profile :
         {"", "[EQ]\r\nS1=0x600,0x500\r\n", "[EQ]\r\nS1=0x600,x,1,1,1,1\r\n"}) {
        SCOPED_TRACE(profile);
        files.AddTextFile(kProfilePath, profile);
        PutSlot(1, WithGains({0x9FF, 0x9FF, 0x9FF, 0x9FF, 0x9FF}));
        EXPECT_NO_THROW(defaultEq->ResetEQ());
        EXPECT_EQ(SlotBytes(1), PackEqSlot(EqRecord{}));
    }
}

TEST_F(EqualizerDefaultProfileTest, ResetWithoutADeviceStopsDirectWrites) {
    files.AddTextFile(kProfilePath, "[EQ]\r\nS1=0x600,0x500,0x400,0x400,0x400,1\r\n");
    discovery->m_bDeviceActive = 0;
    defaultEq->ResetEQ();
    EXPECT_EQ(discovery->m_bSync, 0);
    EXPECT_EQ(UnpackEqSlot(SlotBytes(1).data()).gains[0], 0x600);
}

TEST_F(EqualizerTest, TheEepromBankBecomesTheCurrentPreset) {
    Script(L"eeprom 0x50 0x8E 0x11");  // bank 1: bass with the 3D hint
    settings.m_iEQPreset = 3;
    eq->ReadEQFromEEPROM();

    const std::array<uint16_t, kEqBandCount> gains = {0x600, 0x500, 0x400, 0x400, 0x400};
    EXPECT_EQ(UnpackEqSlot(SlotBytes(3).data()), WithGains(gains));
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_bEQFlat, 0);
    EXPECT_EQ(eq->ThreeDHint(), 1);
    EXPECT_EQ(clock.waits, std::vector<uint32_t>(8, 10));

    Expected expected;
    expected.I2c(0x50, 0x8D, 0x01).I2c(0x50, 0x8E, 0x11).I2c(0x51, 0x17, 0x14);
    const uint8_t table[] = {0x00, 0x08, 0x60, 0x00, 0x04, 0x40, 0x00, 0x14};
    for (uint8_t i = 0; i < 8; ++i) expected.I2c(0x51, static_cast<uint8_t>(0x10 + i), table[i]);
    expected.Gains(gains).Commit().EqSwitch(1).Gains(gains).Commit().EqSwitch(1);
    EXPECT_EQ(DeviceTraffic(), Lines(expected));
}

TEST_F(EqualizerTest, TheBankByteChoosesWhereTheStatusIsRead) {
    struct Case {
        uint8_t bankByte;
        uint8_t statusAddress;
    };
    const Case cases[] = {{0x10, 0x07}, {0x11, 0x17}, {0x12, 0x27}, {0x13, 0x37},
                          {0x14, 0x07}, {0x0F, 0x07}, {0x00, 0x07}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "bank byte " << int(c.bankByte));
        Script(L"eeprom 0x50 0x8E " + std::to_wstring(c.bankByte));
        ClearTraffic();
        eq->ReadEQFromEEPROM();
        const Lines traffic = DeviceTraffic();
        ASSERT_GE(traffic.size(), 3u);
        EXPECT_EQ(
            traffic[2].rfind(
                "sdk DLLZR_Read_I2C_ById(chip=0x51, address=0x" + Hex2(c.statusAddress) + ",", 0),
            0u)
            << traffic[2];
    }
}

TEST_F(EqualizerTest, AnUnprogrammedBankOnlyMarksTheEqualizerFlat) {
    for (const uint8_t status : {0x00, 0xFF}) {
        SCOPED_TRACE(int(status));
        Script(L"eeprom 0x51 0x07 " + std::to_wstring(status));
        settings.m_bEQEnable = 1;
        settings.m_bEQFlat = 0;
        PutSlot(1, WithGains({0x9FF, 0x400, 0x400, 0x400, 0x400}));
        ClearTraffic();
        eq->ReadEQFromEEPROM();
        EXPECT_EQ(settings.m_bEQFlat, 1);
        EXPECT_EQ(settings.m_bEQEnable, 1);
        EXPECT_EQ(eq->ThreeDHint(), 0);
        EXPECT_EQ(UnpackEqSlot(SlotBytes(1).data()).gains[0], 0x9FF);
        EXPECT_EQ(
            DeviceTraffic(),
            Lines(Expected().I2c(0x50, 0x8D, 0x01).I2c(0x50, 0x8E, 0x10).I2c(0x51, 0x07, status)));
        EXPECT_TRUE(clock.waits.empty());
    }
}

TEST_F(EqualizerTest, TheDefaultEepromIsAFlatPresetWithTheEqualizerOn) {
    settings.m_bEQEnable = 0;
    eq->ReadEQFromEEPROM();
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_bEQFlat, 1);
    EXPECT_EQ(UnpackEqSlot(SlotBytes(1).data()), EqRecord{});
    const Lines traffic = DeviceTraffic();
    ASSERT_EQ(traffic.size(), 11u + 4u);  // eleven reads, then two flat switches
    EXPECT_EQ(Lines(traffic.begin() + 11, traffic.end()),
              Lines(Expected().EqFlatOff().EqFlatOff()));
}

TEST_F(EqualizerTest, HeaderReadsAreRetriedOnceAndFailuresCountAsNothing) {
    // A failed table-flag read leaves the flag clear even when the repetition succeeds.
    Script(L"eeprom 0x50 0x8E 0x12");  // bank 2: status 0x08, equalizer on
    Script(L"fail DLLZR_Read_I2C_ById 1");
    ClearTraffic();
    eq->ReadEQFromEEPROM();
    Lines traffic = DeviceTraffic();
    ASSERT_GE(traffic.size(), 4u);
    EXPECT_EQ(Lines(traffic.begin(), traffic.begin() + 4), Lines(Expected()
                                                                     .I2c(0x50, 0x8D, std::nullopt)
                                                                     .I2c(0x50, 0x8D, 0x01)
                                                                     .I2c(0x50, 0x8E, 0x12)
                                                                     .I2c(0x51, 0x27, 0x08)));
    EXPECT_TRUE(clock.waits.empty());  // no table read
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_bEQFlat, 1);

    // A bank byte never read counts as 0.
    Script(L"fail DLLZR_Read_I2C_ById 4");
    ClearTraffic();
    eq->ReadEQFromEEPROM();
    traffic = DeviceTraffic();
    ASSERT_GE(traffic.size(), 5u);
    EXPECT_EQ(traffic[4], Lines(Expected().I2c(0x51, 0x07, 0x04))[0]);

    // A failed status read ends the read.
    settings.m_bEQEnable = 0;
    settings.m_bEQFlat = 0;
    Script(L"fail DLLZR_Read_I2C_ById 5");
    ClearTraffic();
    eq->ReadEQFromEEPROM();
    EXPECT_EQ(DeviceTraffic().size(), 5u);
    EXPECT_EQ(settings.m_bEQEnable, 0);
    EXPECT_EQ(settings.m_bEQFlat, 0);
}

TEST_F(EqualizerTest, RestoringFromTheDeviceQueriesReadsAndSwitches) {
    Script(L"eeprom 0x50 0x8E 0x12");
    Script(L"fail DLLZR_IsEQ_Enable_ById 1");
    ClearTraffic();
    eq->RestoreFromDevice();
    const Lines traffic = DeviceTraffic();
    ASSERT_GE(traffic.size(), 5u);
    EXPECT_EQ(traffic[0], "sdk DLLZR_IsEQ_Enable_ById(device=0) -> 1 (fault)");
    EXPECT_EQ(traffic[1], "sdk DLLZR_IsEQ_Enable_ById(device=0) -> 0 [enabled=0]");
    EXPECT_EQ(traffic[2], Lines(Expected().I2c(0x50, 0x8D, 0x01))[0]);
    EXPECT_EQ(Lines(traffic.end() - 3, traffic.end()), Lines(Expected().EqSwitch(1)));
    EXPECT_EQ(UnpackEqSlot(SlotBytes(1).data()), WithGains({0x400, 0x400, 0x400, 0x500, 0x600}));
}

TEST_F(EqualizerTest, ClosingResetsAndLeavesTheEqualizerOff) {
    settings.m_bEQEnable = 1;
    PutSlot(1, WithGains({0x9FF, 0x400, 0x400, 0x400, 0x400}));
    eq->Close();
    const Lines traffic = DeviceTraffic();
    ASSERT_GE(traffic.size(), 5u);
    EXPECT_EQ(Lines(traffic.end() - 5, traffic.end()),
              Lines(Expected().ThreeDSwitch(0).EqFlatOff()));
    EXPECT_EQ(SlotBytes(1), PackEqSlot(EqRecord{}));
}

}  // namespace
}  // namespace tavrin
