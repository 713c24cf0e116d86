#include "app/features/EncVoiceMagic.h"

#include <gtest/gtest.h>

#include <optional>

#include "common/SharedRegistry.h"
#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using namespace REGINI_MGR;
using Lines = std::vector<std::string>;

constexpr wchar_t kHeadset[] = L"VID_2B7A&PID_5801";

class EncVoiceMagicTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        enc.emplace(*context);
        window.encTravel = {50, 150};
    }
    void StoreLevel(uint32_t level) {
        WriteSharedDword(registry, kEncValueMapKeyName, kHeadset, level);
    }
    std::optional<uint32_t> Stored(const wchar_t* key, const wchar_t* name) {
        uint32_t number = 0;
        if (!ReadSharedDword(registry, key, name, number)) return std::nullopt;
        return number;
    }
    // A device with noise cancellation at `level`, loaded, with an empty trace.
    void LoadWithLevel(uint32_t level) {
        StoreLevel(level);
        enc->LoadENC();
        ClearTraffic();
    }
    void ClickOn(const wchar_t* control) {
        const ControlRow* row = FindControlRow(control);
        ASSERT_NE(row, nullptr);
        enc->Click(*row, window.Control(control));
    }
    // The look a control was last given: Down (true) or Up; none when it was not shown.
    std::optional<bool> Look(const std::wstring& image) {
        const auto look = window.looks.find(image);
        if (look == window.looks.end()) return std::nullopt;
        return look->second;
    }

    std::optional<EncVoiceMagic> enc;
};

TEST(EncTravel, LevelsAndSliderTopsConvertByTruncation) {
    const EncTravel travel{50, 150};
    EXPECT_EQ(travel.LevelForTop(125), 15);
    EXPECT_EQ(travel.LevelForTop(51), 29) << "29.8";
    EXPECT_EQ(travel.LevelForTop(200), 0);
    EXPECT_EQ(travel.TopForLevel(30), 50);
    EXPECT_EQ(travel.TopForLevel(0), 200);
    EXPECT_EQ(travel.TopForLevel(29), 55);
    // The shipped skins' travel: 209 - 3 x 209 / 30 = 188.1.
    EXPECT_EQ((EncTravel{150, 209}.TopForLevel(3)), 338);
}

TEST(VoiceMagicLevels, FiveEffectsAndEverythingElseIsNone) {
    const struct {
        uint32_t stored;
        int32_t mode;
    } cases[] = {{12, 0}, {9, 1}, {19, 2}, {2, 3}, {24, 4}, {0, 0}, {13, 0}, {0xFFFFFFF6, 0}};
    for (const auto& c : cases) EXPECT_EQ(VoiceMagicModeOfLevel(c.stored), c.mode) << c.stored;
    EXPECT_EQ(VoiceMagicPitch(3), -10);
    EXPECT_EQ(VoiceMagicPitch(7), 0);
}

TEST_F(EncVoiceMagicTest, AStoredLevelSwitchesEncOnAndEchoesTheDevicesBlocks) {
    // The device's own parameters, to be echoed with only the level word replaced.
    const std::array<uint8_t, kEncParameterBlockSize> own = {1, 2, 3, 4, 5,  6,  7,  8,
                                                             9, 9, 9, 9, 13, 14, 15, 16};
    sdk.Invoke<&VendorSdkTable::DLLZR_SetEnc_Parameters>(own.data());
    StoreLevel(12);
    ClearTraffic();
    enc->LoadENC();
    EXPECT_EQ(DeviceTraffic(),
              (Lines{"sdk DLLZR_AudioCommand(code=4, sub=0, data=01 00 00 00, size=286) -> 0",
                     "sdk DLLZR_AudioCommand(code=4, sub=8, data=00 00 00 00, size=286) -> 0",
                     "sdk DLLZR_SetEnc_Parameters(block=01 02 03 04 05 06 07 08 0C 00 00 00 0D 0E "
                     "0F 10) -> 0"}));
    EXPECT_EQ(settings.m_bENCSupported, 1);
    EXPECT_EQ(settings.m_bENCEnable, 1);
    EXPECT_EQ(settings.m_iENCValue, 12);
    EXPECT_EQ(window.Control(L"ENCValueLabel").caption, L"12");
    EXPECT_EQ(window.Control(L"ENCSliderImage").top, 140);
}

