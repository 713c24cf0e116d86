#include "app/features/AudioFeatures.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/SharedRegistry.h"
#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

class AudioFeaturesTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        features.Attach(*context);
        features.SetInitialState();
        features.ConstructPages();
        window.buttonStates.clear();
        ClearTraffic();
    }
    // A press as the window delivers it: to the unit the control table names.
    void Press(int32_t tag) {
        const ControlRow* row = FindControlRowByTag(tag);
        ASSERT_NE(row, nullptr) << tag;
        FeatureUnit* unit = features.Unit(row->unit);
        ASSERT_NE(unit, nullptr) << tag;
        Component* picture = window.form.FindByTag(ComponentKind::Image, tag);
        ASSERT_NE(picture, nullptr) << tag;
        unit->Press(*row, *picture);
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

// Each press on its own, from the state construction leaves: everything the device sees.
struct PressCase {
    const char* what;
    int32_t tag;
    Lines traffic;
};

void PrintTo(const PressCase& c, std::ostream* out) {
    *out << c.what;
}

class PressRoutingTest : public AudioFeaturesTest,
                         public ::testing::WithParamInterface<PressCase> {};

TEST_P(PressRoutingTest, APressReachesItsUnitAndTheDevice) {
    Press(GetParam().tag);
    EXPECT_EQ(DeviceTraffic(), GetParam().traffic);
}

const PressCase kPressCases[] = {
    {"EQ-EN: the verified switch on",
     7,
     {"sdk DLLZR_ConfigEQ_ById(device=0) -> 0", "sdk DLLZR_SetEQ_OnOff_ById(on=1, device=0) -> 0",
      "sdk DLLZR_IsEQ_Enable_ById(device=0) -> 0 [enabled=1]"}},
    {"3D-EN: the verified switch, then its registers",
     8,
     {"sdk DLLZR_Config3D_ById(device=0) -> 0", "sdk DLLZR_Set3D_OnOff_ById(on=1, device=0) -> 0",
      "sdk DLLZR_Is3D_Enable_ById(device=0) -> 0 [enabled=1]",
      "hid out 00 60 00 01 10 00..(65) -> 0 address 0x0100",
      "hid in 00 60 00 00 00 00..(65) -> 0 register 0x0100",
      "hid out 00 60 00 01 10 00..(65) -> 0 address 0x0100",
      "hid out 00 60 80 01 20 00..(65) -> 0 register 0x0100 := 0x80",
      "hid out 00 60 CD 01 10 00..(65) -> 0 address 0x01CD",
      "hid in 00 60 AA 00 00 00..(65) -> 0 register 0x01CD",
      "hid out 00 60 CD 01 10 00..(65) -> 0 address 0x01CD",
      "hid out 00 60 FF 01 20 00..(65) -> 0 register 0x01CD := 0xFF",
      "hid out 00 60 CE 01 10 00..(65) -> 0 address 0x01CE",
      "hid in 00 60 5A 00 00 00..(65) -> 0 register 0x01CE",
      "hid out 00 60 CE 01 10 00..(65) -> 0 address 0x01CE",
      "hid out 00 60 5F 01 20 00..(65) -> 0 register 0x01CE := 0x5F",
      "hid out 00 00 00 00 00 00..(65) -> 0 commit"}},
    {"S2, a flat preset: the equalizer off, no register",
     10,
     {"sdk DLLZR_ConfigEQ_ById(device=0) -> 0", "sdk DLLZR_SetEQ_OnOff_ById(on=0, device=0) -> 0"}},
    {"FBM off: bit 0 of 0x18A",
     13,
     {"hid out 00 60 8A 01 10 00..(65) -> 0 address 0x018A",
      "hid in 00 60 01 00 00 00..(65) -> 0 register 0x018A",
      "hid out 00 60 8A 01 10 00..(65) -> 0 address 0x018A",
      "hid out 00 60 00 01 20 00..(65) -> 0 register 0x018A := 0x00",
      "hid out 00 00 00 00 00 00..(65) -> 0 commit"}},
    {"alpha link: a look only", 14, {}},
    {"Bathroom: select 2, then enable",
     18,
     {"drv 0x08232008 in 02 00 00 00 -> 0 environment effect 2",
      "drv 0x08232000 in 01 00 00 00 -> 0 enable 1"}},
    {"Mic Boost and Mic Mute: Windows' endpoint only", 21, {}},
    {"Monitor in mode 1: the registers (and listening)",
     89,
     {"sdk DLLZR_Read_Register_ById(address=0x0200, device=0) -> 0 [value=0x00]",
      "sdk DLLZR_Write_Register_ById(address=0x0200, value=0x04, device=0) -> 0",
      "sdk DLLZR_Write_Register_ById(address=0x0230, value=0x20, device=0) -> 0"}},
    {"CW with virtual 7.1 off: nothing", 49, {}},
    {"Narrow: the timer starts, nothing is sent yet", 52, {}},
    {"LED button: the LED line on",
     51,
     {"hid out 00 60 01 FF 3C 00..(65) -> 0 gpio out 1000000000 (lines 0..9)",
      "hid out 00 00 00 00 00 00..(65) -> 0 commit"}},
};

INSTANTIATE_TEST_SUITE_P(Table, PressRoutingTest, ::testing::ValuesIn(kPressCases),
                         [](const auto& info) { return "Row" + std::to_string(info.index); });

TEST_F(AudioFeaturesTest, ThreeDOnSwitchesVirtual7ch1OffFirstWhenTheyExclude) {
    settings.m_b3DV7ch1Exclusive = 1;
    settings.m_b7ch1Enable = 1;
    settings.m_bRotateCW = 1;
    Press(8);
    const auto names = SdkNames();
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[0], "DLLZR_SetVirtual7ch1_OnOff");
    EXPECT_EQ(names[1], "DLLZR_SetVirtual7ch1");
    EXPECT_EQ(names[2], "DLLZR_SetVirtual7ch1_Scalar");
    EXPECT_EQ(names[3], "DLLZR_Config3D_ById");
    EXPECT_EQ(ui.timers[static_cast<size_t>(TimerId::Speaker)], 0u) << "the rotation stopped";
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
    features.DeviceRemoved();
    EXPECT_TRUE(DeviceTraffic().empty());
    for (const int32_t flag : {settings.m_bEQEnable, settings.m_b3DEnable, settings.m_b7ch1Enable,
                               settings.m_bMicMute, settings.m_bMicMonitor, settings.m_bENCEnable,
                               settings.m_bVoiceMagicEnable, settings.m_iVoiceMagicMode}) {
        EXPECT_EQ(flag, 0);
    }
    EXPECT_EQ(settings.m_iCurrentEffect, 1);
    const std::vector<std::pair<int32_t, bool>> upLooks = {
        {7, false}, {8, false}, {47, false}, {22, false}, {89, false}};
    EXPECT_EQ(window.buttonStates, upLooks);
    EXPECT_EQ(window.Control(L"EffectButtonNonImage").picture, L"Effect/EffectButtonNonImageDown");
}

