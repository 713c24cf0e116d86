#include "app/shell/AudioMainForm.h"

#include "app/features/FeatureUnit.h"

namespace tavrin {
namespace {

constexpr uint32_t kCloseBroadcastTimeout = 100;
constexpr size_t kSimpleMessageCapacity = 256;

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

TAudioMainForm::TAudioMainForm(MainWindowPorts ports)
    : platform_(ports.platform),
      ui_(ports.ui),
      errorBox_(ports.errorBox),
      features_(ports.features),
      sdk_(ports.sdkLibrary, ports.platform.debugLog),
      io_(ports.hid, ports.driver),
      discovery_(ports.platform, m_Config, ports.devices, sdk_, io_, *this, ports.features),
      featureContext_{platform_,  ports.ui, m_Settings,          sdk_,           io_,
                      discovery_, *this,    configurationImage_, m_WindowConfig, ports.audio,
                      0,          L""},
      skin_(ports.platform, ports.ui, form_),
      language_(ports.platform, ports.ui, form_) {}

TAudioMainForm::~TAudioMainForm() {
    features_.Detach();
}

void TAudioMainForm::Log(const std::wstring& line) {
    platform_.debugLog.Write(line);
}

bool TAudioMainForm::Construct() {
    // The form from its design; the features receive what they work with.
    CreateForm();
    features_.Attach(featureContext_);

    // Nothing works without the SDK.
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

    // The poll waits; the program's folder.
    SetTimer1Enabled(false);
    const std::wstring programPath = platform_.environment.ProgramPath();
    programFolder_ = FolderOf(programPath);

    // The messages shared with the installer and the effect applications.
    messages_.exit = ui_.RegisterMessage(kExitMessageName);
    messages_.effectExit = ui_.RegisterMessage(kEffectExitMessageName);
    messages_.exitResume = ui_.RegisterMessage(kExitResumeMessageName);

    // The operating-system class.
    OsVersion version;
    featureContext_.operatingSystemClass =
        platform_.environment.GetOsVersion(version) == OsVersionResult::Ok
            ? tavrin::OperatingSystemClass(kPlatformWindowsNt, version.major, version.minor)
            : 0;

    // The configuration.
    LoadAudioConfig(platform_, kAudioConfigFileName, programPath, m_Config);
    configFile_.emplace(platform_.profiles, platform_.files,
                        m_Config.SourceFolderFullPath + kAudioConfigFileName);

    // The pages' initial state.
    m_Settings = SettingsModel{};
    features_.SetInitialState();
    SetTimer1Enabled(false);

    // The last skin and language, and the folders for this screen.
    ReadPerUserChoices();
    ChooseSkinAndLanguageFolders();

    // Icons, tray hint and title.
    LoadIcons();

    // The window's configuration values.
    m_WindowConfig = ReadMainWindowConfig(*configFile_);
    m_Settings.m_fV7ch1Scalar = static_cast<float>(m_WindowConfig.v7ch1Scalar);
    m_Settings.m_iMicMonitorMode = m_WindowConfig.monitor;
    m_Settings.m_b3DV7ch1Exclusive = m_WindowConfig.exclusive3DV7ch1;
    skin_.SetOldVersion(m_WindowConfig.oldVersion != 0);
    language_.SetOldVersion(m_WindowConfig.oldVersion != 0);
    language_.SetOperatingSystemClass(featureContext_.operatingSystemClass);
    SetProfileLocations();

    // The menus and the texts.
    BuildMenus();
    language_.LoadLanguage(language_.LanguageName());
    ApplyTexts();

    // The region comes with the skin's pictures, from the same folder.
    m_WindowConfig.regionCut = configFile_->Integer(config_keys::kRegionCut);
    m_WindowConfig.simpleEnable = configFile_->Integer(config_keys::kSimpleEnable);

    // The skin, and the texts again over its pictures.
    LoadAndApplySkin();
    ApplyTexts();

    // The device.
    discovery_.ConstructionStep();

    // The feature pages, then device notifications, then the first page with the settings.
    features_.ConstructPages();
    ui_.RegisterDeviceNotifications();
    features_.AfterNotificationsRegistered();
    ShowPageTabs(control_tag::kPageEq);
    ApplyPageVisibility(m_Settings.m_iCurrentPage);
    discovery_.ResetActivationCount();
    features_.RestoreAtStart();
    return true;
}

// The per-user folder holds the default and the last profile; the dialogs start in the user's
// own folder; the program's configuration keeps the last saved profile's path. Without
// %APPDATA% (or %USERPROFILE%) there is no such folder: the path would name the drive's root.
void TAudioMainForm::SetProfileLocations() {
    const std::wstring perUserFolder = FolderOf(PerUserConfigPath(platform_.environment, m_Config));
    const bool perUser = perUserFolder != L"\\" + m_Config.InstallFolderName + L"\\";
    featureContext_.defaultProfilePath = perUser ? perUserFolder + kDefaultProfileFileName : L"";
    featureContext_.lastProfilePath = perUser ? perUserFolder + kLastProfileFileName : L"";
    const std::wstring userFolder = platform_.environment.GetVariable(L"USERPROFILE").value_or(L"");
    featureContext_.userProfileFolder =
        userFolder.empty() ? L"" : userFolder + L"\\" + m_Config.InstallFolderName + L"\\";
    featureContext_.installedConfigPath = programFolder_ + kAudioConfigFileName;
    featureContext_.messageCaption = m_Config.InstallAppTitle;
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
    features_.Close();
    // The handle kept since construction is the process's to give back, device or not.
    discovery_.CloseKeptHandle();
}

void TAudioMainForm::OnTimer(TimerId timer) {
    if (timer == TimerId::Timer1) {
        discovery_.Timer1Timer();
        return;
    }
    for (FeatureUnit* unit : features_.Units()) unit->OnTimer(timer);
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
    if (features_.ModalDialogShowing()) return;
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
    ShowButton(control_tag::kDeviceIn, DeviceActive());
    ShowButton(control_tag::kDeviceOut, !DeviceActive());
    ui_.Repaint();
}

void TAudioMainForm::SetTimer1Enabled(bool enabled) {
    ui_.SetTimer(TimerId::Timer1, kTimer1Interval, enabled);
}

void TAudioMainForm::RedrawCurrentPage() {
    ApplyPageVisibility(m_Settings.m_iCurrentPage);
    ui_.Repaint();
}

}  // namespace tavrin
