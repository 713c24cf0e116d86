#include "app/features/Microphone.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/device/audio/FakeAudio.h"
#include "tests/support/FeatureFixture.h"
#include "tests/support/ForwardingFileSystem.h"

namespace tavrin {
namespace {

using namespace control_tag;
using Lines = std::vector<std::string>;

constexpr RegistryHive kHklm = RegistryHive::LocalMachine;
constexpr RegistryView kView64 = RegistryView::Native64;
constexpr wchar_t kEndpointKey[] = L"{0.0.1.00000000}.{headset}";

// The files the loop-back test touches, in order ("write RecordTest.pcm 6", "remove ...").
class LoggingFiles final : public test::ForwardingFileSystem {
public:
    explicit LoggingFiles(FileSystem& files) : ForwardingFileSystem(files) {}
    bool RemoveFile(const std::wstring& path) override {
        calls.push_back(L"remove " + path);
        return ForwardingFileSystem::RemoveFile(path);
    }
    bool ReplaceFileAtomically(const std::wstring& path,
                               const std::vector<uint8_t>& contents) override {
        calls.push_back(L"write " + path + L" " + std::to_wstring(contents.size()));
        return ForwardingFileSystem::ReplaceFileAtomically(path, contents);
    }
    std::vector<std::wstring> calls;
};

class MicrophoneTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        micContext.emplace(FeatureContext{micPlatform, ui, settings, sdk, *io, *discovery, window,
                                          image, windowConfig, context->audio, 6, L""});
        mic.emplace(*micContext);
        // The headset's capture endpoint in the audio registry, listening off.
        const std::wstring properties = Properties();
        registry.CreateKey(kHklm, properties, kView64);
        registry.SetValue(kHklm, properties, L"{233164c8-1b2c-4c7d-bc68-b671687a2567},1",
                          MakeStringValue(L"{1}.usb\\vid_2b7a&pid_5801&mi_00#7&1f2e#{x}"), kView64);
    }
    static std::wstring Properties() {
        return std::wstring(kCaptureDevicesKey) + L"\\" + kEndpointKey + L"\\Properties";
    }
    // The listen setting of the headset's endpoint: "" never written, else "on" or "off".
    std::string Listening() {
        RegistryValue value;
        if (registry.QueryValue(kHklm, Properties(), L"{24dbb0fc-9311-4b3d-9cf0-18ff155639d4},1",
                                value, kView64) != 0) {
            return "";
        }
        return value.data.size() > 8 && value.data[8] == 0xFF ? "on" : "off";
    }
    const ControlRow& Row(int32_t tag) { return *FindControlRowByTag(tag); }
    void Press(int32_t tag) {
        mic->Press(Row(tag), *window.form.FindByTag(ComponentKind::Image, tag));
    }
    // The register traffic: "read 0x0200", "0x0230 := 0x20".
    Lines Registers() {
        Lines registers;
        for (const std::string& line : DeviceTraffic()) {
            const size_t open = line.find('(');
            const std::string name = line.substr(4, open - 4);
            const std::string address = line.substr(open + 9, 6);
            if (name == "DLLZR_Read_Register_ById") {
                registers.push_back("read " + address);
            } else if (name == "DLLZR_Write_Register_ById") {
                const size_t value = line.find("value=") + 6;
                registers.push_back(address + " := " + line.substr(value, 4));
            }
        }
        return registers;
    }
    Component& Slider() { return window.Control(L"MicSliderImage"); }
    // The virtual headset's trace lines of one bus-face function.
    Lines BusCalls(const std::string& name) {
        const std::wstring path = folder.Path() + L"bus-trace.txt";
        Face().writeTrace(path.c_str());
        std::ifstream file(folder.HostPath() / "bus-trace.txt");
        Lines calls;
        for (std::string line; std::getline(file, line);) {
            if (line.find(" bus " + name + "(") != std::string::npos) calls.push_back(line);
        }
        return calls;
    }

    LoggingFiles loggingFiles{files};
    Platform micPlatform{profiles, registry, loggingFiles, environment, clock, log};
    std::optional<FeatureContext> micContext;
    std::optional<Microphone> mic;
};

