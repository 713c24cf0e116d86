#include "app/features/GpioButtons.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/SharedRegistry.h"
#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using Actions = std::vector<std::wstring>;

// A report with the given levels of lines 0..9.
ScanReport Report(uint16_t lines) {
    return {0x00, 0x60, static_cast<uint8_t>(lines & 0xFF), static_cast<uint8_t>(lines >> 8), 0x30};
}

class GpioButtonsTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        enc.emplace(*context);
        buttons.emplace(*context, *enc);
        windowConfig.gpioEnable.assign(kGpioLineCount, 0);
        windowConfig.gpioActive.fill(1);
        windowConfig.gpioFunction.fill(-1);
    }
    void TearDown() override {
        if (buttons) buttons->Stop();
        FeatureTest::TearDown();
    }
    // Push buttons on the function dispatch: `line` in use with function `function`.
    void Wire(size_t line, int32_t function, int32_t mode = 0) {
        windowConfig.gpioMode = mode;
        windowConfig.gpioButtonMode = 1;
        windowConfig.gpioEnable[line] = 1;
        windowConfig.gpioFunction[line] = function;
    }
    void Send(uint16_t lines) { buttons->OnScanReport(Report(lines)); }
    // The ENC button on `line`, with ENC on at level 10.
    void WireEncButton(int32_t line) {
        windowConfig.encGpio = line;
        REGINI_MGR::WriteSharedDword(registry, REGINI_MGR::kEncValueMapKeyName,
                                     L"VID_2B7A&PID_5801", 10);
        enc->LoadENC();
        ClearTraffic();
    }
    int EncSwitchCommands() {
        const auto traffic = DeviceTraffic();
        return static_cast<int>(std::count_if(traffic.begin(), traffic.end(), [](const auto& l) {
            return l.find("AudioCommand(code=4, sub=0") != std::string::npos;
        }));
    }

    std::optional<EncVoiceMagic> enc;
    std::optional<GpioButtons> buttons;
};

TEST(ScanReports, TextAndChangedLine) {
    EXPECT_EQ(FormatScanReport({0x00, 0x60, 0x0A, 0x01, 0x30}), L"Raw Data = 00 60 0A 01 30\n\n");
    const struct {
        uint16_t changed;
        size_t line;
    } cases[] = {{0x0000, 9}, {0x0001, 0}, {0x0008, 3}, {0x0200, 9},
                 {0x0028, 0}, {0x1000, 0}, {0x0100, 8}};
    for (const auto& c : cases) EXPECT_EQ(ChangedLine(Report(c.changed)), c.line) << c.changed;
}

TEST_F(GpioButtonsTest, TheFirstReportAndARepeatedOneDoNothing) {
    Wire(3, 1);
    Send(0x0008);
    Send(0x0008);
    EXPECT_TRUE(window.actions.empty());
    EXPECT_FALSE(log.Contains(L"Previous = "));
    Send(0x0000);
    Send(0x0008);
    EXPECT_EQ(window.actions, (Actions{L"page 1", L"press EQEQENImage", L"restore"}));
    EXPECT_TRUE(log.Contains(L"Raw Data = 00 60 00 00 30\n\n"));
}

// Line 3 goes to its active level, then back. Toggle mode acts on the way there only; level
// mode acts both ways, each function in its own way; other modes only show the page.
struct TransitionCase {
    int32_t mode;
    int32_t function;
    Actions toActive;
    Actions back;
};

class GpioTransitionTest : public GpioButtonsTest,
                           public ::testing::WithParamInterface<TransitionCase> {};

TEST_P(GpioTransitionTest, ActsAsTheModeSays) {
    const TransitionCase& c = GetParam();
    Wire(3, c.function, c.mode);
    Send(0x0000);
    Send(0x0008);
    EXPECT_EQ(window.actions, c.toActive);
    window.actions.clear();
    Send(0x0000);
    EXPECT_EQ(window.actions, c.back);
}

