#include "setup/SetupSteps.h"

#include <algorithm>
#include <cwchar>

#include "common/ProcessMessages.h"
#include "common/ServiceControl.h"
#include "common/SharedRegistry.h"
#include "ports/TextCase.h"

namespace tavrin::setup {
namespace {

constexpr uint32_t kBroadcastTimeout = 100;
constexpr uint32_t kServiceSetupCode = 128;
constexpr uint32_t kRestartWait = 1000;
constexpr wchar_t kLaunchKey[] = L"ZRN 58xx Software";
constexpr wchar_t kUpdateName[] = L"KB3033929";
constexpr wchar_t kApplicabilityKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\"
    L"ApplicabilityEvaluationCache\\Package_for_KB3033929~31bf3856ad364e35~amd64~~6.1.1.1";
constexpr wchar_t kPackagesKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\Packages";
// The device-ID group's patterns have this length; shorter or longer IDs are not ours.
constexpr size_t kHardwareIdLength =
    std::char_traits<wchar_t>::length(L"USB\\VID_2B7A&PID_58XX&REV_0100&MI_00");

bool IsDriverName(const std::wstring& filter) {
    return EqualsIgnoringCase(filter, kDriverName);
}

}  // namespace

std::wstring DriverFilePath(const CAudioConfig& config) {
    return config.SystemDirectoryPath + L"drivers\\" + kDriverName + L".sys";
}

std::wstring ServiceFilePath(const CAudioConfig& config) {
    return config.SystemDirectoryPath + kServiceName + L".exe";
}

std::wstring UpdatePackagePath(const CAudioConfig& config) {
    return config.SystemDirectoryPath + kUpdatePackageName;
}

std::wstring EffectApplicationPath(const CAudioConfig& config, const std::wstring& fileName) {
    return config.InstallFolderFullPath + config.PluginFolderName + L"\\" + fileName + L"\\" +
           fileName + L".exe";
}

std::vector<std::pair<std::wstring, std::wstring>> LaunchValues(const CAudioConfig& config) {
    const std::pair<wchar_t, std::wstring> applications[] = {
        {L'C', ApplicationPath(config)},
        {L'B', EffectApplicationPath(config, config.EffectAPPFileName)},
        {L'D', EffectApplicationPath(config, config.SoundEffectAPPFileName)},
    };
    const std::pair<const wchar_t*, const wchar_t*> modes[] = {
        {L"UserPrivilegeExecution_", L" -servicestart"},
        {L"AdminPrivilegeExecution_", L" -servicestart"},
        {L"SystemPrivilegeExecution_", L" -servicestart"},
        {L"SystemPrivilegeExecutionOnBoot_", L" -serviceboot"},
        {L"AdminPrivilegeExecutionOnBoot_", L" -serviceboot"},
    };
    std::vector<std::pair<std::wstring, std::wstring>> values;
    for (const auto& [letter, path] : applications) {
        for (size_t digit = 0; digit < std::size(modes); ++digit) {
            values.emplace_back(
                modes[digit].first + std::wstring(1, letter) + std::to_wstring(digit),
                L"\"" + path + L"\"" + modes[digit].second);
        }
    }
    return values;
}

bool CleanOldFilters(DeviceList& devices, const DEVICEID_MGR::CDeviceIdMgr& group, Clock& clock,
                     DebugLog& log) {
    std::vector<size_t> ours;
    for (size_t i = 0; i < devices.Devices().size(); ++i) {
        const std::wstring& id = devices.Devices()[i].hardwareId;
        if (id.size() == kHardwareIdLength && group.MatchDeviceId(id)) ours.push_back(i);
    }
    for (const size_t i : ours) {
        std::vector<std::wstring> filters;
        if (!devices.LowerFilters(i, filters) ||
            std::none_of(filters.begin(), filters.end(), IsDriverName)) {
            continue;
        }
        filters.erase(std::remove_if(filters.begin(), filters.end(), IsDriverName), filters.end());
        devices.SetLowerFilters(i, filters);
        log.Write(L"##### Ovalt taken out of the lower filters of " +
                  devices.Devices()[i].hardwareId + L" #####\n");
    }
    bool rebootNeeded = false;
    for (const size_t i : ours) {
        if (!devices.Devices()[i].present) continue;
        devices.ChangeState(i, DeviceStateChange::Disable);
        clock.Sleep(kRestartWait);
        devices.ChangeState(i, DeviceStateChange::EnableGlobally);
        devices.ChangeState(i, DeviceStateChange::EnableInProfile);
        if (devices.NeedsReboot(i)) rebootNeeded = true;
    }
    if (rebootNeeded) log.Write(L"##### The devices need a restart of Windows #####\n");
    return rebootNeeded;
}

bool IsUpdateInstalled(Registry& registry) {
    std::vector<std::wstring> names;
    if (registry.EnumSubKeyNames(RegistryHive::LocalMachine, kApplicabilityKey, names,
                                 RegistryView::Native64) == 0) {
        return true;
    }
    if (registry.EnumSubKeyNames(RegistryHive::LocalMachine, kPackagesKey, names,
                                 RegistryView::Native64) != 0) {
        return false;
    }
    wchar_t prefix[256];
    std::swprintf(prefix, 256, L"Package_for_%ls~", kUpdateName);
    const std::wstring wanted = prefix;
    return std::any_of(names.begin(), names.end(),
                       [&](const std::wstring& name) { return name.rfind(wanted, 0) == 0; });
}

SetupSteps::SetupSteps(SetupPlatform& platform, const SetupSession& session,
                       PayloadSource& payloads)
    : platform_(platform),
      session_(session),
      config_(session.config),
      payloads_(payloads),
      installMgr_(platform.common.environment, platform.common.debugLog) {}

// ---------------------------------------------------------------------------------------------
// Preparation

void SetupSteps::BroadcastAppExit() {
    platform_.system.Broadcast(kExitMessageName, kBroadcastTimeout);
}

void SetupSteps::RestService() {
    Clock& clock = platform_.common.clock;
    ControlTheService(platform_.services, clock, kServiceName, kServiceRequestStart,
                      ServiceAccess::Full);
    ControlTheService(platform_.services, clock, kServiceName, kServiceSetupCode,
                      ServiceAccess::Full);
    ControlTheService(platform_.services, clock, kServiceName, kServiceRequestStop,
                      ServiceAccess::Full);
}

// The USB group decides which devices are ours; its patterns have the length the pass tests.
void SetupSteps::CleanOldFilters() {
    Platform& common = platform_.common;
    DEVICEID_MGR::CDeviceIdMgr group(common.files, common.registry);
    if (group.LoadGroupFromFile(config_.SourceFolderFullPath + kAudioConfigFileName,
                                kUsbVidPidSection) != 0) {
        return;
    }
    if (const auto devices = platform_.system.OpenDeviceList()) {
        setup::CleanOldFilters(*devices, group, common.clock, common.debugLog);
    }
}

bool SetupSteps::FilterDriverActive() {
    return platform_.system.DeviceOpens(kFilterDevicePath);
}

// ---------------------------------------------------------------------------------------------
// STEP1 and STEP2: the filter driver and the background service

int SetupSteps::PutPayload(uint16_t identifier, const wchar_t* type, const std::wstring& path,
                           bool recorded) {
    const std::optional<PayloadBytes> payload = FindPayload(payloads_, identifier, type);
    if (!payload) return 1;
    if (WritePayload(platform_.common.files, path, *payload) != 0) return 2;
    if (recorded) record_.AddFile(path);
    return 0;
}

int SetupSteps::PutPayloadUnredirected(uint16_t identifier, const wchar_t* type,
                                       const std::wstring& path) {
    const RedirectionOff redirection(platform_.common.environment, session_.wow64);
    return PutPayload(identifier, type, path, false);
}

int SetupSteps::Install_FilterDriver(InstallReporter& reporter) {
    Platform& common = platform_.common;
    common.debugLog.Write(L"==> TMainForm::Install_FilterDriver\n");
    // 1. The driver's service entry.
    Registry& registry = common.registry;
    const auto hklm = RegistryHive::LocalMachine;
    const auto view = RegistryView::Default;
    if (registry.CreateKey(hklm, kDriverKey, view) != 0) return 1;
    registry.SetValue(hklm, kDriverKey, L"ErrorControl", MakeDwordValue(1), view);
    registry.SetValue(hklm, kDriverKey, L"Start", MakeDwordValue(3), view);
    registry.SetValue(hklm, kDriverKey, L"Type", MakeDwordValue(1), view);
    RegistryValue imagePath =
        MakeStringValue(L"System32\\DRIVERS\\" + std::wstring(kDriverName) + L".sys");
    imagePath.type = kRegExpandSz;
    registry.SetValue(hklm, kDriverKey, L"ImagePath", imagePath, view);
    reporter.Progress(10);
    // 3. to 6. The driver file for the machine's bitness, in the native drivers folder.
    const uint16_t driver = session_.wow64 ? kDriver64Id : kDriver32Id;
    if (PutPayloadUnredirected(driver, kDriverPayload, DriverFilePath(config_)) != 0) return 2;
    reporter.Progress(20);
    return 0;
}

int SetupSteps::InstallService(InstallReporter& reporter) {
    Platform& common = platform_.common;
    // 1. and 2. Nothing may hold the files.
    ControlTheService(platform_.services, common.clock, kServiceName, kServiceRequestStop,
                      ServiceAccess::Full);
    BroadcastAppExit();
    reporter.Progress(30);
    {
        const RedirectionOff redirection(common.environment, session_.wow64);
        // 4.
        const uint16_t service = session_.wow64 ? kService64Id : kService32Id;
        const std::wstring path = ServiceFilePath(config_);
        if (PutPayload(service, kServicePayload, path, false) != 0) return 1;
        reporter.Progress(40);
        // 6. The service registers itself.
        if (platform_.system.RunProcess(path + L" /Service", kServiceRegistrationTimeout) !=
            ProcessRun::Ended) {
            return 2;
        }
        // 7.
        WriteLaunchValues();
    }
    reporter.Progress(50);
    // 9.
    ControlTheService(platform_.services, common.clock, kServiceName, kServiceRequestStart,
                      ServiceAccess::Full);
    reporter.Progress(60);
    return 0;
}

void SetupSteps::WriteLaunchValues() {
    const std::vector<std::pair<std::wstring, std::wstring>> values = LaunchValues(config_);
    constexpr size_t kValuesPerApplication = 5;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i % kValuesPerApplication == 0) {
            const std::wstring& data = values[i].second;
            platform_.common.debugLog.Write(data.substr(1, data.rfind(L'"') - 1) + L"\n");
        }
        REGINI_MGR::WriteSharedString(platform_.common.registry, kLaunchKey, values[i].first,
                                      values[i].second);
    }
}

