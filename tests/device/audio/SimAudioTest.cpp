// The simulation's audio port over a library that serves scripted bus-face functions.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>
#include <utility>

#include "app/device/audio/AudioEndpoint.h"
#include "app/device/audio/sim/SimAudio.h"
#include "tests/support/RecordingUiHost.h"

namespace tavrin {
namespace {

// The capture side behind the fake bus-face functions; plain functions cannot carry a context.
struct BusState {
    std::vector<std::pair<std::wstring, std::wstring>> endpoints;  // friendly name, path
    uint32_t step = 50;
    uint32_t stepCount = 101;
    float scalar = -1.0f;
    int32_t mute = 0;
    int32_t autoGain = 0;
    int32_t result = 0;  // answer of the volume, mute and gain functions
};

BusState& Bus() {
    static BusState state;
    return state;
}

int32_t Copy(const std::wstring& text, wchar_t* buffer, uint32_t capacity) {
    if (text.size() + 1 > capacity) return kBusBufferTooSmall;
    std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer);
    return 0;
}

int32_t TAVRIN_SDK_CALL GetCaptureEndpoint(uint32_t index, wchar_t* name, uint32_t nameCapacity,
                                           wchar_t* path, uint32_t pathCapacity) {
    if (index >= Bus().endpoints.size()) return kBusNoSuchItem;
    const auto& [friendlyName, interfacePath] = Bus().endpoints[index];
    if (Copy(friendlyName, name, nameCapacity) != 0) return kBusBufferTooSmall;
    return Copy(interfacePath, path, pathCapacity);
}
int32_t TAVRIN_SDK_CALL GetCaptureVolumeStep(uint32_t* step, uint32_t* stepCount) {
    *step = Bus().step;
    *stepCount = Bus().stepCount;
    return Bus().result;
}
int32_t TAVRIN_SDK_CALL SetCaptureVolumeScalar(float level) {
    Bus().scalar = level;
    return Bus().result;
}
int32_t TAVRIN_SDK_CALL GetCaptureMute(int32_t* mute) {
    *mute = Bus().mute;
    return Bus().result;
}
int32_t TAVRIN_SDK_CALL SetCaptureMute(int32_t mute) {
    if (Bus().result == 0) Bus().mute = mute;
    return Bus().result;
}
int32_t TAVRIN_SDK_CALL GetCaptureAutoGain(int32_t* enabled) {
    *enabled = Bus().autoGain;
    return Bus().result;
}
int32_t TAVRIN_SDK_CALL SetCaptureAutoGain(int32_t enabled) {
    if (Bus().result == 0) Bus().autoGain = enabled;
    return Bus().result;
}

// The microphone's samples come from the recording's worker: one value, read atomically.
std::atomic<uint8_t> microphoneSample{128};

int32_t TAVRIN_SDK_CALL ReadCaptureSamples(uint32_t, uint8_t* buffer, uint32_t count) {
    std::fill(buffer, buffer + count, microphoneSample.load());
    return 0;
}

template <class Function>
void* Address(Function function) {
    return reinterpret_cast<void*>(function);
}

class FakeLibrary final : public DynamicLibrary {
public:
    FakeLibrary() {
        symbols = {
            {"TavrinSim_GetCaptureEndpoint", Address(&GetCaptureEndpoint)},
            {"TavrinSim_GetCaptureVolumeStep", Address(&GetCaptureVolumeStep)},
            {"TavrinSim_SetCaptureVolumeScalar", Address(&SetCaptureVolumeScalar)},
            {"TavrinSim_GetCaptureMute", Address(&GetCaptureMute)},
            {"TavrinSim_SetCaptureMute", Address(&SetCaptureMute)},
            {"TavrinSim_GetCaptureAutoGain", Address(&GetCaptureAutoGain)},
            {"TavrinSim_SetCaptureAutoGain", Address(&SetCaptureAutoGain)},
            {"TavrinSim_ReadCaptureSamples", Address(&ReadCaptureSamples)},
        };
    }
    bool Load(const std::wstring&) override { return true; }
    void* Symbol(const char* name) override {
        auto found = symbols.find(name);
        return found == symbols.end() ? nullptr : found->second;
    }
    uint32_t LastError() override { return 0; }
    std::wstring ErrorText(uint32_t) override { return L""; }