const Actions kNothing;
const Actions kEqEn = {L"page 1", L"press EQEQENImage", L"restore"};
const Actions kBoost = {L"page 3", L"press MicBoostImage", L"restore"};
const Actions kEnc = {L"page 7", L"press PageENCLabel", L"press ENCFunctionImage", L"restore"};
const Actions kVoice = {L"page 8", L"press PageVMEffectLabel", L"press VMFunctionImage",
                        L"restore"};

const TransitionCase kTransitions[] = {
    {0, 1, kEqEn, kNothing},
    {0, 2, {L"page 1", L"press EQ3DENImage", L"restore"}, kNothing},
    {0, 3, {L"page 2", L"press PageEffectImage", L"restore"}, kNothing},
    {0, 4, kBoost, kNothing},
    {0, 5, {L"page 3", L"press MicMuteImage", L"restore"}, kNothing},
    {0, 6, {L"page 3", L"press MicMonitorImage", L"restore"}, kNothing},
    {0, 7, {L"page 4", L"restore"}, kNothing},
    {0, 8, kEnc, kNothing},
    {0, 9, kVoice, kNothing},
    {1, 1, kEqEn, {L"page 1"}},
    {1, 3, {L"page 2", L"press PageEffectImage", L"restore"}, {L"page 2"}},
    {1, 4, kBoost, kBoost},
    {1, 6, {L"page 3", L"press MicMonitorImage", L"restore"}, {L"page 3"}},
    {1, 7, {L"page 4", L"restore"}, kNothing},
    {1, 8, kEnc, kEnc},
    {1, 9, kVoice, kVoice},
    {2, 1, {L"page 1"}, {L"page 1"}},
    {2, 5, {L"page 3"}, {L"page 3"}},
    {2, 8, kEnc, kEnc},
    {0, -1, kNothing, kNothing},
    {0, 0, kNothing, kNothing},
    {1, 12, kNothing, kNothing},
};

