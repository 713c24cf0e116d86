#pragma once
// What the wizard learns before the installation starts and the install steps read: the shipped
// configuration, the facts of the machine, the install options and the chosen texts.
#include <atomic>
#include <cstdint>
#include <string>

#include "common/AudioConfig.h"
#include "setup/SetupTexts.h"

namespace tavrin::setup {

// Install options from sections Install and Plugin of the shipped configuration.
struct InstallOptions {
    bool pluginsPresent = false;
    int32_t desktopShortcutEnable = 0;
    int32_t installWindowsKB = 1;
    int32_t showRebootScreen = 0;
    int32_t multiDisplaySetting = 0;
};
InstallOptions ReadInstallOptions(const ConfigFile& config);

// The uninstall registration, filled when the wizard is built.
struct _REG_UNINSTALL_INFO {
    std::wstring registryKey;
    std::wstring displayName;
    // The uninstaller's path in quotation marks, so that a path with blanks cannot start
    // another program; the quiet form adds " /S".
    std::wstring uninstallString;
    std::wstring quietUninstallString;
    std::wstring displayIcon;
    std::wstring displayVersion;
    std::wstring publisher;
};

inline constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZRN58xxAudioExt";

// Install folder + APPFileName + ".exe"
std::wstring ApplicationPath(const CAudioConfig& config);
// Install folder + UninstallFileName + ".exe"
std::wstring UninstallerPath(const CAudioConfig& config);

_REG_UNINSTALL_INFO MakeUninstallInfo(const CAudioConfig& config, const std::wstring& version);

struct SetupSession {
    CAudioConfig config;
    // "%d.%d.%d.%d" of the setup program's own version resource.
    std::wstring versionText;
    bool wow64 = false;
    int32_t family = 2;  // preset to the Windows 2000/XP family: unknown is not Windows 7
    int32_t servicePack = 0;
    InstallOptions options;
    // Empty while the plain language layout is used.
    std::wstring resolutionFolder;
    // %APPDATA% + "\" + InstallFolderName + "\"
    std::wstring perUserFolder;
    SetupTexts texts;
    _REG_UNINSTALL_INFO uninstallInfo;
    // Set by the install worker once the sequence has run to its end; read after it ended.
    std::atomic<bool> rebootSuggested{false};
};

}  // namespace tavrin::setup
