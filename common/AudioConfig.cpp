#include "common/AudioConfig.h"

#include <climits>
#include <cwctype>
#include <utility>

#include "ports/portable/HostPath.h"
#include "ports/portable/PortableProfileStore.h"

namespace tavrin {
namespace {

// Lines the diagnostic formatter writes are cut to its 256-character buffer.
constexpr size_t kLogLineCapacity = 256;

void LogLine(DebugLog& log, const std::wstring& prefix, const std::wstring& value) {
    std::wstring line = prefix + value + L"\n";
    if (line.size() > kLogLineCapacity - 1) line.resize(kLogLineCapacity - 1);
    log.Write(line);
}

std::wstring WithBackslash(const std::wstring& folder) {
    return folder + L"\\";
}

std::wstring ConversionMessage(const std::wstring& value, const ConfigValueSource* source) {
    std::wstring message = L"'" + value + L"' is not a valid integer value";
    if (source == nullptr) return message;
    message += L"\n\nFile: " + source->file;
    if (source->fileMissing) message += L" (the file is missing)";
    return message + L"\nSection: " + source->section + L"\nKey: " + source->key;
}

}  // namespace

ConfigConversionError::ConfigConversionError(const std::wstring& value)
    : std::runtime_error(ToUtf8(ConversionMessage(value, nullptr))),
      message_(ConversionMessage(value, nullptr)) {}

ConfigConversionError::ConfigConversionError(const std::wstring& value,
                                             const ConfigValueSource& source)
    : std::runtime_error(ToUtf8(ConversionMessage(value, &source))),
      message_(ConversionMessage(value, &source)) {}

std::optional<int32_t> ParseInteger(std::wstring_view value, bool allowHex) {
    while (!value.empty() && value.front() == L' ') value.remove_prefix(1);
    if (allowHex && value.size() > 2 && value[0] == L'0' &&
        (value[1] == L'x' || value[1] == L'X')) {
        value.remove_prefix(2);
        int64_t number = 0;
        for (const wchar_t c : value) {
            int digit = -1;
            if (c >= L'0' && c <= L'9') digit = c - L'0';
            if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
            if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
            if (digit < 0) return std::nullopt;
            number = number * 16 + digit;
            if (number > INT32_MAX) return std::nullopt;
        }
        return static_cast<int32_t>(number);
    }
    bool negative = false;
    if (!value.empty() && (value.front() == L'-' || value.front() == L'+')) {
        negative = value.front() == L'-';
        value.remove_prefix(1);
    }
    if (value.empty()) return std::nullopt;
    int64_t number = 0;
    for (const wchar_t c : value) {
        if (c < L'0' || c > L'9') return std::nullopt;
        number = number * 10 + (c - L'0');
        if (number > static_cast<int64_t>(INT32_MAX) + (negative ? 1 : 0)) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -number : number);
}

int32_t StrictInteger(const std::wstring& value) {
    if (const auto number = ParseInteger(value)) return *number;
    throw ConfigConversionError(value);
}

int32_t LenientInteger(const std::wstring& value) {
    size_t at = 0;
    while (at < value.size() && std::iswspace(value[at])) ++at;
    bool negative = false;
    if (at < value.size() && (value[at] == L'-' || value[at] == L'+')) {
        negative = value[at] == L'-';
        ++at;
    }
    int64_t number = 0;
    for (; at < value.size() && value[at] >= L'0' && value[at] <= L'9'; ++at) {
        number = number * 10 + (value[at] - L'0');
        if (number > static_cast<int64_t>(INT32_MAX) + 1) break;  // the CRT saturates
    }
    if (negative)
        return number > static_cast<int64_t>(INT32_MAX) ? INT32_MIN : static_cast<int32_t>(-number);
    return number > INT32_MAX ? INT32_MAX : static_cast<int32_t>(number);
}

std::vector<std::wstring> SplitAtCommas(const std::wstring& value) {
    std::vector<std::wstring> fields;
    if (value.empty()) return fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(L',', start);
        fields.push_back(value.substr(start, comma - start));
        if (comma == std::wstring::npos) return fields;
        start = comma + 1;
    }
}

int ReadConfigText(ProfileStore& profiles, const std::wstring& file, const std::wstring& section,
                   const std::wstring& key, std::wstring& target) {
    wchar_t buffer[kConfigTextCapacity];
    const uint32_t count =
        profiles.GetString(section.c_str(), key.c_str(), L"", buffer, kConfigTextCapacity, file);
    if (count == 0) return 1;
    target.assign(buffer, count);
    return 0;
}