    std::map<std::string, void*> symbols;
};

constexpr uint16_t kVid = 0x2B7A;
constexpr uint16_t kPid = 0x5801;

class SimAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bus() = {};
        Bus().endpoints = {
            {L"Microphone (Quillon HD Audio)", L"\\\\?\\HDAUDIO#FUNC_01&VEN_FFF3"},
            {L"Microphone (USB Audio Headset)",
             L"\\\\?\\USB#VID_2B7A&PID_5801&MI_00#7&1f2e3d4c&0&0000#{6994ad04}\\global"}};
    }
    FakeLibrary library;
};

TEST_F(SimAudioTest, TheHeadsetEndpointWithLevelMuteAndGainControl) {
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    auto endpoint = FindCaptureEndpoint(audio, kVid, kPid);
    ASSERT_NE(endpoint, nullptr);
    std::wstring name;
    endpoint->ReadFriendlyName(name);
    EXPECT_EQ(name, L"Microphone (USB Audio Headset)");

    int percent = -1;
    EXPECT_EQ(GetEndpointLevel(audio, *endpoint, percent), kEndpointDone);
    EXPECT_EQ(percent, 50);
    EXPECT_EQ(SetEndpointLevel(audio, *endpoint, 30), kEndpointDone);
    EXPECT_FLOAT_EQ(Bus().scalar, 0.3f);

    EXPECT_EQ(SetEndpointMute(audio, *endpoint, true), kAudioOk);
    EXPECT_EQ(Bus().mute, 1);
    bool mute = false;
    EXPECT_EQ(GetEndpointMute(audio, *endpoint, mute), kAudioOk);
    EXPECT_TRUE(mute);

    EXPECT_EQ(SetEndpointGainControl(audio, *endpoint, true), kEndpointDone);
    EXPECT_EQ(Bus().autoGain, 1);
    bool enabled = false;
    EXPECT_EQ(GetEndpointGainControl(audio, *endpoint, enabled), kEndpointDone);
    EXPECT_TRUE(enabled);
}

TEST_F(SimAudioTest, DirectSoundListsThePrimaryEntryFirst) {
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    std::vector<CaptureDriverEntry> entries;
    EXPECT_EQ(audio.EnumerateCaptureDrivers(entries), kAudioOk);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(entries[0].isDefault);
    EXPECT_FALSE(entries[2].isDefault);
    EXPECT_EQ(entries[2].name, L"Microphone (USB Audio Headset)");

    Bus().endpoints.clear();
    EXPECT_EQ(audio.EnumerateCaptureDrivers(entries), kAudioOk);
    EXPECT_TRUE(entries.empty()) << "unplugged";
    EXPECT_EQ(FindCaptureEndpoint(audio, kVid, kPid), nullptr);
}

TEST_F(SimAudioTest, BusFailuresReachTheCaller) {
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    auto endpoint = FindCaptureEndpoint(audio, kVid, kPid);
    ASSERT_NE(endpoint, nullptr);
    Bus().result = kBusNotPresent;
    int percent = -1;
    EXPECT_EQ(GetEndpointLevel(audio, *endpoint, percent), kEndpointStepQueryFailed);
    EXPECT_EQ(SetEndpointMute(audio, *endpoint, true), kAudioFailed);
    bool enabled = false;
    EXPECT_EQ(GetEndpointGainControl(audio, *endpoint, enabled), kGainControlRefused);
}

TEST_F(SimAudioTest, MissingFunctionsMeanNoEndpointOrNoControl) {
    library.symbols.erase("TavrinSim_SetCaptureMute");
    library.symbols.erase("TavrinSim_GetCaptureAutoGain");
    BusFace partialFace(library);
    SimAudio partial(partialFace);
    auto endpoint = FindCaptureEndpoint(partial, kVid, kPid);
    ASSERT_NE(endpoint, nullptr);
    int percent = -1;
    EXPECT_EQ(GetEndpointLevel(partial, *endpoint, percent), kEndpointActivationFailed);
    bool enabled = false;
    EXPECT_EQ(GetEndpointGainControl(partial, *endpoint, enabled), kGainControlNotFound);

    library.symbols.clear();
    BusFace noneFace(library);
    SimAudio none(noneFace);
    EXPECT_EQ(FindCaptureEndpoint(none, kVid, kPid), nullptr);
}

TEST_F(SimAudioTest, NoMixer) {
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    uint32_t value = 0;
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    EXPECT_EQ(MixerControl(audio, MixerOperation::GetVolume, value, minimum, maximum, kVid, kPid),
              kMixerNotFound);
}

// ---- Recording ----

