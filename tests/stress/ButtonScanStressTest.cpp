// The hardware buttons under load: the virtual headset's scan thread fires thousands of reports
// while the test thread, playing the window thread, handles what is posted to it, and the
// headset is unplugged and plugged again meanwhile. Every report handled must follow the one
// before, every ENC press must toggle exactly once, and everything must stop cleanly. Run under
// ThreadSanitizer by scripts/test (preset native-tsan).
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "app/features/GpioButtons.h"
#include "common/SharedRegistry.h"
#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

constexpr int kReplugs = 20;
constexpr int kMostLineChanges = 10000;
constexpr uint32_t kEncLine = 2;

class ButtonScanStress : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        ui.queuePosts = true;
        windowConfig.gpioEnable.assign(kGpioLineCount, 0);
        windowConfig.gpioActive.fill(1);
        windowConfig.gpioFunction.fill(-1);
        enc.emplace(*context);
        buttons.emplace(*context, *enc);
    }
    void TearDown() override {
        buttons->Stop();
        FeatureTest::TearDown();
    }

    // The window thread: runs what the scan and the other threads post until they are done,
    // then what is left.
    void RunWindowThreadUntil(const std::atomic<bool>& done) {
        while (!done) ui.RunPosted(std::chrono::milliseconds(5));
        while (ui.RunPosted(std::chrono::milliseconds(200))) {
        }
    }
    // Flips `line` while another thread unplugs and plugs the headset kReplugs times; the
    // removal and the arrival reach the buttons on the window thread, as the window's would
    // (ENC keeps its switch across them here, so that every toggle can be followed).
    void StormWhileReplugging(uint32_t line, const std::function<void()>& arrival) {
        std::atomic<bool> replugged{false};
        std::thread presser([&] {
            for (int i = 0; i < kMostLineChanges && !replugged; ++i) {
                Face().setGpioLine(line, static_cast<uint32_t>(i % 2));
                if (i % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        std::thread plugger([&] {
            for (int cycle = 0; cycle < kReplugs; ++cycle) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                Face().unplug();
                ui.PostToWindowThread([this] { buttons->ResetAfterRemoval(); });
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                Face().plug();
                ui.PostToWindowThread(arrival);
            }
            replugged = true;
        });
        RunWindowThreadUntil(replugged);
        presser.join();
        plugger.join();
    }

    // The changed reports handled, as their debug lines give them: previous and current text.
    std::vector<std::pair<std::wstring, std::wstring>> HandledReports() {
        std::vector<std::pair<std::wstring, std::wstring>> handled;
        const std::vector<std::wstring>& lines = log.lines;
        for (size_t i = 0; i + 3 < lines.size(); ++i) {
            if (lines[i] == L"Previous = " && lines[i + 2] == L"Current = ") {
                handled.emplace_back(lines[i + 1], lines[i + 3]);
            }
        }
        return handled;
    }

    std::optional<EncVoiceMagic> enc;
    std::optional<GpioButtons> buttons;
};

TEST_F(ButtonScanStress, EveryEncPressTogglesOnceWhileTheHeadsetComesAndGoes) {
    windowConfig.encGpio = static_cast<int32_t>(kEncLine);
    windowConfig.encButtonMode = 1;
    REGINI_MGR::WriteSharedDword(registry, REGINI_MGR::kEncValueMapKeyName, L"VID_2B7A&PID_5801",
                                 10);
    enc->LoadENC();
    auto arm = [this] {
        if (buttons->SetUpEncLine()) buttons->ScanENCGPIO();
    };
    arm();
    ClearTraffic();
    StormWhileReplugging(kEncLine, arm);

    // Handled in order: each report follows the one handled before it, removals or not.
    const auto handled = HandledReports();
    ASSERT_GT(handled.size(), 100u) << "most reports reach the window thread";
    for (size_t i = 0; i < handled.size(); ++i) {
        EXPECT_NE(handled[i].first, handled[i].second) << i;
        if (i > 0) {
            EXPECT_EQ(handled[i].first, handled[i - 1].second) << i;
        }
    }
    // A press reads 0 on the line (report byte 2, mask 0x04); the first press is not counted.
    int expectedToggles = 0;
    for (size_t i = 1; i < handled.size(); ++i) {
        const std::wstring& current = handled[i].second;
        const unsigned byte2 = std::stoul(current.substr(current.find(L"= ") + 8, 2), nullptr, 16);
        if ((byte2 & 0x04) == 0) ++expectedToggles;
    }
    // The device saw one switch command per toggle (and one repetition when it was gone), each
    // the opposite of the one before.
    std::vector<std::string> states;
    const std::vector<std::string> traffic = DeviceTraffic();
    for (size_t i = 0; i < traffic.size(); ++i) {
        if (traffic[i].find("AudioCommand(code=4, sub=0") == std::string::npos) continue;
        states.push_back(traffic[i].substr(traffic[i].find("data=") + 5, 2));
        if (traffic[i].find("-> 0") == std::string::npos) ++i;  // its repetition
    }
    RecordProperty("handled_reports", static_cast<int>(handled.size()));
    RecordProperty("toggles", expectedToggles);
    ASSERT_EQ(static_cast<int>(states.size()), expectedToggles);
    for (size_t i = 0; i < states.size(); ++i) EXPECT_EQ(states[i], i % 2 == 0 ? "00" : "01") << i;
    EXPECT_EQ(settings.m_bENCEnable, expectedToggles % 2 == 0 ? 1 : 0);

    // Stopped, nothing more arrives.
    buttons->Stop();
    Face().setGpioLine(kEncLine, 1);
    Face().setGpioLine(kEncLine, 0);
    EXPECT_FALSE(ui.RunPosted(std::chrono::milliseconds(100)));
}

// A slide switch on virtual 7.1 in level mode: every change wakes the delayed press; wake-ups
// that come while one is pending make one press. No press is left after the stop.
TEST_F(ButtonScanStress, TheDelayedPressFollowsTheSwitchAndStopsCleanly) {
    constexpr uint32_t kSwitchLine = 4;
    windowConfig.gpioMode = 1;
    windowConfig.gpioButtonMode = 1;
    windowConfig.gpioEnable[kSwitchLine] = 1;
    windowConfig.gpioFunction[kSwitchLine] = 7;
    settings.m_iCurrentPage = page::kVirtual;
    int presses = 0;
    window.onPress = [&](std::wstring_view control) {
        EXPECT_EQ(control, L"VirtualEnableImage");
        EXPECT_FALSE(buttons->PressLocked(control_tag::kVirtualEnable));
        ++presses;
    };
    auto arrive = [this] {
        buttons->ScanENCGPIO();
        buttons->StartWorker();
    };
    arrive();
    StormWhileReplugging(kSwitchLine, arrive);

    const size_t dispatches = HandledReports().size();
    RecordProperty("dispatches", static_cast<int>(dispatches));
    RecordProperty("presses", presses);
    ASSERT_GT(dispatches, 100u);
    EXPECT_GE(presses, 1);
    EXPECT_LE(static_cast<size_t>(presses), dispatches);
    buttons->Stop();
    const int pressesAtStop = presses;
    EXPECT_FALSE(ui.RunPosted(std::chrono::milliseconds(300)));
    EXPECT_EQ(presses, pressesAtStop);
}

}  // namespace
}  // namespace tavrin
