#include "app/features/AudioFeatures.h"

#include <gtest/gtest.h>

#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

class AudioFeaturesTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        features.Attach(*context);
        features.SetInitialPageState();
        features.LayoutEqualizer();
        features.InitialiseEffectPages();
        ClearTraffic();
    }
    std::vector<std::string> SdkNames() {
        std::vector<std::string> names;
        for (const std::string& line : DeviceTraffic()) {
            if (line.rfind("sdk ", 0) == 0) names.push_back(line.substr(4, line.find('(') - 4));
        }
        return names;
    }
    AudioFeatures features;
};

TEST_F(AudioFeaturesTest, PressesReachTheirUnits) {
    const struct {
        int32_t tag;
        const char* firstCall;  // the first thing the device sees
    } cases[] = {
        {7, "sdk DLLZR_ConfigEQ_ById"},  {8, "sdk DLLZR_Config3D_ById"},
        {10, "sdk DLLZR_ConfigEQ_ById"},  // a flat preset writes no register
        {13, "hid out 00 60"},           {18, "drv 0x08232008 in 02"},
    };
    for (const auto& c : cases) {
        ClearTraffic();
        features.PressFeature(c.tag);
        const auto traffic = DeviceTraffic();
        ASSERT_FALSE(traffic.empty()) << c.tag;
        EXPECT_EQ(traffic.front().rfind(c.firstCall, 0), 0u) << c.tag << ": " << traffic.front();
    }
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_b3DEnable, 1);
    EXPECT_EQ(settings.m_iEQPreset, 2);
    EXPECT_EQ(settings.m_iCurrentEffect, 3);
    Component sender;
    ClearTraffic();
    features.HandleControlEvent(L"D3ResetLabelClick", sender);
    features.HandleControlEvent(L"SomethingElse", sender);
    EXPECT_FALSE(DeviceTraffic().empty()) << "the 3D reset writes the record";
}

TEST_F(AudioFeaturesTest, ThreeDOnSwitchesVirtual7ch1OffFirstWhenTheyExclude) {
    settings.m_b3DV7ch1Exclusive = 1;
    settings.m_b7ch1Enable = 1;
    settings.m_bRotateCW = 1;
    features.PressFeature(8);
    const auto names = SdkNames();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "DLLZR_SetVirtual7ch1_OnOff");
    EXPECT_EQ(names[1], "DLLZR_SetVirtual7ch1_Scalar");
    EXPECT_EQ(names[2], "DLLZR_Config3D_ById");
    EXPECT_EQ(settings.m_b7ch1Enable, 0);
    EXPECT_EQ(settings.m_bRotateCW, 0);
    EXPECT_FALSE(window.Control(L"VirtualEnableImage").visible);
    EXPECT_FALSE(window.Control(L"VirtualClockwiseImage").visible);
}

TEST_F(AudioFeaturesTest, RemovalShowsEverythingOffAndSendsNothing) {
    settings.m_bEQEnable = settings.m_b3DEnable = settings.m_b7ch1Enable = 1;
    settings.m_bMicMute = settings.m_bMicMonitor = settings.m_bENCEnable = 1;
    settings.m_bVoiceMagicEnable = 1;
    settings.m_iVoiceMagicMode = 3;
    settings.m_iCurrentEffect = 4;
    window.buttonStates.clear();
    features.ResetSwitchDisplays();
    EXPECT_TRUE(DeviceTraffic().empty());
    for (const int32_t flag : {settings.m_bEQEnable, settings.m_b3DEnable, settings.m_b7ch1Enable,
                               settings.m_bMicMute, settings.m_bMicMonitor, settings.m_bENCEnable,
                               settings.m_bVoiceMagicEnable, settings.m_iVoiceMagicMode}) {
        EXPECT_EQ(flag, 0);
    }
    EXPECT_EQ(settings.m_iCurrentEffect, 1);
    // Every switch asked for its Up look: the state passed in is not 0.
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {7, 1}, {8, 1}, {47, 1}, {22, 1}, {89, 1}};
    EXPECT_EQ(window.buttonStates, expected);
    EXPECT_EQ(window.Control(L"EffectButtonNonImage").picture, L"Effect/EffectButtonNonImageDown");
}

TEST_F(AudioFeaturesTest, ArrivalAppliesTheDefaultProfileSwitchesUnlessTheDeviceHoldsThem) {
    settings.m_bDefaultEQEnable = 1;
    settings.m_bDefault3DEnable = 1;
    features.RestoreEqAnd3D();
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_b3DEnable, 1);
    const auto names = SdkNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "DLLZR_SetEQ_OnOff_ById"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "DLLZR_Set3D_OnOff_ById"), names.end());

    // With the equalizer in the EEPROM, the device decides: its table is read twice.
    ClearTraffic();
    settings.m_bEQFromEEPROM = 1;
    settings.m_b3DFromEEPROM = 0;
    settings.m_bDefault3DEnable = 0;
    features.RestoreEqAnd3D();
    const auto reads = SdkNames();
    EXPECT_EQ(std::count(reads.begin(), reads.end(), "DLLZR_IsEQ_Enable_ById") >= 2, true);
    EXPECT_EQ(std::count(reads.begin(), reads.end(), "DLLZR_Read_I2C_ById") >= 6, true);
}

}  // namespace
}  // namespace tavrin