// After an arrival: the LED indicator, the page, what the profile asks of EQ and 3D, then the
// 7.1 switch between the driver's two queries.
TEST_F(AudioFeaturesTest, ArrivalRestoresInItsOrder) {
    settings.m_bDefaultEQEnable = 1;
    settings.m_bDefault7ch1Enable = 1;
    features.Restore(ActivationPath::Arrival, true);
    const Lines traffic = DeviceTraffic();
    ASSERT_GE(traffic.size(), 6u);
    EXPECT_NE(traffic.front().find("gpio out 0000000000"), std::string::npos)
        << "the LED indicator first: " << traffic.front();
    const Lines last(traffic.end() - 5, traffic.end());
    EXPECT_EQ(last[0].rfind("drv 0x00223190", 0), 0u) << "driver state";
    EXPECT_EQ(last[1], "sdk DLLZR_SetVirtual7ch1_OnOff(on=1) -> 0");
    EXPECT_EQ(last[2].rfind("sdk DLLZR_SetVirtual7ch1(block=01 00 00 00 ", 0), 0u) << last[2];
    EXPECT_EQ(last[3].rfind("sdk DLLZR_SetVirtual7ch1_Scalar(", 0), 0u) << last[3];
    EXPECT_EQ(last[4].rfind("drv 0x00223028", 0), 0u) << "driver value";
    EXPECT_EQ(window.redraws, 2) << "after the LED indicator and after the 7.1 switch";
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_b7ch1Enable, 1);
    EXPECT_TRUE(log.Contains(L"[Update7ch1UI]"));
}

