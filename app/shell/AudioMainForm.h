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
#include "app/features/MainWindowFeatures.h"
#include "app/features/SettingsModel.h"
#include "app/features/WindowControls.h"
#include "app/form/FormModel.h"
#include "app/shell/Language.h"
#include "app/shell/PluginMenu.h"
#include "app/shell/Skin.h"
#include "app/shell/UiHost.h"
#include "common/AudioConfig.h"
#include "ports/DeviceBus.h"
#include "ports/DynamicLibrary.h"
#include "ports/Platform.h"

namespace tavrin {

inline constexpr wchar_t kMainWindowCaption[] = L"Tavrin";
inline constexpr int kMainWindowWidth = 819;
inline constexpr int kMainWindowHeight = 513;

// 6 for Vista and later: the Core Audio path of the microphone; else the mixer path.
int OperatingSystemClass(uint32_t platformId, uint32_t major, uint32_t minor);
inline constexpr uint32_t kPlatformWindows9x = 1;
inline constexpr uint32_t kPlatformWindowsNt = 2;

// The configuration values the main window reads at construction.
struct MainWindowConfig {
    int32_t oldVersion = 0;
    int32_t defaultIni = 0;
    int32_t bee = 0;
    int32_t monitor = 1;
    double v7ch1Scalar = 2.0;
    int32_t encButtonMode = 0;
    int32_t encGpio = 0;
    int32_t exclusive3DV7ch1 = 0;
    int32_t gpioMode = 0;
    std::vector<int32_t> gpioEnable;
    std::vector<int32_t> gpioDirection;
    int32_t gpioButtonMode = 0;
    int32_t gpioDipSwitchMode = 0;
    std::array<int32_t, kGpioLineCount> gpioActive{};
    std::array<int32_t, kGpioLineCount> gpioFunction{};
    int32_t regionCut = 0;
    int32_t simpleEnable = 0;
};
// Strict keys that are missing or not numbers throw ConfigConversionError.
MainWindowConfig ReadMainWindowConfig(const ConfigFile& config);

// The parts of the system the window works with, wired by the program's entry.
struct MainWindowPorts {
    Platform& platform;
    UiHost& ui;
    DynamicLibrary& sdkLibrary;
    ErrorBox& errorBox;
    DeviceEnumeration& devices;
    HidBus& hid;
    DriverBus& driver;
    MainWindowFeatures& features;
};

class TAudioMainForm final : public DiscoveryHost, public WindowControls {
public:
    explicit TAudioMainForm(MainWindowPorts ports);
    ~TAudioMainForm() override = default;

    // The 27 construction steps. False when the SDK could not be bound: the message is shown,
    // the loop is told to quit and nothing else happened.
    bool Construct();

    void FormCreate();
    void FormActivate();
    void FormDestroy();
    void OnTimer(TimerId timer);
    // True when the message was one of the registered ones.
    bool OnRegisteredMessage(uint32_t message);
    void OnDeviceChange(uint32_t event, uint32_t deviceType, const std::wstring& classGuid,
                        const std::wstring& interfaceName);
    void OnMenuCommand(uint32_t command);
    void OnTrayDoubleClick();
    // The left button and the pointer, in client coordinates, before any control sees them.
    void OnMouseDown(int32_t x, int32_t y);
    void OnMouseMove(int32_t x, int32_t y);
    void OnMouseUp(int32_t x, int32_t y);
    const FormModel& Form() const { return form_; }

    // WindowControls: what the feature units change in the window.
    FormModel& Form() override { return form_; }
    void ShowPicture(const wchar_t* section, const wchar_t* key, Component& control) override;
    void ShowLinkPicture(const wchar_t* key, Component& control) override;
    void SetCaptionColour(Component& label, const wchar_t* recordOf, bool down) override;
    SliderTravel EqSliderTravel() override;
    void Repaint() override { ui_.Repaint(); }
    void CloseImageClick();
    void MinimizeImageClick();