// ---------------------------------------------------------------------------------------------
// STEP3 to STEP8.1: the programs, folders, shortcuts and registrations

void SetupSteps::SaveRecord() {
    record_.Save(platform_.common.files, config_.InstallFolderFullPath + kInstallRecordFileName);
}

int SetupSteps::InstallApplication(InstallReporter& reporter) {
    Platform& common = platform_.common;
    // Earlier installations' files are removed by the same uninstaller.
    record_.Merge(common.files, config_.InstallFolderFullPath + kInstallRecordFileName);
    if (!FindPayload(payloads_, kApplicationId, kAppPayload)) return 1;
    CreateFolderChain(common.files, config_.InstallFolderFullPath, &record_);
    const std::wstring application = ApplicationPath(config_);
    if (PutPayload(kApplicationId, kAppPayload, application) != 0) return 2;
    if (AddRunEntry(common.registry, config_.APPFileName, L"\"" + application + L"\" -boot") != 0) {
        return 3;
    }
    CreateShortcut(common.files, common.environment, platform_.system, config_,
                   ShortcutKind::StartMenu, config_.AppShortcutName, application, &record_);
    if (session_.options.desktopShortcutEnable == 1) {
        CreateShortcut(common.files, common.environment, platform_.system, config_,
                       ShortcutKind::Desktop, config_.AppShortcutName, application, &record_);
    }
    reporter.Progress(70);
    SaveRecord();
    return 0;
}

