// The LED workers beside the window thread: rapid slider drags, effect clicks and speed changes
// while the headset is unplugged and plugged again, and the worker ended and started as removals
// and arrivals do. Afterwards the headset holds what the window shows, and everything joins. Run
// under ThreadSanitizer by scripts/test (preset native-tsan).
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <random>
#include <thread>

#include "app/features/Lighting.h"
#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

constexpr int kWindowSteps = 1500;

// Waits cost nothing but give the other threads their turn.
class YieldingClock final : public Clock {
public:
    void Sleep(uint32_t milliseconds) override {
        now_ += milliseconds;
        std::this_thread::yield();
    }
    uint64_t MonotonicMilliseconds() override { return now_; }

private:
    std::atomic<uint64_t> now_{0};
};

// The last request of a kind the headset received, as the trace shows it.
std::string LastLine(const std::vector<std::string>& traffic, const std::string& start) {
    for (auto line = traffic.rbegin(); line != traffic.rend(); ++line) {
        if (line->rfind(start, 0) == 0) return *line;
    }
    return {};
}

class LedWorkersStress : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        ledContext.emplace(FeatureContext{ledPlatform, ui, settings, sdk, *io, *discovery, window,
                                          image, windowConfig, context->audio, 6, L""});
    }
    void TearDown() override {
        StopPlugging();
        ledContext.reset();
        FeatureTest::TearDown();
    }
    // A thread that pulls the headset out and puts it back until told to stop.
    void StartPlugging() {
        plugger = std::thread([this] {
            while (!stopPlugging) {
                Face().unplug();
                std::this_thread::yield();
                Face().plug();
                std::this_thread::yield();
            }
        });
    }
    void StopPlugging() {
        stopPlugging = true;
        if (plugger.joinable()) plugger.join();
        Face().plug();
    }
    YieldingClock yieldingClock;
    Platform ledPlatform{profiles, registry, files, environment, yieldingClock, log};
    std::optional<FeatureContext> ledContext;
    std::thread plugger;
    std::atomic<bool> stopPlugging{false};
};

TEST_F(LedWorkersStress, DragsAndClicksWhileTheHeadsetComesAndGoes) {
    Lighting lighting(*ledContext);
    lighting.SetInitialState();
    lighting.SkinApplied();
    lighting.InitMultiColorLED();
    uint32_t handlesBefore = 99;
    Face().openHandleCount(&handlesBefore);
    StartPlugging();

    std::mt19937 random(15);
    const wchar_t* const sliders[] = {L"ColorBreatheSliderImage", L"ColorRainbowSliderImage",
                                      L"ColorPulsatingSliderImage"};
    for (int step = 0; step < kWindowSteps; ++step) {
        switch (random() % 8) {
            case 0:
            case 1: {
                Component& slider = window.Control(sliders[random() % 3]);
                lighting.Dragged(*FindControlRow(slider.name), slider,
                                 static_cast<int32_t>(random() % 400) + 400, slider.top);
                break;
            }
            case 2: lighting.SliderReleased(static_cast<LedEffect>(random() % 3)); break;
            case 3: lighting.ColorBreatheCheckImageClick(); break;
            case 4: lighting.ColorRainbowCheckImageClick(); break;
            case 5: lighting.ColorPulsatingCheckImageClick(); break;
            case 6: lighting.SignalEffectWorker(); break;
            default:
                // A removal ends the worker; the next activation starts another.
                lighting.ReleaseEffectWorker();
                lighting.InitMultiColorLED();
                break;
        }
    }
    StopPlugging();

    // The last word is the window's: rainbow at the speed of the slider's right end. A pass of
    // the worker may still come; it must not bring back an older state.
    Component& rainbow = window.Control(L"ColorRainbowSliderImage");
    lighting.Dragged(*FindControlRow(rainbow.name), rainbow, 5000, rainbow.top);
    lighting.ColorRainbowCheckImageClick();
    lighting.SignalEffectWorker();
    lighting.StopWorkers();
    EXPECT_FALSE(lighting.EffectWorkerRunning());

    EXPECT_EQ(lighting.State().m_nLEDEffect, 5);
    EXPECT_EQ(lighting.State().m_iLEDRainbowSpeed, 255);
    const std::vector<std::string> traffic = DeviceTraffic();
    EXPECT_EQ(LastLine(traffic, "sdk DLLZR_SetRGB_Mode_ById"),
              "sdk DLLZR_SetRGB_Mode_ById(target=58, led=0, mode=5, speed=255, tail=50, "
              "device=0) -> 0");
    EXPECT_EQ(LastLine(traffic, "sdk DLLZR_SetRGB_Color_ById"),
              "sdk DLLZR_SetRGB_Color_ById(target=58, led=1, slot=7, red=169, green=247, blue=9, "
              "tail=50, device=0) -> 0");
    uint32_t handles = 99;
    Face().openHandleCount(&handles);
    EXPECT_EQ(handles, handlesBefore) << "the LED requests hold no handle of their own";
}

TEST_F(LedWorkersStress, TheDialogsWorkerBesideRapidSpeedAndModeChanges) {
    TLEDForm form(sdk, yieldingClock, log, ui);
    ui.whileDialogShows = [&](Dialog& dialog) {
        StartPlugging();
        std::mt19937 random(10);
        auto index = [&](const wchar_t* name) {
            return static_cast<size_t>(dialog.Find(name) - dialog.controls.data());
        };
        const wchar_t* const bars[] = {L"TrackBarBlinking", L"TrackBarBreathe", L"TrackBarRainbow",
                                       L"TrackBarMultiBreathe", L"TrackBarSingleRandom"};
        const wchar_t* const radios[] = {L"RadioButtonOff",      L"RadioButtonOn",
                                         L"RadioButtonBlinking", L"RadioButtonBreathe",
                                         L"RadioButtonRainbow",  L"RadioButtonMultiBreathe",
                                         L"RadioButtonLED1",     L"RadioButtonAllLED",
                                         L"RadioButtonSlave",    L"RadioButtonMaster"};
        for (int step = 0; step < kWindowSteps; ++step) {
            if (random() % 3 == 0) {
                dialog.Press(index(radios[random() % 10]));
            } else {
                dialog.TrackBarMoved(index(bars[random() % 5]),
                                     static_cast<int32_t>(random() % 255) + 1);
            }
        }
        StopPlugging();
        // The last word is the window's: rainbow at speed 123, stored and then sent.
        dialog.Press(index(L"RadioButtonMaster"));
        dialog.Press(index(L"RadioButtonAllLED"));
        dialog.Press(index(L"RadioButtonRainbow"));
        dialog.TrackBarMoved(index(L"TrackBarRainbow"), 1);
        dialog.TrackBarMoved(index(L"TrackBarRainbow"), 123);
        dialog.Press(index(L"RadioButtonRainbow"));
    };
    form.ShowModal();
    form.StopWorker();
    EXPECT_FALSE(form.WorkerRunning());
    EXPECT_EQ(form.CurrentMode(), 5);
    EXPECT_EQ(LastLine(DeviceTraffic(), "sdk DLLZR_SetRGB_Mode("),
              "sdk DLLZR_SetRGB_Mode(target=58, led=0, mode=5, speed=123, tail=500) -> 0");
}

}  // namespace
}  // namespace tavrin
