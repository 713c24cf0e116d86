#include "setup/SetupSession.h"

namespace tavrin::setup {

InstallOptions ReadInstallOptions(const ConfigFile& config) {
    using namespace config_keys;
    InstallOptions options;
    options.pluginsPresent = !config.Text(kPluginFolderName).empty();
    options.desktopShortcutEnable = config.Integer(kDesktopShortcutEnable);
    options.installWindowsKB = config.Integer(kInstallWindowsKB);
    options.showRebootScreen = config.Integer(kShowRebootScreen);
    options.multiDisplaySetting = config.Integer(kMultiDisplaySetting);
    return options;
}

std::wstring ApplicationPath(const CAudioConfig& config) {
    return config.InstallFolderFullPath + config.APPFileName + L".exe";
}

std::wstring UninstallerPath(const CAudioConfig& config) {
    return config.InstallFolderFullPath + config.UninstallFileName + L".exe";
}

_REG_UNINSTALL_INFO MakeUninstallInfo(const CAudioConfig& config, const std::wstring& version) {
    _REG_UNINSTALL_INFO info;
    info.registryKey = kUninstallKey;
    info.displayName = config.UninstallDisplayName;
    info.uninstallString = L"\"" + UninstallerPath(config) + L"\"";
    info.quietUninstallString = info.uninstallString + L" /S";
    info.displayIcon = UninstallerPath(config);
    info.displayVersion = version;
    info.publisher = config.Publisher;
    return info;
}

}  // namespace tavrin::setup