INSTANTIATE_TEST_SUITE_P(Table, GpioTransitionTest, ::testing::ValuesIn(kTransitions),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(GpioButtonsTest, ASwitchGoingBackTurnsTheButtonsLookAndFlagOverWithoutTheDevice) {
    Wire(3, 5, 1);
    settings.m_bMicMute = 1;
    Send(0x0008);
    Send(0x0000);
    EXPECT_EQ(settings.m_bMicMute, 0);
    EXPECT_EQ(window.buttonStates, (std::vector<std::pair<int32_t, bool>>{{22, false}}));
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(GpioButtonsTest, InToggleModeOnlyLinesInUseAtTheirActiveLevelAct) {
    Wire(3, 1);
    windowConfig.gpioEnable[3] = 0;
    Send(0x0000);
    Send(0x0008);
    EXPECT_TRUE(window.actions.empty()) << "line 3 is not in use";
    windowConfig.gpioEnable[3] = 1;
    windowConfig.gpioActive[3] = 0;
    Send(0x0000);
    EXPECT_EQ(window.actions, kEqEn) << "active low";
}

TEST_F(GpioButtonsTest, TwoLinesChangingAtOnceCountAsLineZero) {
    Wire(3, 9);
    Wire(5, 9);
    Wire(0, 1);
    windowConfig.gpioActive[0] = 0;
    Send(0x0000);
    Send(0x0028);
    EXPECT_EQ(window.actions, kEqEn);
}

TEST_F(GpioButtonsTest, OddConfigurationValuesNeitherCrashNorAct) {
    test::HostPorts host;
    const std::wstring path = folder.Path() + L"odd.cfg";
    host.WriteFile(path,
                   "[GPIO]\r\nMODE=0\r\nENABLE=1,1,1,1,1,1,1,1,1,1,1,1,1\r\nDIRECTION=1\r\n"
                   "BUTTONMODE=1\r\n[GPIOActive]\r\n0=1\r\n1=1\r\n2=1\r\n3=1\r\n4=1\r\n5=1\r\n"
                   "6=1\r\n7=1\r\n8=1\r\n9=1\r\n[GPIOFunction]\r\n0=F\r\n1=F12\r\n2=X3\r\n"
                   "[DefaultSet]\r\nEncGpio=12\r\nEncButtonMode=1\r\n");
    windowConfig = ReadMainWindowConfig(ConfigFile(host.profiles, path));
    Send(0x0000);
    for (const uint16_t line : {0x0001, 0x0002, 0x0004, 0x0008}) {
        Send(line);
        Send(0x0000);
    }
    EXPECT_TRUE(window.actions.empty());
    settings.m_bENCSupported = 1;
    EXPECT_FALSE(buttons->SetUpEncLine()) << "the SDK has no line 12";
}

// The ENC button reads 0 while pressed. Its first press after start is not counted, and only
// lines 1, 2, 3, 8 and 9 can carry it.
TEST_F(GpioButtonsTest, TheEncButtonTogglesOnItsOwnLinesOnly) {
    const struct {
        int32_t encGpio;
        uint16_t line;
        int toggles;
    } cases[] = {{1, 0x002, 1}, {2, 0x004, 1}, {3, 0x008, 1}, {8, 0x100, 1}, {9, 0x200, 1},
                 {0, 0x001, 0}, {4, 0x010, 0}, {5, 0x020, 0}, {6, 0x040, 0}, {7, 0x080, 0}};
    for (const auto& c : cases) {
        EncVoiceMagic encUnit{*context};
        GpioButtons fresh{*context, encUnit};
        windowConfig.encGpio = c.encGpio;
        settings.m_bENCEnable = 1;
        ClearTraffic();
        const uint16_t released = 0x3FF;
        for (const uint16_t lines : {released, uint16_t(released & ~c.line), released,
                                     uint16_t(released & ~c.line), released}) {
            fresh.OnScanReport(Report(lines));
        }
        EXPECT_EQ(EncSwitchCommands(), c.toggles) << "EncGpio " << c.encGpio;
        EXPECT_EQ(settings.m_bENCEnable, c.toggles == 1 ? 0 : 1) << "EncGpio " << c.encGpio;
    }
}

TEST_F(GpioButtonsTest, TheEncButtonShowsTheSwitchOnlyOnTheEncPage) {
    WireEncButton(8);
    for (const uint16_t lines : {0x100, 0x000, 0x100}) Send(lines);
    Send(0x000);
    EXPECT_EQ(settings.m_bENCEnable, 0);
    EXPECT_EQ(window.looks.count(L"ENCFunctionImage"), 0u);
    settings.m_iCurrentPage = page::kEnc;
    Send(0x100);
    Send(0x000);
    EXPECT_EQ(settings.m_bENCEnable, 1);
    EXPECT_TRUE(window.looks.at(L"ENCFunctionImage"));
    EXPECT_EQ(DeviceTraffic().back(),
              "sdk DLLZR_AudioCommand(code=4, sub=0, data=01 00 00 00, size=286) -> 0");
}

TEST_F(GpioButtonsTest, LevelModeLocksTheVirtualControlsUntilAHardwarePress) {
    const std::vector<int32_t> speakersAndSwitch = {39, 40, 41, 42, 43, 44, 45, 46, 47};
    std::vector<int32_t> withReset = speakersAndSwitch;
    withReset.push_back(48);
    const struct {
        int32_t mode;
        int32_t switchState;
        std::vector<int32_t> locked;
    } cases[] = {{1, 0, withReset}, {1, 1, speakersAndSwitch}, {0, 0, {}}};
    for (const auto& c : cases) {
        windowConfig.gpioMode = c.mode;
        windowConfig.gpioEnable[0] = 1;
        Script(L"gpio 0 " + std::to_wstring(c.switchState));
        buttons->ReadGPIOAndSetUI();
        std::vector<int32_t> locked;
        for (int32_t tag = 1; tag < 230; ++tag) {
            if (buttons->PressLocked(tag)) locked.push_back(tag);
        }
        EXPECT_EQ(locked, c.locked) << c.mode << " " << c.switchState;
    }
}

// The switch owns virtual 7.1: read at start, and every change presses the 7.1 switch 100 ms
// later, through the lock the mouse meets.
TEST_F(GpioButtonsTest, TheSwitchStillDrivesVirtual7ch1ThroughTheDelayedPress) {
    Wire(4, 7, 1);
    Script(L"gpio 4 1");
    buttons->ReadGPIOAndSetUI();
    EXPECT_EQ(buttons->SwitchState(), 1);
    EXPECT_EQ(settings.m_b7ch1Enable, 1);
    EXPECT_EQ(window.actions, Actions{L"page 4"});
    EXPECT_EQ(window.buttonStates.back(), (std::pair<int32_t, bool>{47, true}));

    ui.queuePosts = true;
    std::vector<bool> lockedAtPress;
    window.onPress = [&](std::wstring_view) { lockedAtPress.push_back(buttons->PressLocked(47)); };
    buttons->StartWorker();
    window.actions.clear();
    Send(0x0010);
    Send(0x0000);
    EXPECT_EQ(buttons->SwitchState(), 0);
    EXPECT_TRUE(window.actions.empty()) << "page 4 was shown already; the press comes later";
    EXPECT_FALSE(buttons->PressLocked(47)) << "a hardware press is on its way";
    ASSERT_TRUE(ui.RunPosted());
    EXPECT_EQ(window.actions, Actions{L"press VirtualEnableImage"});
    EXPECT_EQ(lockedAtPress, std::vector<bool>{false});
    EXPECT_TRUE(buttons->PressLocked(47)) << "the mouse is locked out again";
    EXPECT_EQ(clock.waits, (std::vector<uint32_t>{500, 100}));
}

TEST_F(GpioButtonsTest, ReadingTheLinesConfiguresThemOnce) {
    windowConfig.gpioMode = 1;
    windowConfig.gpioEnable = {1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    windowConfig.gpioActive[2] = 0;
    buttons->ReadGPIOAndSetUI();
    auto names = [this] {
        std::vector<std::string> sdk;
        for (const auto& line : DeviceTraffic()) sdk.push_back(line.substr(0, line.find('(')));
        return sdk;
    };
    std::vector<std::string> expected = {"sdk DLLZR_ScanButton_ById", "sdk DLLZR_SetGpioMode_ById"};
    expected.insert(expected.end(), kGpioLineCount, "sdk DLLZR_GetGpioEx_ById");
    EXPECT_EQ(names(), expected);
    EXPECT_TRUE(log.Contains(L"[TAudioMainForm::ReadGPIOAndSetUI]"));
    EXPECT_TRUE(
        log.Contains(L" TAudioMainForm::fnDLLZR_ScanButton_ById][fnDLLZR_SetGpioMode][1]ret = 0"));
    EXPECT_EQ(buttons->SwitchState(), 1) << "line 2 reads 0, its active level";

    ClearTraffic();
    Script(L"gpio 2 1");
    buttons->ReadGPIOAndSetUI();
    EXPECT_EQ(names(), std::vector<std::string>(kGpioLineCount, "sdk DLLZR_GetGpioEx_ById"));
    EXPECT_EQ(buttons->SwitchState(), 0);
    EXPECT_EQ(clock.waits, std::vector<uint32_t>{500});
}

// The scan's reports come on the SDK's thread and are handled on the window thread.
TEST_F(GpioButtonsTest, ScanReportsReachTheWindowThreadUntilTheDeviceGoes) {
    ui.queuePosts = true;
    Wire(3, 1);
    buttons->ScanENCGPIO();
    ASSERT_TRUE(ui.RunPosted()) << "the first report, the lines as they stand";
    Script(L"gpio 3 1");
    ASSERT_TRUE(ui.RunPosted());
    EXPECT_EQ(window.actions, kEqEn);

    window.actions.clear();
    buttons->ResetAfterRemoval();
    Script(L"gpio 3 0");
    Script(L"gpio 3 1");
    ui.RunPosted(std::chrono::milliseconds(200));
    EXPECT_TRUE(window.actions.empty()) << "reports after the removal are dropped";
}

}  // namespace
}  // namespace tavrin
