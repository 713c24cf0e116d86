#pragma once
// The steps of the main window's life that belong to the feature units (pages, profiles, LED
// and GPIO workers). The window calls them at their fixed places; each unit
// fills its part in as it is built, and until then a step does nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/device/DeviceDiscovery.h"
#include "app/form/FormModel.h"

namespace tavrin {

struct FeatureContext;

class MainWindowFeatures {
public:
    virtual ~MainWindowFeatures() = default;

    // The window hands over what the units work with, before its construction steps.
    virtual void Attach(FeatureContext& /*context*/) {}

    // Construction.
    virtual void SetInitialPageState() {}               // 8
    virtual void LayoutEqualizer() {}                   // 17
    virtual void LoadDefaultProfile() {}                // 17, with DefaultIni = 1
    virtual void InitialiseEffectPages() {}             // 18
    virtual void SendSpeakerBlock() {}                  // 19
    virtual void InitialiseMicrophonePage() {}          // 19
    virtual void LayoutSpeakers() {}                    // 20
    virtual void DumpLedRecord() {}                     // 21
    virtual void RefreshPageState() {}                  // 21
    virtual void SwitchBeeOff() {}                      // 23
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
    virtual void OnSpeakerTimer() {}
    virtual void OnBeeTimer() {}
    virtual void OnBeePlayTimer() {}

    // Presses on the feature pages, after the window's gates: the controls of tags 7..22, 47,
    // 49, 50, 52, 53 and 89.
    virtual void PressFeature(int32_t /*tag*/) {}
    // Handlers the window design names that belong to a feature (resets, LED, ENC, Voice
    // Magic, ...); `event` is the handler's name.
    virtual void HandleControlEvent(const std::wstring& /*event*/, Component& /*sender*/) {}
    // The Save, Load and About buttons of the header, on release.
    virtual void SaveButton() {}
    virtual void LoadButton() {}
    virtual void ShowAbout(const std::wstring& /*caption*/) {}
    // Hardware switches own these buttons while a GPIO press is not in progress.
    virtual bool GpioPressLocked(int32_t /*tag*/) { return false; }
    virtual int32_t VirtualSwitchState() { return 0; }
    virtual bool BeeChecked() { return false; }
    virtual void EnableMotionTimer() {}
    virtual bool EncSupported() { return false; }
    // Page switches.
    virtual void StopLevelMeter() {}
    virtual void StartLevelMeter() {}
    virtual void ShowVoiceMagic() {}
    virtual void ShowENC() {}
    // A skin change: the feature displays follow the new pictures; the speakers keep their
    // angles on a circle of another radius.
    virtual void RedrawFeatureDisplays() {}
    virtual void RescaleSpeakers(double /*ratio*/) {}
    // Controls of the LED page that show their Down picture.
    virtual bool LedControlDown(const Component& /*control*/) { return false; }

    // Sliders moved by the pointer; the window has placed them already.
    virtual void EqSliderMoved(int32_t /*band*/) {}
    virtual void D3SliderMoved(Component& /*slider*/) {}
    virtual void MicSliderMoved() {}
    virtual void EncSliderMoved() {}
    virtual void EncBarPressed(int32_t /*x*/, int32_t /*y*/) {}
    virtual void SpeakerMoved(Component& /*speaker*/, int32_t /*left*/, int32_t /*top*/) {}

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
