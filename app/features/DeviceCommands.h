#pragma once
// The rules every feature follows when it changes the device: the configuration image that
// mirrors the device's memory, the verified on/off switch, the single retry, and the context a
// feature unit works in.
#include <array>
#include <cstdint>
#include <string>

#include "app/device/DeviceDiscovery.h"
#include "app/device/DeviceIo.h"
#include "app/device/VendorSdk.h"
#include "app/features/FeatureConfig.h"
#include "app/features/SettingsModel.h"
#include "app/features/WindowControls.h"
#include "ports/Audio.h"
#include "ports/MediaPlayer.h"
#include "ports/Platform.h"
#include "ports/ServiceManager.h"
#include "ports/UiHost.h"

namespace tavrin {

inline constexpr size_t kConfigurationImageSize = 2048;
inline constexpr uint8_t kActiveDeviceIndex = 0;

// The device's configuration memory as the program keeps it: 0xFF, the descriptor template in
// the first 256 bytes; the EQ preset slots and the 3D record live in it.
struct ConfigurationImage {
    std::array<uint8_t, kConfigurationImageSize> bytes{};
    void Reset();
};

// Repeats a call once, at once, when it fails; the repetition's result is not examined.
template <class Call>
int32_t WithSingleRetry(Call call) {
    const int32_t result = call();
    if (result != 0) call();
    return result;
}

enum class SwitchedFeature { Equalizer, ThreeD };
// Config, on/off with the wanted state, read back, and one more on/off when the read-back
// differs. The equalizer sends 0 without a read-back when the preset is flat.
void VerifiedSwitch(VendorSdk& sdk, SwitchedFeature feature, int32_t wanted, bool eqFlat);

// Windows' audio side: the capture endpoint, mixer and wave devices, the media player, and the
// service manager that restarts the audio service.
struct AudioPorts {
    Audio& audio;
    MediaPlayer& mediaPlayer;
    ServiceManager& services;
};

// Everything a feature unit works with; the window fills it once it is built.
struct FeatureContext {
    Platform& platform;
    UiHost& ui;
    SettingsModel& settings;
    VendorSdk& sdk;
    DeviceIo& io;
    DeviceDiscovery& discovery;
    WindowControls& window;
    ConfigurationImage& image;
    // The window's configuration values, read at its construction.
    const MainWindowConfig& config;
    AudioPorts audio;
    int32_t operatingSystemClass = 0;        // 6: Vista or later
    std::wstring defaultProfilePath;         // the per-user DefaultProfile.ini
    std::wstring lastProfilePath = L"";      // the per-user LastProfile.ini
    std::wstring userProfileFolder = L"";    // %USERPROFILE%\<InstallFolderName>\: the dialogs
    std::wstring installedConfigPath = L"";  // the program's AudioConfig.cfg ([LastINI] Path)
    std::wstring messageCaption = L"";       // InstallAppTitle: the caption of message boxes

    bool DeviceActive() const { return discovery.m_bDeviceActive == 1; }
    bool Sync() const { return discovery.m_bSync == 1; }
    // The HID interface of the active device, for one operation.
    HidOperation OpenDevice() {
        return HidOperation(io, discovery.ActiveVendorId(), discovery.ActiveProductId());
    }
};

}  // namespace tavrin
