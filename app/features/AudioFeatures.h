#pragma once
// The feature units of the main window composed: they are built here, and here run the
// sequences whose order is fixed across units (construction, restore on arrival, removal,
// close). Everything else the window asks of every unit in turn.
#include <array>
#include <optional>
#include <vector>

#include "app/features/About.h"
#include "app/features/DeviceCommands.h"
#include "app/features/EncVoiceMagic.h"
#include "app/features/EnvironmentEffects.h"
#include "app/features/Equalizer.h"
#include "app/features/GpioButtons.h"
#include "app/features/Lighting.h"
#include "app/features/MainWindowFeatures.h"
#include "app/features/Microphone.h"
#include "app/features/Profiles.h"
#include "app/features/ThreeD.h"
#include "app/features/Virtual7ch1.h"

namespace tavrin {

class AudioFeatures final : public MainWindowFeatures {
public:
    void Attach(FeatureContext& context) override;
    void Detach() override;

    void SetInitialState() override;
    void ConstructPages() override;
    void AfterNotificationsRegistered() override;
    void RestoreAtStart() override;
    void Close() override;

    void PrepareMicrophone() override;
    void Restore(ActivationPath path, bool firstActivation) override;
    void DeviceRemoved() override;
    void ReleaseDevice() override;

    FeatureUnit* Unit(FeatureUnitId id) override;
    std::span<FeatureUnit* const> Units() override { return units_; }
    // The hardware buttons answer once the units are built.
    bool PressLocked(int32_t tag) override { return buttons_ && buttons_->PressLocked(tag); }
    bool GpioLevelMode() override { return buttons_ && buttons_->LevelMode(); }
    int32_t VirtualSwitchState() override { return buttons_ ? buttons_->SwitchState() : 0; }
    bool ModalDialogShowing() override;
    bool PageInUse(int32_t page) override;

    Equalizer& Eq() { return *equalizer_; }
    ThreeD& Effect3D() { return *threeD_; }
    EnvironmentEffects& Effects() { return *effects_; }
    Profiles& ProfileFiles() { return *profiles_; }
    Microphone& Mic() { return *microphone_; }
    Lighting& Led() { return *lighting_; }

private:
    template <class UnitType, class... Arguments>
    UnitType& Build(std::optional<UnitType>& unit, FeatureUnitId id, Arguments&&... arguments);
    // Construction with an active device: the driver, 7.1 and microphone pages.
    void StartDevicePages();
    // The profile's steps and keys that belong to the units.
    void LoadProfileUnits(const ProfileData& profile);
    void SaveProfileUnits(ProfileData& profile);
    // Start and arrival read each twice.
    void ReadEqFromDevice();
    void Read3DFromDevice();
    // Arrival: from the device when the profile asks for it, else the default switches.
    void RestoreEqAnd3D();
    // Outside level mode, the ENC button's line and scan when the device has ENC.
    void ArmEncButton();
    // Arrival: the switches read and scanned in level mode, else ENC and its button.
    void RestoreButtonsAndEnc(ActivationPath path);

    FeatureContext* context_ = nullptr;
    std::optional<Equalizer> equalizer_;
    std::optional<ThreeD> threeD_;
    std::optional<EnvironmentEffects> effects_;
    std::optional<Virtual7ch1> virtual7ch1_;
    std::optional<Microphone> microphone_;
    std::optional<EncVoiceMagic> encVoiceMagic_;
    std::optional<Lighting> lighting_;
    std::optional<Profiles> profiles_;
    std::optional<About> about_;
    std::optional<GpioButtons> buttons_;
    std::array<FeatureUnit*, kFeatureUnitCount> byId_{};
    std::vector<FeatureUnit*> units_;
};

}  // namespace tavrin