TEST_F(AudioFeaturesTest, ArrivalAppliesTheDefaultSwitchesUnlessTheDeviceHoldsThem) {
    settings.m_bDefaultEQEnable = 1;
    settings.m_bDefault3DEnable = 1;
    features.Restore(ActivationPath::Arrival, true);
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
    features.Restore(ActivationPath::Timer, false);
    const auto reads = SdkNames();
    EXPECT_GE(std::count(reads.begin(), reads.end(), "DLLZR_IsEQ_Enable_ById"), 2);
    EXPECT_GE(std::count(reads.begin(), reads.end(), "DLLZR_Read_I2C_ById"), 6);
}

TEST_F(AudioFeaturesTest, Virtual7ch1OnSwitchesThreeDOffWhenTheyExclude) {
    settings.m_b3DV7ch1Exclusive = 1;
    settings.m_b3DEnable = 1;
    Press(47);
    const Lines traffic = DeviceTraffic();
    ASSERT_GE(traffic.size(), 2u);
    EXPECT_EQ(traffic[0], "sdk DLLZR_Config3D_ById(device=0) -> 0") << "3D off comes first";
    EXPECT_EQ(traffic[1], "sdk DLLZR_Set3D_OnOff_ById(on=0, device=0) -> 0");
    EXPECT_EQ(settings.m_b3DEnable, 0);
    EXPECT_EQ(settings.m_b7ch1Enable, 1);
    EXPECT_FALSE(window.Control(L"EQ3DENImage").visible);
    EXPECT_EQ(traffic.back().rfind("sdk DLLZR_SetVirtual7ch1(block=01 00 00 00", 0), 0u);
}

// The microphone at an arrival: its controls shown off, then the one-time set-up reads what the
// endpoint holds; a later arrival (the set-up done) only shows them off.
TEST_F(AudioFeaturesTest, ArrivalPreparesTheMicrophoneOnce) {
    features.DeviceRemoved();  // construction ran the set-up; the removal makes it due again
    wave.calls.clear();
    Face().setCaptureMute(1);
    settings.m_iCurrentPage = page::kMic;
    features.PrepareMicrophone();
    EXPECT_EQ(settings.m_bMicMute, 1);
    EXPECT_TRUE(features.Mic().LevelMeterRunning()) << "the Mic page shows: the meter stays";
    window.Control(L"MicProgressImage").width = 100;
    features.PrepareMicrophone();
    EXPECT_EQ(settings.m_bMicMute, 0);
    EXPECT_EQ(window.Control(L"MicProgressImage").width, 0);
    EXPECT_EQ(wave.calls.size(), 1u) << "one set-up";

    // The endpoint was held for the set-up until the restore lets it go; the removal forgets the
    // set-up and the release closes the meter.
    features.Restore(ActivationPath::Arrival, true);
    features.DeviceRemoved();
    EXPECT_FALSE(features.Mic().SetUpDone());
    features.ReleaseDevice();
    EXPECT_FALSE(features.Mic().LevelMeterRunning());
    EXPECT_EQ(wave.openRecordings, 0);
}

// The poll prepares the microphone at the start of its restore and leaves the monitor as it is;
// an arrival clears the monitor.
TEST_F(AudioFeaturesTest, ThePollPreparesTheMicrophoneAndKeepsTheMonitor) {
    features.DeviceRemoved();
    Face().setCaptureMute(1);
    settings.m_bMicMonitor = 1;
    features.Restore(ActivationPath::Timer, true);
    EXPECT_TRUE(features.Mic().SetUpDone());
    EXPECT_EQ(settings.m_bMicMute, 1);
    EXPECT_EQ(settings.m_bMicMonitor, 1);
    features.Restore(ActivationPath::Arrival, false);
    EXPECT_EQ(settings.m_bMicMonitor, 0);
}

