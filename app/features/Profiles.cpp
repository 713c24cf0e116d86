#include "app/features/Profiles.h"

#include "common/AudioConfig.h"

namespace tavrin {
namespace {

using Key = ProfileKeyId;
using namespace control_tag;

constexpr wchar_t kBadCopySuffix[] = L".bad";
// The Save button keeps the name unless ".ini" is somewhere in it (case matters).
constexpr wchar_t kIniExtension[] = L".ini";

// A switch the rest of the window treats as on whenever it is not 0.
int32_t AsSwitch(int32_t value) {
    return value != 0 ? 1 : 0;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t split = path.find_last_of(L'\\');
    return split == std::wstring::npos ? std::wstring() : path.substr(0, split + 1);
}

}  // namespace

Profiles::Profiles(FeatureContext& context, Equalizer& equalizer, ThreeD& threeD,
                   EnvironmentEffects& effects, ProfileUnits units)
    : context_(context),
      equalizer_(equalizer),
      threeD_(threeD),
      effects_(effects),
      units_(std::move(units)) {}

// ---- Saving ----

bool Profiles::SaveProfile(const std::wstring& file) {
    SettingsModel& s = context_.settings;
    // The presets pass through the EQ record: no register may change meanwhile.
    s.m_bProfileBusy = 1;
    ProfileData profile;
    for (int32_t preset = 1; preset <= kEqPresetCount; ++preset) {
        equalizer_.ApplyPreset(preset);
        profile.SetPreset(preset, equalizer_.Record().gains, s.m_bEQEnable);
    }
    equalizer_.ApplyPreset(s.m_iEQPreset);
    StoreSwitchesAndEffect(profile);
    StoreSpeakers(profile);
    StoreLighting(profile);
    profile.SetNumber(Key::ENCEN, s.m_bENCEnable);
    profile.SetNumber(Key::ENCValue, s.m_iENCValue);
    profile.SetNumber(Key::VoiceMagicEN, s.m_bVoiceMagicEnable);
    profile.SetNumber(Key::VoiceMagicMode, s.m_iVoiceMagicMode);
    s.m_bProfileBusy = 0;

    if (WriteProfile(context_.platform.files, file, profile)) return true;
    context_.platform.debugLog.Write(L"***** SaveProfile failed: " + file + L" *****");
    return false;
}

void Profiles::StoreSwitchesAndEffect(ProfileData& profile) const {
    const SettingsModel& s = context_.settings;
    const ThreeDRecord& record = threeD_.Record();
    profile.SetNumber(Key::EQEN, s.m_bEQEnable);
    profile.SetNumber(Key::EQFromEEPROM, s.m_bEQFromEEPROM);
    profile.SetNumber(Key::LeftAlpha, record.leftAlpha);
    profile.SetNumber(Key::LeftBeta, record.leftBeta);
    profile.SetNumber(Key::RightAlpha, record.rightAlpha);
    profile.SetNumber(Key::RightBeta, record.rightBeta);
    profile.SetNumber(Key::FBM, s.m_bFBM);
    profile.SetNumber(Key::ThreeDEN, s.m_b3DEnable);
    profile.SetNumber(Key::ThreeDFromEEPROM, s.m_b3DFromEEPROM);
    profile.SetNumber(Key::CurrentEffect, s.m_iCurrentEffect);
    profile.SetNumber(Key::Virtual7ch1EN, s.m_b7ch1Enable);
}

void Profiles::StoreSpeakers(ProfileData& profile) const {
    FormModel& form = context_.window.Form();
    for (const SpeakerKey& speaker : kSpeakerKeys) {
        if (const Component* image = form.Find(speaker.image)) {
            profile.SetPosition(speaker.id, image->left, image->top);
        }
    }
}

void Profiles::StoreLighting(ProfileData& profile) const {
    if (units_.save) return units_.save(profile);
    for (size_t id = static_cast<size_t>(Key::LEDON);
         id <= static_cast<size_t>(Key::LEDFastRightSide); ++id) {
        const auto key = static_cast<Key>(id);
        profile.SetOptionalNumber(key, loaded_.GivenNumber(key));
    }
}

bool Profiles::SaveLastProfile() {
    if (context_.lastProfilePath.empty()) return false;
    context_.platform.files.CreateFolder(FolderOf(context_.lastProfilePath));
    return SaveProfile(context_.lastProfilePath);
}

// ---- Loading ----

void Profiles::LoadProfile(const std::wstring& file) {
    ApplyProfile(ReadProfile(context_.platform.profiles, file), file);
}

void Profiles::ApplyProfile(const ProfileData& profile, const std::wstring& file) {
    // 1: without a device nothing may reach the registers until the next arrival.
    if (!context_.DeviceActive()) context_.discovery.m_bSync = 0;
    LoadEqualizer(profile);
    LoadThreeDAndEffect(profile);
    LoadVirtual7ch1(profile);
    // 11: the file the lighting reads its keys from.
    currentProfile_ = file;
    loaded_ = profile;
    // 10, 12, 13, 14: the speakers sent, the LED state, ENC and Voice Magic, by their units.
    if (units_.load) units_.load(profile);
    // 15: the page as the profile left it.
    context_.window.RedrawCurrentPage();
}

// Steps 2 to 4.
void Profiles::LoadEqualizer(const ProfileData& profile) {
    SettingsModel& s = context_.settings;
    s.m_bEQFromEEPROM = profile.ZeroWhenEmpty(Key::EQFromEEPROM);
    for (int32_t preset = 1; preset <= kEqPresetCount; ++preset) {
        equalizer_.LoadPresetValues(profile.PresetItems(preset), preset, s.m_iEQPreset);
    }
    s.m_bEQEnable = AsSwitch(profile.ZeroWhenEmpty(Key::EQEN));
    equalizer_.WriteEQEnableRegister(s.m_bEQEnable);
    equalizer_.SetEQEnable(s.m_bEQEnable);
}

// Steps 5 to 7.
void Profiles::LoadThreeDAndEffect(const ProfileData& profile) {
    SettingsModel& s = context_.settings;
    s.m_b3DEnable = AsSwitch(profile.ZeroWhenEmpty(Key::ThreeDEN));
    threeD_.Set3DEnable(s.m_b3DEnable);
    threeD_.Show3DState(s.m_bFBM, s.m_b3DEnable);
    s.m_b3DFromEEPROM = profile.ZeroWhenEmpty(Key::ThreeDFromEEPROM);
    s.m_iCurrentEffect = profile.StrictNumber(Key::CurrentEffect);
    effects_.ShowEffect(s.m_iCurrentEffect);
    effects_.SendEffect(s.m_iCurrentEffect);
}

// Steps 8 and 9: the switch (off when 3D is on and the two exclude each other) and the speakers'
// places.
void Profiles::LoadVirtual7ch1(const ProfileData& profile) {
    SettingsModel& s = context_.settings;
    s.m_b7ch1Enable = AsSwitch(profile.StrictNumber(Key::Virtual7ch1EN));
    if (s.m_b3DV7ch1Exclusive == 1 && s.m_b3DEnable == 1) s.m_b7ch1Enable = 0;
    s.m_bSaved7ch1Enable = s.m_b7ch1Enable;
    FormModel& form = context_.window.Form();
    for (const SpeakerKey& speaker : kSpeakerKeys) {
        const auto [left, top] = profile.StrictPosition(speaker.id);
        if (Component* image = form.Find(speaker.image)) {
            image->left = left;
            image->top = top;
        }
    }
    context_.window.ShowButton(kVirtualEnable, s.m_b7ch1Enable == 1);
}

bool Profiles::LoadDefaultProfile() {
    const std::wstring& file = context_.defaultProfilePath;
    if (context_.config.defaultIni == 0 || !context_.platform.files.FileExists(file)) return false;
    const ProfileData profile = ReadProfile(context_.platform.profiles, file);
    if (!LoadAtStart(profile, file)) return false;
    SettingsModel& s = context_.settings;
    s.m_bDefaultEQEnable = profile.ZeroWhenEmpty(Key::EQEN);
    s.m_bDefault3DEnable = profile.ZeroWhenEmpty(Key::ThreeDEN);
    s.m_bDefault7ch1Enable = profile.ZeroWhenEmpty(Key::Virtual7ch1EN);
    s.m_bDefaultENCEnable = profile.ZeroWhenEmpty(Key::ENCEN);
    return true;
}

bool Profiles::LoadLastProfile() {
    const std::wstring& file = context_.lastProfilePath;
    if (!context_.platform.files.FileExists(file)) return false;
    return LoadAtStart(ReadProfile(context_.platform.profiles, file), file);
}

bool Profiles::LoadAtStart(const ProfileData& profile, const std::wstring& file) {
    try {
        ApplyProfile(profile, file);
        return true;
    } catch (const ConfigConversionError& error) {
        const std::wstring copy = file + kBadCopySuffix;
        context_.platform.files.CopyOneFile(file, copy, false);
        context_.platform.debugLog.Write(L"***** LoadProfile failed: " + file + L": " +
                                         error.Message() + L" *****");
        Report(error.Message() + L"\r\n" + file, MessageIcon::Warning);
        return false;
    }
}

// Without %USERPROFILE% the dialogs start where the system puts them.
void Profiles::MakeDialogFolder() {
    if (!context_.userProfileFolder.empty()) {
        context_.platform.files.CreateFolder(context_.userProfileFolder);
    }
}

void Profiles::Report(const std::wstring& text, MessageIcon icon) {
    context_.ui.ShowMessage(text, context_.messageCaption, icon);
}

// ---- The Save and Load buttons ----

void Profiles::Release(const ControlRow& row, Component&) {
    if (row.tag == kSave) SaveButton();
    if (row.tag == kLoad) LoadButton();
}

void Profiles::SaveButton() {
    if (!context_.OpenDevice().IsOpen()) return;
    FileSystem& files = context_.platform.files;
    MakeDialogFolder();
    std::optional<std::wstring> name =
        context_.ui.ChooseFile({FileDialogKind::Save, context_.userProfileFolder,
                                kProfileDialogFileName, kProfileDialogFilter});
    if (!name) return;
    if (name->find(kIniExtension) == std::wstring::npos) *name += kIniExtension;
    // A profile that did not reach the disk is not the last one saved.
    if (!SaveProfile(*name)) {
        Report(L"The profile could not be saved:\r\n" + *name, MessageIcon::Error);
        return;
    }
    WriteConfigValueSafely(files, context_.installedConfigPath, config_keys::kLastIniPath.section,
                           config_keys::kLastIniPath.key, *name);
}

void Profiles::LoadButton() {
    if (!context_.OpenDevice().IsOpen()) return;
    const std::wstring saved = ReadConfigValue(
        context_.platform.profiles, context_.installedConfigPath, config_keys::kLastIniPath.section,
        config_keys::kLastIniPath.key, kConfigPathCapacity);
    std::wstring folder = saved.substr(0, saved.find_last_of(L'\\'));
    if (saved.empty()) {
        folder = context_.userProfileFolder;
        MakeDialogFolder();
    }
    const std::optional<std::wstring> name =
        context_.ui.ChooseFile({FileDialogKind::Open, folder, L"", kProfileDialogFilter});
    if (!name) return;
    // As everywhere else, the conversion error ends the load with its message; what loaded
    // before the failing key stays.
    try {
        LoadProfile(*name);
    } catch (const ConfigConversionError& error) {
        Report(error.Message(), MessageIcon::Error);
    }
    context_.window.Repaint();
}

}  // namespace tavrin