// ---- The level: slider, bar and endpoint ----

TEST(MicrophoneSlider, PercentFromTheSliderTop) {
    const SliderTravel travel{208, 120};
    EXPECT_EQ(MicPercentFromTop(208, travel), 100);
    EXPECT_EQ(MicPercentFromTop(268, travel), 50);
    EXPECT_EQ(MicPercentFromTop(328, travel), 0);
    EXPECT_EQ(MicPercentFromTop(209, travel), 99);
    EXPECT_EQ(MicPercentFromTop(300, SliderTravel{300, 0}), 100) << "no travel: top or bottom";
    EXPECT_EQ(MicPercentFromTop(301, SliderTravel{300, 0}), 0);
}

TEST_F(MicrophoneTest, TheSliderSetsTheEndpointAndShowsWhatItReads) {
    const ControlRow& row = *FindControlRow(Slider());
    mic->Dragged(row, Slider(), Slider().left, 268);
    EXPECT_EQ(settings.m_iMicGain, 50);
    EXPECT_EQ(Slider().top, 268);
    EXPECT_EQ(window.Control(L"MicValueLabel").caption, L"50");
    EXPECT_TRUE(log.Contains(L" 50\n"));
    // The filled bar reaches down to the slider's bottom.
    const Component& filled = window.Control(L"MicBarDownImage");
    EXPECT_FALSE(filled.autoSize);
    EXPECT_EQ(filled.top + filled.height, 268 + Slider().height);

    mic->Dragged(row, Slider(), Slider().left, 100);
    EXPECT_EQ(Slider().top, 208) << "held in the travel";
    EXPECT_EQ(settings.m_iMicGain, 100);
    // A press on the bar puts the slider's middle on the pointer.
    mic->BarPressed(*FindControlRow(window.Control(L"MicBarImage")), window.Control(L"MicBarImage"),
                    540, 328 + Slider().height / 2);
    EXPECT_EQ(settings.m_iMicGain, 0);
    EXPECT_EQ(Slider().top, 328);
}

TEST(MicrophoneLevelBar, WidthFromOneBufferOfSamples) {
    const struct {
        const char* what;
        std::vector<uint8_t> samples;
        int32_t length;
        int32_t width;
    } cases[] = {
        {"silence", std::vector<uint8_t>(400, 128), 203, 0},
        {"full scale: 49 steps",
         [] {
             std::vector<uint8_t> v(400, 0);
             for (size_t i = 0; i < v.size(); i += 2) v[i] = 255;
             return v;
         }(),
         203, 202},
        {"a = 1 gives level 3", std::vector<uint8_t>(400, 129), 203, 18},
        {"a = 1 in a short bar: level 0", std::vector<uint8_t>(400, 129), 60, 0},
        {"a bar too short for one step", std::vector<uint8_t>(400, 0), 9, 0},
        {"nothing recorded", {}, 203, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LevelBarWidth(c.samples, c.length), c.width) << c.what;
    }
}

TEST_F(MicrophoneTest, TheMeterRunsWhileTheMicPageShows) {
    mic->PageTabPressed(page::kMic);
    ASSERT_TRUE(mic->LevelMeterRunning());
    EXPECT_EQ(wave.calls, Lines{"recording 8 bits 400x2"});
    EXPECT_TRUE(wave.started);
    ASSERT_NE(wave.sink, nullptr);
    std::vector<uint8_t> loud(400, 0);
    for (size_t i = 0; i < loud.size(); i += 2) loud[i] = 255;
    wave.sink->BufferFilled(loud);
    EXPECT_EQ(window.Control(L"MicProgressImage").width, 202);
    wave.sink->BufferFilled(std::vector<uint8_t>(400, 128));
    EXPECT_EQ(window.Control(L"MicProgressImage").width, 0);

    mic->PageTabPressed(page::kMic);
    EXPECT_EQ(wave.openRecordings, 1) << "one capture, however often the tab is pressed";
    mic->PageTabPressed(page::kVirtual);
    EXPECT_FALSE(mic->LevelMeterRunning());
    EXPECT_EQ(wave.openRecordings, 0);
}

