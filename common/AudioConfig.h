#pragma once
// AudioConfig.cfg: its locations, the path and name keys both programs keep, the reading rules
// and the one table of every key.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ports/Platform.h"

namespace tavrin {

inline constexpr wchar_t kAudioConfigFileName[] = L"AudioConfig.cfg";

// Where a value of the configuration was read.
struct ConfigValueSource {
    std::wstring file;
    std::wstring section;
    std::wstring key;
    bool fileMissing = false;
};

// The one exception that escapes start-up; the application's exception box shows its text.
class ConfigConversionError : public std::runtime_error {
public:
    explicit ConfigConversionError(const std::wstring& value);
    // The conversion message, then the file, section and key, so that a person can mend it.
    ConfigConversionError(const std::wstring& value, const ConfigValueSource& source);
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};

// A decimal integer with an optional sign after leading blanks, in the 32-bit range; with
// `allowHex` also a 0x-prefixed hexadecimal one. nullopt for anything else.
std::optional<int32_t> ParseInteger(std::wstring_view value, bool allowHex = false);
// The value must be a decimal integer, else ConfigConversionError.
int32_t StrictInteger(const std::wstring& value);
// _wtoi rules: leading blanks, optional sign, leading digits; anything else gives 0.
int32_t LenientInteger(const std::wstring& value);
// Plain split at every comma; an empty value has no fields.
std::vector<std::wstring> SplitAtCommas(const std::wstring& value);

// Which program reads the record: the setup program also fills the two fields only it uses.
enum class ConfigReader { Application, Setup };

struct CAudioConfig {
    std::wstring SourceAppFileName;
    std::wstring LanguageFolderName;
    std::wstring SkinFolderName;
    std::wstring ProgramFilesFolder;
    std::wstring InstallAppTitle;
    std::wstring InstallIconFileName;
    std::wstring InstallFolderName;
    std::wstring ShortcutFolderName;
    std::wstring ShortcutFolderNameUp;  // setup only
    std::wstring AppShortcutName;
    std::wstring UninstallAppTitle;
    std::wstring UninstallIconFileName;
    std::wstring UninstallShortcutName;
    std::wstring Publisher;
    std::wstring UninstallDisplayName;
    std::wstring SourceFolderFullPath;
    std::wstring InstallFolderFullPath;
    std::wstring APPFileName;
    std::wstring UninstallFileName;
    std::wstring UserManualShortcutName;
    std::wstring SystemFolderPath;
    std::wstring SystemDirectoryPath;
    std::wstring DeviceActiveIconFileName;
    std::wstring DeviceUnactiveIconFileName;
    std::wstring TrayIconRestorOn;
    std::wstring EffectAPPFileName;
    std::wstring EffectAppShortcutName;
    std::wstring PluginFolderName;
    std::wstring SoundEffectAPPFileName;  // setup only
    std::wstring DebugLevelApplication;
    std::wstring DebugLevelService;
};

void LoadAudioConfig(Platform& platform, const std::wstring& fileName,
                     const std::wstring& programFullPath, CAudioConfig& record,
                     ConfigReader reader = ConfigReader::Application);

// %APPDATA%\<InstallFolderName>\AudioConfig.cfg
std::wstring PerUserConfigPath(Environment& environment, const CAudioConfig& record);

inline constexpr uint32_t kConfigTextCapacity = 1024;
inline constexpr uint32_t kConfigNumberCapacity = 32;  // numbers, tray hint, language captions
inline constexpr uint32_t kConfigPathCapacity = 256;   // the LastINI path

// 0 and `target` set when the key has text; 1 and `target` untouched when missing or empty.
int ReadConfigText(ProfileStore& profiles, const std::wstring& file, const std::wstring& section,
                   const std::wstring& key, std::wstring& target);
// Never writes more than `capacity` characters, terminator included; a missing key gives "".
uint32_t ReadConfigValue(ProfileStore& profiles, const std::wstring& file,
                         const std::wstring& section, const std::wstring& key, wchar_t* buffer,
                         uint32_t capacity);
std::wstring ReadConfigValue(ProfileStore& profiles, const std::wstring& file,
                             const std::wstring& section, const std::wstring& key,
                             uint32_t capacity);
void WriteConfigValue(ProfileStore& profiles, const std::wstring& file, const std::wstring& section,
                      const std::wstring& key, const std::wstring& text);
// The same edit for a file the program keeps for the user, made on the file's whole text and
// swapped in through the file system: a crash leaves the old file or the new one, where the
// Windows function rewrites the file in place. False when the file could not be written.
bool WriteConfigValueSafely(FileSystem& files, const std::wstring& file,
                            const std::wstring& section, const std::wstring& key,
                            const std::wstring& text);

// The key table: section, key, how the value reads and what a missing or empty key yields.
enum class ConfigKeyType { Text, StrictInteger, LenientInteger, StrictIntegerList };

struct ConfigKey {
    const wchar_t* section;
    const wchar_t* key;
    ConfigKeyType type;
    uint32_t capacity;
    int32_t emptyValue;  // the number a missing or empty lenient key gives
};

// One key a line, so that the table reads as a table.
// clang-format off
namespace config_keys {
inline constexpr ConfigKey kLanguageFolderName{L"Language", L"LanguageFolderName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kDefaultLanguage{L"Language", L"DefaultLanguage", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kSkinFolderName{L"Skin", L"SkinFolderName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kDefaultSkin{L"Skin", L"DefaultSkin", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kRegionCut{L"Skin", L"RegionCut", ConfigKeyType::StrictInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kInstallAppTitle{L"Install", L"InstallAppTitle", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kInstallIconFileName{L"Install", L"InstallIconFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kInstallFolderName{L"Install", L"InstallFolderName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kShortcutFolderName{L"Install", L"ShortcutFolderName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kShortcutFolderNameUp{L"Install", L"ShortcutFolderNameUp", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kAppShortcutName{L"Install", L"AppShortcutName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kUserManualShortcutName{L"Install", L"UserManualShortcutName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kEffectAppShortcutName{L"Install", L"EffectAppShortcutName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kAPPFileName{L"Install", L"APPFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kEffectAPPFileName{L"Install", L"EffectAPPFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kSoundEffectAPPFileName{L"Install", L"SoundEffectAPPFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kBackgroundWidth{L"Install", L"BackgroundWidth", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kBackgroundHeight{L"Install", L"BackgroundHeight", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kInstallBackgroundFileName{L"Install", L"InstallBackgroundFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kDesktopShortcutEnable{L"Install", L"DesktopShortcutEnable", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kInstallWindowsKB{L"Install", L"InstallWindowsKB", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 1};
inline constexpr ConfigKey kShowRebootScreen{L"Install", L"ShowRebootScreen", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kMultiDisplaySetting{L"Install", L"MultiDisplaySetting", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kUninstallAppTitle{L"Uninstall", L"UninstallAppTitle", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kUninstallIconFileName{L"Uninstall", L"UninstallIconFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kUninstallShortcutName{L"Uninstall", L"UninstallShortcutName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kPublisher{L"Uninstall", L"Publisher", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kUninstallDisplayName{L"Uninstall", L"UninstallDisplayName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kUninstallFileName{L"Uninstall", L"UninstallFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kDeviceActiveIconFileName{L"Application", L"DeviceActiveIconFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kDeviceUnactiveIconFileName{L"Application", L"DeviceUnactiveIconFileName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kTrayIconRestorOn{L"Application", L"TrayIconRestorOn", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kDebugLevelApplication{L"DebugLevel", L"Application", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kDebugLevelService{L"DebugLevel", L"Service", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kPluginFolderName{L"Plugin", L"PluginFolderName", ConfigKeyType::Text, kConfigTextCapacity, 0};
inline constexpr ConfigKey kHintName{L"TrayIconHint", L"HintName", ConfigKeyType::Text, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kOldVersion{L"Version", L"OldVersion", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kDefaultIni{L"Version", L"DefaultIni", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kBee{L"Version", L"Bee", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kMonitor{L"Mic", L"Monitor", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 1};
inline constexpr ConfigKey kV7ch1Scalar{L"DefaultSet", L"V7ch1Scalar", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 20};
inline constexpr ConfigKey kEncButtonMode{L"DefaultSet", L"EncButtonMode", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kEncGpio{L"DefaultSet", L"EncGpio", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey k3DV7ch1MutuallyExclusive{L"DefaultSet", L"3DV7ch1MutuallyExclusive", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kEncEnable{L"DefaultSet", L"EncEnable", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kVoiceMagicEnable{L"DefaultSet", L"VoiceMagicEnable", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kVoiceMagicLevel{L"DefaultSet", L"VoiceMagicLevel", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kEncScalar{L"DefaultSet", L"EncScalar", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kGpioMode{L"GPIO", L"MODE", ConfigKeyType::StrictInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kGpioEnable{L"GPIO", L"ENABLE", ConfigKeyType::StrictIntegerList, kConfigTextCapacity, 0};
inline constexpr ConfigKey kGpioDirection{L"GPIO", L"DIRECTION", ConfigKeyType::StrictIntegerList, kConfigTextCapacity, 0};
inline constexpr ConfigKey kGpioButtonMode{L"GPIO", L"BUTTONMODE", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kGpioDipSwitchMode{L"GPIO", L"DIPSWMODE", ConfigKeyType::LenientInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kSimpleEnable{L"Simple", L"Enable", ConfigKeyType::StrictInteger, kConfigNumberCapacity, 0};
inline constexpr ConfigKey kLastIniPath{L"LastINI", L"Path", ConfigKeyType::Text, kConfigPathCapacity, 0};
}  // namespace config_keys
// clang-format on

// Sections whose key names are data rather than fixed names.
inline constexpr wchar_t kApplicationSection[] = L"Application";  // plug-in folder -> shown
inline constexpr wchar_t kEncValueMapSection[] = L"EncValueMap";
inline constexpr wchar_t kGpioActiveSection[] = L"GPIOActive";
inline constexpr wchar_t kGpioFunctionSection[] = L"GPIOFunction";
inline constexpr wchar_t kUsbVidPidSection[] = L"USB_VID_PID";
inline constexpr wchar_t kHidVidPidSection[] = L"HID_VID_PID";
inline constexpr wchar_t kMultiLanguageFolderMapSection[] = L"MultiLanguageFolderMap";

inline constexpr size_t kGpioLineCount = 10;
inline constexpr size_t kConfigListMaxItems = 10;
inline constexpr size_t kConfigListItemMaxLength = 127;

// Every typed read of the configuration goes through here, so that each key is read the way the
// key table says wherever it is used.
class ConfigFile {
public:
    ConfigFile(ProfileStore& profiles, std::wstring path);
    // With the file system, a conversion error also tells when the file is missing.
    ConfigFile(ProfileStore& profiles, FileSystem& files, std::wstring path);

    const std::wstring& Path() const { return path_; }
    std::wstring Text(const ConfigKey& key) const;
    // Lenient keys give their empty value when missing or empty; strict keys throw.
    int32_t Integer(const ConfigKey& key) const;
    // One strict integer per line 0..9; lines the value leaves out stay 0.
    std::vector<int32_t> IntegerList(const ConfigKey& key) const;
    void Write(const ConfigKey& key, const std::wstring& text) const;

    // DefaultSet V7ch1Scalar: tenths, 2.0 when empty.
    double V7ch1Scalar() const;
    // GPIOActive "0".."9": strict.
    int32_t GpioActive(size_t line) const;
    // GPIOFunction "0".."9": "F" and a lenient number, else -1.
    int32_t GpioFunction(size_t line) const;
    // Application <folder>: non-zero lists the plug-in.
    int32_t PluginEnabled(const std::wstring& folderName) const;
    // MultiLanguageFolderMap <folder>: the language's display name.
    std::wstring LanguageDisplayName(const std::wstring& folderName) const;

private:
    std::wstring Read(const wchar_t* section, const std::wstring& key, uint32_t capacity) const;
    // A strict integer, or ConfigConversionError naming this file, the section and the key.
    int32_t Strict(const std::wstring& value, const wchar_t* section,
                   const std::wstring& key) const;

    ProfileStore& profiles_;
    FileSystem* files_ = nullptr;
    std::wstring path_;
};

}  // namespace tavrin