int SetupSteps::InstallUninstaller(InstallReporter& reporter) {
    Platform& common = platform_.common;
    const std::wstring uninstaller = UninstallerPath(config_);
    if (PutPayload(kUninstallerId, kUninstallPayload, uninstaller) != 0) return 1;
    CreateShortcut(common.files, common.environment, platform_.system, config_,
                   ShortcutKind::StartMenu, config_.UninstallShortcutName, uninstaller, &record_);
    RegisterUninstall(common.registry, session_.uninstallInfo);
    reporter.Progress(80);
    SaveRecord();
    return 0;
}

void SetupSteps::CopySharedFile(const std::wstring& name) {
    FileSystem& files = platform_.common.files;
    const std::wstring target = config_.InstallFolderFullPath + name;
    if (files.CopyOneFile(config_.SourceFolderFullPath + name, target, false)) {
        record_.AddFile(target);
    }
    files.SetNormalAttributes(target);
}

int SetupSteps::InstallSharedFiles(InstallReporter& reporter) {
    Platform& common = platform_.common;
    for (const std::wstring& tree : {config_.SkinFolderName, config_.LanguageFolderName}) {
        CopyFolderTree(common.files, common.debugLog, config_.SourceFolderFullPath + tree + L"\\",
                       config_.InstallFolderFullPath + tree, &record_);
    }
    for (const std::wstring& name :
         {std::wstring(kAudioConfigFileName), config_.InstallIconFileName,
          std::wstring(kBeeFileName), std::wstring(kVendorSdkFileName)}) {
        CopySharedFile(name);
    }
    if (Copy_KB3033929() != 0) Copy_KB3033929();
    reporter.Progress(90);
    SaveRecord();
    return 0;
}

