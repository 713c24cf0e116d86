#include "app/features/ThreeD.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

class ThreeDTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        feature.emplace(*context, [this] { calls.push_back("virtual 7.1 off"); });
        feature->Construct();
    }

    // The traffic since the last look, as the device saw it: "read 0x018A", "0x018A := 0x41",
    // "commit", the SDK calls and driver requests without their results. Register addresses and
    // values come from the headset's decoding of the report bytes.
    Lines Operations() {
        Lines operations;
        for (const std::string& line : DeviceTraffic()) {
            const std::string text = line.substr(0, line.find(" ->"));
            const size_t registerNote = line.find("-> 0 register ");
            if (line.rfind("hid out", 0) == 0 && line.find("-> 0 address") != std::string::npos) {
                continue;
            } else if (line.find("-> 0 commit") != std::string::npos) {
                operations.push_back("commit");
            } else if (registerNote != std::string::npos && line.find(":=") != std::string::npos) {
                operations.push_back(line.substr(registerNote + 14));
            } else if (registerNote != std::string::npos) {
                operations.push_back("read " + line.substr(registerNote + 14));
            } else if (text.rfind("sdk ", 0) == 0) {
                operations.push_back(text.substr(4));
            } else {
                operations.push_back(line);
            }
        }
        ClearTraffic();
        return operations;
    }
    uint32_t OpenHandles() {
        uint32_t count = 0;
        Face().openHandleCount(&count);
        return count;
    }
    Component& Slider(const wchar_t* name) { return window.Control(name); }

    std::vector<std::string> calls;
    std::optional<ThreeD> feature;
};

const std::string kConfig = "DLLZR_Config3D_ById(device=0)";
const std::string kOn = "DLLZR_Set3D_OnOff_ById(on=1, device=0)";
const std::string kOff = "DLLZR_Set3D_OnOff_ById(on=0, device=0)";
const std::string kReadBack = "DLLZR_Is3D_Enable_ById(device=0)";

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(ThreeDRecordTest, TheImageKeepsTheRecordInThreeBytes) {
    ConfigurationImage image;
    image.Reset();
    EXPECT_EQ(ThreeDRecordFromImage(image), ThreeDRecord{}) << "the template holds the default";

    StoreThreeDRecord({1, 0, 15, 1, 2, 12}, image);
    EXPECT_EQ(image.bytes[0xA1], 0xBB) << "bit 7 on, bit 6 FBM; the other bits of 0x7B stay";
    EXPECT_EQ(image.bytes[0xE7], 0xF1);
    EXPECT_EQ(image.bytes[0xE8], 0x2C);
    EXPECT_EQ(ThreeDRecordFromImage(image), (ThreeDRecord{1, 0, 15, 1, 2, 12}));

    StoreThreeDRecord({0, 1, 241, 3, 4, 255}, image);
    EXPECT_EQ(image.bytes[0xA1], 0x7B);
    EXPECT_EQ(image.bytes[0xE7], 0x13) << "a wrapped value stays inside its nibble";
    EXPECT_EQ(image.bytes[0xE8], 0x4F);
}

TEST(ThreeDRecordTest, SliderTopGivesAValueOverTheTravel) {
    struct Case {
        int32_t top, range, value;
    };
    for (const Case& c :
         {Case{105, 120, 15}, Case{225, 120, 0}, Case{165, 120, 8}, Case{113, 120, 14},
          Case{225, 60, -15}, Case{165, 0, 0}, Case{105, 0, 15}}) {
        EXPECT_EQ(ThreeDValueFromTop(c.top, c.range), c.value)
            << "top " << c.top << ", range " << c.range;
    }
}