uint32_t ReadConfigValue(ProfileStore& profiles, const std::wstring& file,
                         const std::wstring& section, const std::wstring& key, wchar_t* buffer,
                         uint32_t capacity) {
    if (capacity == 0) return 0;
    return profiles.GetString(section.c_str(), key.c_str(), L"", buffer, capacity, file);
}

std::wstring ReadConfigValue(ProfileStore& profiles, const std::wstring& file,
                             const std::wstring& section, const std::wstring& key,
                             uint32_t capacity) {
    std::wstring buffer(capacity, L'\0');
    const uint32_t count = ReadConfigValue(profiles, file, section, key, buffer.data(), capacity);
    buffer.resize(count);
    return buffer;
}

void WriteConfigValue(ProfileStore& profiles, const std::wstring& file, const std::wstring& section,
                      const std::wstring& key, const std::wstring& text) {
    profiles.WriteString(section.c_str(), key.c_str(), text.c_str(), file);
}

// The portable store edits a file with the Windows rules and writes it whole, on any system.
bool WriteConfigValueSafely(FileSystem& files, const std::wstring& file,
                            const std::wstring& section, const std::wstring& key,
                            const std::wstring& text) {
    PortableProfileStore editor(files);
    return editor.WriteString(section.c_str(), key.c_str(), text.c_str(), file);
}

void LoadAudioConfig(Platform& platform, const std::wstring& fileName,
                     const std::wstring& programFullPath, CAudioConfig& record,
                     ConfigReader reader) {
    using namespace config_keys;
    // 1. The program's own folder and name.
    const size_t lastBackslash = programFullPath.find_last_of(L'\\');
    record.SourceAppFileName = lastBackslash == std::wstring::npos
                                   ? programFullPath
                                   : programFullPath.substr(lastBackslash + 1);
    record.SourceFolderFullPath =
        lastBackslash == std::wstring::npos ? L"" : programFullPath.substr(0, lastBackslash + 1);
    LogLine(platform.debugLog, L"##### SourceAppFileName = ", record.SourceAppFileName);
    LogLine(platform.debugLog, L"##### SourceFolderFullPath = ", record.SourceFolderFullPath);

    // 2. The file beside the program.
    const std::wstring file = record.SourceFolderFullPath + fileName;

    // 3. Every text key into its own field.
    const std::pair<const ConfigKey&, std::wstring&> textKeys[] = {
        {kLanguageFolderName, record.LanguageFolderName},
        {kSkinFolderName, record.SkinFolderName},
        {kInstallAppTitle, record.InstallAppTitle},
        {kInstallIconFileName, record.InstallIconFileName},
        {kInstallFolderName, record.InstallFolderName},
        {kShortcutFolderName, record.ShortcutFolderName},
        {kAppShortcutName, record.AppShortcutName},
        {kUninstallAppTitle, record.UninstallAppTitle},
        {kUninstallIconFileName, record.UninstallIconFileName},
        {kUninstallShortcutName, record.UninstallShortcutName},
        {kPublisher, record.Publisher},
        {kUninstallDisplayName, record.UninstallDisplayName},
        {kAPPFileName, record.APPFileName},
        {kUninstallFileName, record.UninstallFileName},
        {kUserManualShortcutName, record.UserManualShortcutName},
        {kDeviceActiveIconFileName, record.DeviceActiveIconFileName},
        {kDeviceUnactiveIconFileName, record.DeviceUnactiveIconFileName},
        {kTrayIconRestorOn, record.TrayIconRestorOn},
        {kEffectAPPFileName, record.EffectAPPFileName},
        {kEffectAppShortcutName, record.EffectAppShortcutName},
        {kPluginFolderName, record.PluginFolderName},
        {kDebugLevelApplication, record.DebugLevelApplication},
        {kDebugLevelService, record.DebugLevelService},
    };
    for (const auto& [key, field] : textKeys) {
        ReadConfigText(platform.profiles, file, key.section, key.key, field);
    }
    if (reader == ConfigReader::Setup) {
        ReadConfigText(platform.profiles, file, kShortcutFolderNameUp.section,
                       kShortcutFolderNameUp.key, record.ShortcutFolderNameUp);
        ReadConfigText(platform.profiles, file, kSoundEffectAPPFileName.section,
                       kSoundEffectAPPFileName.key, record.SoundEffectAPPFileName);
    }

    // 4. Debug levels default to "0".
    if (record.DebugLevelApplication.empty()) record.DebugLevelApplication = L"0";
    if (record.DebugLevelService.empty()) record.DebugLevelService = L"0";

    // 5. Derived folders.
    Environment& environment = platform.environment;
    record.ProgramFilesFolder =
        WithBackslash(environment.GetKnownFolder(KnownFolder::ProgramFiles));
    record.InstallFolderFullPath = record.ProgramFilesFolder + record.InstallFolderName + L"\\";
    const bool wow64 = environment.IsWow64Process();
    record.SystemFolderPath = WithBackslash(
        environment.GetKnownFolder(wow64 ? KnownFolder::SystemX86 : KnownFolder::System));
    void* cookie = nullptr;
    const bool redirectionOff = wow64 && environment.DisableRedirection(cookie);
    record.SystemDirectoryPath = WithBackslash(environment.SystemDirectory());
    if (redirectionOff) environment.RevertRedirection(cookie);
}

