#include "app/features/Microphone.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavrin {
namespace {

using namespace control_tag;

// Monitor modes: 1 listens (registers only to switch on), 2 is the loop-back test, 3 sets the
// registers and listens both ways, any other sets the registers only to switch off.
constexpr int32_t kMonitorModeListen = 1;
constexpr int32_t kMonitorModeLoopBack = 2;
constexpr int32_t kMonitorModeRegistersAndListen = 3;
constexpr uint8_t kMonitorSelect = 0x04;
constexpr uint8_t kRouteOn = 0x20;
constexpr uint8_t kRouteOff = 0x00;
constexpr int kMuteAttempts = 3;
constexpr uint32_t kMixerFullScale = 65535;
// The audio service reads the listen setting when it starts again.
constexpr uint32_t kListenSettleWait = 300;
constexpr int32_t kBarFirstStep = 10;
constexpr int32_t kBarStep = 4;

}  // namespace

int32_t LevelBarWidth(std::span<const uint8_t> samples, int32_t progressLength) {
    if (samples.empty() || progressLength < kBarFirstStep) return 0;
    uint64_t sum = 0;
    for (const uint8_t sample : samples) sum += static_cast<uint64_t>(std::abs(sample - 128));
    const int64_t average = static_cast<int64_t>(sum / samples.size());
    const int64_t level = (int64_t{progressLength} * 2 * average) >> 7;
    if (level == 0) return 0;
    const int64_t stepsThatFit = (progressLength - kBarFirstStep) / kBarStep + 1;
    return static_cast<int32_t>(kBarFirstStep + kBarStep * (std::min(level, stepsThatFit) - 1));
}

int32_t MicPercentFromTop(int32_t top, const SliderTravel& travel) {
    // A skin without travel has only a top and a bottom.
    if (travel.range <= 0) return top <= travel.top ? 100 : 0;
    return (travel.top + travel.range - top) * 100 / travel.range;
}

Microphone::Microphone(FeatureContext& context) : context_(context) {}

// ---- Construction, arrival, removal and close ----

void Microphone::ResetControls() {
    SettingsModel& s = context_.settings;
    s.m_bMicBoost = 0;
    s.m_bMicMute = 0;
    context_.window.ShowButton(kMicBoost, false);
    context_.window.ShowButton(kMicMute, false);
    if (Component* bar = context_.window.Form().Find(L"MicProgressImage")) bar->width = 0;
}

void Microphone::SetUpOnce() {
    if (setUpDone_) return;
    if (EndpointPath()) {
        heldEndpoint_.emplace(context_.audio.audio, context_.discovery.ActiveVendorId(),
                              context_.discovery.ActiveProductId());
        if (!*heldEndpoint_) {
            heldEndpoint_.reset();
            return;
        }
    }
    StartLevelMeter();
    ReadMicGain();
    ReadMicSwitches();
    if (context_.settings.m_iCurrentPage != page::kMic) StopLevelMeter();
    setUpDone_ = true;
}

void Microphone::ReleaseEndpoint() {
    heldEndpoint_.reset();
}

void Microphone::ClearMonitorState() {
    StopLoopBack();
    ShowMonitorOff();
}

void Microphone::ForgetCapture() {
    StopLevelMeter();
    ReleaseEndpoint();
}

void Microphone::Close() {
    StopLevelMeter();
    StopLoopBack();
}

// The model shows everything off; the set-up runs again at the next arrival.
void Microphone::ResetAfterRemoval() {
    StopLoopBack();
    context_.settings.m_bMicMute = 0;
    context_.settings.m_bMicMonitor = 0;
    context_.window.ShowButton(kMicMute, false);
    context_.window.ShowButton(kMicMonitor, false);
    setUpDone_ = false;
}

// ---- Level, boost and mute on Windows' side ----

HeldCaptureEndpoint Microphone::Endpoint() {
    return HeldCaptureEndpoint(context_.audio.audio, context_.discovery.ActiveVendorId(),
                               context_.discovery.ActiveProductId());
}