TEST_F(EncVoiceMagicTest, WithoutAStoredLevelThereIsNoEncAndNothingIsSent) {
    settings.m_bENCSupported = 1;
    settings.m_bENCEnable = 1;
    enc->LoadENC();
    EXPECT_EQ(settings.m_bENCSupported, 0);
    EXPECT_EQ(settings.m_bENCEnable, 0);
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_TRUE(registry.KeyExists(RegistryHive::LocalMachine,
                                   L"SOFTWARE\\ZRN 58xx Software\\EncValueMap",
                                   RegistryView::Default))
        << "the key is created when missing";
}

TEST_F(EncVoiceMagicTest, ALevelOutsideTheRangeStillKeepsTheSliderOnItsBar) {
    StoreLevel(99);
    enc->LoadENC();
    EXPECT_EQ(settings.m_iENCValue, 99);
    EXPECT_EQ(window.Control(L"ENCSliderImage").top, 50);
}

TEST_F(EncVoiceMagicTest, WithoutEncEveryActionOfBothPagesIsRefusedAndNothingIsSent) {
    enc->LoadENC();
    ClearTraffic();
    for (const wchar_t* control : {L"ENCFunctionImage", L"ENCFunctionLabel", L"VMFunctionImage",
                                   L"VMFunctionLabel", L"VMEffectNoneImage", L"VMEffect1Label",
                                   L"VMEffect2Image", L"VMEffect3Image", L"VMEffect4Label"}) {
        window.warnings.clear();
        ClickOn(control);
        EXPECT_EQ(window.warnings, std::vector<std::wstring>{L"LabelWarning1"})
            << std::string(control, control + wcslen(control));
    }
    for (const wchar_t* control : {L"ENCSliderImage", L"ENCBarImage"}) {
        const PressVerdict verdict = enc->Admit(*FindControlRow(control));
        EXPECT_FALSE(verdict.allowed);
        EXPECT_STREQ(verdict.warningKey, L"LabelWarning1");
    }
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_EQ(settings.m_bENCEnable, 0);
    EXPECT_EQ(settings.m_bVoiceMagicEnable, 0);
    EXPECT_FALSE(Stored(kSharedKeyName, kVoiceMagicLevelValue));

    // Without a device the same clicks do nothing, not even the warning.
    Face().unplug();
    discovery->m_bDeviceActive = 0;
    window.warnings.clear();
    ClickOn(L"ENCFunctionImage");
    ClickOn(L"VMEffect3Image");
    EXPECT_TRUE(window.warnings.empty());
}

TEST_F(EncVoiceMagicTest, TheEncSwitchTogglesWithItsLookAndSendsTheParameters) {
    LoadWithLevel(20);
    ClickOn(L"ENCFunctionLabel");
    EXPECT_EQ(settings.m_bENCEnable, 0);
    EXPECT_EQ(Look(L"ENCFunctionImage"), false);
    const Lines traffic = DeviceTraffic();
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_EQ(traffic[0], "sdk DLLZR_AudioCommand(code=4, sub=0, data=00 00 00 00, size=286) -> 0");
    EXPECT_EQ(traffic[1].rfind("sdk DLLZR_SetEnc_Parameters(", 0), 0u);

    // A refused switch command is sent once more.
    ClearTraffic();
    Script(L"fail DLLZR_AudioCommand 1");
    ClickOn(L"ENCFunctionImage");
    EXPECT_EQ(settings.m_bENCEnable, 1);
    EXPECT_EQ(Look(L"ENCFunctionImage"), true);
    EXPECT_EQ(DeviceTraffic().size(), 3u);
}

