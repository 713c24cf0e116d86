#include "app/shell/AudioMainForm.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "tests/support/MainWindowFixture.h"
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

class RecordingFeatures final : public MainWindowFeatures {
public:
    void SetInitialPageState() override { calls.push_back("8 page state"); }
    void LayoutEqualizer() override { calls.push_back("17 eq"); }
    void LoadDefaultProfile() override { calls.push_back("17 default profile"); }
    void InitialiseEffectPages() override { calls.push_back("18 effect pages"); }
    void SendSpeakerBlock() override { calls.push_back("19 speakers"); }
    void InitialiseMicrophonePage() override { calls.push_back("19 mic page"); }
    void RunMicrophoneSetup() override { calls.push_back("19 mic setup"); }
    void LayoutSpeakers() override { calls.push_back("20 speaker layout"); }
    void DumpLedRecord() override { calls.push_back("21 led record"); }
    void RefreshPageState() override { calls.push_back("21 refresh"); }
    void SwitchBeeOff() override { calls.push_back("23 bee off"); }
    bool LoadLastProfile() override {
        calls.push_back("24 last profile");
        return false;
    }
    void LoadEncAndVoiceMagicFromRegistry() override { calls.push_back("24 registry state"); }
    void RestoreFromDeviceAtStart() override { calls.push_back("26 from device"); }
    void StartGpioWorker() override { calls.push_back("27 gpio worker"); }
    void SaveLastProfile() override { calls.push_back("save last profile"); }
    void CloseMediaPlayer() override { calls.push_back("close media player"); }
    void SwitchFeaturesOff() override { calls.push_back("features off"); }
    void ShutDownLeds() override { calls.push_back("leds off"); }
    Calls calls;
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

class AudioMainFormTest : public test::MainWindowFixture<RecordingUi, RecordingFeatures> {
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
    ASSERT_TRUE(form.Construct());
    EXPECT_EQ(features.calls, (Calls{"8 page state", "17 eq", "18 effect pages", "19 speakers",
                                     "19 mic page", "20 speaker layout", "21 led record",
                                     "21 refresh", "21 led record", "23 bee off", "24 last profile",
                                     "24 registry state", "26 from device", "27 gpio worker"}));
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
    EXPECT_EQ(ui.timers, (std::array<uint32_t, 5>{})) << "a window at rest runs no timer";
    EXPECT_TRUE(log.Contains(L"[TAudioMainForm][1]"));
    EXPECT_FALSE(form.Discovery().MicrophoneSetupDone())
        << "no endpoint on Vista or later: the set-up waits for the device's arrival";

    const std::vector<std::string> traffic = DeviceTraffic();
    const std::vector<std::string> sdkCalls = [&] {
        std::vector<std::string> calls;
        for (const auto& line : traffic) {
            if (line.rfind("sdk ", 0) == 0) calls.push_back(line.substr(4, line.find('(') - 4));
        }
        return calls;
    }();
    EXPECT_EQ(sdkCalls,
              (std::vector<std::string>{"DLLZR_SetActive_Device", "DLLZR_SetVirtual7ch1_OnOff",
                                        "DLLZR_SetVirtual7ch1_Scalar"}));
}

TEST_F(AudioMainFormTest, WithoutTheSdkNothingElseHappens) {
    FailingLibrary missing;
    TAudioMainForm bare{{platform, ui, missing, errorBox, bus, bus, bus.Driver(), features}};
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

TEST_F(AudioMainFormTest, DestructionSwitchesTheDeviceOffInOrder) {
    ASSERT_TRUE(form.Construct());
    features.calls.clear();
    ClearTraffic();
    form.FormDestroy();
    EXPECT_EQ(features.calls,
              (Calls{"save last profile", "close media player", "features off", "leds off"}));
    std::vector<std::string> traffic = DeviceTraffic();
    for (auto& line : traffic) line = line.substr(0, line.find(" ->"));
    EXPECT_EQ(traffic, (std::vector<std::string>{
                           "hid out 00 60 00 01 10 00..(65)",
                           "hid out 00 60 00 01 20 00..(65)",
                           "drv 0x08232008 in 00 00 00 00",
                           "drv 0x08232000 in 01 00 00 00",
                           "sdk DLLZR_SetVirtual7ch1_OnOff(on=0)",
                           "sdk DLLZR_AudioCommand(code=4, sub=0, data=00 00 00 00, size=286)",
                           "sdk DLLZR_AudioCommand(code=7, sub=0, data=00 00 00 00, size=286)",
                           "hid out 00 00 00 00 00 00..(65)",
                       }));
    EXPECT_TRUE(log.Contains(L"[FormDestroy][1]"));
    uint32_t handles = 99;
    Find<TavrinSim_OpenHandleCount_Fn>("TavrinSim_OpenHandleCount")(&handles);
    EXPECT_EQ(handles, 0u) << "both the shutdown handle and the kept one are closed";
}

TEST_F(AudioMainFormTest, DestructionWithoutDeviceSendsNothing) {
    ASSERT_TRUE(form.Construct());
    Find<TavrinSim_Unplug_Fn>("TavrinSim_Unplug")();
    ClearTraffic();
    features.calls.clear();
    form.FormDestroy();
    EXPECT_EQ(features.calls, (Calls{"save last profile", "close media player", "features off"}));
    EXPECT_TRUE(DeviceTraffic().empty());
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
    TAudioMainForm second{{platform, other, library, errorBox, bus, bus, bus.Driver(), features}};
    second.FormActivate();
    EXPECT_TRUE(other.calls.empty()) << "the switch is matched case-sensitively here";
}

}  // namespace
}  // namespace tavrin