int Microphone::MixerCall(MixerOperation operation, uint32_t& value) {
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    return MixerControl(context_.audio.audio, operation, value, minimum, maximum,
                        context_.discovery.ActiveVendorId(), context_.discovery.ActiveProductId());
}

void Microphone::SetMicGain(int32_t percent) {
    if (!EndpointPath()) {
        uint32_t value = static_cast<uint32_t>(percent) * kMixerFullScale / 100;
        MixerCall(MixerOperation::SetVolume, value);
        return;
    }
    const HeldCaptureEndpoint endpoint = Endpoint();
    if (!endpoint) return;
    context_.platform.debugLog.Write(L" " + std::to_wstring(percent) + L"\n");
    SetEndpointLevel(context_.audio.audio, *endpoint, percent);
}

void Microphone::ReadMicGain() {
    int percent = 0;
    if (EndpointPath()) {
        const HeldCaptureEndpoint endpoint = Endpoint();
        if (!endpoint) return;
        if (GetEndpointLevel(context_.audio.audio, *endpoint, percent) != kEndpointDone) return;
    } else {
        uint32_t volume = 0;
        uint32_t minimum = 0;
        uint32_t maximum = 0;
        if (MixerControl(context_.audio.audio, MixerOperation::GetVolume, volume, minimum, maximum,
                         context_.discovery.ActiveVendorId(),
                         context_.discovery.ActiveProductId()) != kMixerDone ||
            maximum <= minimum) {
            return;
        }
        percent = static_cast<int>(static_cast<double>(volume) / (maximum - minimum) * 100.0);
    }
    ShowMicGain(percent);
}

// The value, the slider at its place in the travel, and the filled bar up to the slider.
void Microphone::ShowMicGain(int32_t percent) {
    context_.settings.m_iMicGain = percent;
    FormModel& form = context_.window.Form();
    if (Component* value = form.Find(L"MicValueLabel")) value->caption = std::to_wstring(percent);
    Component* slider = form.FindByTag(ComponentKind::Image, kMicSlider);
    if (slider == nullptr) return;
    const SliderTravel travel = context_.window.MicSliderTravel();
    const uint32_t range = static_cast<uint32_t>(std::max(travel.range, 0));
    const uint32_t offset = range - static_cast<uint32_t>(percent) * range / 100;
    slider->top = WithinTravel(travel.top + static_cast<int32_t>(offset), travel);
    if (Component* filled = form.Find(L"MicBarDownImage")) {
        filled->autoSize = false;
        filled->height = std::max(0, slider->top + slider->height - filled->top);
    }
}

void Microphone::ShowSwitch(int32_t tag, int32_t& member, bool on) {
    member = on ? 1 : 0;
    context_.window.ShowButton(tag, on);
}

// Boost first, then mute; a read that fails ends it there.
void Microphone::ReadMicSwitches() {
    SettingsModel& s = context_.settings;
    bool boost = false;
    bool mute = false;
    if (EndpointPath()) {
        const HeldCaptureEndpoint endpoint = Endpoint();
        if (!endpoint) return;
        Audio& audio = context_.audio.audio;
        if (GetEndpointGainControl(audio, *endpoint, boost) != kEndpointDone) return;
        ShowSwitch(kMicBoost, s.m_bMicBoost, boost);
        if (GetEndpointMute(audio, *endpoint, mute) != kAudioOk) return;
        ShowSwitch(kMicMute, s.m_bMicMute, mute);
        return;
    }
    // The mixer's input selector stands for the boost.
    uint32_t value = 0;
    if (MixerCall(MixerOperation::GetInputSelector, value) != kMixerDone) return;
    ShowSwitch(kMicBoost, s.m_bMicBoost, value != 0);
    if (MixerCall(MixerOperation::GetMute, value) != kMixerDone) return;
    ShowSwitch(kMicMute, s.m_bMicMute, value != 0);
}

