#pragma once
// The control application's main window: its construction order, its events, the tray, the
// timers and the shutdown of the device when it goes. Portable; the Win32 host paints it and
// turns window messages into the events below.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/device/DeviceDiscovery.h"
#include "app/device/DeviceIo.h"
#include "app/device/VendorSdk.h"
#include "app/features/DeviceCommands.h"
#include "app/features/FeatureConfig.h"
#include "app/features/MainWindowFeatures.h"
#include "app/features/ProfileFile.h"
#include "app/features/SettingsModel.h"
#include "app/features/WindowControls.h"
#include "app/form/ControlTable.h"
#include "app/form/FormModel.h"
#include "app/shell/Language.h"
#include "app/shell/MainWindowHost.h"
#include "app/shell/PluginMenu.h"
#include "app/shell/Skin.h"
#include "app/shell/WindowEvents.h"
#include "common/AudioConfig.h"
#include "ports/DeviceBus.h"
#include "ports/DynamicLibrary.h"
#include "ports/Platform.h"

namespace tavrin {

// 6 for Vista and later: the Core Audio path of the microphone; else the mixer path.
int OperatingSystemClass(uint32_t platformId, uint32_t major, uint32_t minor);
inline constexpr uint32_t kPlatformWindows9x = 1;
inline constexpr uint32_t kPlatformWindowsNt = 2;

// The parts of the system the window works with, wired by the program's entry.
struct MainWindowPorts {
    Platform& platform;
    MainWindowHost& ui;
    DynamicLibrary& sdkLibrary;
    ErrorBox& errorBox;
    DeviceEnumeration& devices;
    HidBus& hid;
    DriverBus& driver;
    MainWindowFeatures& features;
    AudioPorts audio;
};

class TAudioMainForm final : public WindowEvents, public DiscoveryHost, public WindowControls {
public:
    explicit TAudioMainForm(MainWindowPorts ports);
    // The features let go of the window's parts first (their workers end).
    ~TAudioMainForm() override;

    // The construction steps. False when the SDK could not be bound: the message is shown, the
    // loop is told to quit and nothing else happened.
    bool Construct();

    void FormCreate();
    // WindowEvents: what the host reports.
    const FormModel& Form() const override { return form_; }
    void FormActivate() override;
    void FormDestroy() override;
    void OnTimer(TimerId timer) override;
    bool OnRegisteredMessage(uint32_t message) override;
    void OnDeviceChange(uint32_t event, uint32_t deviceType, const std::wstring& classGuid,
                        const std::wstring& interfaceName) override;
    void OnMenuCommand(uint32_t command) override;
    void OnTrayDoubleClick() override;
    void OnMouseDown(int32_t x, int32_t y) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void OnMouseUp(int32_t x, int32_t y) override;

    // WindowControls: what the feature units change in the window.
    FormModel& Form() override { return form_; }
    void ShowPicture(const wchar_t* section, const wchar_t* key, Component& control) override;
    void ShowLinkPicture(const wchar_t* key, Component& control) override;
    void ShowLook(const ControlRow& row, bool down) override;
    void ShowButton(int32_t tag, bool down) override;
    void SetCaptionColour(Component& label, const wchar_t* recordOf, bool down) override;
    SliderTravel EqSliderTravel() override;
    SliderTravel MicSliderTravel() override;
    SpeakerCircle VirtualCircle() override;
    int32_t MicProgressLength() override;
    LedSkinValues LedSkin() override;
    void ShowWarning(const wchar_t* textKey) override;
    void RedrawCurrentPage() override;
    void Repaint() override { ui_.Repaint(); }
    void ShowSkinRecord(const wchar_t* section, const wchar_t* key, Component& control) override;
    void ApplyLabelRecord(const wchar_t* key, Component& control) override;
    void ShowModalForm(const FormModel& form, const std::wstring& caption,
                       const std::function<void(const Component&)>& clicked) override;
    GivenTravel EncSliderTravel() override;
    void PressControl(std::wstring_view name) override;
    void ShowPage(int32_t page) override;
    void RestoreWindow() override { ui_.ShowMainWindow(); }

    // DiscoveryHost: the window's side of device activation.
    void ShowDeviceLabel(DeviceLabel label) override;
    void UpdateDeviceIndicators() override;
    void SetTimer1Enabled(bool enabled) override;
    void ProcessPendingMessages() override { ui_.ProcessPendingMessages(); }