int SetupSteps::InstallUserManual(InstallReporter&) {
    Platform& common = platform_.common;
    // 1. The language chosen in the wizard.
    const std::wstring language =
        ReadConfigValue(common.profiles, session_.perUserFolder + kAudioConfigFileName,
                        config_keys::kDefaultLanguage.section, config_keys::kDefaultLanguage.key,
                        kConfigTextCapacity);
    // 2. Its manual: the first file of its folder.
    const std::wstring manualFolder = config_.SourceFolderFullPath + L"Manual\\" + language + L"\\";
    const std::wstring manual = FirstFileName(common.files, manualFolder);
    if (language.empty() || manual.empty()) return 0;
    // 3. and 4.
    const std::wstring installedManuals = config_.InstallFolderFullPath + L"Manual\\";
    if (common.files.CreateFolder(installedManuals)) record_.AddFolder(installedManuals);
    CopyFolderTree(common.files, common.debugLog, manualFolder, installedManuals, &record_);
    common.files.SetNormalAttributes(installedManuals);
    CreateShortcut(common.files, common.environment, platform_.system, config_,
                   ShortcutKind::Manual, config_.UserManualShortcutName,
                   installedManuals + language + L"\\" + manual, &record_);
    SaveRecord();
    return 0;
}

int SetupSteps::InstallPlugins(InstallReporter& reporter) {
    Platform& common = platform_.common;
    const std::wstring plugins = config_.InstallFolderFullPath + config_.PluginFolderName + L"\\";
    if (common.files.CreateFolder(plugins)) record_.AddFolder(plugins);
    CopyFolderTree(common.files, common.debugLog,
                   config_.SourceFolderFullPath + config_.PluginFolderName + L"\\", plugins,
                   &record_);
    common.files.SetNormalAttributes(plugins);
    reporter.Progress(95);
    SaveRecord();
    return 0;
}

int SetupSteps::InstallEffect(uint16_t identifier, const std::wstring& fileName,
                              InstallReporter& reporter) {
    if (!FindPayload(payloads_, identifier, kAppPayload)) return 1;
    CreateFolderChain(platform_.common.files, config_.InstallFolderFullPath, &record_);
    if (PutPayload(identifier, kAppPayload, EffectApplicationPath(config_, fileName)) != 0) {
        return 2;
    }
    reporter.Progress(98);
    SaveRecord();
    return 0;
}

int SetupSteps::InstallEffectApplication(InstallReporter& reporter) {
    return InstallEffect(kEffectApplicationId, config_.EffectAPPFileName, reporter);
}

int SetupSteps::InstallSoundEffectApplication(InstallReporter& reporter) {
    return InstallEffect(kSoundEffectApplicationId, config_.SoundEffectAPPFileName, reporter);
}

// ---------------------------------------------------------------------------------------------
// STEP5 and STEP10: the Windows update

// Redirection stays on: a 32-bit setup writes the package where it later starts it from.
int SetupSteps::Copy_KB3033929() {
    Platform& common = platform_.common;
    common.debugLog.Write(L"TavrinSetup:  ==> TMainForm::Copy_KB3033929\n");
    const std::wstring path = UpdatePackagePath(config_);
    if (PutPayload(kWindowPatchId, kWindowPatchPayload, path) != 0) return 1;
    common.files.SetNormalAttributes(path);
    return 0;
}

int SetupSteps::RunPackage(const std::wstring& file, int32_t waitMilliseconds) {
    return platform_.system.ShellStart(file, L"", waitMilliseconds) ? 0 : 1;
}

int SetupSteps::Install_KB3033929(InstallReporter&) {
    DebugLog& log = platform_.common.debugLog;
    log.Write(L"TavrinSetup:  ==> TMainForm::Install_KB3033929\n");
    // 1. and 2. Only 64-bit Windows 7 with a service pack needs it: first by the wizard's
    // facts, then by the installer's own.
    auto needsUpdate = [&](bool machine64, int family, int servicePack) {
        if (!machine64) {
            log.Write(L"##### The OS is 32-Bit #####\n");
            return false;
        }
        if (family != VERSIONINFO_MGR::kFamilyWin7) {
            log.Write(L"##### The OS is not Win7 #####\n");
            return false;
        }
        if (servicePack == 0) {
            log.Write(L"##### The OS is Win7, but not install the service pack! #####\n");
            return false;
        }
        return true;
    };
    if (!needsUpdate(session_.wow64, session_.family, session_.servicePack)) return 0;
    log.Write(L"***** Service pack KDB3033929 not EXIST! *****\n");
    if (!needsUpdate(installMgr_.m_iBitness == 1, installMgr_.m_iFamily,
                     installMgr_.m_iServicePack)) {
        return 0;
    }
    // 3. and 4.
    if (IsUpdateInstalled(platform_.common.registry)) return 0;
    log.Write(L"***** Service pack KDB3033929 not EXIST! *****\n");
    if (RunPackage(UpdatePackagePath(config_), -1) != 0) {
        log.Write(L"***** InstallKB3033929 *****\n");
        return 1;
    }
    return 0;
}

}  // namespace tavrin::setup