    const CAudioConfig& Config() const { return m_Config; }
    const MainWindowConfig& WindowConfig() const { return m_WindowConfig; }
    DeviceDiscovery& Discovery() { return discovery_; }
    int OperatingSystemClassValue() const { return m_iOSClass; }
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
    void ShowPageTabs(int32_t selectedTab);
    void ApplyPageVisibility(int32_t page);
    // Toggles a two-state button's look; `state` is the caller's flag (0 shows Down and
    // becomes 1, anything else shows Up and becomes 0).
    void SetButtonState(int32_t tag, int32_t& state) override;
    void DragPress(int32_t x, int32_t y);
    void DragMove(int32_t x, int32_t y);
    void DragRelease();
    bool Dragging() const { return drag_.active; }
    // The warning box of refused presses.
    void ShowDeviceWarning(const wchar_t* textKey = L"LabelWarning");

    SkinManager& Skin() { return skin_; }
    LanguageManager& Language() { return language_; }
    FormModel& MutableForm() { return form_; }
    // Down look of two-state controls and selected captions, from the settings model.
    bool IsControlOn(const Component& control);
    SkinLook CurrentSkinLook();
    LabelLook CurrentLabelLook();

    // DiscoveryHost: the window's side of device activation.
    void ShowDeviceLabel(DeviceLabel label) override;
    void UpdateDeviceIndicators() override;
    void SetTimer1Enabled(bool enabled) override;
    void RedrawCurrentPage() override;
    void ProcessPendingMessages() override;
    int OperatingSystemClass() override { return m_iOSClass; }
    bool AcquireCaptureEndpoint() override;
    void ReleaseCaptureEndpoint() override;
    void RunMicrophoneSetup() override;
    void CloseMicLevelMonitorUnlessMicPage() override;
    void ResetMicrophoneControls() override;
    void ClearMicrophoneMonitorState() override;
    void ForgetMicrophoneCapture() override;
    int LedFlag() override;
    void RestoreGpioAndEnc(ActivationPath path) override;
    void RestoreVoiceMagic() override;
    void RestoreEqAnd3D() override;
    void PrepareVirtual7ch1() override;
    void SendVirtual7ch1() override;
    void InitialiseLedColours() override;
    void ClearEncArmed() override;
    void ResetSwitchDisplays() override;
    void CloseLedWorkerEvent() override;

private:
    enum class DragKind {
        None = 0,
        EqSlider = 1,
        MicSlider = 2,
        Speaker = 3,
        D3Slider = 4,
        EncSlider = 5,
    };
    struct DragState {
        bool active = false;
        int32_t pressX = 0;
        int32_t pressY = 0;
        Component* control = nullptr;
        int32_t left = 0;
        int32_t top = 0;
        DragKind kind = DragKind::None;
    };

    void CreateForm();
    void ChooseSkinAndLanguageFolders();
    void ApplyTexts();
    void LoadAndApplySkin();
    void OnLanguageMenu(size_t index);
    void OnSkinMenu(size_t index);
    void StorePerUserChoices();
    void RunHandler(const std::wstring& handler, Component& sender);
    bool DeviceActive() const;
    // The device gate: presses of feature controls need an active device.
    bool PassesGate(int32_t tag) const;
    // A record of `recordPage` shows on `page` (the LED page only when the skin has one).
    bool OnPage(int32_t recordPage, int32_t page) const;
    void SetCaptionColour(int32_t tag, bool down);
    void SwitchPage(int32_t tag);
    void StartDrag(Component& control, DragKind kind);
    void CentreSliderOnPointer(Component& slider, int32_t y, int32_t top, int32_t range);
    void ReadPerUserChoices();
    void LoadIcons();
    void BuildMenus();
    void PublishTrayMenu();
    void StartDevicePages();
    void OnPluginCommand(size_t index);
    void Log(const std::wstring& line);

    Platform& platform_;
    UiHost& ui_;
    ErrorBox& errorBox_;
    MainWindowFeatures& features_;
    VendorSdk sdk_;
    DeviceIo io_;
    CAudioConfig m_Config;
    DeviceDiscovery discovery_;
    std::optional<ConfigFile> configFile_;
    MainWindowConfig m_WindowConfig;
    RegisteredMessages messages_;
    int m_iOSClass = 0;
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
    int32_t ledButtonState_ = 0;
    bool bound_ = false;
    bool activated_ = false;
};

}  // namespace tavrin