// ---- Boost and mute ----

TEST_F(MicrophoneTest, BoostAndMuteActOnTheEndpoint) {
    Press(kMicBoost);
    Press(kMicMute);
    EXPECT_EQ(settings.m_bMicBoost, 1);
    EXPECT_EQ(settings.m_bMicMute, 1);
    const std::vector<std::pair<int32_t, bool>> looks = {{kMicBoost, true}, {kMicMute, true}};
    EXPECT_EQ(window.buttonStates, looks);
    int32_t flag = -1;
    Face().getCaptureMute(&flag);
    EXPECT_EQ(flag, 1);
    Face().getCaptureAutoGain(&flag);
    EXPECT_EQ(flag, 1);
    Press(kMicBoost);
    Face().getCaptureAutoGain(&flag);
    EXPECT_EQ(flag, 0);
}

// The endpoint's mute is the one call tried again: up to three times in all.
TEST_F(MicrophoneTest, MuteIsTriedThreeTimes) {
    const struct {
        int failures;
        size_t calls;
        int32_t muted;
    } cases[] = {{0, 1, 1}, {2, 3, 1}, {3, 3, 0}};
    for (const auto& c : cases) {
        Face().setCaptureMute(0);
        settings.m_bMicMute = 0;
        if (c.failures > 0) Script(L"fail SetCaptureMute " + std::to_wstring(c.failures));
        ClearTraffic();
        Press(kMicMute);
        EXPECT_EQ(BusCalls("SetCaptureMute").size(), c.calls) << c.failures << " failures";
        int32_t muted = -1;
        Face().getCaptureMute(&muted);
        EXPECT_EQ(muted, c.muted) << c.failures << " failures";
        EXPECT_EQ(settings.m_bMicMute, 1) << "the model keeps the new state";
    }
}

TEST_F(MicrophoneTest, ReadingTheSwitchesShowsWhatTheEndpointHolds) {
    Face().setCaptureMute(1);
    Face().setCaptureAutoGain(0);
    mic->ReadMicSwitches();
    EXPECT_EQ(settings.m_bMicBoost, 0);
    EXPECT_EQ(settings.m_bMicMute, 1);
    // A failed boost read stops before the mute.
    Face().setCaptureMute(0);
    Script(L"fail GetCaptureAutoGain 1");
    mic->ReadMicSwitches();
    EXPECT_EQ(settings.m_bMicMute, 1);
}

// ---- Monitor ----

struct MonitorCase {
    const char* what;
    int32_t mode;
    Lines on;
    std::string listenOn;
    Lines off;
    std::string listenOff;
};

void PrintTo(const MonitorCase& c, std::ostream* out) {
    *out << c.what;
}

class MonitorModeTest : public MicrophoneTest, public ::testing::WithParamInterface<MonitorCase> {};

TEST_P(MonitorModeTest, RegistersAndListeningOfTheMode) {
    settings.m_iMicMonitorMode = GetParam().mode;
    Press(kMicMonitor);
    EXPECT_EQ(settings.m_bMicMonitor, 1);
    EXPECT_EQ(Registers(), GetParam().on);
    EXPECT_EQ(Listening(), GetParam().listenOn);
    ClearTraffic();
    Press(kMicMonitor);
    EXPECT_EQ(settings.m_bMicMonitor, 0);
    EXPECT_EQ(Registers(), GetParam().off);
    EXPECT_EQ(Listening(), GetParam().listenOff);
}

const Lines kRegistersOn = {"read 0x0200", "0x0200 := 0x04", "0x0230 := 0x20"};
const Lines kRegistersOff = {"read 0x0200", "0x0200 := 0x04", "0x0230 := 0x00"};

const MonitorCase kMonitorCases[] = {
    {"mode 1: registers to switch on, listening both ways", 1, kRegistersOn, "on", {}, "off"},
    {"mode 3: registers and listening both ways", 3, kRegistersOn, "on", kRegistersOff, "off"},
    {"mode 0: registers both ways, listening only on", 0, kRegistersOn, "on", kRegistersOff, "on"},
    {"mode 7: as mode 0", 7, kRegistersOn, "on", kRegistersOff, "on"},
};