    const CAudioConfig& Config() const { return m_Config; }
    const MainWindowConfig& WindowConfig() const { return m_WindowConfig; }
    DeviceDiscovery& Discovery() { return discovery_; }
    int OperatingSystemClassValue() const { return featureContext_.operatingSystemClass; }
    DeviceLabel CurrentDeviceLabel() const { return language_.DeviceLabelShown(); }
    const std::vector<MenuItem>& TrayMenu() const { return trayMenu_; }
    const RegisteredMessages& Messages() const { return messages_; }

    // The settings model; whether a device is active is discovery's m_bDeviceActive.
    SettingsModel m_Settings;

    // The window's handlers: presses and releases of pictures and captions, page tabs, and
    // the pointer hook that drags sliders and speakers.
    void OnImageMouseDown(Component& sender);
    void OnImageMouseUp(Component& sender);
    void OnLabelMouseDown(Component& sender);
    void OnLabelMouseUp(Component& sender);
    void OnLabelPageMouseDown(Component& sender);
    void FormMouseDown();
    void CloseImageClick();
    void MinimizeImageClick();
    void ShowPageTabs(int32_t selectedTab);
    void ApplyPageVisibility(int32_t page);
    void DragPress(int32_t x, int32_t y);
    void DragMove(int32_t x, int32_t y);
    void DragRelease();
    bool Dragging() const { return drag_.active; }

    SkinManager& Skin() { return skin_; }
    LanguageManager& Language() { return language_; }
    FormModel& MutableForm() { return form_; }
    // Down look of two-state controls and selected captions, from the settings model.
    bool IsControlOn(const Component& control);
    SkinLook CurrentSkinLook();
    LabelLook CurrentLabelLook();

private:
    struct DragState {
        bool active = false;
        int32_t pressX = 0;
        int32_t pressY = 0;
        Component* control = nullptr;
        const ControlRow* row = nullptr;
        int32_t left = 0;
        int32_t top = 0;
    };

    void CreateForm();
    void ChooseSkinAndLanguageFolders();
    void ApplyTexts();
    void LoadAndApplySkin();
    void OnLanguageMenu(size_t index);
    void OnSkinMenu(size_t index);
    void ShowCurrentPage();
    void StorePerUserChoices();
    void RunHandler(const std::wstring& handler, Component& sender);
    bool DeviceActive() const;
    // The device gate: presses of gated controls need an active device.
    bool PassesGate(const ControlRow& row) const;
    // A record of `recordPage` shows on `page` (the LED page only when the skin has one).
    bool OnPage(int32_t recordPage, int32_t page) const;
    // The control's own unit, null for the window's own controls.
    FeatureUnit* UnitOf(const ControlRow& row);
    // The gate and the unit's own condition; a refusal shows its warning.
    bool Admitted(const ControlRow& row);
    void ShowLook(const ControlRow& row, Component& picture, bool down);
    void PressPageTab(const ControlRow& row, Component& sender);
    void ReleasePageTab(const ControlRow& row, Component& sender);
    void SwitchPage(int32_t tag);
    void ReadPerUserChoices();
    void SetProfileLocations();
    void LoadIcons();
    void BuildMenus();
    void PublishTrayMenu();
    void OnPluginCommand(size_t index);
    void Log(const std::wstring& line);

    Platform& platform_;
    MainWindowHost& ui_;
    ErrorBox& errorBox_;
    MainWindowFeatures& features_;
    VendorSdk sdk_;
    DeviceIo io_;
    CAudioConfig m_Config;
    DeviceDiscovery discovery_;
    std::optional<ConfigFile> configFile_;
    MainWindowConfig m_WindowConfig;
    RegisteredMessages messages_;
    std::wstring programFolder_;
    std::vector<MenuItem> trayMenu_;
    std::vector<std::wstring> pluginCaptions_;
    // The plug-in items are radio items: at most one is checked.
    std::optional<size_t> checkedPlugin_;
    FormModel form_;
    ConfigurationImage configurationImage_;
    FeatureContext featureContext_;
    SkinManager skin_;
    LanguageManager language_;
    std::wstring resolutionFolder_;
    DragState drag_;
    // The control that took the last press: it gets the release, and the click when the
    // pointer is still over it.
    Component* pressed_ = nullptr;
    bool bound_ = false;
    bool activated_ = false;
};

}  // namespace tavrin