void Microphone::SetMicMute(int32_t state) {
    if (!EndpointPath()) {
        uint32_t value = state != 0 ? 1 : 0;
        MixerCall(MixerOperation::SetMute, value);
        return;
    }
    const HeldCaptureEndpoint endpoint = Endpoint();
    if (!endpoint) return;
    for (int attempt = 0; attempt < kMuteAttempts; ++attempt) {
        if (SetEndpointMute(context_.audio.audio, *endpoint, state != 0) == kAudioOk) return;
    }
}

void Microphone::SetMicBoost(int32_t state) {
    if (!EndpointPath()) {
        uint32_t value = state != 0 ? 1 : 0;
        MixerCall(MixerOperation::SetInputSelector, value);
        return;
    }
    const HeldCaptureEndpoint endpoint = Endpoint();
    if (endpoint) SetEndpointGainControl(context_.audio.audio, *endpoint, state != 0);
}

// ---- Monitor ----

void Microphone::RegisterRead(uint16_t address) {
    uint8_t value = 0;
    WithSingleRetry([&] {
        return context_.sdk.Invoke<&VendorSdkTable::DLLZR_Read_Register_ById>(address, &value,
                                                                              kActiveDeviceIndex);
    });
}

void Microphone::RegisterWrite(uint16_t address, uint8_t value) {
    WithSingleRetry([&] {
        return context_.sdk.Invoke<&VendorSdkTable::DLLZR_Write_Register_ById>(address, value,
                                                                               kActiveDeviceIndex);
    });
}

// The value read is not used: the read comes first all the same.
void Microphone::MonitorRegisters(uint8_t route) {
    RegisterRead(kMonitorRegister);
    RegisterWrite(kMonitorRegister, kMonitorSelect);
    RegisterWrite(kMonitorRouteRegister, route);
}

void Microphone::ListenToDevice(bool on) {
    SetListenToDevice(context_.platform.registry, on, context_.discovery.ActiveVendorId(),
                      context_.discovery.ActiveProductId());
}

void Microphone::SetMicMonitor(int32_t state) {
    const int32_t mode = context_.settings.m_iMicMonitorMode;
    if (mode == kMonitorModeLoopBack) {
        if (state != 0) {
            StartLoopBack();
        } else {
            StopLoopBack();
        }
        return;
    }
    if (state != 0) {
        MonitorRegisters(kRouteOn);
        ListenToDevice(true);
        return;
    }
    if (mode != kMonitorModeListen) MonitorRegisters(kRouteOff);
    if (mode == kMonitorModeListen || mode == kMonitorModeRegistersAndListen) ListenToDevice(false);
}

void Microphone::ShowMonitorOff() {
    context_.settings.m_bMicMonitor = 0;
    context_.window.ShowButton(kMicMonitor, false);
}

// The test records into one long buffer and, once a second from the window's timer, plays it
// back from the start; nothing waits on the window thread.
void Microphone::StartLoopBack() {
    if (loopBack_ != nullptr) return;
    std::unique_ptr<WaveRecording> recording;
    if (context_.audio.audio.OpenRecording(kLoopBackFormat, kLoopBackBufferBytes, 1, nullptr,
                                           context_.ui, recording) != kAudioOk) {
        ShowMonitorOff();
        return;
    }
    // No file to keep the recording in: the test ends before it starts.
    if (!context_.platform.files.ReplaceFileAtomically(kLoopBackFileName, {})) {
        ShowMonitorOff();
        return;
    }
    if (recording->Start() != kAudioOk) {
        context_.platform.files.RemoveFile(kLoopBackFileName);
        ShowMonitorOff();
        return;
    }
    loopBack_ = std::move(recording);
    context_.ui.SetTimer(TimerId::LoopBack, kLoopBackInterval, true);
}

void Microphone::PlayLoopBack() {
    if (loopBack_ == nullptr) return;
    loopBackPlayback_.reset();
    context_.audio.audio.Play(kLoopBackFormat, loopBack_->Contents(0), loopBackPlayback_);
}

