#include "app/features/DeviceCommands.h"

#include <gtest/gtest.h>

#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using DeviceCommandsTest = test::FeatureTest;

std::vector<std::string> SdkCalls(const std::vector<std::string>& traffic) {
    std::vector<std::string> calls;
    for (const std::string& line : traffic) {
        if (line.rfind("sdk ", 0) == 0) calls.push_back(line.substr(4, line.find(" ->") - 4));
    }
    return calls;
}

TEST_F(DeviceCommandsTest, VerifiedSwitchSetsOnceMoreOnlyWhenTheReadBackDiffers) {
    struct Case {
        const char* what;
        SwitchedFeature feature;
        const wchar_t* fault;  // empty: the device answers truly
        bool flat;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"eq, read-back matches",
         SwitchedFeature::Equalizer,
         L"",
         false,
         {"DLLZR_ConfigEQ_ById(device=0)", "DLLZR_SetEQ_OnOff_ById(on=1, device=0)",
          "DLLZR_IsEQ_Enable_ById(device=0)"}},
        {"eq, read-back differs",
         SwitchedFeature::Equalizer,
         L"readback eq 0",
         false,
         {"DLLZR_ConfigEQ_ById(device=0)", "DLLZR_SetEQ_OnOff_ById(on=1, device=0)",
          "DLLZR_IsEQ_Enable_ById(device=0)", "DLLZR_SetEQ_OnOff_ById(on=1, device=0)"}},
        {"eq, flat preset: off, no read-back",
         SwitchedFeature::Equalizer,
         L"",
         true,
         {"DLLZR_ConfigEQ_ById(device=0)", "DLLZR_SetEQ_OnOff_ById(on=0, device=0)"}},
        {"3d, read-back differs",
         SwitchedFeature::ThreeD,
         L"readback 3d 0",
         true,
         {"DLLZR_Config3D_ById(device=0)", "DLLZR_Set3D_OnOff_ById(on=1, device=0)",
          "DLLZR_Is3D_Enable_ById(device=0)", "DLLZR_Set3D_OnOff_ById(on=1, device=0)"}},
    };
    for (const Case& c : cases) {
        ClearTraffic();
        if (*c.fault != L'\0') Script(c.fault);
        VerifiedSwitch(sdk, c.feature, 1, c.flat);
        EXPECT_EQ(SdkCalls(DeviceTraffic()), c.calls) << c.what;
    }
}

TEST(WithSingleRetry, RepeatsAFailedCallOnceAndKeepsTheFirstResult) {
    struct Case {
        std::vector<int32_t> results;
        size_t calls;
        int32_t result;
    };
    for (const Case& c : {Case{{0}, 1, 0}, Case{{5, 0}, 2, 5}, Case{{5, 7, 0}, 2, 5}}) {
        size_t made = 0;
        const int32_t first = WithSingleRetry([&] { return c.results[made++]; });
        EXPECT_EQ(made, c.calls);
        EXPECT_EQ(first, c.result);
    }
}

TEST(ConfigurationImage, StartsFromTheDescriptorTemplateAndErasedMemory) {
    ConfigurationImage image;
    image.Reset();
    EXPECT_TRUE(
        std::equal(kDescriptorTemplate.begin(), kDescriptorTemplate.end(), image.bytes.begin()));
    EXPECT_TRUE(std::all_of(image.bytes.begin() + 256, image.bytes.end(),
                            [](uint8_t b) { return b == 0xFF; }));
}

}  // namespace
}  // namespace tavrin
