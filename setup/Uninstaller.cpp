#include "setup/Uninstaller.h"

#include <algorithm>

#include "common/DeviceIdMgr.h"
#include "common/ProcessMessages.h"
#include "common/ServiceControl.h"
#include "ports/TextCase.h"
#include "setup/InstallRecord.h"
#include "setup/SetupSession.h"
#include "setup/SetupSteps.h"

namespace tavrin::setup {
namespace {

constexpr uint32_t kBroadcastTimeout = 100;
// Programs asked to close may take a moment to let go of their files.
constexpr int kRemovalPasses = 20;
constexpr uint32_t kRemovalWait = 500;
constexpr wchar_t kSharedKey[] = L"SOFTWARE\\ZRN 58xx Software";
constexpr const wchar_t* kGroupKeys[] = {L"SOFTWARE\\ZRN USB DeviceId Group",
                                         L"SOFTWARE\\ZRN HID DeviceId Group"};

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    auto trimmed = [](std::wstring path) {
        while (!path.empty() && path.back() == L'\\') path.pop_back();
        return path;
    };
    return EqualsIgnoringCase(trimmed(a), trimmed(b));
}

const wchar_t* BuiltInText(SetupText text) {
    switch (text) {
        case SetupText::UninstallConfirm:
            return L"Remove Tavrin Audio Control and all of its components?";
        case SetupText::UninstallProfiles:
            return L"Also remove your personal settings and profiles?";
        case SetupText::UninstallDone: return L"Tavrin Audio Control was removed.";
        case SetupText::UninstallIncomplete:
            return L"Tavrin Audio Control was removed except for these items:";
        default: break;
    }
    return L"";
}

}  // namespace

Uninstaller::Uninstaller(SetupPlatform& platform, const std::wstring& programPath)
    : platform_(platform), programPath_(programPath) {
    Platform& common = platform_.common;
    LoadAudioConfig(common, kAudioConfigFileName, programPath_, config_, ConfigReader::Setup);
    const std::wstring perUserConfig = PerUserConfigPath(common.environment, config_);
    perUserFolder_ = FolderOf(perUserConfig);
    const std::wstring language =
        ReadConfigValue(common.profiles, perUserConfig, config_keys::kDefaultLanguage.section,
                        config_keys::kDefaultLanguage.key, kConfigTextCapacity);
    try {
        texts_.Load(common.profiles, config_.SourceFolderFullPath + config_.LanguageFolderName +
                                         L"\\" + language + L"\\" + kLanguageFileName);
    } catch (const ConfigConversionError&) {
        // A language file the uninstaller cannot read leaves it the built-in texts.
    }
}

std::wstring Uninstaller::Text(SetupText text) const {
    const std::wstring& own = texts_.Text(text);
    return own.empty() ? BuiltInText(text) : own;
}

std::vector<std::wstring> Uninstaller::Run(bool removeProfiles) {
    platform_.common.debugLog.Write(L"==> Uninstaller::Run\n");
    std::vector<std::wstring> left;
    AskProgramsToClose();
    RemoveService();
    RemoveDriver(left);
    RemoveRegistry();
    RemoveInstalledFiles(left);
    if (removeProfiles) RemoveTree(perUserFolder_, left);
    for (const std::wstring& item : left) {
        platform_.common.debugLog.Write(L"***** Not removed: " + item + L" *****\n");
    }
    return left;
}

void Uninstaller::AskProgramsToClose() {
    platform_.system.Broadcast(kExitMessageName, kBroadcastTimeout);
    platform_.system.Broadcast(kEffectExitMessageName, kBroadcastTimeout);
}

void Uninstaller::RemoveService() {
    ControlTheService(platform_.services, platform_.common.clock, kServiceName, kServiceRequestStop,
                      ServiceAccess::Full);
    uint32_t error = 0;
    const auto manager = platform_.services.Connect(kScManagerAllAccess, error);
    if (!manager) return;
    if (const auto service = manager->Open(kServiceName, kServiceDelete, error)) {
        service->Delete();
    }
}

// Out of the devices first, so that none is left asking for a driver that is gone.
void Uninstaller::RemoveDriver(std::vector<std::wstring>& left) {
    Platform& common = platform_.common;
    DEVICEID_MGR::CDeviceIdMgr group(common.files, common.registry);
    if (group.LoadGroupFromFile(config_.SourceFolderFullPath + kAudioConfigFileName,
                                kUsbVidPidSection) == 0) {
        if (const auto devices = platform_.system.OpenDeviceList()) {
            CleanOldFilters(*devices, group, common.clock, common.debugLog);
        }
    }
    common.registry.DeleteTree(RegistryHive::LocalMachine, kDriverKey, RegistryView::Default);
    const RedirectionOff redirection(common.environment, common.environment.IsWow64Process());
    for (const std::wstring& file : {DriverFilePath(config_), ServiceFilePath(config_)}) {
        if (common.files.FileExists(file) && !common.files.RemoveFile(file)) left.push_back(file);
    }
}

void Uninstaller::RemoveRegistry() {
    Registry& registry = platform_.common.registry;
    const auto hklm = RegistryHive::LocalMachine;
    const auto view = RegistryView::Default;
    registry.DeleteValue(hklm, kRunKey, config_.APPFileName, view);
    registry.DeleteTree(hklm, kUninstallKey, view);
    registry.DeleteTree(hklm, kSharedKey, view);
    for (const wchar_t* key : kGroupKeys) registry.DeleteTree(hklm, key, view);
}

void Uninstaller::RemoveInstalledFiles(std::vector<std::wstring>& left) {
    Platform& common = platform_.common;
    const std::wstring recordPath = config_.InstallFolderFullPath + kInstallRecordFileName;
    InstallRecord record;
    record.Merge(common.files, recordPath);
    std::vector<std::wstring> remaining;
    for (const std::wstring& file : record.Files()) {
        if (!SamePath(file, programPath_)) remaining.push_back(file);
    }
    remaining.push_back(recordPath);
    for (int pass = 0; pass < kRemovalPasses && !remaining.empty(); ++pass) {
        if (pass > 0) common.clock.Sleep(kRemovalWait);
        remaining.erase(std::remove_if(remaining.begin(), remaining.end(),
                                       [&](const std::wstring& file) {
                                           return !common.files.FileExists(file) ||
                                                  common.files.RemoveFile(file);
                                       }),
                        remaining.end());
    }
    left.insert(left.end(), remaining.begin(), remaining.end());
    // Subfolders before the folders that hold them; a folder that still holds something that
    // is not ours stays.
    const std::vector<std::wstring>& folders = record.Folders();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        if (SamePath(*folder, config_.InstallFolderFullPath)) continue;
        if (common.files.DirectoryExists(*folder) && !common.files.RemoveFolder(*folder)) {
            left.push_back(*folder);
        }
    }
}

void Uninstaller::RemoveTree(const std::wstring& folder, std::vector<std::wstring>& left) {
    FileSystem& files = platform_.common.files;
    std::vector<DirectoryEntry> entries;
    if (!files.ListDirectory(folder, entries)) return;
    const std::wstring base = folder.back() == L'\\' ? folder : folder + L"\\";
    for (const DirectoryEntry& entry : entries) {
        const std::wstring path = base + entry.name;
        if (entry.isDirectory) {
            RemoveTree(path + L"\\", left);
        } else if (!files.RemoveFile(path)) {
            left.push_back(path);
        }
    }
    if (!files.RemoveFolder(folder)) left.push_back(folder);
}

}  // namespace tavrin::setup