void Microphone::StopLoopBack() {
    if (loopBack_ == nullptr) return;
    context_.ui.SetTimer(TimerId::LoopBack, kLoopBackInterval, false);
    loopBack_->Stop();
    std::vector<uint8_t> recorded = loopBack_->Contents(0);
    recorded.resize(std::min<size_t>(recorded.size(), loopBack_->BytesRecorded(0)));
    loopBack_.reset();
    FileSystem& files = context_.platform.files;
    files.ReplaceFileAtomically(kLoopBackFileName, recorded);
    loopBackPlayback_.reset();
    files.RemoveFile(kLoopBackFileName);
}

// ---- The level meter ----

void Microphone::StartLevelMeter() {
    if (meter_ != nullptr) return;
    std::unique_ptr<WaveRecording> recording;
    if (context_.audio.audio.OpenRecording(kLevelMeterFormat, kLevelMeterBufferBytes,
                                           kLevelMeterBufferCount, this, context_.ui,
                                           recording) != kAudioOk ||
        recording->Start() != kAudioOk) {
        return;
    }
    meter_ = std::move(recording);
}

void Microphone::StopLevelMeter() {
    meter_.reset();
}

void Microphone::BufferFilled(std::span<const uint8_t> samples) {
    Component* bar = context_.window.Form().Find(L"MicProgressImage");
    if (bar == nullptr) return;
    bar->width = LevelBarWidth(samples, context_.window.MicProgressLength());
    context_.window.Repaint();
}

// ---- The controls ----

void Microphone::Press(const ControlRow& row, Component&) {
    SettingsModel& s = context_.settings;
    auto toggle = [](int32_t& member) { return member = member == 0 ? 1 : 0; };
    switch (row.tag) {
        case kMicBoost:
            context_.window.ShowButton(kMicBoost, toggle(s.m_bMicBoost) == 1);
            SetMicBoost(s.m_bMicBoost);
            break;
        case kMicMute:
            context_.window.ShowButton(kMicMute, toggle(s.m_bMicMute) == 1);
            SetMicMute(s.m_bMicMute);
            break;
        case kMicMonitor:
            context_.window.ShowButton(kMicMonitor, toggle(s.m_bMicMonitor) == 1);
            SetMicMonitor(s.m_bMicMonitor);
            break;
        default: return;
    }
    context_.window.Repaint();
}

// The hidden listen box: the setting, then the audio service started again to apply it.
void Microphone::Click(const ControlRow&, Component& sender) {
    if (sender.name != L"ListenToDeviceCheckBox") return;
    ListenToDevice(sender.checked);
    RestartAudioService(context_.audio.services, context_.platform.clock);
    context_.platform.clock.Sleep(kListenSettleWait);
}

bool Microphone::IsDown(const ControlRow& row) const {
    const SettingsModel& s = context_.settings;
    switch (row.tag) {
        case kMicBoost: return s.m_bMicBoost != 0;
        case kMicMute: return s.m_bMicMute != 0;
        case kMicMonitor: return s.m_bMicMonitor != 0;
        default: return false;
    }
}

void Microphone::BarPressed(const ControlRow&, Component&, int32_t, int32_t y) {
    Component* slider = context_.window.Form().FindByTag(ComponentKind::Image, kMicSlider);
    if (slider == nullptr) return;
    slider->top = WithinTravel(y - slider->height / 2, context_.window.MicSliderTravel());
    SliderMoved(*slider);
}

void Microphone::Dragged(const ControlRow&, Component& slider, int32_t, int32_t top) {
    slider.top = WithinTravel(top, context_.window.MicSliderTravel());
    SliderMoved(slider);
}

void Microphone::SliderMoved(const Component& slider) {
    SetMicGain(MicPercentFromTop(slider.top, context_.window.MicSliderTravel()));
    ReadMicGain();
    context_.window.Repaint();
}

void Microphone::PageTabPressed(int32_t tabPage) {
    if (tabPage != page::kMic) {
        StopLevelMeter();
        return;
    }
    context_.ui.ProcessPendingMessages();
    StartLevelMeter();
}

void Microphone::OnTimer(TimerId timer) {
    if (timer == TimerId::LoopBack) PlayLoopBack();
}

}  // namespace tavrin
