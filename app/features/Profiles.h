#pragma once
// Profiles: the settings written to a profile file and read back from it, the last profile at
// close and start, the default profile, and the Save and Load buttons with their dialogs.
#include <cstdint>
#include <functional>
#include <string>

#include "app/features/DeviceCommands.h"
#include "app/features/EnvironmentEffects.h"
#include "app/features/Equalizer.h"
#include "app/features/FeatureUnit.h"
#include "app/features/ProfileFile.h"
#include "app/features/ThreeD.h"

namespace tavrin {

inline constexpr wchar_t kProfileDialogFilter[] = L"INI (*.ini)|*.ini";
inline constexpr wchar_t kProfileDialogFileName[] = L"AudioSetting.ini";

// The keys and steps that units of other features own: a load hands them the profile at their
// place among its steps (10: the speakers measured and sent; 12, 13: LEDON, the [LED] keys and
// the LED page; 14: ENC and Voice Magic from the registry), a save asks them for their keys
// (the [LED] keys). The composition wires both.
struct ProfileUnits {
    std::function<void(const ProfileData&)> load;
    std::function<void(ProfileData&)> save;
};

class Profiles final : public FeatureUnit {
public:
    Profiles(FeatureContext& context, Equalizer& equalizer, ThreeD& threeD,
             EnvironmentEffects& effects, ProfileUnits units);

    // The Save (tag 2) and Load (tag 3) buttons act on release.
    void Release(const ControlRow& row, Component& sender) override;

    // False when the file could not be written; what was there stays.
    bool SaveProfile(const std::wstring& file);
    // The steps, in order: 1 without a device, no register writes until the next arrival;
    // 2 the EEPROM flag of the EQ; 3 the four presets; 4 the EQ switch; 5 the 3D switch; 6 the
    // EEPROM flag of 3D; 7 the effect; 8 the 7.1 switch; 9 the speakers' places; 10 the speakers
    // sent; 11 the file kept as the current profile; 12 LEDON; 13 the [LED] keys and the LED
    // page; 14 ENC and Voice Magic from the registry; 15 the current page shown again. Raises the
    // conversion error at the first key that is not a number where one must be; the steps done
    // before it stay in force.
    void LoadProfile(const std::wstring& file);

    // Start: the default profile (when the configuration asks for it) and its four default
    // switches; false when there is none or it failed to load.
    bool LoadDefaultProfile();
    // Start: false when there is no last profile (the caller then reads ENC and Voice Magic
    // itself) or it failed to load.
    bool LoadLastProfile();
    // Close: the folder made when missing, then the last profile.
    bool SaveLastProfile();

    void SaveButton();
    void LoadButton();

    // The file loaded last (the lighting reads its [LED] section); empty before any.
    const std::wstring& CurrentProfile() const { return currentProfile_; }

private:
    // A profile that fails at start is reported, kept beside itself as ".bad", and the window
    // comes up with what loaded before the failing key.
    bool LoadAtStart(const ProfileData& profile, const std::wstring& file);
    // Steps 1 to 15 of a load.
    void ApplyProfile(const ProfileData& profile, const std::wstring& file);
    void StoreSwitchesAndEffect(ProfileData& profile) const;
    void StoreSpeakers(ProfileData& profile) const;
    void StoreLighting(ProfileData& profile) const;
    void LoadEqualizer(const ProfileData& profile);
    void LoadThreeDAndEffect(const ProfileData& profile);
    void LoadVirtual7ch1(const ProfileData& profile);
    void MakeDialogFolder();
    void Report(const std::wstring& text, MessageIcon icon);

    FeatureContext& context_;
    Equalizer& equalizer_;
    ThreeD& threeD_;
    EnvironmentEffects& effects_;
    ProfileUnits units_;
    std::wstring currentProfile_;
    // Until the lighting keeps its own state, its keys go back out as the last profile gave them.
    ProfileData loaded_;
};

}  // namespace tavrin