// ---- The LED steps of the fixed sequences ----

TEST_F(AudioFeaturesTest, ConstructionDumpsTheLedRecordAfterEachOfItsLines) {
    const auto& lines = log.lines;
    const auto first = std::find(lines.begin(), lines.end(), L"[TAudioMainForm][1]");
    ASSERT_NE(first, lines.end());
    ASSERT_GE(lines.end() - first, 16);
    EXPECT_EQ(first[1], L"[TAudioMainForm][DumpColorLEDRecord] m_nRecLEDEffect = 1");
    EXPECT_EQ(first[8], L"[TAudioMainForm][2]");
    EXPECT_EQ(first[15], L"[TAudioMainForm][DumpColorLEDRecord] m_nLEDEffect = 1");
}

// The colours go up at the first activation, after the driver's queries; a removal ends the
// worker and the first activation after it starts another, without a second upload.
TEST_F(AudioFeaturesTest, TheFirstActivationInitialisesTheLeds) {
    features.Led().SkinApplied();
    features.Restore(ActivationPath::Arrival, true);
    Lines traffic = DeviceTraffic();
    const auto driverValue = std::find_if(traffic.begin(), traffic.end(), [](const auto& line) {
        return line.rfind("drv 0x00223028", 0) == 0;
    });
    ASSERT_NE(driverValue, traffic.end());
    ASSERT_NE(driverValue + 1, traffic.end());
    EXPECT_EQ(driverValue[1].rfind("sdk DLLZR_SetRGB_Step_ById", 0), 0u) << driverValue[1];
    EXPECT_TRUE(features.Led().EffectWorkerRunning());

    features.DeviceRemoved();
    features.ReleaseDevice();
    EXPECT_FALSE(features.Led().EffectWorkerRunning());
    ClearTraffic();
    features.Restore(ActivationPath::Timer, false);
    EXPECT_FALSE(features.Led().EffectWorkerRunning());
    features.Restore(ActivationPath::Arrival, true);
    EXPECT_TRUE(features.Led().EffectWorkerRunning());
    for (const std::string& line : DeviceTraffic()) {
        EXPECT_EQ(line.find("SetRGB"), std::string::npos) << line;
    }
}

// A profile's LEDON sets the LED button (its look and the LED line); the restore's indicator
// follows it.
TEST_F(AudioFeaturesTest, TheLedIndicatorOfTheRestoreFollowsTheLedButton) {
    features.Led().LoadLedButton(1);
    EXPECT_EQ(window.buttonStates, (std::vector<std::pair<int32_t, bool>>{{51, true}}));
    EXPECT_NE(DeviceTraffic().front().find("gpio out 1000000000"), std::string::npos);
    ClearTraffic();
    features.Restore(ActivationPath::Arrival, false);
    const Lines traffic = DeviceTraffic();
    ASSERT_FALSE(traffic.empty());
    EXPECT_EQ(traffic.front().rfind("hid out 00 60 00 00 30", 0), 0u)
        << "the lines are read, not cleared: " << traffic.front();
}

// At close the LEDs the user switched off light up in the single colour, inside the device's
// shutdown group.
TEST_F(AudioFeaturesTest, CloseLightsSwitchedOffLedsInTheSingleColour) {
    features.Led().SkinApplied();
    features.RestoreAtStart();
    features.Led().ColorLEDOffCheckImageClick();
    ClearTraffic();
    features.Close();
    EXPECT_FALSE(features.Led().EffectWorkerRunning());
    const Lines traffic = DeviceTraffic();
    ASSERT_GE(traffic.size(), 3u);
    EXPECT_EQ(traffic[traffic.size() - 3],
              "sdk DLLZR_SetRGB_Mode_ById(target=58, led=0, mode=2, speed=0, tail=50, device=0) "
              "-> 0");
    EXPECT_EQ(traffic[traffic.size() - 2],
              "sdk DLLZR_SetRGB_SingleColor_ById(target=58, led=1, mode=2, red=255, green=0, "
              "blue=0, tail=50, device=0) -> 0");
    EXPECT_EQ(traffic.back().rfind("hid out 00 00 00 00 00", 0), 0u) << "then the commit";
}

