#pragma once
// The steps of the main window's life that belong to the feature units (pages, skins, language
// texts, profiles, LED and GPIO workers). The window calls them at their fixed places; each unit
// fills its part in as it is built, and until then a step does nothing.
#include <cstddef>
#include <vector>

#include "app/device/DeviceDiscovery.h"
#include "app/shell/UiHost.h"

namespace tavrin {

class MainWindowFeatures {
public:
    virtual ~MainWindowFeatures() = default;

    // Construction.
    virtual void SetInitialPageState() {}               // 8
    virtual void ChooseResolutionAndCheckSkin() {}      // 9
    virtual void BuildLanguageAndSkinMenus() {}         // 13
    virtual void ApplyLanguageTexts() {}                // 13, 15
    virtual void ApplyWindowRegion() {}                 // 14
    virtual void LoadSkin() {}                          // 15
    virtual void LayoutEqualizer() {}                   // 17
    virtual void LoadDefaultProfile() {}                // 17, with DefaultIni = 1
    virtual void InitialiseEffectPages() {}             // 18
    virtual void SendSpeakerBlock() {}                  // 19
    virtual void InitialiseMicrophonePage() {}          // 19
    virtual void LayoutSpeakers() {}                    // 20
    virtual void DumpLedRecord() {}                     // 21
    virtual void RefreshPageState() {}                  // 21
    virtual void SwitchBeeOffAndShowFirstPage() {}      // 23
    virtual bool LoadLastProfile() { return false; }    // 24: false when the file is missing
    virtual void LoadEncAndVoiceMagicFromRegistry() {}  // 24
    virtual bool GpioLevelMode() { return false; }      // 25, 26
    virtual void ReadGpioAndSetUi() {}                  // 25
    virtual void RestoreFromDeviceAtStart() {}          // 26
    virtual void StartGpioWorker() {}                   // 27

    // Destruction.
    virtual void SaveLastProfile() {}    // 1
    virtual void CloseMediaPlayer() {}   // 1
    virtual void SwitchFeaturesOff() {}  // 2
    virtual void ShutDownLeds() {}       // 5

    // Window handling.
    virtual bool LedDialogBusy() { return false; }
    virtual std::vector<MenuItem> LanguageMenuItems() { return {}; }
    virtual std::vector<MenuItem> SkinMenuItems() { return {}; }
    virtual void OnLanguageMenu(size_t /*index*/) {}
    virtual void OnSkinMenu(size_t /*index*/) {}
    virtual void OnSpeakerTimer() {}
    virtual void OnBeeTimer() {}
    virtual void OnBeePlayTimer() {}

    // Device activation and removal (see DiscoveryHost).
    virtual bool AcquireCaptureEndpoint() { return false; }
    virtual void ReleaseCaptureEndpoint() {}
    virtual void RunMicrophoneSetup() {}
    virtual void CloseMicLevelMonitorUnlessMicPage() {}
    virtual void ResetMicrophoneControls() {}
    virtual void ClearMicrophoneMonitorState() {}
    virtual void ForgetMicrophoneCapture() {}
    virtual int LedFlag() { return 0; }
    virtual void RestoreGpioAndEnc(ActivationPath /*path*/) {}
    virtual void RestoreVoiceMagic() {}
    virtual void RestoreEqAnd3D() {}
    virtual void PrepareVirtual7ch1() {}
    virtual void SendVirtual7ch1() {}
    virtual void InitialiseLedColours() {}
    virtual void ClearEncArmed() {}
    virtual void ResetSwitchDisplays() {}
    virtual void CloseLedWorkerEvent() {}
};

}  // namespace tavrin