INSTANTIATE_TEST_SUITE_P(Table, MonitorModeTest, ::testing::ValuesIn(kMonitorCases),
                         [](const auto& info) { return "Mode" + std::to_string(info.index); });

TEST_F(MicrophoneTest, EachRegisterCallIsRepeatedOnceWhenItFails) {
    Script(L"fail DLLZR_Read_Register_ById 1\nfail DLLZR_Write_Register_ById 1");
    Press(kMicMonitor);
    EXPECT_EQ(Registers(), (Lines{"read 0x0200", "read 0x0200", "0x0200 := 0x04", "0x0200 := 0x04",
                                  "0x0230 := 0x20"}));
    Script(L"fail DLLZR_Write_Register_ById 2");
    ClearTraffic();
    settings.m_iMicMonitorMode = 3;
    Press(kMicMonitor);
    EXPECT_EQ(Registers(),
              (Lines{"read 0x0200", "0x0200 := 0x04", "0x0200 := 0x04", "0x0230 := 0x00"}))
        << "the repetition's own failure is not repeated";
}

// ---- The loop-back test ----

TEST_F(MicrophoneTest, TheLoopBackTestLeavesTheWindowThreadFree) {
    settings.m_iMicMonitorMode = 2;
    Press(kMicMonitor);
    // Started and back at once: the recording runs on the device, a timer plays it back.
    ASSERT_TRUE(mic->LoopBackRunning());
    EXPECT_EQ(wave.calls, Lines{"recording 16 bits 1048576x1"});
    EXPECT_TRUE(wave.started);
    EXPECT_EQ(wave.sink, nullptr);
    EXPECT_EQ(ui.timers[static_cast<size_t>(TimerId::LoopBack)], kLoopBackInterval);
    EXPECT_TRUE(clock.waits.empty()) << "nothing waited";
    EXPECT_EQ(loggingFiles.calls, (std::vector<std::wstring>{L"write RecordTest.pcm 0"}));
    EXPECT_TRUE(Registers().empty());

    // Each second the recording so far plays, the last playback ended first.
    mic->OnTimer(TimerId::LoopBack);
    mic->OnTimer(TimerId::LoopBack);
    EXPECT_EQ(wave.playedSizes, (std::vector<size_t>{kLoopBackBufferBytes, kLoopBackBufferBytes}));
    EXPECT_EQ(wave.openPlaybacks, 1);
    EXPECT_TRUE(clock.waits.empty());

    // Stopped: what was recorded goes into the file, which is then deleted.
    wave.bytesRecorded = 32000;
    Press(kMicMonitor);
    EXPECT_FALSE(mic->LoopBackRunning());
    EXPECT_TRUE(wave.stopped);
    EXPECT_EQ(wave.openRecordings, 0);
    EXPECT_EQ(wave.openPlaybacks, 0);
    EXPECT_EQ(ui.timers[static_cast<size_t>(TimerId::LoopBack)], 0u);
    EXPECT_EQ(loggingFiles.calls,
              (std::vector<std::wstring>{L"write RecordTest.pcm 0", L"write RecordTest.pcm 32000",
                                         L"remove RecordTest.pcm"}));
    EXPECT_FALSE(files.FileExists(kLoopBackFileName));
}

TEST_F(MicrophoneTest, ALoopBackFileThatCannotBeWrittenEndsTheTestCleanly) {
    settings.m_iMicMonitorMode = 2;
    files.CreateFolder(kLoopBackFileName);  // a folder of that name: the file cannot be opened
    Press(kMicMonitor);
    EXPECT_FALSE(mic->LoopBackRunning());
    EXPECT_EQ(settings.m_bMicMonitor, 0);
    EXPECT_EQ(window.buttonStates.back(), (std::pair<int32_t, bool>{kMicMonitor, false}));
    EXPECT_EQ(wave.openRecordings, 0);
    EXPECT_EQ(ui.timers[static_cast<size_t>(TimerId::LoopBack)], 0u);
    // Nor does a capture device that will not open leave anything behind.
    wave.openResult = kAudioNoWaveDevice;
    Press(kMicMonitor);
    EXPECT_EQ(settings.m_bMicMonitor, 0);
}