TEST_F(AudioFeaturesTest, TheLedPageAndTheDialogAnswerTheWindowsQuestions) {
    EXPECT_FALSE(features.PageInUse(page::kLed)) << "no skin yet";
    EXPECT_TRUE(features.PageInUse(page::kEq));
    features.Led().SkinApplied();
    EXPECT_TRUE(features.PageInUse(page::kLed));
    bool showing = false;
    ui.whileDialogShows = [&](Dialog&) { showing = features.ModalDialogShowing(); };
    features.Led().LedForm().ShowModal();
    EXPECT_TRUE(showing);
    EXPECT_FALSE(features.ModalDialogShowing());
}

// Arrival restores the buttons and ENC before Voice Magic, the page and EQ: in level mode the
// switches are read and scanned (ENC stays as loaded); otherwise ENC is loaded and its button
// armed. The poll's activation only loads ENC.
class ButtonsAndEncRestoreTest : public AudioFeaturesTest {
protected:
    void SetUp() override {
        AudioFeaturesTest::SetUp();
        ui.queuePosts = true;  // the scan's reports wait for the test, the window thread
        REGINI_MGR::WriteSharedDword(registry, REGINI_MGR::kEncValueMapKeyName,
                                     L"VID_2B7A&PID_5801", 7);
        windowConfig.gpioEnable.assign(kGpioLineCount, 0);
        windowConfig.gpioActive.fill(1);
        windowConfig.encButtonMode = 1;
        windowConfig.encGpio = 2;
    }
    void TearDown() override {
        features.Close();
        AudioFeaturesTest::TearDown();
    }
    // The SDK calls up to Voice Magic's or virtual 7.1's, by name and the first two arguments.
    std::vector<std::string> ButtonAndEncCalls() {
        std::vector<std::string> calls;
        for (const std::string& line : DeviceTraffic()) {
            if (line.rfind("sdk ", 0) != 0) continue;
            if (line.find("code=7") != std::string::npos) break;
            if (line.find("SetVirtual7ch1") != std::string::npos) break;  // step 5 follows
            calls.push_back(line.substr(4, line.find(',', line.find(',') + 1) - 4));
        }
        return calls;
    }
};

TEST_F(ButtonsAndEncRestoreTest, OutsideLevelModeArrivalLoadsEncAndArmsItsButton) {
    features.Restore(ActivationPath::Arrival, true);
    EXPECT_EQ(
        ButtonAndEncCalls(),
        (Lines{
            "DLLZR_AudioCommand(code=4, sub=0", "DLLZR_AudioCommand(code=4, sub=8",
            "DLLZR_SetEnc_Parameters(block=00 00 00 00 00 00 00 00 07 00 00 00 00 00 00 00) -> 0",
            "DLLZR_SetGpioModeEx_ById(line=2, mode=0",
            "DLLZR_ScanButton_ById(vid=0x2B7A, pid=0x5801"}));
    EXPECT_TRUE(log.Contains(L"[DeviceArrival1][ScanENCGPIO]"));
    EXPECT_EQ(settings.m_bENCSupported, 1);
}

TEST_F(ButtonsAndEncRestoreTest, InLevelModeArrivalReadsTheSwitchesAndScans) {
    windowConfig.gpioMode = 1;
    features.Restore(ActivationPath::Arrival, true);
    Lines expected = {"DLLZR_ScanButton_ById(vid=0x2B7A, pid=0x5801",
                      "DLLZR_SetGpioMode_ById(modes=00 00 00 00 00 00 00 00 00 00, count=10"};
    for (int line = 0; line < 10; ++line) {
        expected.push_back("DLLZR_GetGpioEx_ById(line=" + std::to_string(line) +
                           ", device=0) -> 0 [level=0]");
    }
    expected.push_back("DLLZR_ScanButton_ById(vid=0x2B7A, pid=0x5801");
    EXPECT_EQ(ButtonAndEncCalls(), expected);
    EXPECT_EQ(settings.m_bENCSupported, 0) << "ENC is not loaded on this path";
    EXPECT_EQ(settings.m_iCurrentPage, page::kVirtual);
}