TEST_F(ThreeDTest, ConstructionTakesTheTemplateWithFbmOnAndNoLinks) {
    settings.m_bFBM = 0;
    settings.m_iAlphaLink = 2;
    settings.m_iBetaLink = 1;
    feature->Construct();
    EXPECT_EQ(feature->Record(), ThreeDRecord{});
    EXPECT_EQ(settings.m_bFBM, 1);
    EXPECT_EQ(settings.m_iAlphaLink, -1);
    EXPECT_EQ(settings.m_iBetaLink, -1);
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(ThreeDTest, FbmPressSendsBitZeroOfRegister18A) {
    Script(L"register 0x18A 0x41");
    ClearTraffic();
    feature->PressFbm();

    EXPECT_EQ(settings.m_bFBM, 0);
    EXPECT_EQ(window.buttonStates, (std::vector<std::pair<int32_t, bool>>{{13, false}}));
    EXPECT_EQ(feature->Record().fbm, 0);
    EXPECT_EQ(image.bytes[0xA1] & 0x40, 0);
    Lines traffic = DeviceTraffic();
    for (std::string& line : traffic) line = line.substr(0, line.find(" ->"));
    EXPECT_EQ(traffic, (Lines{
                           "hid out 00 60 8A 01 10 00..(65)",
                           "hid in 00 60 41 00 00 00..(65)",
                           "hid out 00 60 8A 01 10 00..(65)",
                           "hid out 00 60 40 01 20 00..(65)",
                           "hid out 00 00 00 00 00 00..(65)",
                       }));
    ClearTraffic();

    feature->PressFbm();
    EXPECT_EQ(settings.m_bFBM, 1);
    EXPECT_EQ(Operations(), (Lines{"read 0x018A", "0x018A := 0x41", "commit"}));
    EXPECT_EQ(image.bytes[0xA1] & 0x40, 0x40);
}

TEST_F(ThreeDTest, SwitchRegisterPathSetsBit7AndWidensTheTensOnlyWhenOn) {
    struct Case {
        int32_t state;
        const wchar_t* before;
        Lines operations;
    };
    const Case cases[] = {
        {1,
         L"register 0x100 0x04",
         {"read 0x0100", "0x0100 := 0x84", "read 0x01CD", "0x01CD := 0xFF", "read 0x01CE",
          "0x01CE := 0x5F", "commit"}},
        {1,
         L"register 0x1CD 0xA7",
         {"read 0x0100", "0x0100 := 0x80", "read 0x01CD", "0x01CD := 0xF7", "read 0x01CE",
          "0x01CE := 0x5F", "commit"}},
        {0, L"register 0x100 0x84", {"read 0x0100", "0x0100 := 0x04", "commit"}},
    };
    for (const Case& c : cases) {
        Face().reset();
        Face().plug();
        Script(c.before);
        ClearTraffic();
        feature->Write3DEnableRegister(c.state);
        EXPECT_EQ(Operations(), c.operations) << c.state;
    }
}

TEST_F(ThreeDTest, ParameterPathSetsBit6AndTheRecordOnlyWhenOn) {
    Script(L"register 0x18A 0x00");
    ClearTraffic();
    feature->Write3DRegisters(1);
    EXPECT_EQ(Operations(), (Lines{"read 0x018A", "0x018A := 0x40", "read 0x018A", "0x018A := 0x41",
                                   "0x018B := 0xA3", "0x018C := 0xA3", "commit"}));

    feature->Write3DRegisters(0);
    EXPECT_EQ(Operations(), (Lines{"read 0x018A", "0x018A := 0x01", "commit"}));
}

TEST_F(ThreeDTest, VerifiedSwitchSetsOnceMoreOnlyOnAMismatch) {
    struct Case {
        int32_t state;
        const wchar_t* script;
        Lines calls;
    };
    const Case cases[] = {
        {1, nullptr, {kConfig, kOn, kReadBack}},
        {1, L"readback 3d 0", {kConfig, kOn, kReadBack, kOn}},
        {0, L"readback 3d 1", {kConfig, kOff, kReadBack, kOff}},
    };
    for (const Case& c : cases) {
        if (c.script != nullptr) Script(c.script);
        ClearTraffic();
        feature->Set3DEnable(c.state);
        EXPECT_EQ(Operations(), c.calls) << c.state;
    }
}

TEST_F(ThreeDTest, EnablePressSwitchesThroughSdkThenRegisters) {
    feature->Press3DEnable();
    EXPECT_EQ(settings.m_b3DEnable, 1);
    EXPECT_EQ(window.buttonStates, (std::vector<std::pair<int32_t, bool>>{{8, true}}));
    EXPECT_EQ(Operations(),
              (Lines{kConfig, kOn, kReadBack, "read 0x0100", "0x0100 := 0x80", "read 0x01CD",
                     "0x01CD := 0xFF", "read 0x01CE", "0x01CE := 0x5F", "commit"}));

    feature->Press3DEnable();
    EXPECT_EQ(settings.m_b3DEnable, 0);
    EXPECT_EQ(Operations(),
              (Lines{kConfig, kOff, kReadBack, "read 0x0100", "0x0100 := 0x00", "commit"}));
}

TEST_F(ThreeDTest, ExclusiveModeSwitchesVirtual7ch1OffBeforeThe3DSwitch) {
    ThreeD exclusive{*context, [this] {
                         calls.push_back("virtual 7.1 off");
                         sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
                     }};
    struct Case {
        int32_t exclusiveSetting, before;
        bool switchedOff;
    };
    for (const Case& c : {Case{1, 0, true}, Case{1, 1, false}, Case{0, 0, false}}) {
        settings.m_b3DV7ch1Exclusive = c.exclusiveSetting;
        settings.m_b3DEnable = c.before;
        calls.clear();
        ClearTraffic();
        exclusive.Press3DEnable();
        const Lines operations = Operations();
        ASSERT_FALSE(operations.empty());
        if (c.switchedOff) {
            EXPECT_EQ(calls, Lines{"virtual 7.1 off"});
            EXPECT_EQ(operations[0], "DLLZR_SetVirtual7ch1_OnOff(on=0)");
            EXPECT_EQ(operations[1], kConfig);
        } else {
            EXPECT_TRUE(calls.empty()) << c.exclusiveSetting << " " << c.before;
            EXPECT_EQ(operations[0], kConfig);
        }
    }
}

TEST_F(ThreeDTest, Virtual7ch1SwitchesThe3DEffectOffAndHidesItsButton) {
    settings.m_b3DEnable = 1;
    feature->SwitchOffForVirtual7ch1();
    EXPECT_EQ(settings.m_b3DEnable, 0);
    EXPECT_EQ(window.buttonStates, (std::vector<std::pair<int32_t, bool>>{{8, false}}))
        << "Up look";
    EXPECT_FALSE(window.Control(L"EQ3DENImage").visible);
    EXPECT_EQ(Operations(),
              (Lines{kConfig, kOff, kReadBack, "read 0x0100", "0x0100 := 0x00", "commit"}));
    EXPECT_TRUE(calls.empty());
}

TEST_F(ThreeDTest, LinkButtonsCycleThroughTheirModesWithoutTheDevice) {
    struct Case {
        int32_t tag;
        int32_t SettingsModel::*mode;
        const wchar_t* button;
        const wchar_t* other;
        const wchar_t* prefix;
    };
    for (const Case& c :
         {Case{14, &SettingsModel::m_iAlphaLink, L"D3AlphaImage", L"D3BetaImage", L"3D/D3Alpha"},
          Case{15, &SettingsModel::m_iBetaLink, L"D3BetaImage", L"D3AlphaImage", L"3D/D3Beta"}}) {
        feature->Construct();
        window.Control(c.other).picture.clear();
        const std::wstring prefix = c.prefix;
        const std::vector<std::pair<int32_t, std::wstring>> expected = {
            {0, prefix + L"IndepImage"},
            {1, prefix + L"DepImage"},
            {2, prefix + L"InvImage"},
            {0, prefix + L"IndepImage"}};
        for (const auto& [mode, picture] : expected) {
            feature->PressLink(c.tag);
            EXPECT_EQ(settings.*c.mode, mode) << c.tag;
            EXPECT_EQ(window.Control(c.button).picture, picture);
        }
        EXPECT_TRUE(window.Control(c.other).picture.empty()) << "the other link is untouched";
    }
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(ThreeDTest, SliderMovesItsLinkedPartnerAndSendsBothChannels) {
    struct Case {
        int32_t alphaLink, betaLink;
        const wchar_t* moved;
        int32_t top;
        const wchar_t* partner;
        int32_t partnerTop;
    };
    const Case cases[] = {
        {2, -1, L"D3LAlphaSliderImage", 105, L"D3RAlphaSliderImage", 225},
        {2, -1, L"D3RAlphaSliderImage", 200, L"D3LAlphaSliderImage", 130},
        {-1, 1, L"D3RBetaSliderImage", 150, L"D3LBetaSliderImage", 150},
        {0, 0, L"D3LBetaSliderImage", 150, L"D3RBetaSliderImage", 165},
        {1, 2, L"D3LBetaSliderImage", 150, L"D3RBetaSliderImage", 180},
        {1, 2, L"D3LBetaSliderImage", 150, L"D3RAlphaSliderImage", 165},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        for (const wchar_t* name : {L"D3LBetaSliderImage", L"D3LAlphaSliderImage",
                                    L"D3RBetaSliderImage", L"D3RAlphaSliderImage"}) {
            Slider(name).top = 165;
        }
        settings.m_iAlphaLink = c.alphaLink;
        settings.m_iBetaLink = c.betaLink;
        Slider(c.moved).top = c.top;
        feature->SliderMoved(Slider(c.moved));
        EXPECT_EQ(Slider(c.partner).top, c.partnerTop) << "case " << i;
    }
    feature->Construct();
    ClearTraffic();

    for (const wchar_t* name : {L"D3LBetaSliderImage", L"D3RBetaSliderImage"}) {
        Slider(name).top = 165;
    }
    settings.m_iAlphaLink = 2;
    Slider(L"D3LAlphaSliderImage").top = 105;
    feature->SliderMoved(Slider(L"D3LAlphaSliderImage"));
    EXPECT_EQ(Slider(L"D3RAlphaSliderImage").top, 225);
    EXPECT_EQ(feature->Record(), (ThreeDRecord{0, 1, 15, 8, 0, 8}));
    EXPECT_EQ(Operations(), (Lines{"read 0x018A", "0x018A := 0x01", "0x018B := 0xF8",
                                   "0x018C := 0xA3", "commit", "read 0x018A", "0x018A := 0x01",
                                   "0x018B := 0xF8", "0x018C := 0x08", "commit"}))
        << "left first, with the right values it had; then right";
    EXPECT_EQ(image.bytes[0xE7], 0xF8);
    EXPECT_EQ(image.bytes[0xE8], 0x08);
}

TEST_F(ThreeDTest, WithoutSyncTheSlidersOnlyCommitAndStore) {
    discovery->m_bSync = 0;
    Slider(L"D3RBetaSliderImage").top = 105;
    feature->SliderMoved(Slider(L"D3RBetaSliderImage"));
    EXPECT_EQ(Operations(), (Lines{"commit", "commit"}));
    EXPECT_EQ(feature->Record().rightBeta, 15);
    EXPECT_EQ(image.bytes[0xE8], 0x8F) << "α of the slider at 165";
}

TEST_F(ThreeDTest, AValueWiderThanANibbleEndsTheGroupBeforeTheParameterWrite) {
    window.travel.range = 60;
    const uint8_t leftBefore = image.bytes[0xE7];
    const uint32_t handles = OpenHandles();
    Slider(L"D3LBetaSliderImage").top = 225;
    feature->Send3DLeft(1);
    EXPECT_EQ(feature->Record().leftBeta, 241) << "-15 as a byte";
    EXPECT_EQ(Operations(), (Lines{"read 0x018A", "0x018A := 0x01"}))
        << "no 0x18B, no 0x18C, no commit";
    EXPECT_EQ(image.bytes[0xE7], leftBefore);
    EXPECT_EQ(OpenHandles(), handles) << "closed";

    feature->Send3DRight(1);
    EXPECT_EQ(Operations(), (Lines{"read 0x018A", "0x018A := 0x01"}))
        << "the right channel writes the whole record too";
}

TEST_F(ThreeDTest, ResetWritesTheDefaultRecordWithoutCommitWhileInSync) {
    for (const int32_t sync : {1, 0}) {
        discovery->m_bSync = sync;
        Slider(L"D3LAlphaSliderImage").top = 105;
        feature->Send3DLeft(0);
        settings.m_bFBM = 0;
        ClearTraffic();
        feature->Reset3D();
        EXPECT_EQ(feature->Record(), ThreeDRecord{});
        EXPECT_EQ(settings.m_bFBM, 1);
        EXPECT_EQ(Slider(L"D3LAlphaSliderImage").top, 105) << "sliders stay";
        if (sync == 1) {
            EXPECT_EQ(Operations(),
                      (Lines{"read 0x018A", "0x018A := 0x01", "0x018B := 0xA3", "0x018C := 0xA3"}));
        } else {
            EXPECT_TRUE(Operations().empty());
        }
    }
}

TEST_F(ThreeDTest, CloseLeavesTheDeviceNeutral) {
    feature->SetFBM(0);
    ClearTraffic();
    feature->Close();
    EXPECT_EQ(Operations(),
              (Lines{"read 0x018A", "0x018A := 0x01", "0x018B := 0xA3", "0x018C := 0xA3",
                     "read 0x018A", "0x018A := 0x01", "commit", kConfig, kOff, kReadBack}));
}

TEST_F(ThreeDTest, ReadFromDeviceTakesTheSwitchOrTheEepromHint) {
    struct Case {
        const wchar_t* readback;
        int32_t hint, on;
    };
    for (const Case& c : {Case{L"readback 3d 0", 0, 0}, Case{L"readback 3d 1", 0, 1},
                          Case{L"readback 3d 0", 1, 1}}) {
        settings.m_b3DEnable = 0;
        settings.m_bFBM = 0;
        window.buttonStates.clear();
        Script(c.readback);
        ClearTraffic();
        feature->Read3DFromDevice(c.hint);

        EXPECT_EQ(settings.m_b3DEnable, c.on) << c.hint;
        EXPECT_EQ(settings.m_bFBM, 1);
        const std::string set = c.on == 1 ? kOn : kOff;
        const Lines registers =
            c.on == 1 ? Lines{"read 0x018A",    "0x018A := 0x41", "read 0x018A", "0x018A := 0x41",
                              "0x018B := 0xA3", "0x018C := 0xA3", "commit"}
                      : Lines{"read 0x018A", "0x018A := 0x01", "commit"};
        EXPECT_EQ(
            Operations(),
            Concat({{kReadBack}, registers, {kConfig, set, kReadBack}, {kConfig, set, kReadBack}}));
        EXPECT_EQ(window.buttonStates,
                  (std::vector<std::pair<int32_t, bool>>{{13, true}, {8, c.on == 1}}));
    }
}

TEST_F(ThreeDTest, ReadFromDeviceAsksTwiceWhenTheFirstQueryFails) {
    Script(L"fail DLLZR_Is3D_Enable_ById 1");
    ClearTraffic();
    feature->Read3DFromDevice(0);
    const Lines operations = Operations();
    ASSERT_GE(operations.size(), 2u);
    EXPECT_EQ(operations[0], kReadBack);
    EXPECT_EQ(operations[1], kReadBack);
    EXPECT_EQ(operations[2], "read 0x018A");
}

TEST_F(ThreeDTest, StateDisplayNeedsAnActiveDevice) {
    feature->Show3DState(0, 1);
    EXPECT_EQ(window.buttonStates, (std::vector<std::pair<int32_t, bool>>{{13, false}, {8, true}}));
    window.buttonStates.clear();
    discovery->m_bDeviceActive = 0;
    feature->Show3DState(1, 1);
    EXPECT_TRUE(window.buttonStates.empty());
}

TEST_F(ThreeDTest, MissingHidInterfaceEndsEachRegisterOperationBeforeSending) {
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"Reset3D", [this] { feature->Reset3D(); }},
        {"Write3DEnableRegister", [this] { feature->Write3DEnableRegister(1); }},
        {"Write3DRegisters", [this] { feature->Write3DRegisters(1); }},
        {"Send3DLeft", [this] { feature->Send3DLeft(1); }},
        {"Send3DRight", [this] { feature->Send3DRight(0); }},
        {"SetFBM", [this] { feature->SetFBM(0); }},
    };
    for (const auto& [name, operation] : operations) {
        Script(L"vanish-hid");
        ClearTraffic();
        operation();
        EXPECT_TRUE(DeviceTraffic().empty()) << name;
    }
    EXPECT_EQ(feature->Record().fbm, 0) << "the model keeps the new value";
}

TEST_F(ThreeDTest, AFailedReadEndsTheGroupAndClosesTheHandle) {
    const uint32_t handles = OpenHandles();
    Script(L"fail TavrinSim_GetInputReport 1");
    ClearTraffic();
    feature->Write3DEnableRegister(1);
    const Lines operations = Operations();
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_NE(operations[0].find("hid in -> "), std::string::npos) << operations[0];
    EXPECT_EQ(OpenHandles(), handles);
}

}  // namespace
}  // namespace tavrin