TEST_F(MicrophoneTest, RemovalEndsTheLoopBackTestAndTheSetUp) {
    mic->SetUpOnce();
    EXPECT_TRUE(mic->SetUpDone());
    settings.m_iMicMonitorMode = 2;
    Press(kMicMonitor);
    mic->ResetAfterRemoval();
    EXPECT_FALSE(mic->LoopBackRunning());
    EXPECT_FALSE(mic->SetUpDone());
    EXPECT_EQ(settings.m_bMicMonitor, 0);
}

// ---- Set-up ----

TEST_F(MicrophoneTest, TheSetUpReadsTheEndpointOnceAndClosesTheMeterOffThePage) {
    Face().setCaptureMute(1);
    mic->SetUpOnce();
    EXPECT_TRUE(mic->SetUpDone());
    EXPECT_EQ(settings.m_iMicGain, 50);
    EXPECT_EQ(settings.m_bMicMute, 1);
    EXPECT_EQ(wave.calls, Lines{"recording 8 bits 400x2"});
    EXPECT_FALSE(mic->LevelMeterRunning()) << "page 1 shows";
    mic->SetUpOnce();
    EXPECT_EQ(wave.calls.size(), 1u);

    // On the Mic page the meter stays; without the headset's endpoint nothing runs.
    mic.emplace(*micContext);
    settings.m_iCurrentPage = page::kMic;
    mic->SetUpOnce();
    EXPECT_TRUE(mic->LevelMeterRunning());
    mic.emplace(*micContext);
    Face().unplug();
    mic->SetUpOnce();
    EXPECT_FALSE(mic->SetUpDone());
}

// Before Vista the mixer line of the device carries level, mute and (in its input selector) the
// boost.
TEST_F(MicrophoneTest, OlderSystemsUseTheMixer) {
    test::FakeAudioState state;
    state.captureDrivers = {{false, L"USB Audio Headset", L"\\\\?\\USB#VID_2B7A&PID_5801&MI_00"}};
    test::FakeMixer mixer;
    mixer.productName = L"USB Audio Headset";
    mixer.destination.controls[MixerControlType::Volume] = {1, 0, 65535};
    mixer.destination.controls[MixerControlType::Mute] = {2, 0, 1};
    mixer.destination.controls[MixerControlType::InputSelector] = {3, 0, 1};
    mixer.values = {{1, 16383}, {2, 1}, {3, 0}};
    state.mixers = {mixer};
    test::FakeAudio mixerAudio{state};
    FeatureContext xp{
        platform,   ui,     settings, sdk,          *io,
        *discovery, window, image,    windowConfig, {mixerAudio, mediaPlayer, services},
        4,          L""};
    Microphone onXp(xp);
    onXp.SetUpOnce();
    EXPECT_EQ(settings.m_iMicGain, 24) << "16383 of 65535, truncated";
    EXPECT_EQ(settings.m_bMicMute, 1);
    EXPECT_EQ(settings.m_bMicBoost, 0);
    onXp.SetMicGain(50);
    EXPECT_EQ(state.mixers[0].values[1], 32767u);
    onXp.SetMicBoost(1);
    EXPECT_EQ(state.mixers[0].values[3], 1u);
    onXp.SetMicMute(0);
    EXPECT_EQ(state.mixers[0].values[2], 0u);
}

TEST_F(MicrophoneTest, TheHiddenListenBoxRestartsTheAudioService) {
    services.AddService(L"audiosrv", {kServiceRunning, 0, 0, 0});
    Component& box = window.Control(L"ListenToDeviceCheckBox");
    box.checked = true;
    mic->Click(*FindControlRow(box), box);
    EXPECT_EQ(Listening(), "on");
    EXPECT_EQ(services.Record(L"audiosrv").calls,
              (std::vector<std::wstring>{L"query", L"control 1", L"query", L"start"}));
    EXPECT_EQ(clock.waits.back(), 300u);
}

}  // namespace
}  // namespace tavrin