TEST_F(ButtonsAndEncRestoreTest, ThePollOnlyLoadsEnc) {
    for (const int32_t mode : {0, 1}) {
        windowConfig.gpioMode = mode;
        ClearTraffic();
        features.Restore(ActivationPath::Timer, true);
        EXPECT_EQ(ButtonAndEncCalls(),
                  (Lines{"DLLZR_AudioCommand(code=4, sub=0", "DLLZR_AudioCommand(code=4, sub=8",
                         "DLLZR_SetEnc_Parameters(block=00 00 00 00 00 00 00 00 07 00 00 00 00 00 "
                         "00 00) -> 0"}))
            << "mode " << mode;
    }
}

TEST_F(ButtonsAndEncRestoreTest, ClosingStopsTheScanBeforeTheFeaturesSwitchOff) {
    features.Restore(ActivationPath::Arrival, true);
    ClearTraffic();
    features.Close();
    const Lines traffic = DeviceTraffic();
    ASSERT_FALSE(traffic.empty());
    EXPECT_EQ(traffic.front().rfind(
                  "sdk DLLZR_ScanButton_ById(vid=0x2B7A, pid=0x5801, callback=null, enable=0", 0),
              0u)
        << traffic.front();
}

// Drags and bar presses: the window hands over where the pointer took the control; each unit
// keeps its slider in its own travel.
TEST_F(AudioFeaturesTest, EachSliderKeepsToItsTravel) {
    window.travel = {181, 208};
    window.micTravel = {155, 100};
    window.encTravel = {50, 150};
    const struct {
        const wchar_t* slider;
        int32_t top;
        int32_t expected;
    } cases[] = {
        {L"EQ300HzSliderImage", 250, 250}, {L"EQ300HzSliderImage", 100, 181},
        {L"EQ300HzSliderImage", 900, 389}, {L"D3LBetaSliderImage", 0, 105},
        {L"D3LBetaSliderImage", 500, 225}, {L"D3RAlphaSliderImage", 150, 150},
        {L"MicSliderImage", 100, 155},     {L"MicSliderImage", 300, 255},
        {L"ENCSliderImage", 0, 50},        {L"ENCSliderImage", 5000, 200},
        {L"ENCSliderImage", 125, 125},
    };
    for (const auto& c : cases) {
        Component& slider = window.Control(c.slider);
        const ControlRow* row = FindControlRow(c.slider);
        ASSERT_NE(row, nullptr);
        features.Unit(row->unit)->Dragged(*row, slider, slider.left, c.top);
        EXPECT_EQ(slider.top, c.expected)
            << std::string(c.slider, c.slider + wcslen(c.slider)) << " to " << c.top;
    }

    // A skin with a negative travel pins the EQ sliders to the top of it.
    window.travel = {181, -40};
    Component& band = window.Control(L"EQ300HzSliderImage");
    for (const int32_t top : {0, 300, 900}) {
        features.Unit(FeatureUnitId::Equalizer)->Dragged(*FindControlRow(band.name), band, 0, top);
        EXPECT_EQ(band.top, 181) << top;
    }
}

TEST_F(AudioFeaturesTest, ABarPressCentresItsSliderOnThePointerAndSendsTheBand) {
    window.travel = {181, 208};
    Component& slider = window.Control(L"EQ60HzSliderImage");
    slider.height = 18;
    const ControlRow& bar = *FindControlRow(L"EQ60HzBarDownImage");
    features.Unit(bar.unit)->BarPressed(bar, window.Control(L"EQ60HzBarDownImage"), 0, 260);
    EXPECT_EQ(slider.top, 251);
    const Lines traffic = DeviceTraffic();
    EXPECT_NE(std::find_if(traffic.begin(), traffic.end(),
                           [](const std::string& line) {
                               return line.find("address 0x0120") != std::string::npos;
                           }),
              traffic.end())
        << "band 0's register";
}

}  // namespace
}  // namespace tavrin