std::wstring PerUserConfigPath(Environment& environment, const CAudioConfig& record) {
    constexpr size_t kAppDataCapacity = 256;
    std::wstring appData = environment.GetVariable(L"APPDATA").value_or(L"");
    // The variable is read into a 256-character buffer; a longer one does not fit and reads as "".
    if (appData.size() >= kAppDataCapacity) appData.clear();
    return appData + L"\\" + record.InstallFolderName + L"\\" + kAudioConfigFileName;
}

ConfigFile::ConfigFile(ProfileStore& profiles, std::wstring path)
    : profiles_(profiles), path_(std::move(path)) {}

ConfigFile::ConfigFile(ProfileStore& profiles, FileSystem& files, std::wstring path)
    : profiles_(profiles), files_(&files), path_(std::move(path)) {}

int32_t ConfigFile::Strict(const std::wstring& value, const wchar_t* section,
                           const std::wstring& key) const {
    if (const auto number = ParseInteger(value)) return *number;
    const bool missing = files_ != nullptr && !files_->FileExists(path_);
    throw ConfigConversionError(value, {path_, section, key, missing});
}

std::wstring ConfigFile::Read(const wchar_t* section, const std::wstring& key,
                              uint32_t capacity) const {
    return ReadConfigValue(profiles_, path_, section, key, capacity);
}

std::wstring ConfigFile::Text(const ConfigKey& key) const {
    return Read(key.section, key.key, key.capacity);
}

int32_t ConfigFile::Integer(const ConfigKey& key) const {
    const std::wstring value = Text(key);
    if (key.type == ConfigKeyType::StrictInteger) return Strict(value, key.section, key.key);
    return value.empty() ? key.emptyValue : LenientInteger(value);
}

std::vector<int32_t> ConfigFile::IntegerList(const ConfigKey& key) const {
    std::vector<int32_t> lines(kGpioLineCount, 0);
    const std::vector<std::wstring> items = SplitAtCommas(Text(key));
    for (size_t i = 0; i < items.size() && i < kConfigListMaxItems; ++i) {
        lines[i] = Strict(items[i].substr(0, kConfigListItemMaxLength), key.section, key.key);
    }
    return lines;
}

void ConfigFile::Write(const ConfigKey& key, const std::wstring& text) const {
    WriteConfigValue(profiles_, path_, key.section, key.key, text);
}

double ConfigFile::V7ch1Scalar() const {
    return Integer(config_keys::kV7ch1Scalar) * 0.1;
}

int32_t ConfigFile::GpioActive(size_t line) const {
    const std::wstring key = std::to_wstring(line);
    return Strict(Read(kGpioActiveSection, key, kConfigNumberCapacity), kGpioActiveSection, key);
}

int32_t ConfigFile::GpioFunction(size_t line) const {
    const std::wstring value =
        Read(kGpioFunctionSection, std::to_wstring(line), kConfigNumberCapacity);
    if (value.empty() || value[0] != L'F') return -1;
    return LenientInteger(value.substr(1));
}

int32_t ConfigFile::PluginEnabled(const std::wstring& folderName) const {
    return LenientInteger(Read(kApplicationSection, folderName, kConfigNumberCapacity));
}

std::wstring ConfigFile::LanguageDisplayName(const std::wstring& folderName) const {
    return Read(kMultiLanguageFolderMapSection, folderName, kConfigTextCapacity);
}

}  // namespace tavrin
