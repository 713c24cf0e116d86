#include "app/shell/AudioMainForm.h"

#include "app/device/AudioCommand.h"

namespace tavrin {
namespace {

constexpr uint32_t kSpeakerTimerInterval = 20;
constexpr uint32_t kBeeTimerInterval = 10;
constexpr uint32_t kBeePlayTimerInterval = 100;
constexpr uint32_t kCloseBroadcastTimeout = 100;
constexpr size_t kSimpleMessageCapacity = 256;
constexpr uint16_t kShutdownRegister = 0x100;
constexpr uint8_t kEncCommand = 4;
constexpr uint8_t kVoiceMagicCommand = 7;

// Spelled out: a brace list that leaves the sub-items out trips -Wmissing-field-initializers.
MenuItem MakeMenuItem(uint32_t command, const std::wstring& caption) {
    MenuItem item;
    item.command = command;
    item.caption = caption;
    return item;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t split = path.find_last_of(L'\\');
    return split == std::wstring::npos ? L"" : path.substr(0, split + 1);
}

}  // namespace

int OperatingSystemClass(uint32_t platformId, uint32_t major, uint32_t minor) {
    if (platformId == kPlatformWindows9x && major == 4) {
        if (minor == 10) return 1;
        if (minor == 90) return 3;
        return 0;
    }
    if (platformId != kPlatformWindowsNt) return 0;
    if (major >= 6) return 6;
    if (major == 5 && minor == 0) return 2;
    if (major == 5 && minor == 1) return 4;
    return 0;
}

MainWindowConfig ReadMainWindowConfig(const ConfigFile& config) {
    using namespace config_keys;
    MainWindowConfig values;
    values.oldVersion = config.Integer(kOldVersion);
    values.defaultIni = config.Integer(kDefaultIni);
    values.bee = config.Integer(kBee);
    values.monitor = config.Integer(kMonitor);
    values.v7ch1Scalar = config.V7ch1Scalar();
    values.encButtonMode = config.Integer(kEncButtonMode);
    values.encGpio = config.Integer(kEncGpio);
    values.exclusive3DV7ch1 = config.Integer(k3DV7ch1MutuallyExclusive);
    values.gpioMode = config.Integer(kGpioMode);
    values.gpioEnable = config.IntegerList(kGpioEnable);
    values.gpioDirection = config.IntegerList(kGpioDirection);
    values.gpioButtonMode = config.Integer(kGpioButtonMode);
    values.gpioDipSwitchMode = config.Integer(kGpioDipSwitchMode);
    for (size_t line = 0; line < kGpioLineCount; ++line) {
        values.gpioActive[line] = config.GpioActive(line);
        values.gpioFunction[line] = config.GpioFunction(line);
    }
    return values;
}

TAudioMainForm::TAudioMainForm(MainWindowPorts ports)
    : platform_(ports.platform),
      ui_(ports.ui),
      errorBox_(ports.errorBox),
      features_(ports.features),
      sdk_(ports.sdkLibrary, ports.platform.debugLog),
      io_(ports.hid, ports.driver),
      discovery_(ports.platform, m_Config, ports.devices, sdk_, io_, *this),
      featureContext_{platform_, m_Settings,          sdk_, io_, discovery_,
                      *this,     configurationImage_, 0,    L""},
      skin_(ports.platform, ports.ui, form_),
      language_(ports.platform, ports.ui, form_) {}

void TAudioMainForm::Log(const std::wstring& line) {
    platform_.debugLog.Write(line);
}

bool TAudioMainForm::Construct() {
    // 1, 2: the form from its design; its timers; the worker's wake event comes with the
    // features.
    CreateForm();
    features_.Attach(featureContext_);
    // The program sits in the tray all day: the speaker timer runs only while a motion does.
    ui_.SetTimer(TimerId::Speaker, kSpeakerTimerInterval, false);
    ui_.SetTimer(TimerId::Bee, kBeeTimerInterval, false);
    ui_.SetTimer(TimerId::BeePlay, kBeePlayTimerInterval, false);

    // 3. Nothing works without the SDK.
    const int bound = sdk_.BindVendorSdk(kVendorSdkFileName, errorBox_);
    if (bound != 0) {
        std::wstring message = FormatOpenFailure(bound);
        if (message.size() >= kSimpleMessageCapacity) message.resize(kSimpleMessageCapacity - 1);
        ui_.ShowMessage(message, L"", MessageIcon::None);
        Log(message);
        ui_.PostQuit();
        return false;
    }
    bound_ = true;

    // 4.
    SetTimer1Enabled(false);
    const std::wstring programPath = platform_.environment.ProgramPath();
    programFolder_ = FolderOf(programPath);

    // 5.
    messages_.exit = ui_.RegisterMessage(kExitMessageName);
    messages_.effectExit = ui_.RegisterMessage(kEffectExitMessageName);
    messages_.exitResume = ui_.RegisterMessage(kExitResumeMessageName);

    // 6.
    OsVersion version;
    m_iOSClass =
        platform_.environment.GetOsVersion(version) == OsVersionResult::Ok
            ? tavrin::OperatingSystemClass(kPlatformWindowsNt, version.major, version.minor)
            : 0;

    // 7.
    LoadAudioConfig(platform_, kAudioConfigFileName, programPath, m_Config);
    configFile_.emplace(platform_.profiles, platform_.files,
                        m_Config.SourceFolderFullPath + kAudioConfigFileName);

    // 8.
    m_Settings = SettingsModel{};
    features_.SetInitialPageState();
    SetTimer1Enabled(false);

    // 9.
    ReadPerUserChoices();
    ChooseSkinAndLanguageFolders();

    // 10, 11.
    LoadIcons();

    // 12.
    m_WindowConfig = ReadMainWindowConfig(*configFile_);
    m_Settings.m_fV7ch1Scalar = static_cast<float>(m_WindowConfig.v7ch1Scalar);
    m_Settings.m_iMicMonitorMode = m_WindowConfig.monitor;
    m_Settings.m_b3DV7ch1Exclusive = m_WindowConfig.exclusive3DV7ch1;
    skin_.SetOldVersion(m_WindowConfig.oldVersion != 0);
    language_.SetOldVersion(m_WindowConfig.oldVersion != 0);
    language_.SetOperatingSystemClass(m_iOSClass);
    featureContext_.defaultIni = m_WindowConfig.defaultIni;
    featureContext_.defaultProfilePath =
        FolderOf(PerUserConfigPath(platform_.environment, m_Config)) + L"DefaultProfile.ini";

    // 13.
    BuildMenus();
    language_.LoadLanguage(language_.LanguageName());
    ApplyTexts();

    // 14. The region comes with the skin's pictures in step 15, from the same folder.
    m_WindowConfig.regionCut = configFile_->Integer(config_keys::kRegionCut);
    m_WindowConfig.simpleEnable = configFile_->Integer(config_keys::kSimpleEnable);

    // 15.
    LoadAndApplySkin();
    ApplyTexts();

    // 16.
    discovery_.ConstructionStep();

    // 17, 18.
    features_.LayoutEqualizer();
    if (m_WindowConfig.defaultIni == 1) features_.LoadDefaultProfile();
    features_.InitialiseEffectPages();

    // 19.
    if (discovery_.m_bDeviceActive == 1) StartDevicePages();

    // 20.
    features_.LayoutSpeakers();
    io_.SendDriverEnable(1);

    // 21.
    Log(L"[TAudioMainForm][1]");
    features_.DumpLedRecord();
    features_.RefreshPageState();
    Log(L"[TAudioMainForm][2]");
    features_.DumpLedRecord();

    // 22.
    ui_.RegisterDeviceNotifications();
    ReleaseCaptureEndpoint();

    // 23, 24, 25.
    features_.SwitchBeeOff();
    ShowPageTabs(23);
    ApplyPageVisibility(m_Settings.m_iCurrentPage);
    if (!features_.LoadLastProfile()) features_.LoadEncAndVoiceMagicFromRegistry();
    if (features_.GpioLevelMode()) features_.ReadGpioAndSetUi();

    // 26.
    if (discovery_.m_bDeviceActive == 1) features_.RestoreFromDeviceAtStart();

    // 27.
    discovery_.ResetActivationCount();
    features_.StartGpioWorker();
    return true;
}

// Without the per-user copy (setup makes it) the window would have no skin and no texts: the
// program's own configuration names the ones it ships with.
void TAudioMainForm::ReadPerUserChoices() {
    std::wstring source = PerUserConfigPath(platform_.environment, m_Config);
    if (!platform_.files.FileExists(source)) {
        source = m_Config.SourceFolderFullPath + kAudioConfigFileName;
    }
    std::wstring language;
    std::wstring skin;
    ReadConfigText(platform_.profiles, source, config_keys::kDefaultLanguage.section,
                   config_keys::kDefaultLanguage.key, language);
    ReadConfigText(platform_.profiles, source, config_keys::kDefaultSkin.section,
                   config_keys::kDefaultSkin.key, skin);
    language_.SetLanguageName(language);
    skin_.SetSkinName(skin);
}

void TAudioMainForm::LoadIcons() {
    ui_.SetTrayIcon(programFolder_ + m_Config.InstallIconFileName,
                    configFile_->Text(config_keys::kHintName));
    ui_.SetApplicationTitle(m_Config.InstallAppTitle);
}

void TAudioMainForm::PublishTrayMenu() {
    MenuItem language = MakeMenuItem(0, language_.Text(L"LabelLanguage", L"Language"));
    language.items = language_.LanguageMenuItems();
    MenuItem skin = MakeMenuItem(0, language_.Text(L"LabelSkin", L"Skin"));
    skin.items = skin_.SkinMenu();
    MenuItem plugin = MakeMenuItem(0, language_.Text(L"LabelPlugin", L"Plugin"));
    plugin.visible = !pluginCaptions_.empty();
    for (size_t i = 0; i < pluginCaptions_.size(); ++i) {
        MenuItem item =
            MakeMenuItem(static_cast<uint32_t>(kPluginCommandBase + i), pluginCaptions_[i]);
        item.radio = true;
        item.checked = checkedPlugin_ == i;
        plugin.items.push_back(item);
    }
    trayMenu_ = {language, skin, plugin,
                 MakeMenuItem(kCloseCommand, language_.Text(L"LabelClose", L"Close"))};
    ui_.SetTrayMenu(trayMenu_);
}

// Construction step 19, with a device that answers.
void TAudioMainForm::StartDevicePages() {
    io_.QueryDriverState();
    sdk_.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
    features_.SendSpeakerBlock();
    io_.QueryDriverValue(0, 0);
    features_.InitialiseMicrophonePage();
    if (AcquireCaptureEndpoint() || m_iOSClass != 6) {
        RunMicrophoneSetup();
        discovery_.MarkMicrophoneSetupDone();
    }
    sdk_.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_Scalar>(m_Settings.m_fV7ch1Scalar);
}

void TAudioMainForm::FormCreate() {
    Log(L"FormCreate");
}

void TAudioMainForm::FormActivate() {
    Log(L"FormActivate");
    if (activated_) return;
    activated_ = true;
    if (ui_.CommandLine().find(L"-serviceboot") != std::wstring::npos) {
        Log(L"-serviceboot");
        ui_.PostMinimize();
    }
}

void TAudioMainForm::FormDestroy() {
    if (!bound_) return;
    // 1, 2.
    features_.SaveLastProfile();
    features_.CloseMediaPlayer();
    features_.SwitchFeaturesOff();
    // 3.
    const DeviceHandle device =
        io_.OpenHidDevice(discovery_.ActiveVendorId(), discovery_.ActiveProductId());
    if (device != kNoDeviceHandle) {
        // 4.
        io_.WriteRegister(device, kShutdownRegister, 0);
        io_.SendDriverSelect(0);
        io_.SendDriverEnable(1);
        sdk_.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
        SendAudioValue(sdk_, kEncCommand, 0, 0);
        SendAudioValue(sdk_, kVoiceMagicCommand, 0, 0);
        // 5.
        Log(L"[FormDestroy][1]");
        features_.ShutDownLeds();
        // 6.
        io_.SendCommitReport(device);
        io_.CloseHidDevice(device);
    }
    // 7. Also without a device now: the handle is the process's to give back.
    discovery_.CloseKeptHandle();
}

void TAudioMainForm::OnTimer(TimerId timer) {
    switch (timer) {
        case TimerId::Timer1: discovery_.Timer1Timer(); break;
        case TimerId::Speaker: features_.OnSpeakerTimer(); break;
        case TimerId::Bee: features_.OnBeeTimer(); break;
        case TimerId::BeePlay: features_.OnBeePlayTimer(); break;
    }
}

bool TAudioMainForm::OnRegisteredMessage(uint32_t message) {
    if (message == 0) return false;
    if (message == messages_.exit) {
        ui_.CloseMainWindow();
        return true;
    }
    if (message == messages_.exitResume) {
        checkedPlugin_.reset();
        PublishTrayMenu();
        return true;
    }
    return message == messages_.effectExit;
}

void TAudioMainForm::OnDeviceChange(uint32_t event, uint32_t deviceType,
                                    const std::wstring& classGuid,
                                    const std::wstring& interfaceName) {
    discovery_.HandleDeviceChange(event, deviceType, classGuid, interfaceName);
}

void TAudioMainForm::OnMenuCommand(uint32_t command) {
    if (command == kCloseCommand) {
        ui_.Broadcast(messages_.effectExit, kCloseBroadcastTimeout);
        ui_.CloseMainWindow();
    } else if (command >= kPluginCommandBase &&
               command < kPluginCommandBase + pluginCaptions_.size()) {
        OnPluginCommand(command - kPluginCommandBase);
    } else if (command >= kSkinCommandBase && command < kPluginCommandBase) {
        OnSkinMenu(command - kSkinCommandBase);
    } else if (command >= kLanguageCommandBase && command < kSkinCommandBase) {
        OnLanguageMenu(command - kLanguageCommandBase);
    }
}

void TAudioMainForm::OnPluginCommand(size_t index) {
    TellEffectApplicationsToExit(ui_, platform_.clock, platform_.debugLog, messages_);
    checkedPlugin_ = index;
    PublishTrayMenu();
    LaunchPlugin(
        ui_, platform_.debugLog,
        PluginExecutablePath(programFolder_, m_Config.PluginFolderName, pluginCaptions_[index]));
    ui_.HideMainWindow();
}

void TAudioMainForm::OnTrayDoubleClick() {
    if (checkedPlugin_) {
        ui_.HideMainWindow();
        return;
    }
    ui_.ShowMainWindow();
}

void TAudioMainForm::FormMouseDown() {
    if (features_.LedDialogBusy()) return;
    ui_.BeginWindowDrag();
    ui_.ProcessPendingMessages();
}

void TAudioMainForm::CloseImageClick() {
    ui_.HideMainWindow();
}

void TAudioMainForm::MinimizeImageClick() {
    ui_.MinimizeMainWindow();
}

void TAudioMainForm::ShowDeviceLabel(DeviceLabel label) {
    language_.ApplyDeviceLabel(label);
    ui_.Repaint();
}

// The two indicators follow the device through their two looks.
void TAudioMainForm::UpdateDeviceIndicators() {
    int32_t in = DeviceActive() ? 0 : 1;
    int32_t out = DeviceActive() ? 1 : 0;
    SetButtonState(54, in);
    SetButtonState(55, out);
    ui_.Repaint();
}

void TAudioMainForm::SetTimer1Enabled(bool enabled) {
    ui_.SetTimer(TimerId::Timer1, kTimer1Interval, enabled);
}

void TAudioMainForm::RedrawCurrentPage() {
    ApplyPageVisibility(m_Settings.m_iCurrentPage);
    ui_.Repaint();
}
void TAudioMainForm::ProcessPendingMessages() {
    ui_.ProcessPendingMessages();
}
bool TAudioMainForm::AcquireCaptureEndpoint() {
    return features_.AcquireCaptureEndpoint();
}
void TAudioMainForm::ReleaseCaptureEndpoint() {
    features_.ReleaseCaptureEndpoint();
}
void TAudioMainForm::RunMicrophoneSetup() {
    features_.RunMicrophoneSetup();
}
void TAudioMainForm::CloseMicLevelMonitorUnlessMicPage() {
    features_.CloseMicLevelMonitorUnlessMicPage();
}
void TAudioMainForm::ResetMicrophoneControls() {
    features_.ResetMicrophoneControls();
}
void TAudioMainForm::ClearMicrophoneMonitorState() {
    features_.ClearMicrophoneMonitorState();
}
void TAudioMainForm::ForgetMicrophoneCapture() {
    features_.ForgetMicrophoneCapture();
}
int TAudioMainForm::LedFlag() {
    return features_.LedFlag();
}
void TAudioMainForm::RestoreGpioAndEnc(ActivationPath path) {
    features_.RestoreGpioAndEnc(path);
}
void TAudioMainForm::RestoreVoiceMagic() {
    features_.RestoreVoiceMagic();
}
void TAudioMainForm::RestoreEqAnd3D() {
    features_.RestoreEqAnd3D();
}
void TAudioMainForm::PrepareVirtual7ch1() {
    features_.PrepareVirtual7ch1();
}
void TAudioMainForm::SendVirtual7ch1() {
    features_.SendVirtual7ch1();
}
void TAudioMainForm::InitialiseLedColours() {
    features_.InitialiseLedColours();
}
void TAudioMainForm::ClearEncArmed() {
    features_.ClearEncArmed();
}
void TAudioMainForm::ResetSwitchDisplays() {
    features_.ResetSwitchDisplays();
}
void TAudioMainForm::CloseLedWorkerEvent() {
    features_.CloseLedWorkerEvent();
}

}  // namespace tavrin