// The slider's own handlers: a move sets the level from the top, the release sends it and keeps
// it for this device.
TEST_F(EncVoiceMagicTest, DraggingTheSliderSetsTheLevelAndReleasingStoresIt) {
    LoadWithLevel(0);
    const ControlRow& row = *FindControlRow(L"ENCSliderImage");
    Component& slider = window.Control(L"ENCSliderImage");
    for (const auto& [top, shown, level] : {std::tuple{125, 125, 15}, std::tuple{10, 50, 30},
                                            std::tuple{400, 200, 0}, std::tuple{101, 101, 19}}) {
        enc->Dragged(row, slider, slider.left, top);
        EXPECT_EQ(slider.top, shown) << top;
        EXPECT_EQ(settings.m_iENCValue, level) << top;
        EXPECT_EQ(window.Control(L"ENCValueLabel").caption, std::to_wstring(level));
    }
    EXPECT_TRUE(DeviceTraffic().empty()) << "nothing is sent while the slider moves";
    EXPECT_EQ(Stored(kEncValueMapKeyName, kHeadset), 0u);

    enc->DragEnded(row, slider);
    const Lines traffic = DeviceTraffic();
    ASSERT_EQ(traffic.size(), 1u);
    EXPECT_NE(traffic[0].find("00 00 00 00 00 00 00 00 13 00 00 00"), std::string::npos)
        << traffic[0];
    EXPECT_EQ(Stored(kEncValueMapKeyName, kHeadset), 19u);
}

TEST_F(EncVoiceMagicTest, ABarPressMovesTheSliderThereAndSendsNothingYet) {
    LoadWithLevel(0);
    window.Control(L"ENCSliderImage").height = 18;
    const ControlRow& bar = *FindControlRow(L"ENCBarImage");
    enc->BarPressed(bar, window.Control(L"ENCBarImage"), 0, 134);
    // Centred on the pointer: top 125, level (200 - 125) x 30 / 150.
    EXPECT_EQ(settings.m_iENCValue, 15);
    EXPECT_EQ(window.Control(L"ENCSliderImage").top, 125);
    EXPECT_EQ(window.Control(L"ENCValueLabel").caption, L"15");
    enc->BarPressed(bar, window.Control(L"ENCBarImage"), 0, 5);
    EXPECT_EQ(settings.m_iENCValue, 30) << "clamped to the travel";
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_EQ(Stored(kEncValueMapKeyName, kHeadset), 0u);
}

TEST_F(EncVoiceMagicTest, ASkinWithoutAUsableTravelKeepsTheOneBefore) {
    LoadWithLevel(15);
    window.encTravel = {std::nullopt, 0};
    enc->ShowENC();
    EXPECT_EQ(window.Control(L"ENCSliderImage").top, 125) << "still 50 + 150 - 75";
    window.encTravel = {100, 60};
    enc->SkinApplied();
    window.encTravel = {};
    enc->ShowENC();
    EXPECT_EQ(window.Control(L"ENCSliderImage").top, 130);
}

TEST_F(EncVoiceMagicTest, EffectThreeStoresTwoAndSendsPitchMinusTen) {
    LoadWithLevel(10);
    ClickOn(L"VMEffect3Label");
    EXPECT_EQ(settings.m_iVoiceMagicMode, 3);
    EXPECT_EQ(Stored(kSharedKeyName, kVoiceMagicLevelValue), 2u);
    EXPECT_EQ(DeviceTraffic(), Lines{"sdk DLLZR_AudioCommand(code=7, sub=2, data=00 00 00 00 F6 FF "
                                     "00 00 00 00, size=286) -> 0"});
    for (const wchar_t* effect : {L"VMEffectNoneImage", L"VMEffect1Image", L"VMEffect2Image",
                                  L"VMEffect3Image", L"VMEffect4Image"}) {
        EXPECT_EQ(Look(effect), std::wstring(effect) == L"VMEffect3Image");
    }
}