// Takes the filled buffers, and the thread each arrived on.
class CollectingSink final : public RecordingSink {
public:
    void BufferFilled(std::span<const uint8_t> samples) override {
        buffers.emplace_back(samples.begin(), samples.end());
        threads.push_back(std::this_thread::get_id());
    }
    std::vector<std::vector<uint8_t>> buffers;
    std::vector<std::thread::id> threads;
};

// Runs the window thread's posted work until `done` or two seconds have passed.
template <class Done>
bool RunWindowThreadUntil(RecordingUiHost& ui, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ui.ProcessPendingMessages();
    }
    return true;
}

constexpr WaveFormat kMeter{1, 8000, 8, 1, 8000};

TEST_F(SimAudioTest, FilledBuffersReachTheSinkOnTheWindowThread) {
    microphoneSample = 200;
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    RecordingUiHost ui;
    CollectingSink sink;
    std::unique_ptr<WaveRecording> recording;
    ASSERT_EQ(audio.OpenRecording(kMeter, 400, 2, &sink, ui, recording), kAudioOk);
    ASSERT_EQ(recording->Start(), kAudioOk);
    ASSERT_TRUE(RunWindowThreadUntil(ui, [&] { return sink.buffers.size() >= 3; }))
        << "400 bytes at 8000 a second: one buffer every 50 ms";
    EXPECT_EQ(sink.buffers[0], std::vector<uint8_t>(400, 200));
    for (const auto& thread : sink.threads) EXPECT_EQ(thread, std::this_thread::get_id());

    // Stopped, nothing more arrives, not even what was already on its way.
    recording->Stop();
    const size_t arrived = sink.buffers.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    ui.ProcessPendingMessages();
    EXPECT_EQ(sink.buffers.size(), arrived);
    microphoneSample = 128;
}

TEST_F(SimAudioTest, WorkPostedByARecordingThatIsGoneIsDropped) {
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    RecordingUiHost ui;
    CollectingSink sink;
    std::unique_ptr<WaveRecording> recording;
    ASSERT_EQ(audio.OpenRecording(kMeter, 400, 2, &sink, ui, recording), kAudioOk);
    recording->Start();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (ui.posted.empty() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_FALSE(ui.posted.empty());
    recording.reset();
    ui.ProcessPendingMessages();
    EXPECT_TRUE(sink.buffers.empty());
}

TEST_F(SimAudioTest, WithoutASinkTheRecordingEndsWhenItsBufferIsFull) {
    microphoneSample = 7;
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    RecordingUiHost ui;
    const WaveFormat wide{1, 8000, 16, 2, 16000};
    std::unique_ptr<WaveRecording> recording;
    ASSERT_EQ(audio.OpenRecording(wide, 800, 1, nullptr, ui, recording), kAudioOk);
    EXPECT_EQ(recording->BytesRecorded(0), 0u);
    recording->Start();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (recording->BytesRecorded(0) == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(recording->BytesRecorded(0), 800u);
    EXPECT_EQ(recording->Contents(0), std::vector<uint8_t>(800, 7));
    EXPECT_TRUE(ui.posted.empty());

    // A long buffer stopped at once gives back only what it holds.
    ASSERT_EQ(audio.OpenRecording(wide, 0x100000, 1, nullptr, ui, recording), kAudioOk);
    recording->Start();
    recording->Stop();
    EXPECT_LT(recording->BytesRecorded(0), 0x100000u);
    EXPECT_EQ(recording->Contents(0).size(), 0x100000u);
    microphoneSample = 128;
}

TEST_F(SimAudioTest, RecordingNeedsTheMicrophoneAndAPlainFormat) {
    BusFace audioFace(library);
    SimAudio audio(audioFace);
    RecordingUiHost ui;
    std::unique_ptr<WaveRecording> recording;
    EXPECT_NE(audio.OpenRecording({1, 8000, 12, 2, 16000}, 400, 2, nullptr, ui, recording),
              kAudioOk);
    EXPECT_NE(audio.OpenRecording(kMeter, 0, 2, nullptr, ui, recording), kAudioOk);
    EXPECT_EQ(recording, nullptr);
    std::unique_ptr<WavePlayback> playback;
    EXPECT_EQ(audio.Play(kMeter, std::vector<uint8_t>(10), playback), kAudioOk);
    EXPECT_NE(playback, nullptr);

    library.symbols.erase("TavrinSim_ReadCaptureSamples");
    BusFace vendorFace(library);
    SimAudio vendor(vendorFace);
    EXPECT_EQ(vendor.OpenRecording(kMeter, 400, 2, nullptr, ui, recording), kAudioNoWaveDevice);
}

}  // namespace
}  // namespace tavrin
