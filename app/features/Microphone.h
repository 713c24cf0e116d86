#pragma once
// The microphone page: the level slider, Mic Boost and Mic Mute on Windows' capture endpoint of
// the device (the mixer before Vista), Monitor through two device registers and the
// listen-to-this-device setting (or a loop-back test), and the live level bar.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "app/device/audio/AudioEndpoint.h"
#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

inline constexpr WaveFormat kLevelMeterFormat{1, 8000, 8, 1, 8000};
inline constexpr uint32_t kLevelMeterBufferBytes = 400;
inline constexpr uint32_t kLevelMeterBufferCount = 2;
inline constexpr WaveFormat kLoopBackFormat{1, 8000, 16, 2, 16000};
inline constexpr uint32_t kLoopBackBufferBytes = 0x100000;
inline constexpr uint32_t kLoopBackInterval = 1000;
// Written in the current directory while the loop-back test runs.
inline constexpr wchar_t kLoopBackFileName[] = L"RecordTest.pcm";
inline constexpr uint16_t kMonitorRegister = 0x200;
inline constexpr uint16_t kMonitorRouteRegister = 0x230;

// The level bar's width for a buffer of 8-bit samples: nothing for silence, else 10 pixels and 4
// more per step of level, as many steps as fit in the bar.
int32_t LevelBarWidth(std::span<const uint8_t> samples, int32_t progressLength);
// The level in percent of a slider top: 100 at the top of its travel, 0 at the bottom.
int32_t MicPercentFromTop(int32_t top, const SliderTravel& travel);

class Microphone final : public FeatureUnit, private RecordingSink {
public:
    explicit Microphone(FeatureContext& context);

    // Boost and mute shown off, the level bar empty.
    void ResetControls();
    // The one-time set-up, when the device's endpoint can be had (or on the mixer path): the level
    // meter started, the level and the switches read, and the meter closed again unless the page
    // is shown. The endpoint stays held until ReleaseEndpoint.
    void SetUpOnce();
    void ReleaseEndpoint();
    bool SetUpDone() const { return setUpDone_; }
    // Monitor off in the model and on the page; a running loop-back test ends.
    void ClearMonitorState();
    // The device's handle is gone: so is the capture.
    void ForgetCapture();
    // Window close: the meter and the loop-back test end.
    void Close();

    void SetMicGain(int32_t percent);
    void ReadMicGain();
    void ReadMicSwitches();
    void SetMicMute(int32_t state);
    void SetMicBoost(int32_t state);
    void SetMicMonitor(int32_t state);
    void StartLevelMeter();
    void StopLevelMeter();
    bool LevelMeterRunning() const { return meter_ != nullptr; }
    bool LoopBackRunning() const { return loopBack_ != nullptr; }

    void Press(const ControlRow& row, Component& sender) override;
    void Click(const ControlRow& row, Component& sender) override;
    bool IsDown(const ControlRow& row) const override;
    void BarPressed(const ControlRow& row, Component& bar, int32_t x, int32_t y) override;
    void Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t top) override;
    void PageTabPressed(int32_t tabPage) override;
    void OnTimer(TimerId timer) override;
    void ResetAfterRemoval() override;

private:
    void BufferFilled(std::span<const uint8_t> samples) override;

    // Vista and later reach the endpoint, older systems the mixer.
    bool EndpointPath() const { return context_.operatingSystemClass == 6; }
    HeldCaptureEndpoint Endpoint();
    int MixerCall(MixerOperation operation, uint32_t& value);
    void ShowMicGain(int32_t percent);
    void ShowSwitch(int32_t tag, int32_t& member, bool on);
    void SliderMoved(const Component& slider);

    void RegisterRead(uint16_t address);
    void RegisterWrite(uint16_t address, uint8_t value);
    void MonitorRegisters(uint8_t route);
    void ListenToDevice(bool on);
    void StartLoopBack();
    void StopLoopBack();
    void PlayLoopBack();
    void ShowMonitorOff();

    FeatureContext& context_;
    // Declared before the recordings, so that they end before the endpoint and COM do.
    std::optional<HeldCaptureEndpoint> heldEndpoint_;
    bool setUpDone_ = false;
    std::unique_ptr<WaveRecording> meter_;
    std::unique_ptr<WaveRecording> loopBack_;
    std::unique_ptr<WavePlayback> loopBackPlayback_;
};

}  // namespace tavrin