TEST_F(EncVoiceMagicTest, TheVoiceSwitchStoresItsStateAndSendsTheEffectWithIt) {
    LoadWithLevel(10);
    ClickOn(L"VMEffect4Image");
    ClearTraffic();
    ClickOn(L"VMFunctionImage");
    EXPECT_EQ(settings.m_bVoiceMagicEnable, 1);
    EXPECT_EQ(Stored(kSharedKeyName, kVoiceMagicEnableValue), 1u);
    EXPECT_EQ(Look(L"VMFunctionImage"), true);
    EXPECT_EQ(DeviceTraffic(),
              (Lines{"sdk DLLZR_AudioCommand(code=7, sub=0, data=01 00 00 00, size=286) -> 0",
                     "sdk DLLZR_AudioCommand(code=7, sub=2, data=01 00 00 00 0C 00 00 00 00 00, "
                     "size=286) -> 0"}));
}

TEST_F(EncVoiceMagicTest, TheRegistryGivesTheVoiceEffectWhenTheDeviceHasEnc) {
    WriteSharedDword(registry, kSharedKeyName, kVoiceMagicEnableValue, 1);
    WriteSharedDword(registry, kSharedKeyName, kVoiceMagicLevelValue, 19);
    enc->LoadVoiceMagic();
    EXPECT_TRUE(DeviceTraffic().empty()) << "no ENC, no voice effect";

    LoadWithLevel(10);
    enc->LoadVoiceMagic();
    EXPECT_EQ(settings.m_bVoiceMagicEnable, 1);
    EXPECT_EQ(settings.m_iVoiceMagicMode, 2);
    const std::string effect =
        "sdk DLLZR_AudioCommand(code=7, sub=2, data=01 00 00 00 07 00 00 00 00 00, size=286) -> 0";
    EXPECT_EQ(DeviceTraffic(),
              (Lines{"sdk DLLZR_AudioCommand(code=7, sub=0, data=01 00 00 00, size=286) -> 0",
                     effect, effect}));

    // A level no effect has is no effect.
    WriteSharedDword(registry, kSharedKeyName, kVoiceMagicLevelValue, 20);
    enc->LoadVoiceMagic();
    EXPECT_EQ(settings.m_iVoiceMagicMode, 0);
}

TEST_F(EncVoiceMagicTest, RemovalSwitchesBothOffInTheRegistryAndOnScreenOnly) {
    LoadWithLevel(10);
    ClickOn(L"VMFunctionImage");
    ClickOn(L"VMEffect2Image");
    ClearTraffic();
    enc->ResetAfterRemoval();
    EXPECT_EQ(Stored(kSharedKeyName, kVoiceMagicEnableValue), 0u);
    EXPECT_EQ(Stored(kSharedKeyName, kVoiceMagicLevelValue), 19u) << "the effect is kept";
    EXPECT_EQ(settings.m_bVoiceMagicEnable, 0);
    EXPECT_EQ(settings.m_iVoiceMagicMode, 0);
    EXPECT_EQ(settings.m_bENCEnable, 0);
    EXPECT_EQ(Look(L"ENCFunctionImage"), false);
    EXPECT_EQ(Look(L"VMFunctionImage"), false);
    EXPECT_EQ(Look(L"VMEffectNoneImage"), true);
    EXPECT_EQ(Look(L"VMEffect2Image"), false);
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(EncVoiceMagicTest, OpeningEitherPageShowsItsState) {
    LoadWithLevel(6);
    settings.m_bVoiceMagicEnable = 1;
    settings.m_iVoiceMagicMode = 1;
    window.Control(L"ENCSliderImage").top = 0;
    enc->PageTabPressed(page::kEnc);
    EXPECT_EQ(Look(L"ENCFunctionImage"), true);
    EXPECT_EQ(window.Control(L"ENCSliderImage").top, 170);
    EXPECT_EQ(Look(L"VMFunctionImage"), std::nullopt) << "page 8 is not shown";
    enc->PageTabPressed(page::kVoiceMagic);
    EXPECT_EQ(Look(L"VMFunctionImage"), true);
    EXPECT_EQ(Look(L"VMEffect1Image"), true);
    EXPECT_EQ(Look(L"VMEffect4Image"), false);
    EXPECT_TRUE(DeviceTraffic().empty());
}

}  // namespace
}  // namespace tavrin
