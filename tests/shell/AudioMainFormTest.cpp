#include "app/shell/AudioMainForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>

#include "app/features/AudioFeatures.h"
#include "common/SharedRegistry.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/RecordingFeatures.h"
#include "tests/support/RecordingUiHost.h"

namespace tavrin {
namespace {

using Calls = std::vector<std::string>;

class RecordingUi final : public RecordingUiHost {
public:
    RecordingUi() {
        onBroadcast = [this](uint32_t message) {
            if (window != nullptr) window->OnRegisteredMessage(message);
        };
    }
    TAudioMainForm* window = nullptr;
};

class FailingLibrary final : public DynamicLibrary {
public:
    bool Load(const std::wstring&) override { return false; }
    void* Symbol(const char*) override { return nullptr; }
    uint32_t LastError() override { return 126; }
    std::wstring ErrorText(uint32_t) override { return L"not found"; }
};

constexpr char kConfig[] =
    "[Install]\r\nInstallAppTitle=Acme Audio Control\r\nInstallIconFileName=Tavrin.ico\r\n"
    "InstallFolderName=Acme Audio\r\n"
    "[Plugin]\r\nPluginFolderName=Plugin\r\n"
    "[Application]\r\nEffect=1\r\nOld=0\r\n"
    "[TrayIconHint]\r\nHintName=Acme headset\r\n"
    "[Skin]\r\nRegionCut=0\r\n[Simple]\r\nEnable=0\r\n"
    "[GPIO]\r\nMODE=0\r\nENABLE=0\r\nDIRECTION=0\r\n"
    "[GPIOActive]\r\n0=1\r\n1=1\r\n2=1\r\n3=1\r\n4=1\r\n5=1\r\n6=1\r\n7=1\r\n8=1\r\n9=1\r\n"
    "[DefaultSet]\r\nV7ch1Scalar=15\r\n"
    "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n";

template <class Features>
class MainWindowTest : public test::MainWindowFixture<RecordingUi, Features> {
protected:
    void SetUp() override {
        this->SetUpProgram(kConfig);
        this->ui.window = &this->form;
    }
};
// The window's own order, against features that record where they were called.
class AudioMainFormTest : public test::MainWindowFixture<RecordingUi, test::RecordingFeatures> {
protected:
    void SetUp() override {
        SetUpProgram(kConfig);
        host.files.CreateFolder(folder.Path() + L"Plugin\\");
        for (const wchar_t* name : {L"Effect", L"Old", L"Unlisted"}) {
            host.files.CreateFolder(folder.Path() + L"Plugin\\" + name + L"\\");
        }
        ui.window = &form;
    }
};

TEST(OperatingSystemClass, FromPlatformAndVersion) {
    const struct {
        uint32_t platform, major, minor;
        int osClass;
    } cases[] = {{2, 6, 1, 6}, {2, 5, 1, 4},  {2, 10, 0, 6}, {2, 5, 0, 2}, {2, 5, 2, 0},
                 {2, 4, 0, 0}, {1, 4, 10, 1}, {1, 4, 90, 3}, {1, 4, 0, 0}, {0, 6, 1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(OperatingSystemClass(c.platform, c.major, c.minor), c.osClass)
            << c.platform << " " << c.major << "." << c.minor;
    }
}

TEST_F(AudioMainFormTest, ConstructionRunsItsStepsInOrder) {
    ui.onDeviceNotifications = [this] { features.calls.push_back("device notifications"); };
    ASSERT_TRUE(form.Construct());
    EXPECT_EQ(features.calls, (Calls{"initial state", "pages", "device notifications",
                                     "after notifications", "restore at start"}));
    EXPECT_EQ(ui.registered,
              (std::vector<std::wstring>{L"WM_ZRN58xxAPP_EXIT", L"WM_AUDIO_EFFECT_EXIT",
                                         L"WM_APP_EXIT_RESUME"}));
    EXPECT_EQ(ui.title, L"Acme Audio Control");
    EXPECT_EQ(ui.hint, L"Acme headset");
    EXPECT_EQ(ui.iconPath, folder.Path() + L"Tavrin.ico");
    EXPECT_EQ(form.OperatingSystemClassValue(), 6);
    EXPECT_FLOAT_EQ(form.m_Settings.m_fV7ch1Scalar, 1.5f);
    EXPECT_EQ(form.Discovery().m_bDeviceActive, 1);
    EXPECT_EQ(form.CurrentDeviceLabel(), DeviceLabel::Active);
    for (const uint32_t interval : ui.timers) {
        EXPECT_EQ(interval, 0u) << "a window at rest runs no timer";
    }
}

// The same construction with the features: what the device sees, and what is idle.
using MainWindowWithFeaturesTest = MainWindowTest<AudioFeatures>;

TEST_F(MainWindowWithFeaturesTest, ConstructionSelectsTheHeadsetAndSwitchesVirtual7ch1Off) {
    ASSERT_TRUE(form.Construct());
    EXPECT_TRUE(log.Contains(L"[TAudioMainForm][1]"));
    for (const TimerId timer :
         {TimerId::Speaker, TimerId::Bee, TimerId::BeePlay, TimerId::Timer1, TimerId::LoopBack}) {
        EXPECT_EQ(ui.timers[static_cast<size_t>(timer)], 0u)
            << "nothing moves: no timer runs " << static_cast<int>(timer);
    }
    const std::vector<std::string> traffic = DeviceTraffic();
    const std::vector<std::string> sdkCalls = [&] {
        std::vector<std::string> calls;
        for (const auto& line : traffic) {
            if (line.rfind("sdk ", 0) == 0) calls.push_back(line.substr(4, line.find('(') - 4));
        }
        return calls;
    }();
    // 7.1 off with the speakers, the scalar, then the default layout sent.
    EXPECT_EQ(sdkCalls,
              (std::vector<std::string>{"DLLZR_SetActive_Device", "DLLZR_SetVirtual7ch1_OnOff",
                                        "DLLZR_SetVirtual7ch1", "DLLZR_SetVirtual7ch1_Scalar",
                                        "DLLZR_SetVirtual7ch1_OnOff", "DLLZR_SetVirtual7ch1"}));
    EXPECT_EQ(form.m_Settings.m_iMicGain, 50) << "the microphone set-up read the headset's level";
}

// Closing keeps the settings in the per-user LastProfile.ini (through this build's profile
// functions); the next window comes up with them.
TEST_F(MainWindowWithFeaturesTest, TheNextWindowComesUpWithTheSettingsTheLastOneClosedWith) {
    environment.variables[L"APPDATA"] = folder.Path() + L"Data";
    ASSERT_TRUE(host.files.CreateFolder(folder.Path() + L"Data\\"));
    ASSERT_TRUE(form.Construct());
    features.Eq().LoadPresetValues({L"0x700", L"0x400", L"0x400", L"0x400", L"0x400", L"1"}, 1, 1);
    form.m_Settings.m_iCurrentEffect = 3;
    form.FormDestroy();
    const std::wstring lastProfile = folder.Path() + L"Data\\Acme Audio\\LastProfile.ini";
    ASSERT_TRUE(host.files.FileExists(lastProfile));

    AudioFeatures nextFeatures;
    TAudioMainForm next{Ports(ui, library, nextFeatures)};
    ClearTraffic();
    ASSERT_TRUE(next.Construct());
    EXPECT_EQ(next.m_Settings.m_iCurrentEffect, 3);
    EXPECT_EQ(next.m_Settings.m_bEQEnable, 1);
    EXPECT_EQ(nextFeatures.ProfileFiles().CurrentProfile(), lastProfile);
    const std::vector<std::string> traffic = DeviceTraffic();
    EXPECT_NE(std::find(traffic.begin(), traffic.end(),
                        "drv 0x08232008 in 02 00 00 00 -> 0 environment effect 2"),
              traffic.end());
    next.FormDestroy();
}

// With ENC in the registry and switches in level mode: after the pages, ENC and Voice Magic
// from the registry, then the switches read, then the scan armed; the delayed-press worker last.
TEST_F(MainWindowWithFeaturesTest, ConstructionLoadsEncThenReadsAndArmsTheSwitches) {
    ui.queuePosts = true;  // the scan's reports wait for the test, the window thread
    REGINI_MGR::WriteSharedDword(registry, REGINI_MGR::kEncValueMapKeyName, L"VID_2B7A&PID_5801",
                                 7);
    std::string config = kConfig;
    const std::string gpio = "MODE=0\r\nENABLE=0";
    config.replace(config.find(gpio), gpio.size(), "MODE=1\r\nENABLE=0,0,0,0,1");
    host.WriteFile(folder.Path() + L"AudioConfig.cfg", config);
    ASSERT_TRUE(form.Construct());
    std::vector<std::string> calls;
    for (const std::string& line : DeviceTraffic()) {
        if (line.rfind("sdk ", 0) == 0) calls.push_back(line.substr(4, line.find('(') - 4));
    }
    std::vector<std::string> expected = {
        "DLLZR_SetActive_Device",      "DLLZR_SetVirtual7ch1_OnOff", "DLLZR_SetVirtual7ch1",
        "DLLZR_SetVirtual7ch1_Scalar", "DLLZR_SetVirtual7ch1_OnOff", "DLLZR_SetVirtual7ch1",
        "DLLZR_AudioCommand",          "DLLZR_AudioCommand",         "DLLZR_SetEnc_Parameters",
        "DLLZR_AudioCommand",          "DLLZR_AudioCommand",         "DLLZR_AudioCommand",
        "DLLZR_ScanButton_ById",       "DLLZR_SetGpioMode_ById"};
    expected.insert(expected.end(), 10, "DLLZR_GetGpioEx_ById");
    expected.push_back("DLLZR_ScanButton_ById");
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, page::kVirtual) << "the switch's page";
    EXPECT_EQ(clock.waits.back(), 500u) << "after the scan is stopped";
    form.FormDestroy();
}

TEST_F(AudioMainFormTest, WithoutTheSdkNothingElseHappens) {
    FailingLibrary missing;
    TAudioMainForm bare{Ports(ui, missing, features)};
    EXPECT_FALSE(bare.Construct());
    EXPECT_EQ(errorBox.shown, std::vector<std::wstring>{L"error 126: not found"});
    EXPECT_EQ(ui.messages,
              std::vector<std::wstring>{L"***** Open_DLLZR_UsbAudio58xx, ret = 1 *****"});
    EXPECT_EQ(ui.calls, Calls{"quit"});
    EXPECT_TRUE(ui.registered.empty());
    EXPECT_TRUE(features.calls.empty());
    EXPECT_EQ(bare.Config().SourceFolderFullPath, L"") << "no configuration read";
    bare.FormDestroy();
    EXPECT_TRUE(features.calls.empty()) << "nothing to shut down";
}

TEST_F(AudioMainFormTest, AStrictConfigurationErrorStopsConstruction) {
    host.WriteFile(folder.Path() + L"AudioConfig.cfg", "[GPIO]\r\nMODE=x\r\n");
    try {
        form.Construct();
        ADD_FAILURE() << "no error";
    } catch (const ConfigConversionError& error) {
        EXPECT_EQ(error.Message(), L"'x' is not a valid integer value\n\nFile: " + folder.Path() +
                                       L"AudioConfig.cfg\nSection: GPIO\nKey: MODE");
    }
}

TEST_F(AudioMainFormTest, DestructionClosesTheFeaturesThenTheKeptHandle) {
    ASSERT_TRUE(form.Construct());
    features.calls.clear();
    form.FormDestroy();
    EXPECT_EQ(features.calls, Calls{"close"});
    uint32_t handles = 99;
    bus.Face().Functions().openHandleCount(&handles);
    EXPECT_EQ(handles, 0u) << "the handle kept since construction is closed";
}

TEST_F(MainWindowWithFeaturesTest, DestructionSwitchesTheDeviceOffInOrder) {
    ASSERT_TRUE(form.Construct());
    ClearTraffic();
    form.FormDestroy();
    std::vector<std::string> traffic = DeviceTraffic();
    // The features' own switch-off first (EQ and 3D), then the shutdown group.
    const auto group = std::find_if(traffic.begin(), traffic.end(), [](const std::string& line) {
        return line.rfind("hid out 00 60 00 01 10 00..(65)", 0) == 0;
    });
    ASSERT_NE(group, traffic.end());
    traffic.erase(traffic.begin(), group);
    // The speakers' block is checked for its switch only: the default layout, off.
    for (auto& line : traffic) {
        line = line.substr(0, line.find(" ->"));
        if (line.rfind("sdk DLLZR_SetVirtual7ch1(", 0) == 0) line.resize(42);
    }
    EXPECT_EQ(traffic, (std::vector<std::string>{
                           "hid out 00 60 00 01 10 00..(65)",
                           "hid out 00 60 00 01 20 00..(65)",
                           "drv 0x08232008 in 00 00 00 00",
                           "drv 0x08232000 in 01 00 00 00",
                           "sdk DLLZR_SetVirtual7ch1_OnOff(on=0)",
                           "sdk DLLZR_SetVirtual7ch1(block=00 00 00 00",
                           "sdk DLLZR_AudioCommand(code=4, sub=0, data=00 00 00 00, size=286)",
                           "sdk DLLZR_AudioCommand(code=7, sub=0, data=00 00 00 00, size=286)",
                           "hid out 00 00 00 00 00 00..(65)",
                       }));
    EXPECT_TRUE(log.Contains(L"[FormDestroy][1]"));
    uint32_t handles = 99;
    bus.Face().Functions().openHandleCount(&handles);
    EXPECT_EQ(handles, 0u) << "both the shutdown handle and the kept one are closed";
}

TEST_F(MainWindowWithFeaturesTest, DestructionWithoutDeviceSendsNothingToIt) {
    ASSERT_TRUE(form.Construct());
    bus.Face().Functions().unplug();
    ClearTraffic();
    form.FormDestroy();
    for (const std::string& line : DeviceTraffic()) {
        EXPECT_EQ(line.rfind("hid ", 0), std::string::npos) << line;
        EXPECT_EQ(line.rfind("drv ", 0), std::string::npos) << line;
        EXPECT_EQ(line.find("AudioCommand"), std::string::npos) << line;
        EXPECT_EQ(line.find("SetVirtual7ch1"), std::string::npos) << line;
    }
}

TEST_F(AudioMainFormTest, PluginMenuStartsTheChosenPlugin) {
    ASSERT_TRUE(form.Construct());
    const MenuItem& plugin = form.TrayMenu()[2];
    ASSERT_TRUE(plugin.visible);
    ASSERT_EQ(plugin.items.size(), 1u) << "Old is 0 and Unlisted has no key";
    EXPECT_EQ(plugin.items[0].caption, L"Effect");

    ui.calls.clear();
    clock.waits.clear();
    form.OnMenuCommand(plugin.items[0].command);
    const std::string effectExit = std::to_string(form.Messages().effectExit);
    const std::string resume = std::to_string(form.Messages().exitResume);
    EXPECT_EQ(ui.calls, (Calls{"broadcast " + effectExit + "/100", "broadcast " + resume + "/1000",
                               "broadcast " + effectExit + "/1000",
                               "broadcast " + effectExit + "/1000", "launch", "hide"}));
    EXPECT_EQ(clock.waits, (std::vector<uint32_t>{300, 300, 300}));
    const std::wstring path = folder.Path() + L"Plugin\\Effect\\Effect.exe";
    EXPECT_EQ(ui.launched, (std::vector<std::pair<std::wstring, std::wstring>>{{path, path}}));
    EXPECT_TRUE(form.TrayMenu()[2].items[0].checked);

    ui.calls.clear();
    form.OnTrayDoubleClick();
    EXPECT_EQ(ui.calls, Calls{"hide"}) << "a running plug-in keeps the window hidden";
    form.OnRegisteredMessage(form.Messages().exitResume);
    EXPECT_FALSE(form.TrayMenu()[2].items[0].checked);
    form.OnTrayDoubleClick();
    EXPECT_EQ(ui.calls.back(), "show");
}

TEST(PluginExecutablePath, AmpersandsAreNotPartOfTheName) {
    EXPECT_EQ(PluginExecutablePath(L"C:\\App\\", L"Plugin", L"E&ffect"),
              L"C:\\App\\Plugin\\Effect\\Effect.exe");
}

TEST_F(AudioMainFormTest, WindowHandling) {
    ASSERT_TRUE(form.Construct());
    ui.calls.clear();
    form.CloseImageClick();
    form.MinimizeImageClick();
    form.FormMouseDown();
    form.OnRegisteredMessage(form.Messages().exit);
    EXPECT_EQ(ui.calls, (Calls{"hide", "minimize", "drag", "close"}));

    ui.calls.clear();
    form.OnMenuCommand(kCloseCommand);
    EXPECT_EQ(ui.calls,
              (Calls{"broadcast " + std::to_string(form.Messages().effectExit) + "/100", "close"}));
}

TEST_F(AudioMainFormTest, OnlyTheFirstActivationOfAServiceBootMinimises) {
    ui.commandLine = L"\"C:\\Tavrin\\Tavrin.exe\" -serviceboot";
    ASSERT_TRUE(form.Construct());
    form.FormActivate();
    form.FormActivate();
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "post minimize"), 1);
    EXPECT_TRUE(log.Contains(L"-serviceboot"));

    RecordingUi other;
    other.commandLine = L"Tavrin.exe -SERVICEBOOT";
    TAudioMainForm second{Ports(other, library, features)};
    second.FormActivate();
    EXPECT_TRUE(other.calls.empty()) << "the switch is matched case-sensitively here";
}

}  // namespace
}  // namespace tavrin
