#include "app/features/EnvironmentEffects.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

// Button, caption and skin word of effect 1..5, in tag order 16..20.
struct EffectControls {
    const wchar_t* button;
    const wchar_t* label;
    const wchar_t* word;
};
constexpr EffectControls kControls[] = {
    {L"EffectButtonNonImage", L"EffectNonLabel", L"Non"},
    {L"EffectButtonTheaterImage", L"EffectTheaterLabel", L"Theater"},
    {L"EffectButtonStoneGalleryImage", L"EffectBathroomLabel", L"Bathroom"},
    {L"EffectButtonLivingroomImage", L"EffectLivingroomLabel", L"Livingroom"},
    {L"EffectButtonBathroomImage", L"EffectStoneGalleryLabel", L"StoneGallery"},
};

class EnvironmentEffectsTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        effects.emplace(*context);
    }
    Lines DriverRequests() {
        Lines requests;
        for (const std::string& line : DeviceTraffic()) {
            requests.push_back(line.substr(0, line.find(" ->")));
        }
        return requests;
    }
    // Effect `lit` (0: none) is the one shown Down with its caption in the down colour.
    void ExpectShown(int32_t lit) {
        for (int32_t i = 1; i <= kEffectCount; ++i) {
            const EffectControls& c = kControls[i - 1];
            const bool down = i == lit;
            EXPECT_EQ(
                window.Control(c.button).picture,
                std::wstring(L"Effect/EffectButton") + c.word + (down ? L"ImageDown" : L"ImageUp"))
                << "effect " << i << ", lit " << lit;
            EXPECT_EQ(window.captions[c.label],
                      down ? L"EffectNonLabel down" : L"EffectNonLabel up")
                << "effect " << i << ", lit " << lit;
            EXPECT_EQ(window.looks[std::wstring(L"Effect") + c.word + L"Image"], down)
                << "the icon of effect " << i << ", lit " << lit;
        }
    }
    std::wstring LargePicture() { return window.Control(L"EffectPicImage").picture; }
    // As the window delivers a press: the control table's row of the tag.
    void PressTag(int32_t tag) {
        const ControlRow* row = FindControlRowByTag(tag);
        ASSERT_NE(row, nullptr);
        effects->Press(*row, *window.form.FindByTag(ComponentKind::Image, tag));
    }

    std::optional<EnvironmentEffects> effects;
};

TEST_F(EnvironmentEffectsTest, PressSelectsByTagAndSendsSelectThenEnable) {
    for (int32_t tag = 16; tag <= 20; ++tag) {
        const int32_t effect = tag - 15;
        ClearTraffic();
        PressTag(tag);
        EXPECT_EQ(settings.m_iCurrentEffect, effect);
        ExpectShown(effect);
        EXPECT_EQ(LargePicture(),
                  std::wstring(L"Effect/EffectPic") + kControls[effect - 1].word + L"Image");
        char select[40];
        std::snprintf(select, sizeof select, "drv 0x08232008 in %02X 00 00 00", effect - 1);
        EXPECT_EQ(DriverRequests(), (Lines{select, "drv 0x08232000 in 01 00 00 00"}))
            << "tag " << tag;
    }
}

TEST_F(EnvironmentEffectsTest, BathroomLightsTheControlNamedAfterStoneGallery) {
    PressTag(18);
    EXPECT_EQ(window.Control(L"EffectButtonStoneGalleryImage").picture,
              L"Effect/EffectButtonBathroomImageDown");
    EXPECT_EQ(window.Control(L"EffectButtonBathroomImage").picture,
              L"Effect/EffectButtonStoneGalleryImageUp");
    EXPECT_EQ(DriverRequests(),
              (Lines{"drv 0x08232008 in 02 00 00 00", "drv 0x08232000 in 01 00 00 00"}));
}

TEST_F(EnvironmentEffectsTest, PressingTheChosenEffectAgainSendsBothRequestsAgain) {
    PressTag(19);
    PressTag(19);
    const Lines once = {"drv 0x08232008 in 03 00 00 00", "drv 0x08232000 in 01 00 00 00"};
    Lines twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(DriverRequests(), twice);
}

TEST_F(EnvironmentEffectsTest, OutsideTheFiveAllButtonsGoUpAndThePictureStays) {
    PressTag(17);
    for (const int32_t effect : {0, 6, -1}) {
        effects->ShowEffect(effect);
        ExpectShown(0);
        EXPECT_EQ(LargePicture(), L"Effect/EffectPicTheaterImage");
    }
}

TEST_F(EnvironmentEffectsTest, ConstructionAndRemovalShowNothingAndSendNothing) {
    settings.m_iCurrentEffect = 4;
    effects->Construct();
    EXPECT_EQ(settings.m_iCurrentEffect, 1);
    ExpectShown(1);
    EXPECT_EQ(LargePicture(), L"Effect/EffectPicNonImage");

    PressTag(20);
    ClearTraffic();
    effects->ResetAfterRemoval();
    EXPECT_EQ(settings.m_iCurrentEffect, 1);
    ExpectShown(1);
    EXPECT_EQ(LargePicture(), L"Effect/EffectPicNonImage");
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(EnvironmentEffectsTest, WithoutTheDriverTheChoiceIsKeptAndNothingSent) {
    Script(L"driver absent");
    ClearTraffic();
    PressTag(20);
    EXPECT_EQ(settings.m_iCurrentEffect, 5);
    ExpectShown(5);
    EXPECT_TRUE(DeviceTraffic().empty());
}

}  // namespace
}  // namespace tavrin
