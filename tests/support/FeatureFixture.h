#pragma once
// A feature unit's world for tests: the virtual headset behind the SDK binding and the bus
// face, an activated device, the settings model, the configuration image and a window that
// records what it was asked to show.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/device/DeviceDiscovery.h"
#include "app/device/audio/sim/SimAudio.h"
#include "app/device/sim/SimDeviceBus.h"
#include "app/features/DeviceCommands.h"
#include "ports/portable/MemoryRegistry.h"
#include "ports/portable/MemoryServiceManager.h"
#include "sim/BusFaceApi.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/FakeWaveDevices.h"
#include "tests/support/HostPorts.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/QuietDiscoveryHost.h"
#include "tests/support/QuietPorts.h"
#include "tests/support/RecordingDebugLog.h"
#include "tests/support/RecordingUiHost.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualHeadsetTrace.h"

namespace tavrin {

std::string_view MainFormDesignText();

namespace test {

// The window's side: the shipped design, and a record of the pictures and caption colours the
// features asked for. A control's picture is the skin key it shows ("section/key").
class FakeWindow final : public WindowControls {
public:
    FakeWindow() {
        std::vector<std::wstring> problems;
        form = ParseFormDesign(MainFormDesignText(), problems);
    }
    FormModel& Form() override { return form; }
    void ShowPicture(const wchar_t* section, const wchar_t* key, Component& control) override {
        control.picture = std::wstring(section) + L"/" + key;
    }
    void ShowLinkPicture(const wchar_t* key, Component& control) override {
        control.picture = std::wstring(L"3D/") + key;
    }
    void ShowLook(const ControlRow& row, bool down) override {
        if (row.image != nullptr) looks[row.image] = down;
    }
    void ShowButton(int32_t tag, bool down) override { buttonStates.push_back({tag, down}); }
    void SetCaptionColour(Component& label, const wchar_t* recordOf, bool down) override {
        captions[label.name] =
            std::wstring(recordOf != nullptr ? recordOf : L"") + (down ? L" down" : L" up");
    }
    SliderTravel EqSliderTravel() override { return travel; }
    SliderTravel MicSliderTravel() override { return micTravel; }
    SpeakerCircle VirtualCircle() override { return circle; }
    int32_t MicProgressLength() override { return progressLength; }
    LedSkinValues LedSkin() override { return ledSkin; }
    void ShowWarning(const wchar_t* textKey) override { warnings.push_back(textKey); }
    void RedrawCurrentPage() override { ++redraws; }
    void Repaint() override {}
    void ShowSkinRecord(const wchar_t* section, const wchar_t* key, Component& control) override {
        control.picture = std::wstring(section) + L"/" + key;
    }
    // The caption names the record it took.
    void ApplyLabelRecord(const wchar_t* key, Component& control) override {
        control.caption = std::wstring(L"record ") + key;
    }
    void ShowModalForm(const FormModel& shown, const std::wstring& caption,
                       const std::function<void(const Component&)>& clicked) override {
        modalForms.push_back(shown);
        modalCaptions.push_back(caption);
        if (onModalForm) onModalForm(shown, clicked);
    }
    GivenTravel EncSliderTravel() override { return encTravel; }
    void PressControl(std::wstring_view name) override {
        actions.push_back(L"press " + std::wstring(name));
        if (onPress) onPress(name);
    }
    void ShowPage(int32_t page) override {
        actions.push_back(L"page " + std::to_wstring(page));
        if (settings != nullptr) settings->m_iCurrentPage = page;
    }
    void RestoreWindow() override { actions.push_back(L"restore"); }

    Component& Control(const wchar_t* name) { return *form.Find(name); }

    FormModel form;
    SliderTravel travel{200, 120};
    SliderTravel micTravel{208, 120};
    SpeakerCircle circle;
    int32_t progressLength = 203;
    LedSkinValues ledSkin{1, 0};
    GivenTravel encTravel{50, 150};
    // What a hardware button did to the window: "press <control>", "page <n>", "restore".
    std::vector<std::wstring> actions;
    std::function<void(std::wstring_view)> onPress;
    // The model whose page ShowPage makes current, when set.
    SettingsModel* settings = nullptr;
    // Each ShowButton call: the tag and whether it shows Down.
    std::vector<std::pair<int32_t, bool>> buttonStates;
    std::vector<std::wstring> warnings;
    // The look each control without a tag was last shown in: true for Down.
    std::map<std::wstring, bool> looks;
    int redraws = 0;
    std::map<std::wstring, std::wstring> captions;
    std::vector<FormModel> modalForms;
    std::vector<std::wstring> modalCaptions;
    std::function<void(const FormModel&, const std::function<void(const Component&)>&)> onModalForm;
};

// Builds the context with the headset plugged and active, then clears the trace, so a test
// sees only its own traffic (DeviceTraffic()). The capture endpoint is the headset's; the wave
// devices and the media player are fakes a test drives.
class FeatureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, errorBox), 0);
        bus.emplace(library);
        Face().reset();
        Face().plug();
        config.SourceFolderFullPath = L"C:\\Tavrin\\";
        files.AddTextFile(L"C:\\Tavrin\\AudioConfig.cfg",
                          "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n");
        io.emplace(*bus, bus->Driver());
        discovery.emplace(platform, config, *bus, sdk, *io, host, host);
        discovery->ConstructionStep();
        ASSERT_EQ(discovery->m_bDeviceActive, 1);
        image.Reset();
        simAudio.emplace(bus->Face());
        audio.emplace(*simAudio, wave);
        context.emplace(FeatureContext{platform,
                                       ui,
                                       settings,
                                       sdk,
                                       *io,
                                       *discovery,
                                       window,
                                       image,
                                       windowConfig,
                                       {*audio, mediaPlayer, services},
                                       6,
                                       L""});
        window.settings = &settings;
        ClearTraffic();
    }
    void TearDown() override {
        if (discovery) discovery->CloseKeptHandle();
        if (bus) bus->Face().Functions().reset();
    }
    // The virtual headset's bus face: scenario controls and the trace.
    const BusFaceFunctions& Face() { return bus->Face().Functions(); }
    // A line of the virtual headset's script language (faults, register contents, EEPROM...).
    void Script(const std::wstring& text) {
        ASSERT_EQ(Face().runScript(text.c_str()), 0) << std::string(text.begin(), text.end());
    }
    // The trace since the last clear (see VirtualHeadsetTrace.h).
    std::vector<std::string> DeviceTraffic() { return ReadDeviceTraffic(bus->Face(), folder); }
    void ClearTraffic() { ClearDeviceTraffic(bus->Face()); }

    TempFolder folder;
    HostDynamicLibrary library;
    RecordingDebugLog log;
    SilentErrorBox errorBox;
    VendorSdk sdk{library, log};
    MemoryFileSystem files;
    MemoryRegistry registry;
    EmptyProfileStore profiles;
    FakeEnvironment environment;
    FakeClock clock;
    Platform platform{profiles, registry, files, environment, clock, log};
    CAudioConfig config;
    QuietDiscoveryHost host;
    RecordingUiHost ui;
    MainWindowConfig windowConfig;
    std::optional<SimDeviceBus> bus;
    std::optional<DeviceIo> io;
    std::optional<DeviceDiscovery> discovery;
    std::optional<SimAudio> simAudio;
    FakeWaveState wave;
    std::optional<FakeWaveAudio> audio;
    RecordingMediaPlayer mediaPlayer;
    MemoryServiceManager services;
    SettingsModel settings;
    ConfigurationImage image;
    FakeWindow window;
    std::optional<FeatureContext> context;
};

}  // namespace test
}  // namespace tavrin
